// What each menu code of the document window does: operations of the viewer layer, the undo
// manager, the event manager, the document or the view; the rest goes on to the application.

#include <QInputDialog>
#include <algorithm>
#include <memory>

#include "YKAlert.h"
#include "YKBitmap.h"
#include "YKCacheLayer.h"
#include "YKCanvasPanel.h"
#include "YKDocument.h"
#include "YKDocumentWindow.h"
#include "YKDocumentWindow_internal.h"
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
#include "YKUndoDocumentIDs.h"
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
    YKUndoManager* undo = mDocument->UndoManager();
    // Commands that make layers or objects take ids from the document: their undo gives the
    // ids back, so an undone command leaves no trace in the saved file.
    const YKDocument::IDCounters counters = mDocument->Counters();
    const int32 recorded = undo->UndoDirtyCount();
    if (LayerCommand(message) || ObjectCommand(message) || SelectionCommand(message) ||
        AnimationCommand(message)) {
        if (mDocument->Counters() != counters && undo->UndoDirtyCount() != recorded) {
            undo->AddToLastAction(
                new YKUndoDocumentIDs(mDocument, counters, mDocument->Counters()));
        }
        return;
    }
    if (ViewCommand(message) || DesktopCommand(message)) {
        return;
    }
    switch (message.what) {
        case 'UNDO':
        case 'Redo':
            for (int32 step = YKInt32Field(message, "steps", 1); step > 0; --step) {
                message.what == 'UNDO' ? undo->UndoLast() : undo->RedoLast();
            }
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
        case 'LFlt':
        case 'LCmF': {
            std::unique_ptr<YKGenericFilter> filter = FilterOf(message);
            if (filter == nullptr || layer == nullptr || !layer->InheritsFrom("YKCacheLayer")) {
                break;
            }
            const bool merge = message.what == 'LCmF';
            viewer->ModifyLayer(layer, merge ? "Composite Method" : "Apply Filter",
                                [&](YKLayer* changed) {
                                    auto* cache = static_cast<YKCacheLayer*>(changed);
                                    if (merge) {
                                        cache->SetMergeMethod(YK_FILTER, filter.release());
                                    } else {
                                        cache->AddFilter(filter.release());
                                    }
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
        case 'OFlt':
        case 'OCmF': {
            const std::vector<YKLayer*> selected = viewer->SelectedObjects(mIndex);
            std::unique_ptr<YKGenericFilter> filter = FilterOf(message);
            if (selected.empty() || filter == nullptr) {
                break;
            }
            const bool merge = message.what == 'OCmF';
            viewer->ModifyLayer(selected.front(), merge ? "Composite Method" : "Apply Filter",
                                [&](YKLayer* changed) {
                                    auto* object = static_cast<YKObjectLayer*>(changed);
                                    if (merge) {
                                        object->ChangeMergeMethod(YK_FILTER, filter.release());
                                    } else {
                                        object->ApplyFilter(filter.release());
                                    }
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
        default:
            return false;
    }
    return true;
}

void YKDocumentWindow::StepFrame(int32 delta) {
    YKEnvelopManager* manager = mDocument->EnvelopManager();
    YKViewerLayer* viewer = mDocument->ViewerLayer();
    if (manager == nullptr || viewer == nullptr || !viewer->LockHirarchy()) {
        return;
    }
    const int32 current = manager->CurrentFrame();
    const int32 next = std::clamp(current + delta, 1, manager->MaxFrame());
    if (next != current) {
        // While the frame moves, no view sets values into the envelopes.
        mDocument->SetPlayMode(true);
        manager->SetCurrentFrame(next);
        viewer->SwitchToFrame(current);
        mDocument->SetPlayMode(false);
    }
    viewer->UnlockHirarchy();
}

// --- View ---

void YKDocumentWindow::SetPreviewMode(int32 mode) {
    mPreviewMode = mode;
    mDocument->ViewerLayer()->SetPreviewMode(mode);
}
