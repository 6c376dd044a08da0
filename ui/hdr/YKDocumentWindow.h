#pragma once

// YKDocumentWindow: one view of a document: the canvas with its scroll bars, a status line with
// the zoom control, and the menu bar. It is the core's YKDocumentView for that view. The core
// may call it from another thread (a rendering or playing thread); such calls lock it first and
// whatever touches widgets is carried over to the GUI thread.
//
// The window deletes itself when it closes. Closing by the user asks the document first; the
// document closes the window through Quit(), after which the window never touches it again.

#include <QImage>
#include <QKeySequence>
#include <QMainWindow>
#include <QRect>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "YKDocumentView.h"
#include "YKMessage.h"

class QComboBox;
class QMenu;
class QPrinter;
class YKCanvasListener;
class YKCanvasView;
class YKDocument;
class YKEventManager;
class YKLayer;
class YKPanelDocks;
class YKPlayback;
class YKExportWizardWin;
class YKGenericFilter;
class YKPrefSetting;
class YKViewerLayer;

class YKDocumentWindow : public QMainWindow, public YKDocumentView {
    Q_OBJECT

public:
    // View `index` of `document`, placed at `frame` (screen coordinates).
    YKDocumentWindow(YKDocument* document, int32 index, YKRect<int32> frame);
    ~YKDocumentWindow() override;

    YKDocument* Document() const { return mDocument; }
    YKCanvasView* Canvas() const { return mCanvas; }
    // The panels docked around the canvas.
    YKPanelDocks& Panels() const { return *mPanels; }
    int32 ViewIndex() const { return mIndex; }
    // Chooses an entry of the zoom control (clamped to its entries); the canvas follows.
    void SetZoomEntry(int entry);
    int ZoomEntry() const;

    // --- Editing and playback: the canvas's events, and this window's playing of the animation
    YKEventManager* Events() const { return mEvents.get(); }
    YKPlayback* Playback() const { return mPlayback.get(); }
    // Its hooks tell the window of selection changes and of the frames played.
    YKCanvasListener* CanvasListener() const { return mCanvasListener; }
    // The Animation menu's Loop toggle, which the playback reads when it starts.
    QAction* LoopAction() const { return mLoop; }
    // Makes `frame` (clamped to the document's frames) current and redraws the views; nothing
    // while playing. The canvas listener's frame hook hears of it as of a played frame.
    void ShowFrame(int32 frame);

    // --- Commands

    // Asks the user for files: `save` one path to write (offering `suggested`), else existing
    // files to read. Empty when cancelled. Qt's file dialogs unless replaced (the tests do).
    using FileChooser =
        std::function<QStringList(const QString& title, bool save, const QString& suggested)>;
    static void SetFileChooser(FileChooser chooser);
    // Asks through the chooser set, else through Qt's file dialogs, on top of `parent`.
    static QStringList ChooseFiles(QWidget* parent, const QString& title, bool save,
                                   const QString& suggested);
    // Carries out the command a menu item sends: the window's own codes on the document, its
    // layers, its undo manager or its view; every other code goes on to the application.
    void MessageReceived(const YKMessage& message);
    // A message of `code` carrying what the handlers need to find this view and its document.
    YKMessage CommandMessage(uint32 code) const;
    // Brings the marks and the enabled state of the items up to date; runs before a menu opens.
    void MenusBeginning();
    // 0 full view, 1 stroke preview, 2 shape preview.
    int32 PreviewMode() const { return mPreviewMode; }
    // Prints the canvas of the current frame onto `printer`, scaled to fit its page; false when
    // nothing could be drawn.
    bool PrintTo(QPrinter* printer);
    // The printer Page Setup edits and Print prints on, kept with the window.
    QPrinter* Printer();
    // Lists the open documents and their windows in the Window menu again.
    void UpdateWindowMenu();
    // Every document window, by document (in the order the documents first appear) and view.
    static std::vector<YKDocumentWindow*> DocumentWindows();
    // The preferences the menus and export windows follow and keep their settings in (not
    // owned; null: the defaults, and nothing is kept).
    static void SetPreferences(YKPrefSetting* preferences);
    static YKPrefSetting* Preferences();
    // Whether export offers the platform's image translators only.
    static bool TranslatorsOnly();

    // --- YKDocumentView

    bool Lock() override;
    void Unlock() override;
    void InvalidateRect(YKRect<int32> rect) override;
    void SetBackgroundColor(yk_color color) override;
    void Retitle(const char* title) override;
    void DocumentFrameChanged(YKRect<int32> frame) override;
    void Quit() override;
    // Set once the document let go of this view: from then on nothing touches the document.
    bool IsQuitting() const { return mQuitting; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Centred on `frame` and kept on the screen, whatever size the panels make the window.
    void PlaceAround(YKRect<int32> frame);

    // --- Menus (YKDocumentWindowMenus.cpp)
    void FillMainMenu();
    void FillZoomMenu(QMenu* view);
    void FillExportMenu(QMenu* exportMenu);
    // Each merge method, marked for the current one.
    void FillCompositeMenu(QMenu* menu, uint32 code);
    // The undo and redo lists, when the undo manager's stacks moved since they were built.
    void UpdateUndoMenus();
    // A window-wide shortcut for the latest action of the undo or redo list.
    void AddUndoShortcut(QKeySequence::StandardKey key, uint32 code);

    // --- Commands (YKDocumentWindowCommands.cpp)
    // The codes that edit the layers; false when `code` is not one of them.
    bool LayerCommand(const YKMessage& message);
    bool ObjectCommand(const YKMessage& message);
    bool SelectionCommand(const YKMessage& message);
    bool AnimationCommand(const YKMessage& message);
    // The frame edits of the Animation and Edit menus, each one undo action; false when `code`
    // is not one of them.
    bool FrameEditCommand(uint32 code);
    // Key frames at the current frame for the selected objects' values.
    void InsertKeyFrame();
    // Tells the canvas listener's frame hook which frame is current.
    void FrameShownHere();
    // The effects panel, showing the effect ("effect") or the filter ("filter") a Layer or
    // Object menu item names.
    void ShowEffectsPanel(const YKMessage& message);
    // The user layer the layer commands work on: the event manager's, else the tree's current.
    YKLayer* CurrentLayer() const;
    // The tools edit the layer the document made current (a new one, or the one an undo
    // brought back).
    void FollowCurrentLayer();
    void SetPreviewMode(int32 mode);
    // The filter of the message's "filter" (one of the loaded filters), copied for a layer to
    // own; null when it names none.
    static std::unique_ptr<YKGenericFilter> FilterOf(const YKMessage& message);
    // The bitmap selection replaced by what `change` makes of it, as one undoable action.
    void ChangeSelection(const std::function<void(YKViewerLayer*)>& change);

    // --- View and desktop (YKDocumentWindowDesktop.cpp)
    // Display mode, limits, fit zoom, new view, window arrangement, about and help.
    bool ViewCommand(const YKMessage& message);
    bool DesktopCommand(const YKMessage& message);
    // Places the document windows: 0 stacked (cascading), 1 in rows, 2 in columns.
    static void ArrangeWindows(int32 arrangement, const QRect& area);
    void FillColorModeMenu(QMenu* colorMode);
    // The largest zoom entry at which the whole canvas shows in the view.
    int FitZoomEntry() const;
    void ShowAbout();
    // Opens the README at `section` (empty: the top) in the desktop's viewer.
    void OpenManual(const QString& section);
    void CropCanvasTo(YKRect<int32> frame);
    // The selected objects of the current user layer as they show, for other programs.
    QImage SelectionPicture() const;

    // --- Files and printing (YKDocumentWindowFiles.cpp)
    void SaveAs();
    void OpenFiles();
    void ImportFiles(bool sequence);
    // Opens the export window of the format (a roll-over page gets its own).
    void ExportDocument(int32 rasterIOId);
    // The window of several exports of this document, made on first use and kept.
    void ShowExportWizard();
    void Print();
    // The page setup dialog, on the kept printer.
    void PageSetup();
    // Moves the document's animation `delta` frames, within its frames, and redraws the views.
    void StepFrame(int32 delta);
    // Runs `work` on the GUI thread: now when called there, else queued (and dropped if the
    // window is gone by then).
    void RunInGui(std::function<void()> work);

    YKDocument* mDocument;
    const int32 mIndex;
    YKCanvasView* mCanvas;
    QComboBox* mZoomControl;
    QAction* mLoop = nullptr;
    int32 mPreviewMode = 0;
    QMenu* mUndoMenu = nullptr;
    QMenu* mRedoMenu = nullptr;
    QMenu* mLayerComposite = nullptr;
    QAction* mLockObject = nullptr;
    QAction* mDithering = nullptr;
    QMenu* mDocumentsMenu = nullptr;
    std::unique_ptr<QPrinter> mPrinter;
    // The Window menu's panel items, by code, marked while their panel shows.
    std::vector<std::pair<uint32, QAction*>> mPanelItems;
    // The undo manager's change counts the undo and redo lists were built for.
    int32 mUndoSeen = -1;
    int32 mRedoSeen = -1;
    std::recursive_mutex mLock;
    // Set by Quit(): from then on the core's calls are refused and the document is not used.
    std::atomic<bool> mQuitting{false};

    // --- Editing and playback. Both end in Quit(), while the document is still there.
    YKCanvasListener* mCanvasListener;  // a child of the canvas
    std::unique_ptr<YKEventManager> mEvents;
    std::unique_ptr<YKPlayback> mPlayback;
    std::unique_ptr<YKPanelDocks> mPanels;
    // Lives with the window: its exports remain until removed.
    YKExportWizardWin* mExportWizard = nullptr;
};
