// A drag on the canvas of the sample banner's window, with every panel shown against none shown:
// panels must never hold up drawing. Each iteration is one mouse move with the events it causes
// (the recomposition, one canvas repaint and, with panels shown, their refreshes) run to the end.
// The peer here is our own window without panels; the ratio is the drag's speed with panels
// against without, and should stay above 1/1.2.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDockWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "BenchRatios.h"
#include "SampleBanner.h"
#include "YKCanvasView.h"
#include "YKDispatcher.h"
#include "YKDocument.h"
#include "YKDocumentWindow.h"
#include "YKGravik.h"
#include "YKHeadlessAlertPresenter.h"
#include "YKObjectLayer.h"
#include "YKPanelDocks.h"
#include "YKViewerLayer.h"

namespace {

struct Banner {
    YKHeadlessAlertPresenter alerts;
    YKGravik gravik;
    YKDocumentWindow* window = nullptr;
    YKObjectLayer* object = nullptr;

    Banner() {
        gravik.Start({});
        YKAlertPresenter::SetCurrent(&alerts);
        YKDocument* document = YKBuildSampleBanner(&gravik.Dispatcher());
        window = dynamic_cast<YKDocumentWindow*>(document->ViewerAt(0));
        window->resize(1400, 900);
        window->show();
        // The topmost object of the top layer: what a user would grab.
        YKViewerLayer* viewer = document->ViewerLayer();
        YKLayer* layer = viewer->ChildAt(viewer->CountChildren() - 1);
        object = static_cast<YKObjectLayer*>(layer->ChildAt(layer->CountChildren() - 1));
        QApplication::processEvents();
    }

    // The middle of the object in the canvas as it is now laid out: showing or hiding the
    // panels moves the canvas within the window.
    QPoint Grab() const {
        const YKRect<double> box = object->BoundingBox();
        const YKPoint<float> middle = window->Canvas()->BitmapToView(
            YKPoint<float>{static_cast<float>((box.left + box.right) / 2),
                           static_cast<float>((box.top + box.bottom) / 2)});
        return QPoint(static_cast<int>(middle.x), static_cast<int>(middle.y));
    }
};

// Made in main() once the application exists, and gone before it ends.
Banner* gBanner = nullptr;

void BM_Drag(benchmark::State& state) {
    Banner& banner = *gBanner;
    const bool panelsShown = state.range(0) != 0;
    for (const YKPanelDocks::Kind& kind : YKPanelDocks::Kinds()) {
        banner.window->Panels().Dock(kind.key)->setVisible(panelsShown);
    }
    QApplication::processEvents();
    QWidget* viewport = banner.window->Canvas()->viewport();
    const QPoint grab = banner.Grab();
    const YKRect<double> before = banner.object->BoundingBox();
    QTest::mousePress(viewport, Qt::LeftButton, {}, grab);
    int step = 0;
    for (auto _ : state) {
        // Back and forth, so the object stays on the canvas however long the run.
        const int offset = (step++ % 40) - 20;
        QTest::mouseMove(viewport, grab + QPoint(offset * 2, offset));
        QApplication::processEvents();
        // One repaint per move in both runs: left to itself the event loop folds the repaints
        // of several moves into one, and how many it folds depends on what else it holds.
        viewport->repaint();
    }
    // A press that missed the object would time moves that draw nothing.
    const bool moved = !(banner.object->BoundingBox() == before);
    const bool awayFromGrab = (step - 1) % 40 != 20;
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, grab);
    QApplication::processEvents();
    if (awayFromGrab && !moved) {
        state.SkipWithError("the drag did not move the object");
    }
    state.SetBytesProcessed(state.iterations());
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QTemporaryDir settings;
    setenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit().constData(), 1);
    QApplication application(argc, argv);
    auto banner = std::make_unique<Banner>();
    gBanner = banner.get();
    benchmark::RegisterBenchmark("BM_DragNoPanels", BM_Drag)->Arg(0)->UseRealTime();
    benchmark::RegisterBenchmark("BM_DragAllPanels", BM_Drag)->Arg(1)->UseRealTime();
    const int status =
        RunWithRatios(argc, argv,
                      {{"drag with every panel shown vs none", "BM_DragAllPanels/1/real_time",
                        "BM_DragNoPanels/0/real_time"}});
    // The drags moved an object: quitting would otherwise ask where to save the banner.
    banner->window->Document()->SetModified(false);
    banner.reset();
    return status;
}
