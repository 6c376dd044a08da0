#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "RecordingView.h"
#include "YKDocument.h"
#include "YKDocumentServices.h"
#include "YKMessage.h"

// The application around documents, for tests: every window is a RecordingView, and what the
// documents ask for (documents added, posts, panel deliveries, window frames) is kept.
class RecordingServices : public YKDocumentServices {
public:
    void AddDocument(YKDocument* document) override;
    void PostToApplication(const YKMessage& message) override;
    YKDocumentView* CreateDocumentWindow(YKDocument* document, int32 index, YKRect<int32> frame,
                                         bool show) override;
    YKRect<int32> ScreenFrame() const override { return screen; }
    void DeliverToPanel(Panel panel, const YKMessage& message) override;
    int32 PreferredPreviewMode() const override { return previewMode; }

    YKRect<int32> screen{0, 0, 1279, 1023};
    int32 previewMode = 0;
    std::vector<std::unique_ptr<RecordingView>> views;
    std::vector<YKRect<int32>> windowFrames;
    std::vector<uint32> posted;
    std::vector<std::pair<Panel, YKMessage>> delivered;
    // Last, so destroyed first: closing documents still quit their views and post.
    std::vector<std::unique_ptr<YKDocument>> documents;
};
