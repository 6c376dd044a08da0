// The canvas driven with the mouse and keys on Qt's offscreen platform: drawing through the
// event manager, undoing it, the hand tool's scrolling, and the selection's marching ants.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <memory>
#include <set>

#include "CanvasMatch.h"
#include "TestStart.h"
#include "YKAlertPresenter.h"
#include "YKCanvasView.h"
#include "YKDispatcher.h"
#include "YKDocument.h"
#include "YKDocumentWindow.h"
#include "YKGravik.h"
#include "YKHeadlessAlertPresenter.h"
#include "YKObjectLayer.h"
#include "YKToolState.h"
#include "YKUndoManager.h"
#include "YKViewerLayer.h"

namespace {

constexpr int32 kRectangleTool = 12;
constexpr int32 kRectangleSelectionTool = 1;

class CanvasTest : public ::testing::Test {
protected:
    void SetUp() override {
        mGravik = std::make_unique<YKGravik>();
        StartForTest(*mGravik, &mAlerts);
        // An empty banner, as the new-document dialog makes it.
        mDocument = mGravik->Dispatcher().CreateDocument(468, 60, "Untitled", {255, 255, 255, 255});
        ASSERT_NE(mDocument, nullptr);
        mWindow = dynamic_cast<YKDocumentWindow*>(mDocument->ViewerAt(0));
        ASSERT_NE(mWindow, nullptr);
        mWindow->resize(800, 300);
        mCanvas = mWindow->Canvas();
        QApplication::processEvents();
    }
    void TearDown() override { YKToolState::Application().SetSelectedTool(0); }

    QPoint At(double x, double y) const {
        const YKPoint<float> view =
            mCanvas->BitmapToView(YKPoint<float>{static_cast<float>(x), static_cast<float>(y)});
        return QPoint(static_cast<int>(view.x), static_cast<int>(view.y));
    }
    void Drag(QPoint from, QPoint to) {
        QWidget* viewport = mCanvas->viewport();
        QTest::mousePress(viewport, Qt::LeftButton, {}, from);
        QTest::mouseMove(viewport, (from + to) / 2);
        QTest::mouseMove(viewport, to);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, to);
        QApplication::processEvents();
    }
    YKLayer* Layer() const { return mDocument->ViewerLayer()->CurrentUserLayer(); }
    // The undo steps a user sees: one per terminating record.
    int32 Actions() const {
        const YKUndoManager* undo = mDocument->UndoManager();
        int32 count = 0;
        for (int32 i = 0; i < undo->UndoStackSize(); ++i) {
            count += undo->UndoIsTerminatorAt(i) ? 1 : 0;
        }
        return count;
    }
    QRgb ShownAt(QPoint point) const { return mCanvas->viewport()->grab().toImage().pixel(point); }

    YKHeadlessAlertPresenter mAlerts;
    std::unique_ptr<YKGravik> mGravik;
    YKDocument* mDocument = nullptr;
    YKDocumentWindow* mWindow = nullptr;
    YKCanvasView* mCanvas = nullptr;
};

TEST_F(CanvasTest, ADragWithTheRectangleToolDrawsOneAnArrowMovesItAndUndoTakesBothBack) {
    ASSERT_TRUE(YKToolState::Application().SetSelectedTool(kRectangleTool));
    ASSERT_EQ(Layer()->CountChildren(), 0);
    const QImage blank = mCanvas->viewport()->grab().toImage();
    Drag(At(-100, -20), At(50, 20));

    ASSERT_EQ(Layer()->CountChildren(), 1);
    auto* drawn = dynamic_cast<YKObjectLayer*>(Layer()->ChildAt(0));
    ASSERT_NE(drawn, nullptr);
    const YKRect<double> box = drawn->BoundingBox();
    EXPECT_NEAR(box.left, -100, 1.0);
    EXPECT_NEAR(box.top, -20, 1.0);
    EXPECT_NEAR(box.right, 50, 1.0);
    EXPECT_NEAR(box.bottom, 20, 1.0);
    // Selected once drawn: the canvas shows its knobs.
    EXPECT_EQ(mCanvas->Overlay().Knobs().size(), 8u);

    // An arrow nudges it, as one more action.
    QTest::keyClick(mCanvas, Qt::Key_Right);
    EXPECT_DOUBLE_EQ(drawn->BoundingBox().left, box.left + 1);
    ASSERT_EQ(Actions(), 2);

    // Without the knobs in the way the canvas shows what the document renders.
    mDocument->ViewerLayer()->DeselectAll(0);
    QApplication::processEvents();
    EXPECT_TRUE(mCanvas->Overlay().Knobs().empty());
    ExpectCanvasShowsFrame(mDocument, mCanvas, mGravik->Gamma(), 1);
    EXPECT_NE(mCanvas->viewport()->grab().toImage(), blank);

    mDocument->UndoManager()->UndoLast();
    mDocument->UndoManager()->UndoLast();
    QApplication::processEvents();
    EXPECT_EQ(Layer()->CountChildren(), 0);
    ExpectCanvasShowsFrame(mDocument, mCanvas, mGravik->Gamma(), 1);
    EXPECT_EQ(mCanvas->viewport()->grab().toImage(), blank);
}

TEST_F(CanvasTest, TheHandToolScrollsByExactlyThePointersMovement) {
    mWindow->SetZoomEntry(9);  // 400 %: the canvas is wider than the view
    QApplication::processEvents();
    ASSERT_EQ(mCanvas->Zoom(), 3);
    ASSERT_TRUE(YKToolState::Application().SetSelectedTool(YKToolState::kHandToolID));
    const YKPoint<float> before = mCanvas->Centre();
    const QPoint middle(400, 100);
    // Three moves of 20 screen pixels: each must scroll by 20 / 4 document units.
    QWidget* viewport = mCanvas->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, {}, middle);
    for (int step = 1; step <= 3; ++step) {
        QTest::mouseMove(viewport, middle - QPoint(20 * step, 0));
    }
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, middle - QPoint(60, 0));
    EXPECT_NEAR(mCanvas->Centre().x - before.x, 15.0f, 0.5f);
    EXPECT_NEAR(mCanvas->Centre().y, before.y, 0.5f);
    EXPECT_EQ(Layer()->CountChildren(), 0);
}

TEST_F(CanvasTest, TheSelectionMarchesAlongItsEdgeAtTheZoomShown) {
    mWindow->SetZoomEntry(8);  // 200 %
    QApplication::processEvents();
    ASSERT_TRUE(YKToolState::Application().SetSelectedTool(kRectangleSelectionTool));
    Drag(At(-40.5, -10.5), At(20.5, 10.5));
    ASSERT_NE(mDocument->ViewerLayer()->GetSelection(), nullptr);
    EXPECT_EQ(mCanvas->Overlay().SelectionEdges().size(), 4u);

    // The top edge (the pressed pixel's top, -11), at its zoomed place: dashes of black and
    // white.
    const auto edge = [this] {
        const QImage shown = mCanvas->viewport()->grab().toImage();
        std::vector<QRgb> pixels;
        for (int x = At(-30, -11).x(); x < At(10, -11).x(); ++x) {
            pixels.push_back(shown.pixel(x, At(-30, -11).y()));
        }
        return pixels;
    };
    const std::vector<QRgb> first = edge();
    const std::set<QRgb> colours(first.begin(), first.end());
    EXPECT_EQ(colours, (std::set<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255)}));
    // The ants move on by themselves.
    QTest::qWait(400);
    EXPECT_NE(edge(), first);
}

}  // namespace
