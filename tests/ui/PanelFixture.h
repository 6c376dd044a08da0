#pragma once

// A started application with the sample banner open in one window, for the panel tests: the
// panel of a key, the document's saved bytes (to see that a panel changed it, and that Undo
// brought it back), and the undo and redo commands as the Edit menu sends them.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDockWidget>
#include <memory>
#include <string>

#include "FileBytes.h"
#include "SampleBanner.h"
#include "TempDir.h"
#include "TestStart.h"
#include "YKDocument.h"
#include "YKDocumentWindow.h"
#include "YKGravik.h"
#include "YKHeadlessAlertPresenter.h"
#include "YKPanel.h"
#include "YKPanelDocks.h"
#include "YKViewerLayer.h"

class PanelFixture : public testing::Test {
public:
    void SetUp() override {
        mGravik = std::make_unique<YKGravik>();
        StartForTest(*mGravik, &mAlerts);
        mDocument = YKBuildSampleBanner(&mGravik->Dispatcher());
        ASSERT_NE(mDocument, nullptr);
        mWindow = dynamic_cast<YKDocumentWindow*>(mDocument->ViewerAt(0));
        ASSERT_NE(mWindow, nullptr);
        // Wide enough for every panel and the banner's 20 frames in the timeline.
        mWindow->resize(1400, 900);
        QApplication::processEvents();
    }

    // The panel of `key`, shown and up to date.
    template <typename Panel>
    Panel* Shown(const char* key) {
        auto* panel = dynamic_cast<Panel*>(mWindow->Panels().Panel(key));
        if (panel == nullptr) {
            ADD_FAILURE() << "no panel " << key;
            return nullptr;
        }
        mWindow->Panels().Dock(key)->show();
        QApplication::processEvents();
        panel->RefreshNow();
        return panel;
    }

    // The document as it would be saved.
    std::string Saved() {
        const std::string path = (mFolder.Path() / "saved.gr").string();
        EXPECT_TRUE(mDocument->SaveInto(path.c_str(), false));
        return ReadBytes(path);
    }

    void Undo() { Send('UNDO'); }
    void Redo() { Send('Redo'); }
    void Send(uint32 code) {
        mWindow->MessageReceived(mWindow->CommandMessage(code));
        QApplication::processEvents();
    }

    YKViewerLayer* Viewer() const { return mDocument->ViewerLayer(); }

    TempDir mFolder;
    YKHeadlessAlertPresenter mAlerts;
    std::unique_ptr<YKGravik> mGravik;
    YKDocument* mDocument = nullptr;
    YKDocumentWindow* mWindow = nullptr;
};
