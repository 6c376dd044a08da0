#include "YKDispatcher.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>

#include "YKAlert.h"
#include "YKAutolock.h"
#include "YKCanvasResize.h"
#include "YKDocTemplates.h"
#include "YKDocument.h"
#include "YKPrefSetting.h"
#include "yk_image_limits.h"

// Sections: construction · documents · messages · hooks · document services.

YKDispatcher::YKDispatcher(const YKPrefSetting* preferences) : mPreferences(preferences) {}

YKDispatcher::~YKDispatcher() {
    // Documents post 'wMen' as they go, so they must go while the queue still exists.
    std::vector<std::unique_ptr<YKDocument>> documents;
    {
        YKAutolock lock(mDocumentsLock);
        documents.swap(mDocuments);
    }
    documents.clear();
    std::lock_guard<std::mutex> queueLock(mQueueLock);
    mQueue.clear();
}

// --- Documents ---

YKDocument* YKDispatcher::CreateDocument(int32 width, int32 height, const char* name,
                                         yk_color background) {
    // Every frame is rendered into one raster of the canvas's size.
    if (!yk_image_size_ok(width, height, 4)) {
        return nullptr;
    }
    auto* document =
        new YKDocument(name, YKDocTemplates::CanvasFrame(width, height), background, this);
    AddDocument(document);
    return document;
}

int32 YKDispatcher::CountDocuments() const {
    YKAutolock lock(mDocumentsLock);
    return static_cast<int32>(mDocuments.size());
}

YKDocument* YKDispatcher::DocumentAt(int32 index) const {
    YKAutolock lock(mDocumentsLock);
    if (index < 0 || index >= static_cast<int32>(mDocuments.size())) {
        return nullptr;
    }
    return mDocuments[static_cast<size_t>(index)].get();
}

bool YKDispatcher::HasDocument(const YKDocument* document) const {
    YKAutolock lock(mDocumentsLock);
    return document != nullptr &&
           std::any_of(mDocuments.begin(), mDocuments.end(),
                       [document](const auto& open) { return open.get() == document; });
}

void YKDispatcher::DestroyDocument(YKDocument* document) {
    std::unique_ptr<YKDocument> leaving;
    {
        YKAutolock lock(mDocumentsLock);
        auto found = std::find_if(mDocuments.begin(), mDocuments.end(),
                                  [document](const auto& open) { return open.get() == document; });
        if (found == mDocuments.end()) {
            return;
        }
        leaving = std::move(*found);
        mDocuments.erase(found);
    }
    // Destroyed outside the list's lock: its layers notify the panels on the way out.
    leaving.reset();
}

// --- Messages ---

void YKDispatcher::HandleMessage(const YKMessage& message) {
    switch (message.what) {
        case 'grCd':
            CreateRequested(message);
            return;
        case 'grRo':
            OpenRequested(message);
            return;
        case 'grOs':
            SaveRequested(message);
            return;
        case 'grDd':
            CloseRequested(message);
            return;
        case 'Cnvs':
            CanvasRequested(message);
            return;
        case 'wMen':
            ++mWindowListChanges;
            if (mWindowListHook) {
                mWindowListHook();
            }
            return;
        default:
            break;
    }
    if (const auto hook = mCommandHooks.find(message.what); hook != mCommandHooks.end()) {
        hook->second(message);
    } else if (mUnhandledHook) {
        mUnhandledHook(message);
    }
}

void YKDispatcher::CanvasRequested(const YKMessage& message) {
    YKDocument* document = MessageDocument(message);
    std::string error;
    if (document != nullptr && !YKCanvasResize::Apply(document, message, &error)) {
        YKAlert(error.c_str(), "OK").Go();
    }
}

int32 YKDispatcher::DrainPosted() {
    int32 handled = 0;
    for (;;) {
        YKMessage next;
        {
            std::lock_guard<std::mutex> lock(mQueueLock);
            if (mQueue.empty()) {
                return handled;
            }
            next = std::move(mQueue.front());
            mQueue.pop_front();
        }
        HandleMessage(next);
        ++handled;
    }
}

int32 YKDispatcher::CountPosted() const {
    std::lock_guard<std::mutex> lock(mQueueLock);
    return static_cast<int32>(mQueue.size());
}

void YKDispatcher::CreateRequested(const YKMessage& message) {
    int32 width = 0;
    int32 height = 0;
    const char* name = nullptr;
    if (!message.FindInt32("width", &width) || !message.FindInt32("height", &height) ||
        !message.FindString("name", &name)) {
        return;
    }
    yk_color background;  // transparent black unless a whole colour came with the request
    const void* data = nullptr;
    ssize_t size = 0;
    if (message.FindData("color", 'YKRC', &data, &size) && size == sizeof(yk_color)) {
        std::memcpy(&background, data, sizeof background);
    }
    CreateDocument(width, height, name, background);
}

void YKDispatcher::OpenRequested(const YKMessage& message) {
    const char* path = nullptr;
    for (int32 i = 0; message.FindString("refs", i, &path); ++i) {
        const std::string name = std::filesystem::path(path).filename().string();
        YKDocument::Load(path, name.c_str(), true, this);
    }
}

void YKDispatcher::SaveRequested(const YKMessage& message) {
    YKDocument* document = MessageDocument(message);
    if (document == nullptr) {
        return;
    }
    std::string suggested;
    if (!message.FindString("docname", &suggested)) {
        suggested = document->SuggestedFileName();
    }
    const std::string path = mSavePathChooser ? mSavePathChooser(document, suggested) : "";
    if (path.empty()) {
        // No file chosen: a close that waited for this save does not happen either.
        document->CancelSaveAndClose();
        return;
    }
    if (!document->SaveChosen(path.c_str())) {
        document->CancelSaveAndClose();
    }
}

void YKDispatcher::CloseRequested(const YKMessage& message) {
    YKDocument* document = MessageDocument(message);
    if (document == nullptr) {
        return;
    }
    if (document->IsModified()) {
        const std::string text = "Save changes to \"" + std::string(document->Name()) + "\"?";
        switch (YKAlert(text.c_str(), "Don't Save", "Cancel", "Save").Go()) {
            case 1:
                return;
            case 2:
                // The document posts 'grDd' again once the save has succeeded (at once, or after
                // 'grOs' when it has no file yet); a failed or cancelled save leaves it open.
                document->SetCloseAfterSave();
                if (document->Path() != nullptr) {
                    if (!document->SaveInto(document->Path(), true)) {
                        document->CancelSaveAndClose();
                    }
                } else {
                    document->Save(false);
                }
                return;
            default:
                break;
        }
    }
    DestroyDocument(document);
}

YKDocument* YKDispatcher::MessageDocument(const YKMessage& message) const {
    void* pointer = nullptr;
    if (!message.FindPointer("document", &pointer)) {
        return nullptr;
    }
    auto* document = static_cast<YKDocument*>(pointer);
    return HasDocument(document) ? document : nullptr;
}

// --- Hooks ---

void YKDispatcher::SetWakeUp(std::function<void()> wakeUp) {
    std::lock_guard<std::mutex> lock(mQueueLock);
    mWakeUp = std::move(wakeUp);
}

void YKDispatcher::SetWindowFactory(WindowFactory factory) {
    mWindowFactory = std::move(factory);
}

void YKDispatcher::SetScreenFrame(YKRect<int32> frame) {
    mScreenFrame = frame;
}

void YKDispatcher::SetPanelSink(Panel panel, PanelSink sink) {
    std::lock_guard<std::recursive_mutex> lock(mPanelLock);
    mPanels[static_cast<size_t>(panel)] = std::move(sink);
}

void YKDispatcher::SetSavePathChooser(SavePathChooser chooser) {
    mSavePathChooser = std::move(chooser);
}

void YKDispatcher::SetUnhandledHook(std::function<void(const YKMessage&)> hook) {
    mUnhandledHook = std::move(hook);
}

void YKDispatcher::SetCommandHook(uint32 what, std::function<void(const YKMessage&)> hook) {
    if (hook) {
        mCommandHooks[what] = std::move(hook);
    } else {
        mCommandHooks.erase(what);
    }
}

void YKDispatcher::SetWindowListHook(std::function<void()> hook) {
    mWindowListHook = std::move(hook);
}

// --- Document services ---

void YKDispatcher::AddDocument(YKDocument* document) {
    if (document == nullptr) {
        return;
    }
    YKAutolock lock(mDocumentsLock);
    mDocuments.emplace_back(document);
}

void YKDispatcher::PostToApplication(const YKMessage& message) {
    std::function<void()> wakeUp;
    {
        std::lock_guard<std::mutex> lock(mQueueLock);
        mQueue.push_back(message);
        wakeUp = mWakeUp;
    }
    if (wakeUp) {
        wakeUp();
    }
}

YKDocumentView* YKDispatcher::CreateDocumentWindow(YKDocument* document, int32 index,
                                                   YKRect<int32> frame, bool show) {
    return mWindowFactory ? mWindowFactory(document, index, frame, show) : nullptr;
}

YKRect<int32> YKDispatcher::ScreenFrame() const {
    return mScreenFrame;
}

void YKDispatcher::DeliverToPanel(Panel panel, const YKMessage& message) {
    std::lock_guard<std::recursive_mutex> lock(mPanelLock);
    if (const PanelSink& sink = mPanels[static_cast<size_t>(panel)]; sink) {
        sink(message);
    }
}

int32 YKDispatcher::PreferredPreviewMode() const {
    return mPreferences != nullptr ? mPreferences->PrefView() : 0;
}
