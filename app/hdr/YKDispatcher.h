#pragma once

// YKDispatcher: the application's core without windows. It owns the open documents, carries out
// the application messages that documents and dialogs post ('grCd', 'grRo', 'grOs', 'grDd',
// 'wMen', 'Cnvs'), and answers the documents' questions about windows, the screen, the panels and
// the preferences. The desktop application gives it a window factory and panel sinks; the command
// line and the tests leave them unset.
//
// Posted messages wait in a queue until DrainPosted() runs them on the caller's thread. The GUI
// drains from its main thread when the wake-up hook tells it something was posted; headless
// callers drain when they are ready, so the order of events stays what the caller wrote.

#include <array>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "YKDocumentServices.h"
#include "YKLocker.h"
#include "YKMessage.h"
#include "YKRect.h"
#include "yk_color.h"

class YKPrefSetting;

class YKDispatcher : public YKDocumentServices {
public:
    using WindowFactory =
        std::function<YKDocumentView*(YKDocument*, int32 index, YKRect<int32> frame, bool show)>;
    using PanelSink = std::function<void(const YKMessage&)>;
    // Stands in for the save panel: returns the chosen path, or an empty one when cancelled.
    using SavePathChooser = std::function<std::string(YKDocument*, const std::string& suggested)>;

    // `preferences` (not owned, may be null) gives the preview mode of new documents.
    explicit YKDispatcher(const YKPrefSetting* preferences = nullptr);
    // Destroys the open documents without asking; queued messages are dropped.
    ~YKDispatcher() override;

    // --- Documents

    // A new document of `width` × `height` pixels centred on the origin (sizes halved toward
    // zero: 468 × 60 spans -234..233, -30..29), appended to the open documents. A null name
    // gives "Untitled %d". Null for a width or height below 1.
    YKDocument* CreateDocument(int32 width, int32 height, const char* name, yk_color background);
    int32 CountDocuments() const;
    // Null out of range.
    YKDocument* DocumentAt(int32 index) const;
    bool HasDocument(const YKDocument* document) const;

    // --- Messages

    // Carries out one application message at once; other codes go to their command hook, if
    // any, or are ignored.
    void HandleMessage(const YKMessage& message);
    // Runs queued messages, including those posted while running, until the queue is empty.
    // Returns how many ran.
    int32 DrainPosted();
    int32 CountPosted() const;
    // Called (on the posting thread) after each post, so that a GUI can schedule a drain.
    void SetWakeUp(std::function<void()> wakeUp);

    // --- Hooks

    void SetWindowFactory(WindowFactory factory);
    void SetScreenFrame(YKRect<int32> frame);
    // Replaces the receiver of one panel; an empty function removes it.
    void SetPanelSink(Panel panel, PanelSink sink);
    void SetSavePathChooser(SavePathChooser chooser);
    // Carries out a code the dispatcher has no handling of its own for (the GUI's 'ShoC',
    // 'OpOo' and panel requests); an empty function removes it.
    void SetCommandHook(uint32 what, std::function<void(const YKMessage&)> hook);
    // Called with each message that neither the dispatcher nor a command hook handles.
    void SetUnhandledHook(std::function<void(const YKMessage&)> hook);
    // Called after each 'wMen', where a GUI rebuilds its window menus.
    void SetWindowListHook(std::function<void()> hook);
    // How many 'wMen' messages have been handled.
    int32 WindowListChanges() const { return mWindowListChanges; }

    // --- YKDocumentServices

    void AddDocument(YKDocument* document) override;
    void PostToApplication(const YKMessage& message) override;
    YKDocumentView* CreateDocumentWindow(YKDocument* document, int32 index, YKRect<int32> frame,
                                         bool show) override;
    YKRect<int32> ScreenFrame() const override;
    void DeliverToPanel(Panel panel, const YKMessage& message) override;
    int32 PreferredPreviewMode() const override;

private:
    void CreateRequested(const YKMessage& message);
    void OpenRequested(const YKMessage& message);
    void SaveRequested(const YKMessage& message);
    void CloseRequested(const YKMessage& message);
    // 'Cnvs': the canvas of the message's document resized, or the reason it cannot be.
    void CanvasRequested(const YKMessage& message);
    // The "document" pointer of a message when it names one of the open documents; a stale
    // pointer (the document was closed meanwhile) gives null and is never followed.
    YKDocument* MessageDocument(const YKMessage& message) const;
    void DestroyDocument(YKDocument* document);

    const YKPrefSetting* mPreferences;

    // Guards the document list; re-entrant, so a document may be destroyed while it is held.
    mutable YKLocker mDocumentsLock{"documents"};
    std::vector<std::unique_ptr<YKDocument>> mDocuments;

    mutable std::mutex mQueueLock;
    std::deque<YKMessage> mQueue;  // guarded by mQueueLock
    std::function<void()> mWakeUp;

    // Held while a panel receives, as its lock; a panel may pass a notification on.
    mutable std::recursive_mutex mPanelLock;
    std::array<PanelSink, 4> mPanels;

    WindowFactory mWindowFactory;
    YKRect<int32> mScreenFrame{0, 0, 1919, 1079};
    SavePathChooser mSavePathChooser;
    std::function<void()> mWindowListHook;
    std::map<uint32, std::function<void(const YKMessage&)>> mCommandHooks;
    std::function<void(const YKMessage&)> mUnhandledHook;
    int32 mWindowListChanges = 0;
};
