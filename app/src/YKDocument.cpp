#include "YKDocument.h"

#include <sys/xattr.h>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "YKAlert.h"
#include "YKAutolock.h"
#include "YKBitmapRoster.h"
#include "YKCacheLayer.h"
#include "YKDocumentServices.h"
#include "YKDocumentView.h"
#include "YKEnvelopManager.h"
#include "YKImageOpeners.h"
#include "YKMsgFile.h"
#include "YKObjectLayer.h"
#include "YKReplacedFile.h"
#include "YKUndoDocumentIDs.h"
#include "YKUndoSetFrame.h"
#include "YKUserLayer.h"
#include "YKViewerLayer.h"
#include "yk_image_limits.h"

// Sections: construction · files · canvas and looks · views · notifications · state.

namespace {

// The class-wide counter behind every document's create id.
std::atomic<int32> gCreateCounter{0};

// Loading and saving raise a text that the operation's top catches and shows; the system's
// reason, where there is one, goes only to callers that print it (the command line).
struct DocumentError : std::runtime_error {
    explicit DocumentError(const char* text, std::string why = {})
        : std::runtime_error(text), reason(std::move(why)) {}
    std::string reason;
};

constexpr const char* kMimeType = "image/x-Tavernix-GravikDocument";

// Whatever image opens must save: the document message holds the image's pixels and the rest
// of the document beside them.
static_assert(YKMsgFile::kMaxMessageSize >= kYKMaxImageBytes + (int64{256} << 20));

std::string UntitledName(int32 createID) {
    return "Untitled " + std::to_string(createID);
}

// Moves a rectangle so that its centre lies on the origin; sizes count inclusively and are
// halved toward zero, so a 100-pixel-wide picture spans -50 to 49.
YKRect<int32> CentredOnOrigin(YKRect<int32> frame) {
    const int32 width = frame.right - frame.left + 1;
    const int32 height = frame.bottom - frame.top + 1;
    return {-(width / 2), -(height / 2), width - 1 - width / 2, height - 1 - height / 2};
}

void ShowAlert(const std::string& text) {
    YKAlert(text.c_str(), "OK").Go();
}

}  // namespace

// --- Construction ---

void YKDocument::Init(YKDocumentServices* services) {
    mServices = services;
    mUndoManager.SetHost(this);
    mUndoManager.SetDocumentModifiedHook([this] { SetModified(true); });
    mCreateID = gCreateCounter++;
    if (mEnvelopManager == nullptr) {
        mEnvelopManager = std::make_unique<YKEnvelopManager>(this);
    }
    mEnvelopManager->SetDocument(this);
    mEnvelopManager->SetUndoManager(&mUndoManager);
    mPreviewMode = services != nullptr ? services->PreferredPreviewMode() : 0;
    if (mPreviewMode < 0 || mPreviewMode > 2) {
        mPreviewMode = 0;
    }
}

YKDocument::YKDocument(const char* name, YKRect<int32> frame, yk_color background,
                       YKDocumentServices* services)
    : mFrame(frame), mBackground(background) {
    Init(services);
    mViewerLayer = std::make_unique<YKViewerLayer>(this);
    mName = name != nullptr ? name : UntitledName(mCreateID);
    AddFirstUserLayer();
    CreateViewer(true);
}

void YKDocument::AddFirstUserLayer() {
    const std::string layerName = "Layer " + std::to_string(GetLayerID());
    mEnvelopManager->SetAcceptRedraw(false, false);
    auto* layer = new YKUserLayer(GetUniqueID(), layerName.c_str());
    mViewerLayer->AddChild(layer, true);
    mViewerLayer->SetCurrentUserLayer(layer);
    mEnvelopManager->SetAcceptRedraw(true, false);
    mEnvelopManager->ObjectAdded(layer->ID());
}

YKDocument::YKDocument(const YKMessage* message, const char* name, const char* path,
                       YKDocumentServices* services) {
    YKMessage envelopes;
    if (message->FindMessage("YKD:EnvelopManager", &envelopes)) {
        mEnvelopManager = std::make_unique<YKEnvelopManager>(&envelopes);
    }
    Init(services);
    mName = name != nullptr ? name : UntitledName(mCreateID);
    SetPath(path);

    message->FindInt32("YKD:object_id", &mObjectID);
    message->FindInt32("YKD:layer_id", &mLayerID);
    message->FindInt32("YKD:unique_id", &mUniqueID);
    message->FindMessage("YKD:export_msg", &mExportSettings);
    message->FindRect("YKD:Frame", &mFrame);
    // The stored preview mode is taken when it is one of the three; else the preferences'.
    int32 preview = -1;
    if (message->FindInt32("YKD:preview", &preview) && preview >= 0 && preview <= 2) {
        mPreviewMode = preview;
    }
    int32 pixel = 0;
    const void* legacy = nullptr;
    ssize_t legacySize = 0;
    if (message->FindInt32("YKD:YKBckgrd", &pixel)) {
        mBackground.SetARGBPixel(static_cast<uint32>(pixel));
    } else if (message->FindData("YKD:Bckgrd", 'RAWT', &legacy, &legacySize) &&
               legacySize == sizeof(rgb_color)) {
        rgb_color color;
        std::memcpy(&color, legacy, sizeof color);
        mBackground.SetRGBA(color);
    }

    mEnvelopManager->SetAcceptRedraw(false, false);
    mViewerLayer = std::make_unique<YKViewerLayer>(message, this);
    mViewerLayer->BeginInvalidate();
    YKMessage child;
    for (int32 i = 0; message->FindMessage("YKL:Child", i, &child); ++i) {
        auto* layer = new YKUserLayer(&child);
        if (mViewerLayer->AddChild(layer, true)) {
            LoadObjects(layer, &child);
        } else {
            delete layer;
        }
    }
    mViewerLayer->SetCurrentUserLayer(mViewerLayer->ChildAt(mViewerLayer->CountChildren() - 1));
    mViewerLayer->EndInvalidate();
    mEnvelopManager->SetAcceptRedraw(true, false);
    CreateViewer(true);
}

YKDocument::~YKDocument() {
    for (int32 i = mDependentWindows.CountItems() - 1; i >= 0; --i) {
        YKDocumentView* window = mDependentWindows.ItemAt(i);
        if (window->Lock()) {
            window->Quit();
            window->Unlock();
        }
    }
    for (YKDocumentView*& view : mViewers) {
        if (view != nullptr) {
            view->Quit();
            view = nullptr;
        }
    }
    if (mServices != nullptr) {
        mServices->PostToApplication(YKMessage('wMen'));
    }
    // The tree goes first: its layers unregister their envelopes from the manager on the way.
    mViewerLayer.reset();
    mUndoManager.Purge();
}

void YKDocument::LoadObjects(YKLayer* parent, const YKMessage* message) {
    YKMessage child;
    for (int32 i = 0; message->FindMessage("YKL:Child", i, &child); ++i) {
        const char* className = nullptr;
        if (!child.FindString("Class", &className)) {
            continue;  // a layer without a class is lost with its children
        }
        YKLayer* layer = mViewerLayer->UnarchiveObject(&child, mEnvelopManager.get());
        if (layer == nullptr) {
            continue;
        }
        if (parent->AddChild(layer, true)) {
            LoadObjects(layer, &child);
        } else {
            delete layer;
        }
    }
}

// --- Files ---

YKDocument* YKDocument::Load(const char* path, const char* name, bool showErrors,
                             YKDocumentServices* services, std::string* error) {
    if (path == nullptr || name == nullptr) {
        if (error != nullptr) {
            *error = "Internal Error 103";
        }
        if (showErrors) {
            ShowAlert("Error while loading document!\nError: Internal Error 103");
        }
        return nullptr;
    }
    std::string firstError;
    try {
        YKMsgFile file;
        if (!file.Open(path, YK_BIN_READ_ONLY)) {
            throw DocumentError("Can't open file");
        }
        YKMessage version;
        int32 number = 0;
        if (!file.GetMessage(&version) || version.IsEmpty() || version.what != kVersionWhat ||
            !version.FindInt32("vers", &number)) {
            throw DocumentError("This is not an Gravik file.");
        }
        if (number <= 99) {
            throw DocumentError("This Gravik file is obsolete and can't be loaded.");
        }
        if (number > kFileVersion) {
            throw DocumentError(
                "This Gravik file was created with a newer version of Gravik\nand cannot be "
                "opened.");
        }
        YKMessage document;
        if (!file.GetMessage(&document)) {
            throw DocumentError(
                "This Gravik file is corrupted or incomplete and cannot be opened.");
        }
        // The canvas is what every frame is rendered into; one no raster can hold is refused
        // before anything is built for it.
        YKRect<int32> canvas = YKRect<int32>::None();
        if (document.FindRect("YKD:Frame", &canvas) && canvas.IsValid() &&
            !yk_image_frame_ok(canvas)) {
            throw DocumentError("The canvas of this Gravik file is larger than an image can be.");
        }
        file.Close();
        auto* loaded = new YKDocument(&document, name, path, services);
        if (services != nullptr) {
            services->AddDocument(loaded);
        }
        return loaded;
    } catch (const DocumentError& raised) {
        firstError = raised.what();
    }
    std::string secondError;
    if (YKDocument* image = LoadImage(path, name, services, &secondError)) {
        return image;
    }
    std::string text = "Error while loading document!\nError: " + firstError;
    if (!secondError.empty()) {
        text += "\n" + secondError;
    }
    text += "\nFile: " + std::string(path);
    if (error != nullptr) {
        *error = firstError + (secondError.empty() ? "" : "\n" + secondError);
    }
    if (showErrors) {
        ShowAlert(text);
    }
    return nullptr;
}

YKDocument* YKDocument::LoadImage(const char* path, const char* name, YKDocumentServices* services,
                                  std::string* error) {
    YKOpenedImage image;
    if (path == nullptr || name == nullptr || !YKImageOpeners::Open(path, &image) ||
        !image.frame.IsValid()) {
        if (error != nullptr) {
            *error = path == nullptr || name == nullptr ? "Internal Error 103"
                     : image.error.empty() ? "File cannot be loaded. Unknown file format.\n"
                                           : "File cannot be loaded. " + image.error + "\n";
        }
        return nullptr;
    }
    auto* document =
        new YKDocument(name, CentredOnOrigin(image.frame), yk_color(255, 255, 255, 0), services);
    YKViewerLayer* root = document->mViewerLayer.get();
    root->LockHirarchy();
    root->BeginInvalidate();
    if (YKLayer* layer = image.makeLayer ? image.makeLayer(document->GetUniqueID()) : nullptr) {
        YKLayer* userLayer = root->ChildAt(0);
        if (userLayer == nullptr || !userLayer->AddChild(layer, true)) {
            delete layer;
        }
    }
    root->EndInvalidate();
    root->UnlockHirarchy();
    // The layer has made the frames; the file's delays time them.
    for (std::size_t i = 0; i < image.durations.size(); ++i) {
        if (image.durations[i] > 0) {
            document->mEnvelopManager->SetFrameDuration(static_cast<int32>(i) + 1,
                                                        image.durations[i]);
        }
    }
    // Opening is no edit: the frame count the sequence set is not an action to undo.
    document->mUndoManager.Purge();
    document->SetModified(false);
    document->mOpenWarnings = std::move(image.warnings);
    if (services != nullptr) {
        services->AddDocument(document);
    }
    return document;
}

std::string YKDocument::SuggestedFileName() const {
    return mName.rfind("Untitled", 0) == 0 ? mName + ".gr" : mName;
}

void YKDocument::Save(bool saveAs) {
    if (!saveAs && !mPath.empty()) {
        SaveInto(mPath.c_str(), true);
        return;
    }
    if (mServices != nullptr) {
        YKMessage request('grOs');
        request.AddString("docname", SuggestedFileName());
        request.AddPointer("document", this);
        mServices->PostToApplication(request);
    }
}

void YKDocument::ArchiveDocument(YKMessage* message) const {
    mViewerLayer->Archive(message, false);
    message->what = kDocumentWhat;
    message->AddInt32("YKD:object_id", mObjectID);
    message->AddInt32("YKD:layer_id", mLayerID);
    message->AddInt32("YKD:unique_id", mUniqueID);
    message->AddInt32("YKD:preview", mPreviewMode);
    message->AddRect("YKD:Frame", mFrame);
    message->AddInt32("YKD:ObjectNumber", CountObjects());
    message->AddMessage("YKD:export_msg", &mExportSettings);
    message->AddInt32("YKD:YKBckgrd", static_cast<int32>(mBackground.ARGBPixel()));
    YKMessage envelopes;
    mEnvelopManager->Archive(&envelopes);
    message->AddMessage("YKD:EnvelopManager", &envelopes);
}

bool YKDocument::SaveInto(const char* path, bool showErrors, std::string* error) {
    if (path == nullptr) {
        return false;
    }
    try {
        YKMessage document;
        // Every pattern is written once into this file, whatever earlier saves or copies wrote.
        YKBitmapRoster::Default().ResetForArchiving();
        mViewerLayer->LockHirarchy();
        ArchiveDocument(&document);
        mViewerLayer->UnlockHirarchy();
        // Written to a temporary and put in place only once complete: a failed save never
        // damages what the path named.
        YKReplacedFile target(path);
        YKMsgFile file;
        if (target.Stream() == nullptr) {
            throw DocumentError("Cannot open file", target.Error());
        }
        if (!file.Open(target.TemporaryPath().c_str(), YK_BIN_WRITE_ONLY)) {
            throw DocumentError("Cannot open file", std::strerror(errno));
        }
        YKMessage version(kVersionWhat);
        version.AddInt32("vers", kFileVersion);
        const bool written = file.PutMessage(&version) && file.PutMessage(&document);
        const int failure = errno;
        if (!file.Close() || !written) {
            throw DocumentError("Write failed", std::strerror(written ? errno : failure));
        }
        if (!target.Commit()) {
            throw DocumentError("Write failed", target.Error());
        }
        setxattr(path, "user.mime_type", kMimeType, std::strlen(kMimeType), 0);
    } catch (const DocumentError& raised) {
        if (error != nullptr) {
            *error = raised.what() + (raised.reason.empty() ? "" : " (" + raised.reason + ")");
        }
        if (showErrors) {
            ShowAlert("Error while saving document!\nError: " + std::string(raised.what()) +
                      "\nFile: " + path + "\n");
        }
        return false;
    }
    SetPath(path);
    SetModified(false);
    if (mCloseAfterSave) {
        PostDocumentMessage('grDd');
    }
    return true;
}

bool YKDocument::SaveChosen(const char* path) {
    if (!SaveInto(path, true)) {
        return false;
    }
    const char* slash = std::strrchr(path, '/');
    SetName(slash != nullptr ? slash + 1 : path);
    return true;
}

// --- Canvas and looks ---

void YKDocument::SetCounters(IDCounters counters) {
    mObjectID = counters.object;
    mLayerID = counters.layer;
    mUniqueID = counters.unique;
}

bool YKDocument::SetFrame(YKRect<int32> frame, int32 kind) {
    if (frame.IsValid() && !yk_image_frame_ok(frame)) {
        return false;
    }
    YKAutolock lock(&mLock);
    if (kind != 0) {
        mUndoManager.AddUndoItem(new YKUndoSetFrame(this, mFrame, kind), true);
    }
    mFrame = frame;
    mViewerLayer->SetCanvasFrame(frame);
    for (YKDocumentView* view : mViewers) {
        if (view != nullptr && view->Lock()) {
            view->DocumentFrameChanged(frame);
            view->Unlock();
        }
    }
    YKMessage notification('lUaT');
    MessageReceived(nullptr, &notification);
    return true;
}

YKRect<int32> YKDocument::Frame() const {
    YKAutolock lock(&mLock);
    return mFrame;
}

void YKDocument::SetBackgroundColor(yk_color color) {
    mBackground = color;
    for (YKDocumentView* view : mViewers) {
        if (view != nullptr && view->Lock()) {
            view->SetBackgroundColor(color);
            view->Unlock();
        }
    }
    YKMessage notification('lUaT');
    MessageReceived(nullptr, &notification);
    SetModified(true);
}

void YKDocument::SetName(const char* name) {
    mName = name != nullptr ? name : UntitledName(mCreateID);
    for (YKDocumentView* view : mViewers) {
        if (view != nullptr && view->Lock()) {
            view->Retitle(mName.c_str());
            view->Unlock();
        }
    }
}

void YKDocument::SetPath(const char* path) {
    if (path != nullptr) {
        mPath = path;
    }
}

void YKDocument::SetPreviewMode(int32 mode) {
    if (mode >= 0 && mode <= 2) {
        mPreviewMode = mode;
    }
}

void YKDocument::SetPlayMode(bool playing) {
    mPlayMode = playing;
    // While the animation plays, values are not set from the views.
    mEnvelopManager->SetAcceptAdd(!playing);
}

// --- Views ---

YKRect<int32> YKDocument::ViewerWindowFrame(YKRect<int32> canvas, YKRect<int32> screen) {
    YKRect<int32> window{0, 0, canvas.right - canvas.left + 40, canvas.bottom - canvas.top + 80};
    if (window.Width() < 480) {
        window.right = 479;
    }
    window.OffsetBy(screen.left + (screen.Width() - window.Width()) / 2,
                    screen.top + (screen.Height() - window.Height()) / 2);
    window.left = MAX(window.left, screen.left + 8);
    window.top = MAX(window.top, screen.top + 32);
    window.right = MIN(window.right, screen.right - 8);
    window.bottom = MIN(window.bottom, screen.bottom - 8);
    return window;
}

bool YKDocument::CreateViewer(bool show) {
    YKAutolock lock(&mLock);
    const int32 index = mViewerLayer->CreateViewer();
    if (index < 0) {
        return false;
    }
    YKDocumentView* window =
        mServices != nullptr
            ? mServices->CreateDocumentWindow(
                  this, index, ViewerWindowFrame(mFrame, mServices->ScreenFrame()), show)
            : nullptr;
    if (window == nullptr) {
        mViewerLayer->DeleteViewer(index);
        return false;
    }
    window->SetBackgroundColor(mBackground);
    mViewers[index] = window;
    mViewerLayer->SetWindow(window, index);
    mServices->PostToApplication(YKMessage('wMen'));
    return true;
}

bool YKDocument::DeleteViewer(YKDocumentView* window, bool* cancelled, bool forceClose) {
    YKAutolock lock(&mLock);
    if (cancelled != nullptr) {
        *cancelled = false;
    }
    int32 index = -1;
    for (int32 i = 0; i < kMaxViews; ++i) {
        if (mViewers[i] == window && window != nullptr) {
            index = i;
        }
    }
    if (index < 0) {
        return false;
    }
    if (!forceClose && CountViewers() == 1) {
        mPlayMode = false;
        if (mModified) {
            const int32 answer =
                YKAlert("Save changes to the document?", "Don't Save", "Cancel", "Save").Go();
            if (answer == 1) {
                if (cancelled != nullptr) {
                    *cancelled = true;
                }
                return false;
            }
            if (answer == 2) {
                SetCloseAfterSave();
                Save(false);
                if (cancelled != nullptr) {
                    *cancelled = true;
                }
                return false;
            }
            SetModified(false);
        } else if (YKAlert("This is the last view. Close document?", "No", "Yes").Go() == 0) {
            if (cancelled != nullptr) {
                *cancelled = true;
            }
            return false;
        }
        PostDocumentMessage('grDd');
        return true;
    }
    window->Quit();
    mViewers[index] = nullptr;
    mViewerLayer->DeleteViewer(index);
    if (mServices != nullptr) {
        mServices->PostToApplication(YKMessage('wMen'));
    }
    return true;
}

YKDocumentView* YKDocument::ViewerAt(int32 index) const {
    YKAutolock lock(&mLock);
    return index >= 0 && index < kMaxViews ? mViewers[index] : nullptr;
}

int32 YKDocument::CountViewers() const {
    YKAutolock lock(&mLock);
    int32 count = 0;
    for (YKDocumentView* view : mViewers) {
        count += view != nullptr ? 1 : 0;
    }
    return count;
}

void YKDocument::SetViewerID(int32 index) {
    mViewerLayer->SetViewerID(index);
}

void YKDocument::InvalidateRect(YKRect<int32> rect) {
    for (YKDocumentView* view : mViewers) {
        if (view != nullptr && view->Lock()) {
            view->InvalidateRect(rect);
            view->Unlock();
        }
    }
}

void YKDocument::AddDependentWindow(YKDocumentView* window) {
    if (window != nullptr && !mDependentWindows.HasItem(window)) {
        mDependentWindows.AddItem(window);
    }
}

void YKDocument::RemoveDependentWindow(YKDocumentView* window) {
    mDependentWindows.RemoveItem(mDependentWindows.IndexOf(window));
}

void YKDocument::PostToApplication(const YKMessage& message) const {
    if (mServices != nullptr) {
        mServices->PostToApplication(message);
    }
}

void YKDocument::PostDocumentMessage(uint32 what) {
    if (mServices != nullptr) {
        YKMessage message(what);
        message.AddPointer("document", this);
        mServices->PostToApplication(message);
    }
}

// --- Layers and notifications ---

bool YKDocument::SendMessage(YKLayer* layer, YKMessage* message) {
    if (message == nullptr || !mViewerLayer->SendMessage(layer, message)) {
        return false;
    }
    if (message->what == 'sOPT') {
        SetModified(true);
    }
    return true;
}

bool YKDocument::SendMessage(YKLayer* layer, uint32 code) {
    YKMessage message(code);
    return SendMessage(layer, &message);
}

void YKDocument::MessageReceived(YKLayer*, YKMessage* message) {
    if (mServices == nullptr || message == nullptr) {
        return;
    }
    using Panel = YKDocumentServices::Panel;
    switch (message->what) {
        case 'lULK':
        case 'lUTN':
        case 'lUaT':
        case 'lBLT':
        case 'lHID':
        case 'lLNK':
        case 'lOPA':
        case 'lSHW':
        case 'lREN':
        case 'lULC':
        case 'lLOC':
        case 'lMRG':
            mServices->DeliverToPanel(Panel::kLayers, *message);
            return;
        case 'oADD':
        case 'oHID':
        case 'oBLT':
        case 'oLOC':
        case 'oSHW':
        case 'oULC':
        case 'oMRG':
        case 'oREM':
        case 'oREN':
            mServices->DeliverToPanel(Panel::kObjects, *message);
            return;
        case 'oOPA':
            mServices->DeliverToPanel(Panel::kFiller, YKMessage('oOPA'));
            mServices->DeliverToPanel(Panel::kObjects, *message);
            return;
        case 'oPOS': {
            YKMessage position('oPOS');
            int32 count = 0;
            void* object = nullptr;
            if (message->GetInfo("YKObjectLayer", nullptr, &count) &&
                message->FindPointer("YKObjectLayer", count - 1, &object)) {
                position.AddPointer("YKObjectLayer", object);
            }
            mServices->DeliverToPanel(Panel::kObjects, position);
            return;
        }
        case 'oMDI': {
            YKMessage filler(3);
            void* object = nullptr;
            void* last = nullptr;
            for (int32 i = 0; message->FindPointer("YKObjectLayer", i, &object); ++i) {
                filler.AddPointer("YKObjectLayer", object);
                last = object;
            }
            mServices->DeliverToPanel(Panel::kFiller, filler);
            // The object panel follows the last object while it is selected or being edited
            // (modes above "not selected", "being drawn" and the unused 4).
            auto* layer = static_cast<YKLayer*>(last);
            if (layer != nullptr && layer->InheritsFrom("YKObjectLayer") &&
                (static_cast<YKObjectLayer*>(layer)->ObjectMode(-1) & ~7) != 0) {
                YKMessage objects('oMDI');
                objects.AddPointer("YKObjectLayer", last);
                mServices->DeliverToPanel(Panel::kObjects, objects);
            }
            return;
        }
        case 'fTHK': {
            YKMessage thickness('fthk');
            float size = 0;
            if (message->FindFloat("FontSize1", &size)) {
                thickness.AddFloat("FontSize1", size);
            }
            if (message->FindFloat("FontSize2", &size)) {
                thickness.AddFloat("FontSize2", size);
            }
            mServices->DeliverToPanel(Panel::kFiller, thickness);
            return;
        }
        case 'f3HK': {
            YKMessage object3D('f3hk');
            float value = 0;
            for (const char* name : {"_x_env", "_y_env", "_z_env"}) {
                if (message->FindFloat(name, &value)) {
                    object3D.AddFloat(name, value);
                }
            }
            int32 faces = 0;
            if (message->FindInt32("_count_faces", &faces)) {
                object3D.AddInt32("_count_faces", faces);
            }
            mServices->DeliverToPanel(Panel::kFiller, object3D);
            return;
        }
        case 'dBUS':
        case 'dBUO':
            mServices->DeliverToPanel(Panel::kToolBar, *message);
            return;
        default:
            return;
    }
}

int32 YKDocument::CountObjects() const {
    YKViewerLayer* root = mViewerLayer.get();
    root->LockHirarchy();
    // The walk counts the layer it starts from, the root, which is no object layer.
    const int32 count = root->CountHirarchyItems("YKObjectLayer", root) - 1;
    root->UnlockHirarchy();
    return count;
}

void YKDocument::AddUndoItem(YKUndoItem* item, bool terminator) {
    mUndoManager.AddUndoItem(item, terminator);
}

// --- State ---

bool YKDocument::ModifyLayers(const std::vector<YKLayer*>& layers, const char* name,
                              const std::function<void(YKLayer*)>& change) {
    const IDCounters before = Counters();
    if (!mViewerLayer->ModifyLayers(layers, name, change)) {
        return false;
    }
    mUndoManager.AddToLastAction(new YKUndoDocumentIDs(this, before, Counters()));
    return true;
}

void YKDocument::SetModified(bool modified) {
    mModified = modified;
}

bool YKDocument::FindExportMessage(const char* name, YKMessage* message) const {
    return mExportSettings.FindMessage(name, message);
}

void YKDocument::SetExportMessage(const char* name, const YKMessage* message) {
    mExportSettings.RemoveName(name);
    if (message != nullptr) {
        mExportSettings.AddMessage(name, message);
    }
}

void YKDocument::SetPagePage(const YKMessage* settings) {
    mPageSettings = settings != nullptr ? std::make_unique<YKMessage>(*settings) : nullptr;
}
