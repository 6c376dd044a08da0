#pragma once

// YKDocument: one open drawing. It owns its canvas rectangle, background, the layer tree under
// its viewer layer, its envelope manager (the animation), its undo manager and its export
// settings, and refers to up to eight views. It saves itself to and loads itself from a message
// file of two records (the version message, then the document message), opens plain images as
// new documents, asks about unsaved changes when its last view closes, and routes the layers'
// notifications to the panels.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "YKList.h"
#include "YKLocker.h"
#include "YKMessage.h"
#include "YKRect.h"
#include "YKUndoManager.h"
#include "YKViewerLayerHost.h"
#include "yk_color.h"

class YKDocumentServices;
class YKDocumentView;
class YKEnvelopManager;
class YKLayer;
class YKRaster;
class YKUserLayer;
class YKViewerLayer;

class YKDocument : public YKViewerLayerHost {
public:
    static constexpr int32 kMaxViews = 8;
    static constexpr uint32 kVersionWhat = 'grdv';
    static constexpr uint32 kDocumentWhat = 'edoc';
    static constexpr int32 kFileVersion = 101;

    // A new document with one user layer ("Layer 1") and a first view, shown. A null name
    // gives "Untitled %d" with the create id.
    YKDocument(const char* name, YKRect<int32> frame, yk_color background,
               YKDocumentServices* services);
    // A document rebuilt from its document message; its first view is shown once loaded.
    YKDocument(const YKMessage* message, const char* name, const char* path,
               YKDocumentServices* services);
    ~YKDocument() override;

    // --- Files

    // Opens a document file, or failing that an image, as a new document handed to the
    // services' document list. On failure returns null and, with `showErrors`, shows the
    // error texts in an alert; `error` receives them either way.
    static YKDocument* Load(const char* path, const char* name, bool showErrors,
                            YKDocumentServices* services, std::string* error = nullptr);
    // Opens an image as a new document (through the registered image readers).
    static YKDocument* LoadImage(const char* path, const char* name, YKDocumentServices* services,
                                 std::string* error = nullptr);
    // Damage the image reader read past when this document was opened from an image, one line
    // each; empty for a document file.
    const std::vector<std::string>& OpenWarnings() const { return mOpenWarnings; }
    // Saves to the document's path, or asks the application for one ('grOs').
    void Save(bool saveAs);
    // Writes the document file through YKReplacedFile, so a failed save leaves what the path
    // named as it was. `error` gets the error text, followed by the system's reason in
    // parentheses where there is one.
    bool SaveInto(const char* path, bool showErrors, std::string* error = nullptr);
    // Saves to a path the user chose in a save panel: on success the document takes the file's
    // name, as it would have had it been opened from there.
    bool SaveChosen(const char* path);
    // The name offered when the document is saved for the first time.
    std::string SuggestedFileName() const;
    // Rebuilds the children of `parent` from the "YKL:Child" messages of `message`.
    void LoadObjects(YKLayer* parent, const YKMessage* message);
    // The document message: the viewer layer's archive and the document's fields.
    void ArchiveDocument(YKMessage* message) const;

    // --- Canvas and looks

    // Replaces the canvas rectangle. A non-zero `kind` records an undo step (1: crop to the
    // selection, other: canvas resize).
    bool SetFrame(YKRect<int32> frame, int32 kind);
    YKRect<int32> Frame() const;
    YKRect<int32> CanvasFrame() const override { return Frame(); }
    void SetBackgroundColor(yk_color color);
    yk_color BackgroundColor() const { return mBackground; }
    void SetName(const char* name);
    const char* Name() const { return mName.c_str(); }
    // A null path keeps the old one.
    void SetPath(const char* path);
    // Null when the document was never loaded or saved.
    const char* Path() const { return mPath.empty() ? nullptr : mPath.c_str(); }
    void SetPreviewMode(int32 mode);
    int32 PreviewMode() const { return mPreviewMode; }
    void SetPlayMode(bool playing);
    bool PlayMode() const { return mPlayMode; }

    // --- Rendering

    // Moves the document to `frame` (1 to the frame count) and renders the whole canvas over
    // the background into a new raster of the canvas's size, which the caller owns. The document
    // stays at that frame. Null with a reason in `error` for a frame outside the animation or
    // an empty canvas.
    YKRaster* RenderFrame(int32 frame, std::string* error = nullptr);

    // --- Views

    // Opens a new view; false when eight are open or no window can be made.
    bool CreateViewer(bool show);
    // Closes a view. Closing the last one asks about unsaved changes; `cancelled` tells
    // whether the user kept it open (or a save is pending).
    bool DeleteViewer(YKDocumentView* window, bool* cancelled, bool forceClose = false);
    YKDocumentView* ViewerAt(int32 index) const;
    int32 CountViewers() const;
    void SetViewerID(int32 index);
    void InvalidateRect(YKRect<int32> rect);
    // The window rectangle of a new view: the canvas with room for the window's frame, at
    // least 480 wide, centred on `screen` and kept inside it.
    static YKRect<int32> ViewerWindowFrame(YKRect<int32> canvas, YKRect<int32> screen);
    void AddDependentWindow(YKDocumentView* window);
    void RemoveDependentWindow(YKDocumentView* window);

    // --- Layers and notifications

    // Delivers a message to a layer of this document; 'sOPT' marks the document modified.
    bool SendMessage(YKLayer* layer, YKMessage* message);
    bool SendMessage(YKLayer* layer, uint32 code);
    // Posts to the application around the document; nothing when there is none (headless).
    void PostToApplication(const YKMessage& message) const;
    // Routes a notification from the layers to the panels by its what code.
    void MessageReceived(YKLayer* layer, YKMessage* message) override;
    // Layers of the class "YKObjectLayer" in the tree.
    int32 CountObjects() const;
    YKViewerLayer* ViewerLayer() const override { return mViewerLayer.get(); }
    YKEnvelopManager* EnvelopManager() override { return mEnvelopManager.get(); }
    YKUndoManager* UndoManager() override { return &mUndoManager; }
    void AddUndoItem(YKUndoItem* item, bool terminator);

    // --- State

    bool IsModified() const { return mModified; }
    void SetModified(bool modified);
    void SetCloseAfterSave() { mCloseAfterSave = true; }
    void CancelSaveAndClose() { mCloseAfterSave = false; }
    bool CloseAfterSave() const { return mCloseAfterSave; }
    // One exporter's last settings; replacing with null removes them.
    bool FindExportMessage(const char* name, YKMessage* message) const;
    void SetExportMessage(const char* name, const YKMessage* message);
    const YKMessage& ExportSettings() const { return mExportSettings; }
    void SetPagePage(const YKMessage* settings);
    const YKMessage* GetPageMsg() const { return mPageSettings.get(); }

    // --- Identifiers: each call hands out the next one

    int32 GetObjectID() { return ++mObjectID; }
    int32 GetLayerID() override { return ++mLayerID; }
    int32 GetUniqueID() override { return ++mUniqueID; }
    int32 CreateID() const { return mCreateID; }
    int32 LastObjectID() const { return mObjectID; }
    int32 LastLayerID() const { return mLayerID; }
    int32 LastUniqueID() const { return mUniqueID; }
    // The three counters together: an object drawn and then discarded or undone hands its ids
    // back, so the saved document is what it was before.
    struct IDCounters {
        int32 object = 0;
        int32 layer = 0;
        int32 unique = 0;
    };
    IDCounters Counters() const { return {mObjectID, mLayerID, mUniqueID}; }
    void SetCounters(IDCounters counters);
    // Changes `layers` in place as one undo action (the viewer layer's ModifyLayers). A group
    // made to carry a filter takes an id, which Undo gives back with the rest.
    bool ModifyLayers(const std::vector<YKLayer*>& layers, const char* name,
                      const std::function<void(YKLayer*)>& change);

    bool Lock() { return mLock.Lock(); }
    void Unlock() { mLock.Unlock(); }

private:
    void Init(YKDocumentServices* services);
    void AddFirstUserLayer();
    void PostDocumentMessage(uint32 what);

    mutable YKLocker mLock{"YKDocument"};
    bool mPlayMode = false;
    YKUndoManager mUndoManager;
    std::unique_ptr<YKEnvelopManager> mEnvelopManager;
    YKRect<int32> mFrame = YKRect<int32>::None();
    YKDocumentView* mViewers[kMaxViews] = {};
    std::unique_ptr<YKViewerLayer> mViewerLayer;
    std::string mName;
    std::string mPath;
    int32 mCreateID = 0;
    int32 mObjectID = 0;
    int32 mLayerID = 0;
    int32 mUniqueID = 0;
    yk_color mBackground;
    bool mModified = false;
    bool mCloseAfterSave = false;
    int32 mPreviewMode = 0;
    YKMessage mExportSettings{'expt'};
    YKList<YKDocumentView*> mDependentWindows{16, false};
    std::unique_ptr<YKMessage> mPageSettings;
    std::vector<std::string> mOpenWarnings;
    YKDocumentServices* mServices = nullptr;
};
