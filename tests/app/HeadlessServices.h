#pragma once

// Document services for tests: every view a window that only says yes, each document as many
// views as it asks for.

#include <memory>
#include <vector>

#include "YKDocumentServices.h"
#include "YKDocumentView.h"

class QuietView : public YKDocumentView {
    bool Lock() override { return true; }
    void Unlock() override {}
    void InvalidateRect(YKRect<int32>) override {}
    void SetBackgroundColor(yk_color) override {}
    void Retitle(const char*) override {}
    void DocumentFrameChanged(YKRect<int32>) override {}
    void Quit() override {}
};

class OneViewEach : public YKDocumentServices {
    void AddDocument(YKDocument*) override {}
    void PostToApplication(const YKMessage&) override {}
    YKDocumentView* CreateDocumentWindow(YKDocument*, int32, YKRect<int32>, bool) override {
        return views.emplace_back(std::make_unique<QuietView>()).get();
    }
    YKRect<int32> ScreenFrame() const override { return {0, 0, 1023, 767}; }
    void DeliverToPanel(Panel, const YKMessage&) override {}
    int32 PreferredPreviewMode() const override { return 0; }
    std::vector<std::unique_ptr<QuietView>> views;
};
