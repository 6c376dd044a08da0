// What each menu code of the document window does: operations of the viewer layer, the undo
// manager, the event manager, the document or the view; the rest goes on to the application.

#include <QDockWidget>
#include <QInputDialog>
#include <algorithm>
#include <memory>

#include "YKAlert.h"
#include "YKBitmap.h"
#include "YKCacheLayer.h"
#include "YKCanvasListener.h"
#include "YKCanvasPanel.h"
#include "YKDocument.h"
#include "YKDocumentWindow.h"
#include "YKDocumentWindow_internal.h"
#include "YKEffectsPanel.h"
#include "YKEnvelop.h"
#include "YKEnvelopManager.h"
#include "YKEventManager.h"
#include "YKFilterManager.h"
#include "YKGenericFilter.h"
#include "YKLayerPropertiesDialog.h"
#include "YKObjectLayer.h"
#include "YKPanelDocks.h"
#include "YKPlayback.h"
#include "YKQtClipboard.h"
#include "YKRaster.h"
#include "YKTimelinePanel.h"
#include "YKUndoLayerChoice.h"
#include "YKUndoManager.h"
#include "YKUndoSelection.h"
#include "YKUserLayer.h"
#include "YKViewerLayer.h"
#include "yk_composition.h"

// Sections: dispatch · layers · objects · selection · animation · view.

namespace {

// One editing step of the viewer layer around `work`, so the views redraw once.
template <class Work>
void InStep(YKViewerLayer* viewer, Work work) {
    viewer->LockHirarchy();
    viewer->BeginInvalidate();
    work();
    viewer->EndInvalidate();
    viewer->UnlockHirarchy();
}

}  // namespace

// --- Dispatch ---

void YKDocumentWindow::MessageReceived(const YKMessage& message) {
    if (mQuitting) {
        return;
    }
    bool layerCommand = false;
    bool objectCommand = false;
    // A layer operation chooses the layer it makes, and copies take new ids; their undo gives
    // both back.
    YKUndoLayerChoice::Around(mDocument, [&] {
        layerCommand = LayerCommand(message);
        objectCommand = !layerCommand && ObjectCommand(message);
    });
    if (layerCommand) {
        FollowCurrentLayer();
    }
    if (layerCommand || objectCommand || SelectionCommand(message) || AnimationCommand(message)) {
        return;
    }
    if (ViewCommand(message) || DesktopCommand(message)) {
        return;
    }
    YKUndoManager* undo = mDocument->UndoManager();
    switch (message.what) {
        case 'UNDO':
        case 'Redo':
            for (int32 step = YKInt32Field(message, "steps", 1); step > 0; --step) {
                message.what == 'UNDO' ? undo->UndoLast() : undo->RedoLast();
            }
            FollowCurrentLayer();
            UpdateUndoMenus();
            return;
        case 'EPuU':
            undo->Purge();
            UpdateUndoMenus();
            return;
        case 'FulV':
        case 'Strk':
        case 'Shap':
            SetPreviewMode(message.what == 'FulV' ? 0 : message.what == 'Strk' ? 1 : 2);
            return;
        case 'ZoIn':
            SetZoomEntry(ZoomEntry() + 1);
            return;
        case 'Zout':
            SetZoomEntry(ZoomEntry() - 1);
            return;
        case 'grCp':
            YKCanvasPanel::Open(mDocument, this);
            return;
        case 'grSd':
            if (mDocument->Path() != nullptr) {
                mDocument->Save(false);
            } else {
                SaveAs();
            }
            return;
        case 'grAd':
            SaveAs();
            return;
        case 'OpOo':
            OpenFiles();
            return;
        case 'ImFl':
        case 'ImSq':
            ImportFiles(message.what == 'ImSq');
            return;
        case 'grEd':
            ExportDocument(YKInt32Field(message, "raster_io_id", -1));
            return;
        case 'exWz':
            ShowExportWizard();
            return;
        case 'grPs':
            PageSetup();
            return;
        case 'grPr':
            Print();
            return;
        case 'grDd':
            close();
            return;
        case 'LFXs':
        case 'OFXs':
        case 'LFlt':
        case 'OFlt':
            ShowEffectsPanel(message);
            return;
        case '_QRQ':
            // From the File menu the application quits (asking about each unsaved document);
            // from the View menu, this view closes.
            if (message.HasInt32("application")) {
                mDocument->PostToApplication(message);
            } else {
                close();
            }
            return;
        default:
            if (mPanels->Toggle(message.what)) {
                return;
            }
            // Dialogs and application-wide commands.
            mDocument->PostToApplication(message);
            return;
    }
}

void YKDocumentWindow::ShowEffectsPanel(const YKMessage& message) {
    auto* panel = dynamic_cast<YKEffectsPanel*>(mPanels->Panel("effects"));
    if (panel == nullptr) {
        return;
    }
    mPanels->Dock("effects")->show();
    mPanels->Dock("effects")->raise();
    void* filter = nullptr;
    if (message.FindPointer("filter", &filter)) {
        panel->ShowFilter(static_cast<const YKGenericFilter*>(filter));
    } else {
        panel->ShowEffect(YKInt32Field(message, "effect", 0));
    }
}

void YKDocumentWindow::FollowCurrentLayer() {
    YKLayer* current = mDocument->ViewerLayer()->CurrentUserLayer();
    if (mEvents != nullptr && current != nullptr) {
        mEvents->SetCurrentLayer(current);
    }
}

YKLayer* YKDocumentWindow::CurrentLayer() const {
    YKLayer* layer = mEvents != nullptr ? mEvents->CurrentLayer() : nullptr;
    return layer != nullptr ? layer : mDocument->ViewerLayer()->CurrentUserLayer();
}

// --- Layers ---

bool YKDocumentWindow::LayerCommand(const YKMessage& message) {
    YKViewerLayer* viewer = mDocument->ViewerLayer();
    YKLayer* layer = CurrentLayer();
    switch (message.what) {
        case 'Lnew':
            viewer->NewLayer(layer, mIndex);
            break;
        case 'Ldup':
            viewer->DuplicateLayer(layer, mIndex);
            break;
        case 'Ldel':
            viewer->DeleteLayer(layer, mIndex);
            break;
        case 'LayC':
            viewer->ConvertLayerToSelection();
            break;
        case 'LFcu':
            viewer->FlattenLayer(layer);
            break;
        case 'LFUp':
            viewer->FlattenLayerUp(layer);
            break;
        case 'LFDm':
            viewer->FlattenLayerDown(layer);
            break;
        case 'LFTp':
            viewer->FlattenLayerToTop(layer);
            break;
        case 'LFBm':
            viewer->FlattenLayerToBottom(layer);
            break;
        case 'LFVi':
            viewer->FlattenVisible();
            break;
        case 'IFlt':
            viewer->FlattenImage();
            break;
        case 'LMUp':
            viewer->MergeLayerUp(layer);
            break;
        case 'LMDm':
            viewer->MergeLayerDown(layer);
            break;
        case 'LMTp':
            viewer->MergeLayerToTop(layer);
            break;
        case 'LMBm':
            viewer->MergeLayerToBottom(layer);
            break;
        case 'LMVi':
            viewer->MergeVisible();
            break;
        case 'IMrg':
            viewer->MergeImage();
            break;
        case 'LCmp': {
            if (layer == nullptr || !layer->InheritsFrom("YKCacheLayer")) {
                break;
            }
            const int32 method = YKInt32Field(message, "index", 0);
            viewer->ModifyLayer(layer, "Composite Method", [method](YKLayer* changed) {
                static_cast<YKCacheLayer*>(changed)->SetMergeMethod(method, nullptr);
            });
            break;
        }
        case 'LPrp':
            if (layer != nullptr && layer->InheritsFrom("YKUserLayer")) {
                YKLayerPropertiesDialog::Open(mDocument, static_cast<YKUserLayer*>(layer), mIndex,
                                              this);
            }
            break;
        case 'LCmF': {
            // Applying a filter goes through the effects panel, where its parameters are set.
            std::unique_ptr<YKGenericFilter> filter = FilterOf(message);
            if (filter == nullptr || layer == nullptr || !layer->InheritsFrom("YKCacheLayer")) {
                break;
            }
            mDocument->ModifyLayers({layer}, "Composite Method", [&](YKLayer* changed) {
                static_cast<YKCacheLayer*>(changed)->SetMergeMethod(YK_FILTER, filter.release());
            });
            break;
        }
        case 'CnCr':
            CropCanvasTo(viewer->SelectionFrame(mIndex));
            break;
        case 'CnC2': {
            YKBitmap* selection = viewer->GetSelection();
            if (selection != nullptr) {
                auto bounds = std::make_unique<YKBitmap>(*selection);
                bounds->OptimizeFrame();
                CropCanvasTo(bounds->Frame());
            }
            break;
        }
        case 'Ulay':
            MenusBeginning();
            break;
        default:
            return false;
    }
    return true;
}

void YKDocumentWindow::CropCanvasTo(YKRect<int32> frame) {
    frame = frame & mDocument->Frame();
    if (frame.IsValid()) {
        mDocument->SetFrame(frame, 1);
    }
}

// --- Objects ---

bool YKDocumentWindow::ObjectCommand(const YKMessage& message) {
    YKViewerLayer* viewer = mDocument->ViewerLayer();
    switch (message.what) {
        case 'CCUT':
        case 'COPY': {
            // The picture is taken first: a cut removes what it shows.
            const QImage picture = SelectionPicture();
            if (message.what == 'CCUT' ? viewer->Cut(mIndex) : viewer->Copy(mIndex)) {
                if (auto* desktop = dynamic_cast<YKQtClipboard*>(YKClipboard::Current())) {
                    desktop->SetPicture(picture);
                }
            }
            break;
        }
        case 'PSTE':
        case 'Epip':
            viewer->Paste(mIndex, std::nullopt);
            break;
        case 'Odup':
            viewer->DuplicateSelectedObject(mIndex);
            break;
        case 'Odel':
            viewer->DeleteSelectedObject(mIndex);
            break;
        case 'ObjC':
            viewer->ConvertObjectToSelection();
            break;
        case 'Oflt': {
            YKLayer* first = mEvents != nullptr ? mEvents->FirstSelectedObject() : nullptr;
            if (first == nullptr) {
                const std::vector<YKLayer*> selected = viewer->SelectedObjects(mIndex);
                first = selected.empty() ? nullptr : selected.front();
            }
            if (first != nullptr) {
                viewer->FlattenObject(first);
            }
            break;
        }
        case 'Olok':
        case 'OCmp': {
            const std::vector<YKLayer*> selected = viewer->SelectedObjects(mIndex);
            if (selected.empty()) {
                break;
            }
            YKMessage change(message.what == 'OCmp' ? 'oMRG' : YKMarked(message) ? 'oLOC' : 'oULC');
            change.AddInt32("merge_method", YKInt32Field(message, "index", 0));
            viewer->ModifyLayer(
                selected.front(), message.what == 'OCmp' ? "Composite Method" : "Lock Object",
                [&](YKLayer* changed) { mDocument->SendMessage(changed, &change); });
            break;
        }
        case 'Objc': {
            const std::vector<YKLayer*> selected =
                viewer->SelectedObjects(mIndex, viewer->CurrentUserLayer());
            const bool bitmaps = std::any_of(selected.begin(), selected.end(), [](YKLayer* l) {
                return l->InheritsFrom("YKBitmapLayer");
            });
            if (selected.empty()) {
                YKAlert("No object selected", "Close").Go();
            } else if (!viewer->CropSelectedObject(mIndex) && !bitmaps) {
                YKAlert("Unable to crop a vectorial object", "Close").Go();
            }
            break;
        }
        case 'OCmF': {
            const std::vector<YKLayer*> selected = viewer->SelectedObjects(mIndex);
            std::unique_ptr<YKGenericFilter> filter = FilterOf(message);
            if (selected.empty() || filter == nullptr) {
                break;
            }
            mDocument->ModifyLayers({selected.front()}, "Composite Method", [&](YKLayer* changed) {
                static_cast<YKObjectLayer*>(changed)->ChangeMergeMethod(YK_FILTER,
                                                                        filter.release());
            });
            break;
        }
        case 'Alig': {
            std::vector<YKObjectLayer*> objects;
            for (YKLayer* object : viewer->SelectedObjects(mIndex, viewer->CurrentUserLayer())) {
                objects.push_back(static_cast<YKObjectLayer*>(object));
            }
            mEvents->RecordPlacement(objects, "Alignment", [&] {
                viewer->AlignObjects(YKInt32Field(message, "viewid", mIndex),
                                     YKInt32Field(message, "align", 0));
            });
            // The objects moved: the canvas is laid out again around them.
            mDocument->SetFrame(mDocument->Frame(), 0);
            break;
        }
        default:
            return false;
    }
    return true;
}

QImage YKDocumentWindow::SelectionPicture() const {
    YKViewerLayer* viewer = mDocument->ViewerLayer();
    YKRect<int32> covered = YKRect<int32>::None();
    for (YKLayer* object : viewer->SelectedObjects(mIndex, viewer->CurrentUserLayer())) {
        covered = covered | object->Frame();
    }
    std::unique_ptr<YKRaster> picture(viewer->RenderPicture(covered, 0));
    if (picture == nullptr) {
        return {};
    }
    const YKRect<int32> frame = picture->Frame();
    return QImage(picture->Bits(), frame.Width() + 1, frame.Height() + 1, picture->BytesPerRow(),
                  QImage::Format_ARGB32)
        .copy();
}

// --- Selection ---

bool YKDocumentWindow::SelectionCommand(const YKMessage& message) {
    YKViewerLayer* viewer = mDocument->ViewerLayer();
    switch (message.what) {
        case 'Sall':
            viewer->SelectAll(mIndex, nullptr);
            break;
        case 'SDso':
            viewer->DeselectAll(mIndex);
            break;
        case 'Sinv':
            if (mEvents != nullptr) {
                mEvents->InvertSelection();
            }
            break;
        case 'Salb':
            ChangeSelection([](YKViewerLayer* viewer) {
                viewer->ReplaceSelection(viewer->CreateRectangleSelection(viewer->CanvasFrame()));
            });
            break;
        case 'Sinb':
            // Everything, less what was selected: each alpha becomes its complement.
            ChangeSelection([](YKViewerLayer* viewer) {
                std::unique_ptr<YKBitmap> was;
                if (viewer->GetSelection() != nullptr) {
                    was = std::make_unique<YKBitmap>(*viewer->GetSelection());
                }
                viewer->ReplaceSelection(viewer->CreateRectangleSelection(viewer->CanvasFrame()));
                if (was != nullptr) {
                    viewer->RemoveSelection(was.get());
                }
            });
            break;
        case 'SDsb':
            InStep(viewer, [viewer] { viewer->EraseSelection(); });
            break;
        case 'Sfzr': {
            if (viewer->GetSelection() == nullptr) {
                YKAlert("No selection to feather", "OK").Go();
                break;
            }
            bool accepted = false;
            const int radius = QInputDialog::getInt(this, tr("Feather selection"), tr("Radius"), 0,
                                                    0, 255, 1, &accepted);
            if (accepted) {
                YKMessage feather('SfOK');
                feather.AddInt32("radius", radius);
                MessageReceived(feather);
            }
            break;
        }
        case 'SfOK': {
            const int32 radius = YKInt32Field(message, "radius", 0);
            InStep(viewer, [viewer, radius] { viewer->FeatherSelection(radius); });
            break;
        }
        case 'SLay': {
            void* layer = nullptr;
            if (mEvents != nullptr && message.FindPointer("Layer", &layer)) {
                mEvents->SetCurrentLayer(static_cast<YKLayer*>(layer));
            }
            break;
        }
        default:
            return false;
    }
    return true;
}

void YKDocumentWindow::ChangeSelection(const std::function<void(YKViewerLayer*)>& change) {
    YKViewerLayer* viewer = mDocument->ViewerLayer();
    std::unique_ptr<YKBitmap> before;
    YKRect<int32> rect = YKRect<int32>::None();
    InStep(viewer, [&] {
        if (viewer->GetSelection() != nullptr) {
            before = std::make_unique<YKBitmap>(*viewer->GetSelection());
        }
        rect = viewer->SelectionRectangle();
        change(viewer);
    });
    mDocument->AddUndoItem(new YKUndoSelection(std::move(before), rect), true);
}

std::unique_ptr<YKGenericFilter> YKDocumentWindow::FilterOf(const YKMessage& message) {
    void* named = nullptr;
    if (!message.FindPointer("filter", &named)) {
        return nullptr;
    }
    // Only a loaded filter is followed: the pointer may come from anywhere.
    const YKFilterManager& filters = YKFilterManager::Default();
    for (int32 list = 0; list < filters.CountFilterLists(); ++list) {
        const YKList<YKGenericFilter*>* each = filters.FilterListAt(list);
        for (int32 i = 0; each != nullptr && i < each->CountItems(); ++i) {
            if (each->ItemAt(i) == named) {
                YKMessage archive;
                each->ItemAt(i)->Archive(&archive);
                return std::unique_ptr<YKGenericFilter>(
                    each->ItemAt(i)->InstantiateFilter(&archive));
            }
        }
    }
    return nullptr;
}

// --- Animation ---

bool YKDocumentWindow::AnimationCommand(const YKMessage& message) {
    YKEnvelopManager* manager = mDocument->EnvelopManager();
    switch (message.what) {
        case 5:
            mPlayback->SetLoop(mLoop->isChecked());
            mPlayback->Play();
            break;
        case 6:
            mPlayback->Stop();
            break;
        case 2:
            StepFrame(1);
            break;
        case 1:
            StepFrame(-1);
            break;
        case 7:
            StepFrame(manager != nullptr ? -manager->MaxFrame() : 0);
            break;
        case 8:
            StepFrame(manager != nullptr ? manager->MaxFrame() : 0);
            break;
        case 17:
        case 18:
        case 19:
        case 20:
        case 21:
        case 22:
            if (auto* timeline = dynamic_cast<YKTimelinePanel*>(mPanels->Panel("timeline"))) {
                mPanels->Dock("timeline")->show();
                timeline->ShowRows(static_cast<int32>(message.what));
            }
            break;
        default:
            return FrameEditCommand(message.what);
    }
    return true;
}

bool YKDocumentWindow::FrameEditCommand(uint32 code) {
    using Edit = void (*)(YKEnvelopManager&);
    struct FrameEdit {
        uint32 code;
        const char* name;
        Edit edit;
    };
    static constexpr FrameEdit kEdits[] = {
        {12, "Insert Frame", [](YKEnvelopManager& m) { m.InsertFrames(1); }},
        {13, "Delete Frame", [](YKEnvelopManager& m) { m.DeleteFrame(); }},
        {15, "Add Keys To Frame", [](YKEnvelopManager& m) { m.AddKeyToFrame(); }},
        {16, "Delete Keys From Frame", [](YKEnvelopManager& m) { m.DeleteKeyFromFrame(); }},
        {24, "Paste Frame", [](YKEnvelopManager& m) { m.PasteFrame(); }},
        {25, "Replace Frame", [](YKEnvelopManager& m) { m.ReplaceFrame(); }},
    };
    YKEnvelopManager* manager = mDocument->EnvelopManager();
    const auto* found = std::find_if(std::begin(kEdits), std::end(kEdits),
                                     [code](const FrameEdit& e) { return e.code == code; });
    if (found == std::end(kEdits) && code != 14 && code != 23) {
        return false;
    }
    // While playing, the playing thread owns the frame.
    if (manager == nullptr || mPlayback->IsPlaying()) {
        return true;
    }
    YKViewerLayer* viewer = mDocument->ViewerLayer();
    if (code == 23) {
        manager->CopyFrame();
    } else if (code == 14) {
        InsertKeyFrame();
    } else {
        viewer->EditFrames(found->name, found->edit);
    }
    FrameShownHere();
    return true;
}

void YKDocumentWindow::InsertKeyFrame() {
    YKViewerLayer* viewer = mDocument->ViewerLayer();
    if (!viewer->LockHirarchy()) {
        return;
    }
    std::vector<int32> owners;
    for (YKLayer* object : viewer->SelectedObjects(mIndex)) {
        owners.push_back(object->ID());
    }
    std::sort(owners.begin(), owners.end());
    // The selected objects keep what they show now as key frames of this frame.
    viewer->EditFrames("Insert Key Frame", [&owners](YKEnvelopManager& manager) {
        const YKList<YKEnvelop*>* envelopes = manager.EnvelopList();
        for (int32 i = 0; i < envelopes->CountItems(); ++i) {
            YKEnvelop* envelope = envelopes->ItemAt(i);
            if (envelope->CountKeyFrames() > 0 &&
                std::binary_search(owners.begin(), owners.end(), envelope->RealOwner())) {
                envelope->FixValue(nullptr);
            }
        }
    });
    viewer->UnlockHirarchy();
}

void YKDocumentWindow::StepFrame(int32 delta) {
    YKEnvelopManager* manager = mDocument->EnvelopManager();
    if (manager != nullptr) {
        ShowFrame(manager->CurrentFrame() + delta);
    }
}

void YKDocumentWindow::ShowFrame(int32 frame) {
    YKEnvelopManager* manager = mQuitting ? nullptr : mDocument->EnvelopManager();
    YKViewerLayer* viewer = manager != nullptr ? mDocument->ViewerLayer() : nullptr;
    if (viewer == nullptr || mPlayback->IsPlaying() || !viewer->LockHirarchy()) {
        return;
    }
    const int32 current = manager->CurrentFrame();
    const int32 next = std::clamp(frame, 1, manager->MaxFrame());
    if (next != current) {
        // While the frame moves, no view sets values into the envelopes.
        mDocument->SetPlayMode(true);
        manager->SetCurrentFrame(next);
        viewer->SwitchToFrame(current);
        mDocument->SetPlayMode(false);
    }
    viewer->UnlockHirarchy();
    FrameShownHere();
}

void YKDocumentWindow::FrameShownHere() {
    YKEnvelopManager* manager = mDocument->EnvelopManager();
    if (manager != nullptr) {
        // As playing does, so that whatever follows the frames follows this one too.
        mCanvasListener->FrameShown(manager->CurrentFrame());
    }
}

// --- View ---

void YKDocumentWindow::SetPreviewMode(int32 mode) {
    mPreviewMode = mode;
    mDocument->ViewerLayer()->SetPreviewMode(mode);
}
