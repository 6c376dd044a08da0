// The document window driven through its menus on Qt's offscreen platform.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QScreen>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "CanvasMatch.h"
#include "SampleBanner.h"
#include "TempDir.h"
#include "YKAlertPresenter.h"
#include "YKBitmapLayer.h"
#include "YKCanvasView.h"
#include "YKDispatcher.h"
#include "YKDocument.h"
#include "YKDocumentWindow.h"
#include "YKDrawBitmap.h"
#include "YKEnvelopManager.h"
#include "YKGammaCorrection.h"
#include "YKGravik.h"
#include "YKHeadlessAlertPresenter.h"
#include "YKPrefSetting.h"
#include "YKRaster.h"
#include "YKViewerLayer.h"
#include "yk_composition.h"

namespace {

// The document every test opens: the sample banner, saved once by the sample builder into a
// folder removed with the environment.
class SampleFile : public ::testing::Environment {
public:
    static const std::string& Path() { return sPath; }
    void SetUp() override {
        sPath = mDir.PathOf("sample.gr");
        YKDispatcher dispatcher;
        YKDocument* banner = YKBuildSampleBanner(&dispatcher);
        ASSERT_TRUE(banner != nullptr && banner->SaveInto(sPath.c_str(), false));
    }

private:
    TempDir mDir;
    static inline std::string sPath;
};

class DocumentWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        mGravik = std::make_unique<YKGravik>();
        YKAlertPresenter::SetCurrent(&mAlerts);
        mGravik->Start({"-psn_0_1", SampleFile::Path().c_str()});
        ASSERT_EQ(mGravik->Dispatcher().CountDocuments(), 1);
        mDocument = mGravik->Dispatcher().DocumentAt(0);
        mWindow = dynamic_cast<YKDocumentWindow*>(mDocument->ViewerAt(0));
        ASSERT_NE(mWindow, nullptr);
        // However large its panels make it, a new window opens on the screen.
        const QRect screen = mWindow->screen()->availableGeometry();
        EXPECT_TRUE(screen.contains(mWindow->pos()));
        EXPECT_LE(mWindow->width(), screen.width());
        EXPECT_LE(mWindow->height(), screen.height());
        mWindow->resize(800, 300);
        QApplication::processEvents();
    }

    void Trigger(const QString& text) {
        for (QAction* action : mWindow->findChildren<QAction*>()) {
            if (action->text() == text) {
                action->trigger();
                QApplication::processEvents();
                return;
            }
        }
        ADD_FAILURE() << "no menu item " << text.toStdString();
    }

    // A translucent ramp of changing colours in the middle of the canvas, added as one editing
    // step.
    void AddRamp() {
        auto* image = new YKRaster(YKRect<int32>{0, 0, 63, 15});
        auto* bits = reinterpret_cast<uint32*>(image->Bits());
        for (uint32 i = 0; i < 64 * 16; ++i) {
            bits[i] = (i % 64 * 4) << 24 | (i * 40 % 256) << 16 | (i / 64 * 16) << 8 | 0x10;
        }
        YKViewerLayer* root = mDocument->ViewerLayer();
        root->LockHirarchy();
        root->BeginInvalidate();
        root->ChildAt(0)->AddChild(
            new YKBitmapLayer(mDocument->GetUniqueID(), image, "ramp", {-32.0, -8.0}), true);
        root->EndInvalidate();
        root->UnlockHirarchy();
        QApplication::processEvents();
    }

    void ExpectCanvasShowsFrame(int32 frame) {
        ::ExpectCanvasShowsFrame(mDocument, mWindow->Canvas(), mGravik->Gamma(), frame);
    }

    YKHeadlessAlertPresenter mAlerts;
    std::unique_ptr<YKGravik> mGravik;
    YKDocument* mDocument = nullptr;
    YKDocumentWindow* mWindow = nullptr;
};

TEST_F(DocumentWindowTest, CanvasShowsTheExportedFrameAtEveryZoom) {
    AddRamp();
    ASSERT_EQ(mWindow->Canvas()->Zoom(), 0);
    ExpectCanvasShowsFrame(1);

    const YKRect<int32> actual = mWindow->Canvas()->ShownFrame();
    Trigger(QStringLiteral("200 %"));
    EXPECT_EQ(mWindow->Canvas()->Zoom(), 1);
    const YKRect<int32> doubled = mWindow->Canvas()->ShownFrame();
    EXPECT_EQ(doubled.Width() + 1, 2 * (actual.Width() + 1));
    EXPECT_EQ(doubled.Height() + 1, 2 * (actual.Height() + 1));
    ExpectCanvasShowsFrame(1);

    mDocument->SetBackgroundColor(yk_color(255, 255, 255, 0));
    ExpectCanvasShowsFrame(1);
}

TEST_F(DocumentWindowTest, ZoomMenuStepsThroughTheControlsEntries) {
    QStringList levels;
    for (QAction* action : mWindow->findChildren<QAction*>()) {
        if (action->menu() != nullptr && action->text() == QStringLiteral("Zoom")) {
            for (QAction* level : action->menu()->actions()) {
                levels << level->text();
            }
        }
    }
    EXPECT_EQ(levels, QStringList({"25 %", "50 %", "100 %", "200 %", "400 %", "800 %", "1600 %"}));

    Trigger(QStringLiteral("Zoom In"));
    EXPECT_EQ(mWindow->Canvas()->Zoom(), 1);
    Trigger(QStringLiteral("25 %"));
    EXPECT_EQ(mWindow->Canvas()->Zoom(), -5);
    Trigger(QStringLiteral("Zoom Out"));
    EXPECT_EQ(mWindow->Canvas()->Zoom(), -7);
    mWindow->SetZoomEntry(0);
    Trigger(QStringLiteral("Zoom Out"));
    EXPECT_EQ(mWindow->Canvas()->Zoom(), -63);
}

TEST_F(DocumentWindowTest, FrameItemsMoveTheAnimationWithinItsFrames) {
    YKEnvelopManager* manager = mDocument->EnvelopManager();
    manager->SetMaxFrame(3, false);
    Trigger(QStringLiteral("Previous Frame"));
    EXPECT_EQ(manager->CurrentFrame(), 1);
    Trigger(QStringLiteral("Next Frame"));
    EXPECT_EQ(manager->CurrentFrame(), 2);
    Trigger(QStringLiteral("Next Frame"));
    Trigger(QStringLiteral("Next Frame"));
    EXPECT_EQ(manager->CurrentFrame(), 3);
    Trigger(QStringLiteral("Previous Frame"));
    EXPECT_EQ(manager->CurrentFrame(), 2);
    ExpectCanvasShowsFrame(2);
}

TEST_F(DocumentWindowTest, MonitorGammaShowsOnCanvasesAndIsKeptInThePreferences) {
    mGravik->Gamma().SetGamma(2.0, 1.0, 0.5);
    mWindow->Canvas()->viewport()->update();
    QApplication::processEvents();
    ExpectCanvasShowsFrame(1);

    mWindow = nullptr;
    mGravik.reset();
    YKPrefSetting saved;
    ASSERT_TRUE(saved.Load());
    YKGammaCorrection loaded;
    loaded.LoadFromMessage(saved.PrefGamma());
    EXPECT_EQ(loaded.Red(), 2.0);
    EXPECT_EQ(loaded.Blue(), 0.5);
    mGravik = std::make_unique<YKGravik>();
    mGravik->Start({});
    EXPECT_EQ(mGravik->Gamma().Red(), 2.0);
    mGravik->Gamma().SetGamma(1.0, 1.0, 1.0);
}

}  // namespace

int main(int argc, char** argv) {
    // Windows are made and grabbed without a display, and the preferences saved at the end go
    // to a folder of the run's own.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    TempDir settings;
    setenv("XDG_CONFIG_HOME", settings.Path().c_str(), 1);
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new SampleFile);
    return RUN_ALL_TESTS();
}
