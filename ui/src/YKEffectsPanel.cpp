#include "YKEffectsPanel.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cmath>
#include <span>

#include "YKCacheLayer.h"
#include "YKColorButton.h"
#include "YKDocument.h"
#include "YKDocumentWindow.h"
#include "YKFilterBox.h"
#include "YKGenericFilter.h"
#include "YKObjectLayer.h"
#include "YKUndoEffects.h"
#include "YKUndoManager.h"
#include "YKUserLayer.h"
#include "YKViewerLayer.h"

// Sections: the effects' table · building · showing · editing · filters.

namespace {

// --- The effects' table ---

// How a parameter is edited. Intensities are shown in percent (256 is 100 %).
enum class Kind { kRadius, kOffset, kIntensity, kColor, kEmbossMode, kWidth };

struct Param {
    const char* label;
    const char* key;  // the effect layer's archive key
    Kind kind;
};

constexpr Param kOuterShadow[] = {{"Blur radius", "_os_radius", Kind::kRadius},
                                  {"Offset X", "_os_offx", Kind::kOffset},
                                  {"Offset Y", "_os_offy", Kind::kOffset},
                                  {"Intensity", "_os_intensity", Kind::kIntensity},
                                  {"Colour", "_os_color", Kind::kColor}};
constexpr Param kOuterGlow[] = {{"Blur radius", "_og_radius", Kind::kRadius},
                                {"Intensity", "_og_intensity", Kind::kIntensity},
                                {"Colour", "_og_color", Kind::kColor}};
constexpr Param kInnerShadow[] = {{"Blur radius", "_is_radius", Kind::kRadius},
                                  {"Offset X", "_is_offx", Kind::kOffset},
                                  {"Offset Y", "_is_offy", Kind::kOffset},
                                  {"Intensity", "_is_intensity", Kind::kIntensity},
                                  {"Colour", "_is_color", Kind::kColor}};
constexpr Param kInnerGlow[] = {{"Blur radius", "_ig_radius", Kind::kRadius},
                                {"Intensity", "_ig_intensity", Kind::kIntensity},
                                {"Colour", "_ig_color", Kind::kColor}};
constexpr Param kEmboss[] = {
    {"Blur radius", "_em_radius", Kind::kRadius}, {"Light X", "_em_offx", Kind::kOffset},
    {"Light Y", "_em_offy", Kind::kOffset},       {"Intensity", "_em_intensity", Kind::kIntensity},
    {"Highlight", "_em_hcol", Kind::kColor},      {"Shade", "_em_lcol", Kind::kColor},
    {"Drawn", "_em_mode", Kind::kEmbossMode}};
constexpr Param kOutline[] = {{"Width", "_ou_radius", Kind::kWidth},
                              {"Colour", "_ou_color", Kind::kColor}};

struct Effect {
    const char* title;
    int32 flag;
    std::span<const Param> params;
};

// In the order of the Effects submenus' "effect" field.
constexpr Effect kEffects[YKEffectsPanel::kEffectCount] = {
    {"Outer Shadow", YKEffectLayer::kOuterShadow, kOuterShadow},
    {"Outer Glow", YKEffectLayer::kOuterGlow, kOuterGlow},
    {"Inner Shadow", YKEffectLayer::kInnerShadow, kInnerShadow},
    {"Inner Glow", YKEffectLayer::kInnerGlow, kInnerGlow},
    {"Emboss & Bevel", YKEffectLayer::kEmboss, kEmboss},
    {"Outline", YKEffectLayer::kOutline, kOutline},
};

// The emboss modes by number: 0 over the content, 1 under it, 2 over it only where it is.
constexpr const char* kEmbossModes[] = {"Over the content", "Under the content",
                                        "Within the content"};

// A far offset or radius only makes every redraw slower; the blur stops at 255 anyway.
constexpr int kMaxOffset = 255;
constexpr int kMaxWidth = 64;
constexpr int kMaxIntensityPercent = 1000;

int32 Percent(int32 intensity) {
    return static_cast<int32>(std::lround(intensity * 100.0 / 256.0));
}

int32 Intensity(int percent) {
    return static_cast<int32>(std::lround(percent * 256.0 / 100.0));
}

int32 Flags(const YKMessage& settings) {
    int32 flags = 0;
    settings.FindInt32("_pr_flags", &flags);
    return flags;
}

std::string DisplayName(const char* name) {
    return name != nullptr && name[0] != '\0' ? name : "Unnamed";
}

}  // namespace

struct YKEffectsPanel::Binding {
    QWidget* widget;
    const Param* param;
};

// --- Building ---

YKPanel* YKEffectsPanel::Create(YKDocumentWindow* window) {
    return new YKEffectsPanel(window);
}

YKEffectsPanel::YKEffectsPanel(YKDocumentWindow* window)
    : YKPanel(window), mTarget(new QLabel(this)), mScroll(new QScrollArea(this)) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 4);
    mTarget->setWordWrap(true);
    column->addWidget(mTarget);

    auto* content = new QWidget(mScroll);
    auto* boxes = new QVBoxLayout(content);
    boxes->setContentsMargins(0, 0, 0, 0);
    for (int32 effect = 0; effect < kEffectCount; ++effect) {
        boxes->addWidget(BuildEffect(effect));
    }
    mFilters = new YKFilterBox(content);
    connect(mFilters, &YKFilterBox::ApplyRequested, this, &YKEffectsPanel::ApplyFilter);
    boxes->addWidget(mFilters);
    boxes->addStretch(1);
    mScroll->setWidget(content);
    mScroll->setWidgetResizable(true);
    mScroll->setFrameShape(QFrame::NoFrame);
    // The panel scrolls up and down only: it is as wide as its widest row.
    mScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mScroll->setMinimumWidth(content->minimumSizeHint().width() +
                             mScroll->verticalScrollBar()->sizeHint().width());
    column->addWidget(mScroll, 1);
}

YKEffectsPanel::~YKEffectsPanel() = default;

QWidget* YKEffectsPanel::BuildEffect(int32 effect) {
    const Effect& table = kEffects[effect];
    // "&" would mark a shortcut letter in a group box title.
    auto* box =
        new QGroupBox(tr(table.title).replace(QLatin1Char('&'), QStringLiteral("&&")), this);
    box->setCheckable(true);
    box->setChecked(false);
    connect(box, &QGroupBox::toggled, this, [this, flag = table.flag](bool on) {
        Change([flag, on](YKMessage& settings) {
            const int32 flags = on ? Flags(settings) | flag : Flags(settings) & ~flag;
            settings.ReplaceInt32("_pr_flags", flags);
            settings.ReplaceBool("_is_effect_enabled", flags != 0);
        });
        Commit();
    });
    auto* form = new QFormLayout(box);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    for (int32 param = 0; param < static_cast<int32>(table.params.size()); ++param) {
        const Param& p = table.params[param];
        QWidget* widget = nullptr;
        switch (p.kind) {
            case Kind::kRadius: {
                auto* spin = new QDoubleSpinBox(box);
                spin->setRange(0, YKEffectLayer::kMaxBlurRadius);
                spin->setDecimals(1);
                spin->setSuffix(tr(" px"));
                widget = spin;
                break;
            }
            case Kind::kOffset:
            case Kind::kIntensity:
            case Kind::kWidth: {
                auto* spin = new QSpinBox(box);
                if (p.kind == Kind::kOffset) {
                    spin->setRange(-kMaxOffset, kMaxOffset);
                } else {
                    spin->setRange(0, p.kind == Kind::kWidth ? kMaxWidth : kMaxIntensityPercent);
                }
                spin->setSuffix(p.kind == Kind::kIntensity ? tr(" %") : tr(" px"));
                widget = spin;
                break;
            }
            case Kind::kColor:
                widget = new YKColorButton(QString(), box);
                break;
            case Kind::kEmbossMode: {
                auto* combo = new QComboBox(box);
                for (const char* mode : kEmbossModes) {
                    combo->addItem(tr(mode));
                }
                widget = combo;
                break;
            }
        }
        widget->setObjectName(QString::fromUtf8(p.key));
        form->addRow(tr(p.label), widget);
        mBindings.push_back({widget, &p});
        Bind(widget, effect, param);
    }
    mBoxes[effect] = box;
    return box;
}

void YKEffectsPanel::Bind(QWidget* widget, int32 effect, int32 param) {
    const Param& p = kEffects[effect].params[param];
    const char* key = p.key;
    // Spin boxes change the canvas as they step and make one undo action when the editing
    // ends; the other controls are a gesture each.
    if (auto* spin = qobject_cast<QDoubleSpinBox*>(widget)) {
        spin->setKeyboardTracking(false);
        connect(spin, &QDoubleSpinBox::valueChanged, this, [this, key](double value) {
            Change([&](YKMessage& s) { s.ReplaceFloat(key, static_cast<float>(value)); });
        });
        connect(spin, &QDoubleSpinBox::editingFinished, this, &YKEffectsPanel::Commit);
    } else if (auto* spin = qobject_cast<QSpinBox*>(widget)) {
        spin->setKeyboardTracking(false);
        const bool percent = p.kind == Kind::kIntensity;
        connect(spin, &QSpinBox::valueChanged, this, [this, key, percent](int value) {
            Change([&](YKMessage& s) { s.ReplaceInt32(key, percent ? Intensity(value) : value); });
        });
        connect(spin, &QSpinBox::editingFinished, this, &YKEffectsPanel::Commit);
    } else if (auto* color = qobject_cast<YKColorButton*>(widget)) {
        connect(color, &YKColorButton::ColorChosen, this, [this, key](yk_color chosen) {
            Change(
                [&](YKMessage& s) { s.ReplaceInt32(key, static_cast<int32>(chosen.ARGBPixel())); });
            Commit();
        });
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        connect(combo, &QComboBox::activated, this, [this, key](int index) {
            Change([&](YKMessage& s) { s.ReplaceInt32(key, index); });
            Commit();
        });
    }
}

// --- Showing ---

std::vector<YKEffectLayer*> YKEffectsPanel::Targets() const {
    std::vector<YKEffectLayer*> targets;
    YKViewerLayer* viewer = Window()->IsQuitting() ? nullptr : Document()->ViewerLayer();
    if (viewer == nullptr || !viewer->LockHirarchy()) {
        return targets;
    }
    for (YKLayer* object : viewer->SelectedObjects(Window()->ViewIndex())) {
        targets.push_back(static_cast<YKObjectLayer*>(object));
    }
    YKLayer* layer = viewer->CurrentUserLayer();
    if (targets.empty() && layer != nullptr && layer->InheritsFrom("YKEffectLayer")) {
        targets.push_back(static_cast<YKEffectLayer*>(layer));
    }
    viewer->UnlockHirarchy();
    return targets;
}

void YKEffectsPanel::Refresh() {
    std::vector<YKEffectLayer*> targets = Targets();
    if (targets != mShown) {
        // The selection moved on: what was changed so far is one action.
        Commit();
        mShown = std::move(targets);
    } else if (!mGesture.empty()) {
        // The widgets show what the gesture set.
        return;
    }
    if (mShown.empty()) {
        mTarget->setText(tr("Select an object or a layer to give it effects."));
        SetEnabled(false);
        return;
    }
    YKViewerLayer* viewer = Document()->ViewerLayer();
    if (!viewer->LockHirarchy()) {
        return;
    }
    YKEffectLayer* first = mShown.front();
    const YKMessage settings = YKUndoEffects::Settings(first);
    QString target;
    if (mShown.size() > 1) {
        target = tr("%n selected objects", nullptr, static_cast<int>(mShown.size()));
    } else if (first->InheritsFrom("YKObjectLayer")) {
        target = tr("Object “%1”")
                     .arg(QString::fromStdString(
                         DisplayName(static_cast<YKObjectLayer*>(first)->Name())));
    } else if (first->InheritsFrom("YKUserLayer")) {
        target =
            tr("Layer “%1”")
                .arg(QString::fromStdString(DisplayName(static_cast<YKUserLayer*>(first)->Name())));
    } else {
        target = tr("Group");
    }
    viewer->UnlockHirarchy();
    mTarget->setText(target);
    SetEnabled(true);
    ShowSettings(settings);
}

void YKEffectsPanel::ShowSettings(const YKMessage& settings) {
    // Showing values is no edit.
    mShowing = true;
    const int32 flags = Flags(settings);
    for (int32 effect = 0; effect < kEffectCount; ++effect) {
        mBoxes[effect]->setChecked((flags & kEffects[effect].flag) != 0);
    }
    for (const Binding& binding : mBindings) {
        float radius = 0;
        int32 value = 0;
        settings.FindFloat(binding.param->key, &radius);
        settings.FindInt32(binding.param->key, &value);
        if (auto* spin = qobject_cast<QDoubleSpinBox*>(binding.widget)) {
            spin->setValue(radius);
        } else if (auto* spin = qobject_cast<QSpinBox*>(binding.widget)) {
            spin->setValue(binding.param->kind == Kind::kIntensity ? Percent(value) : value);
        } else if (auto* color = qobject_cast<YKColorButton*>(binding.widget)) {
            color->SetColor(yk_color(static_cast<uint32>(value)));
        } else if (auto* combo = qobject_cast<QComboBox*>(binding.widget)) {
            combo->setCurrentIndex(value);
        }
    }
    mShowing = false;
}

void YKEffectsPanel::SetEnabled(bool enabled) {
    for (QGroupBox* box : mBoxes) {
        box->setEnabled(enabled);
    }
    mFilters->setEnabled(enabled);
}

void YKEffectsPanel::ShowEffect(int32 effect) {
    if (effect >= 0 && effect < kEffectCount) {
        mScroll->ensureWidgetVisible(mBoxes[effect]);
        mBoxes[effect]->setFocus();
    }
}

void YKEffectsPanel::ShowFilter(const YKGenericFilter* filter) {
    mFilters->Select(filter);
    mScroll->ensureWidgetVisible(mFilters);
}

// --- Editing ---

void YKEffectsPanel::Change(const std::function<void(YKMessage&)>& edit) {
    if (mShowing || mShown.empty()) {
        return;
    }
    Edit([&](YKViewerLayer*) {
        const bool opening = mGesture.empty();
        for (YKEffectLayer* layer : mShown) {
            YKMessage settings = YKUndoEffects::Settings(layer);
            if (opening) {
                mGesture.emplace_back(layer, settings);
            }
            edit(settings);
            YKUndoEffects::Give(layer, settings);
        }
    });
}

void YKEffectsPanel::Commit() {
    if (mGesture.empty()) {
        return;
    }
    auto* record = new YKUndoEffects;
    YKViewerLayer* viewer = Window()->IsQuitting() ? nullptr : Document()->ViewerLayer();
    if (viewer != nullptr && viewer->LockHirarchy()) {
        for (const auto& [layer, before] : mGesture) {
            record->Add(layer, before, YKUndoEffects::Settings(layer));
        }
        viewer->UnlockHirarchy();
    }
    mGesture.clear();
    if (record->IsEmpty() || viewer == nullptr) {
        delete record;
        return;
    }
    viewer->AddUndoItem(record, true);
}

void YKEffectsPanel::hideEvent(QHideEvent* event) {
    Commit();
    YKPanel::hideEvent(event);
}

// --- Filters ---

void YKEffectsPanel::ApplyFilter(const YKGenericFilter& filter, const YKMessage& parameters) {
    Commit();
    const std::vector<YKEffectLayer*> targets = Targets();
    if (targets.empty()) {
        return;
    }
    // Each target is changed as a copy that takes its place, so that Undo puts the target
    // itself back, without the group an object had to be wrapped in to carry the filter.
    Document()->ModifyLayers({targets.begin(), targets.end()}, "Apply Filter",
                             [&](YKLayer* changed) {
                                 YKGenericFilter* copy = filter.Duplicate();
                                 if (copy == nullptr) {
                                     return;
                                 }
                                 copy->RestoreFilterParameters(&parameters);
                                 if (changed->InheritsFrom("YKObjectLayer")) {
                                     static_cast<YKObjectLayer*>(changed)->ApplyFilter(copy);
                                 } else if (changed->InheritsFrom("YKCacheLayer")) {
                                     static_cast<YKCacheLayer*>(changed)->AddFilter(copy);
                                 } else {
                                     delete copy;
                                 }
                             });
    // The targets shown were replaced by their changed copies.
    mShown.clear();
    Refresh();
}
