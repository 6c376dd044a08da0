#include "YKLayerListPanel.h"

#include <QComboBox>
#include <QFormLayout>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QToolBar>
#include <QVBoxLayout>
#include <cmath>

#include "YKCacheLayer.h"
#include "YKDocument.h"
#include "YKDocumentWindow.h"
#include "YKEventManager.h"
#include "YKLayerRowView.h"
#include "YKObjectLayer.h"
#include "YKUndoLayerAttributes.h"
#include "YKUndoLayerChoice.h"
#include "YKUserLayer.h"
#include "YKViewerLayer.h"
#include "yk_composition.h"

// Sections: reading a layer · building · refresh · edits.

namespace {

constexpr int kLayerRole = Qt::UserRole;

// --- Reading a layer: a user layer, an object, or an object inside its dedicated parent ---

YKUserLayer* AsUser(YKLayer* layer) {
    return layer->InheritsFrom("YKUserLayer") ? static_cast<YKUserLayer*>(layer) : nullptr;
}

// The layer a row's controls change: an object rather than the cache layer that holds it.
YKLayer* Target(YKLayer* row) {
    if (!row->InheritsFrom("YKUserLayer") && row->InheritsFrom("YKCacheLayer") &&
        row->CountChildren() == 1 && row->ChildAt(0)->InheritsFrom("YKObjectLayer")) {
        return row->ChildAt(0);
    }
    return row;
}

YKObjectLayer* AsObject(YKLayer* layer) {
    return layer->InheritsFrom("YKObjectLayer") ? static_cast<YKObjectLayer*>(layer) : nullptr;
}

std::string FullName(YKLayer* row) {
    YKLayer* target = Target(row);
    if (YKUserLayer* user = AsUser(target)) {
        return user->GetFullName();
    }
    if (YKObjectLayer* object = AsObject(target)) {
        return object->GetFullName();
    }
    return "Group";
}

bool IsHiddenIn(YKLayer* target, int32 view) {
    YKUserLayer* user = AsUser(target);
    return user != nullptr ? user->IsUserLayerHidden(view) || user->YKLayer::IsHidden()
                           : target->IsHidden();
}

// The cache layer that carries the opacity and merge method; null for an object without a
// dedicated parent, which merges by its own method at full opacity.
YKCacheLayer* Carrier(YKLayer* target) {
    if (YKObjectLayer* object = AsObject(target)) {
        return object->DedicatedParent();
    }
    return target->InheritsFrom("YKCacheLayer") ? static_cast<YKCacheLayer*>(target) : nullptr;
}

int32 Opacity(YKLayer* target) {
    YKCacheLayer* carrier = Carrier(target);
    return carrier != nullptr ? carrier->GlobalAlpha() : 255;
}

int32 MergeMethod(YKLayer* target) {
    if (YKObjectLayer* object = AsObject(target)) {
        return object->MergeMethod();
    }
    YKCacheLayer* carrier = Carrier(target);
    return carrier != nullptr ? carrier->MergeMethod() : 0;
}

int PercentOf(int32 alpha) {
    return static_cast<int>(std::lround(alpha * 100.0 / 255.0));
}

int32 AlphaOf(int percent) {
    return static_cast<int32>(std::lround(percent * 255.0 / 100.0));
}

Qt::CheckState Checked(bool on) {
    return on ? Qt::Checked : Qt::Unchecked;
}

}  // namespace

// --- Building ---

YKLayerListPanel::YKLayerListPanel(YKDocumentWindow* window)
    : YKPanel(window),
      mTools(new QToolBar(this)),
      mRows(new YKLayerRowView(this)),
      mOpacity(new QSpinBox(this)),
      mMerge(new QComboBox(this)) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(2, 2, 2, 2);
    column->setSpacing(2);
    mTools->setIconSize(QSize(16, 16));
    mTools->setToolButtonStyle(Qt::ToolButtonTextOnly);
    column->addWidget(mTools);
    column->addWidget(mRows, 1);

    auto* controls = new QFormLayout;
    mOpacity->setRange(0, 100);
    mOpacity->setValue(100);
    mOpacity->setSuffix(tr(" %"));
    mOpacity->setToolTip(tr("Opacity, from 0 % (transparent) to 100 % (opaque)"));
    // One undo action per value the user settles on, not one per arrow step or key.
    mOpacity->setKeyboardTracking(false);
    controls->addRow(tr("Opacity"), mOpacity);
    for (int32 method = 0; method < YK_COMPOSITION_MODE_COUNT; ++method) {
        mMerge->addItem(tr(yk_composition_label[method]), method);
    }
    // "Filter" merges through a filter chosen in the menu; the list cannot supply one.
    if (auto* model = qobject_cast<QStandardItemModel*>(mMerge->model())) {
        model->item(YKCacheLayer::kFilterMergeMethod)->setEnabled(false);
    }
    mMerge->setToolTip(tr("How the layer merges with what lies below it"));
    controls->addRow(tr("Merge"), mMerge);
    column->addLayout(controls);

    connect(mRows, &QTreeWidget::itemChanged, this, &YKLayerListPanel::ItemChanged);
    connect(mRows, &QTreeWidget::itemSelectionChanged, this, &YKLayerListPanel::SelectionChanged);
    connect(mRows, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item, int) { mRows->editItem(item, YKLayerRowView::kName); });
    connect(mRows, &YKLayerRowView::RowMoved, this, &YKLayerListPanel::MoveRow);
    connect(mOpacity, &QSpinBox::editingFinished, this, &YKLayerListPanel::CommitOpacity);
    connect(mMerge, &QComboBox::activated, this, &YKLayerListPanel::CommitMerge);
}

void YKLayerListPanel::AddCommand(const char* label, const char* tip, uint32 code) {
    QAction* action = mTools->addAction(tr(label));
    action->setToolTip(tr(tip));
    connect(action, &QAction::triggered, this, [this, code] {
        Window()->MessageReceived(Window()->CommandMessage(code));
        RefreshNow();
    });
}

YKLayer* YKLayerListPanel::CurrentUserLayer() const {
    YKEventManager* events = Window()->Events();
    YKViewerLayer* viewer = Document()->ViewerLayer();
    return events != nullptr ? events->CurrentLayer() : viewer->CurrentUserLayer();
}

YKLayer* YKLayerListPanel::RowLayer(int row) const {
    QTreeWidgetItem* item = mRows->topLevelItem(row);
    return item != nullptr ? static_cast<YKLayer*>(item->data(0, kLayerRole).value<void*>())
                           : nullptr;
}

// --- Refresh ---

void YKLayerListPanel::Refresh() {
    YKViewerLayer* viewer = Document()->ViewerLayer();
    if (viewer == nullptr || !viewer->LockHirarchy()) {
        return;
    }
    const std::vector<YKLayer*> layers = Listed();
    Keys keys;
    keys.reserve(layers.size());
    for (YKLayer* layer : layers) {
        keys.emplace_back(layer, FullName(layer));
    }
    mUpdating = true;
    if (keys != mKeys) {
        Rebuild(layers);
        mKeys = std::move(keys);
    }
    for (int row = 0; row < mRows->topLevelItemCount(); ++row) {
        Update(mRows->topLevelItem(row), layers[row]);
    }
    YKLayer* target = ControlsTarget();
    UpdateControls(target != nullptr ? Target(target) : nullptr);
    mUpdating = false;
    viewer->UnlockHirarchy();
}

void YKLayerListPanel::Rebuild(const std::vector<YKLayer*>& layers) {
    mRows->clear();
    for (YKLayer* layer : layers) {
        auto* item = new QTreeWidgetItem(mRows);
        item->setData(0, kLayerRole, QVariant::fromValue(static_cast<void*>(layer)));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable |
                       Qt::ItemIsUserCheckable | Qt::ItemIsDragEnabled);
        item->setText(YKLayerRowView::kName, QString::fromStdString(FullName(layer)));
        // Both boxes show from the start; Update only changes them.
        item->setCheckState(YKLayerRowView::kVisible, Qt::Unchecked);
        item->setCheckState(YKLayerRowView::kLocked, Qt::Unchecked);
        item->setToolTip(YKLayerRowView::kVisible, tr("Show or hide"));
        item->setToolTip(YKLayerRowView::kLocked, tr("Lock against changes"));
    }
}

void YKLayerListPanel::Update(QTreeWidgetItem* item, YKLayer* layer) {
    YKLayer* target = Target(layer);
    const Qt::CheckState shown = Checked(!IsHiddenIn(target, Window()->ViewIndex()));
    const Qt::CheckState locked = Checked(target->IsLockedItself());
    if (item->checkState(YKLayerRowView::kVisible) != shown) {
        item->setCheckState(YKLayerRowView::kVisible, shown);
    }
    if (item->checkState(YKLayerRowView::kLocked) != locked) {
        item->setCheckState(YKLayerRowView::kLocked, locked);
    }
    const bool chosen = IsChosen(layer);
    if (item->isSelected() != chosen) {
        item->setSelected(chosen);
    }
}

void YKLayerListPanel::UpdateControls(YKLayer* target) {
    mOpacity->setEnabled(target != nullptr);
    mMerge->setEnabled(target != nullptr);
    if (target == nullptr) {
        return;
    }
    // A value being typed is not overwritten by a refresh.
    if (!mOpacity->hasFocus()) {
        mOpacity->setValue(PercentOf(Opacity(target)));
    }
    mMerge->setCurrentIndex(MergeMethod(target));
}

YKLayer* YKLayerListPanel::ControlsTarget() const {
    for (int row = 0; row < mRows->topLevelItemCount(); ++row) {
        if (mRows->topLevelItem(row)->isSelected()) {
            return RowLayer(row);
        }
    }
    return nullptr;
}

// --- Edits ---

void YKLayerListPanel::Change(YKLayer* row, const char* name,
                              const std::function<void(YKLayer*)>& change) {
    if (row == nullptr || Window()->IsQuitting()) {
        return;
    }
    YKLayer* target = Target(row);
    // An object's first opacity below full wraps it in a layer of its own, with a new id.
    YKUndoLayerChoice::Around(Document(), [&] {
        YKUndoLayerAttributes::Change(Document()->ViewerLayer(), target, name,
                                      [&] { change(target); });
    });
    RefreshSoon();
}

void YKLayerListPanel::RefreshSoon() {
    // Not from within the signal of a row that a rebuild would delete.
    QMetaObject::invokeMethod(this, &YKLayerListPanel::RefreshNow, Qt::QueuedConnection);
}

void YKLayerListPanel::ItemChanged(QTreeWidgetItem* item, int column) {
    if (mUpdating) {
        return;
    }
    YKLayer* row = RowLayer(mRows->indexOfTopLevelItem(item));
    const bool on = item->checkState(column) == Qt::Checked;
    switch (column) {
        case YKLayerRowView::kVisible:
            Change(row, on ? "Show" : "Hide", [&](YKLayer* target) {
                if (YKUserLayer* user = AsUser(target)) {
                    on ? user->ShowUserLayer(YKUserLayer::kAllViews)
                       : user->HideUserLayer(YKUserLayer::kAllViews);
                    user->YKLayer::Hide(false);
                } else {
                    target->Hide(!on);
                }
            });
            break;
        case YKLayerRowView::kLocked:
            Change(row, on ? "Lock" : "Unlock", [&](YKLayer* target) { target->Lock(on); });
            break;
        case YKLayerRowView::kName: {
            const std::string name = item->text(column).trimmed().toStdString();
            if (name.empty() || row == nullptr || name == FullName(row)) {
                // An empty name is refused: the row shows the name it had.
                mKeys.clear();
                RefreshSoon();
                break;
            }
            Change(row, "Rename", [&](YKLayer* target) {
                if (YKUserLayer* user = AsUser(target)) {
                    user->SetName(name.c_str());
                } else if (YKObjectLayer* object = AsObject(target)) {
                    object->SetName(name.c_str());
                }
            });
            break;
        }
        default:
            break;
    }
}

void YKLayerListPanel::SelectionChanged() {
    if (mUpdating) {
        return;
    }
    std::vector<YKLayer*> chosen;
    for (int row = 0; row < mRows->topLevelItemCount(); ++row) {
        if (mRows->topLevelItem(row)->isSelected()) {
            chosen.push_back(RowLayer(row));
        }
    }
    if (!Window()->IsQuitting()) {
        Choose(chosen);
    }
    RefreshSoon();
}

void YKLayerListPanel::CommitOpacity() {
    YKLayer* row = ControlsTarget();
    if (mUpdating || row == nullptr || PercentOf(Opacity(Target(row))) == mOpacity->value()) {
        return;
    }
    const int32 alpha = AlphaOf(mOpacity->value());
    Change(row, "Opacity", [&](YKLayer* target) {
        if (YKObjectLayer* object = AsObject(target)) {
            object->ChangeOpacity(alpha);
        } else if (YKCacheLayer* carrier = Carrier(target)) {
            carrier->SetGlobalAlpha(alpha);
        }
    });
}

void YKLayerListPanel::CommitMerge(int method) {
    YKLayer* row = ControlsTarget();
    if (mUpdating || row == nullptr || method == YKCacheLayer::kFilterMergeMethod ||
        MergeMethod(Target(row)) == method) {
        return;
    }
    Change(row, "Merge Method", [&](YKLayer* target) {
        if (YKObjectLayer* object = AsObject(target)) {
            object->ChangeMergeMethod(method, nullptr);
        } else if (YKCacheLayer* carrier = Carrier(target)) {
            carrier->SetMergeMethod(method, nullptr);
        }
    });
}

void YKLayerListPanel::MoveRow(int from, int to) {
    const int count = mRows->topLevelItemCount();
    if (Window()->IsQuitting() || from < 0 || from >= count || to < 0 || to > count) {
        return;
    }
    // Rows run top first, children bottom first.
    Move(count - 1 - from, count - to);
    mKeys.clear();
    RefreshNow();
}
