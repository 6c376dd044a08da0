#include "RecordingServices.h"

void RecordingServices::AddDocument(YKDocument* document) {
    documents.emplace_back(document);
}

void RecordingServices::PostToApplication(const YKMessage& message) {
    posted.push_back(message.what);
}

YKDocumentView* RecordingServices::CreateDocumentWindow(YKDocument*, int32, YKRect<int32> frame,
                                                        bool) {
    windowFrames.push_back(frame);
    return views.emplace_back(std::make_unique<RecordingView>()).get();
}

void RecordingServices::DeliverToPanel(Panel panel, const YKMessage& message) {
    delivered.emplace_back(panel, message);
}
