#include "YKInspectorPanel.h"

#include <QComboBox>
#include <QDockWidget>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QSignalBlocker>
#include <algorithm>

#include "YKAlert.h"
#include "YKBitmapRoster.h"
#include "YKColorButton.h"
#include "YKDash.h"
#include "YKDocument.h"
#include "YKDocumentWindow.h"
#include "YKEnvelop.h"
#include "YKEnvelopManager.h"
#include "YKGradientComposer.h"
#include "YKGradientContainer.h"
#include "YKKeyFrameButton.h"
#include "YKPaintEditor.h"
#include "YKPanelDocks.h"
#include "YKRasterLayer.h"
#include "YKVectorEntity.h"
#include "YKViewerLayer.h"
#include "yk_sketch_modes.h"

namespace {

struct Choice {
    const char* label;
    int32 value;
};

// The caps in the order the menus have always listed them.
constexpr Choice kCaps[] = {
    {"Butt", YK_CAP_BUTT},     {"Round", YK_CAP_ROUND},     {"Square", YK_CAP_SQUARE},
    {"Arrow1", YK_CAP_ARROW1}, {"Arrow2", YK_CAP_ARROW2},   {"Arrow3", YK_CAP_ARROW3},
    {"Circle", YK_CAP_CIRCLE}, {"Diamond", YK_CAP_DIAMOND}, {"Nail", YK_CAP_NAIL},
};
constexpr Choice kJoins[] = {
    {"None", YK_JOIN_NONE},
    {"Miter", YK_JOIN_MITER},
    {"Round", YK_JOIN_ROUND},
    {"Bevel", YK_JOIN_BEVEL},
};

QComboBox* ChoiceMenu(std::span<const Choice> choices, const QString& tip, QWidget* parent) {
    auto* menu = new QComboBox(parent);
    for (const Choice& choice : choices) {
        menu->addItem(QObject::tr(choice.label), choice.value);
    }
    menu->setToolTip(tip);
    return menu;
}

// A picture of a predefined dash, so that the menu shows what it draws.
QIcon DashIcon(int32 index) {
    QPixmap picture(64, 10);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    const YKDash* dash = YKDash::PredefDash(index);
    double x = 0;
    for (int32 i = 0; x < picture.width(); ++i) {
        const double length = dash != nullptr ? dash->TabAt(i % dash->CountTab()) : 64.0;
        if (i % 2 == 0) {
            painter.fillRect(QRectF(x, 3, length, 4), Qt::black);
        }
        x += length;
    }
    return QIcon(picture);
}

// A linear ramp from `color` to white across the object's box.
YKGradientContainer FirstGradient(yk_color color) {
    YKGradient ramp;
    ramp.Eraze();
    ramp.AddItem(0, 0.5, 1, {color.red / 255.0, color.green / 255.0, color.blue / 255.0, 1},
                 {1, 1, 1, 1});
    YKGradientContainer container;
    container.SetGradient(ramp);
    container.SetSxSy(0.5, 0.5);
    container.SetExEy(1, 0.5);
    return container;
}

// The menu entry of a dash: objects hold copies of the predefined ones.
int DashIndex(const YKDash* dash) {
    for (int32 i = 0; i < YKDash::kPredefCount; ++i) {
        const YKDash* predefined = YKDash::PredefDash(i);
        if (predefined == dash ||
            (predefined != nullptr && dash != nullptr && *predefined == *dash)) {
            return i;
        }
    }
    return -1;
}

YKEnvelop* FillColorOf(YKVectorEntity* entity) {
    return entity->FillColorEnvelop();
}
YKEnvelop* StrokeColorOf(YKVectorEntity* entity) {
    return entity->Stroke() != nullptr ? entity->Stroke()->color.get() : nullptr;
}
YKEnvelop* WidthOf(YKVectorEntity* entity) {
    return entity->Stroke() != nullptr ? entity->Stroke()->width.get() : nullptr;
}

// A mixed value shows as a word, in a slot just below the lowest value a user can set.
void ShowNumber(QDoubleSpinBox* box, double value, bool mixed, double lowest) {
    const QSignalBlocker block(box);
    box->setMinimum(mixed ? lowest - 1 : lowest);
    box->setSpecialValueText(mixed ? QObject::tr("Mixed") : QString());
    box->setValue(mixed ? lowest - 1 : value);
}

bool KeyedAt(YKEnvelop* envelope, int32 frame) {
    return envelope != nullptr && envelope->KeyFramePointer(frame) != nullptr;
}

}  // namespace

YKPanel* YKInspectorPanel::Create(YKDocumentWindow* window) {
    return new YKInspectorPanel(window);
}

YKInspectorPanel::YKInspectorPanel(YKDocumentWindow* window)
    : YKVectorPanel(window),
      mNothing(new QLabel(tr("Select a vector object to see its fill and stroke."), this)),
      mControls(new QWidget(this)),
      mFill(new YKPaintEditor(true, mControls)),
      mStroke(new YKPaintEditor(false, mControls)),
      mWidth(new QDoubleSpinBox(mControls)),
      mWidthKey(new YKKeyFrameButton(mControls)),
      mDash(new QComboBox(mControls)),
      mFirstCap(ChoiceMenu(kCaps, tr("Cap at the start of the path"), mControls)),
      mLastCap(ChoiceMenu(kCaps, tr("Cap at the end of the path"), mControls)),
      mJoin(ChoiceMenu(kJoins, tr("How segments meet"), mControls)),
      mMiter(new QDoubleSpinBox(mControls)) {
    mNothing->setWordWrap(true);
    mWidth->setRange(0, 500);
    mWidth->setDecimals(1);
    mWidth->setSingleStep(0.5);
    mWidth->setKeyboardTracking(false);
    mWidth->setToolTip(tr("Stroke width"));
    mMiter->setRange(1, 100);
    mMiter->setDecimals(1);
    mMiter->setKeyboardTracking(false);
    mMiter->setToolTip(tr("How far a miter may reach, in widths"));
    for (int32 i = 0; i < YKDash::kPredefCount; ++i) {
        mDash->addItem(DashIcon(i), i == 0 ? tr("Solid") : QString(), i);
    }
    mDash->setIconSize(QSize(64, 10));
    mDash->setToolTip(tr("Dash"));

    auto* widthRow = new QHBoxLayout;
    widthRow->addWidget(mWidth, 1);
    widthRow->addWidget(mWidthKey);
    auto* form = new QFormLayout(mControls);
    form->setContentsMargins(0, 0, 0, 0);
    form->addRow(tr("Fill"), mFill);
    form->addRow(tr("Stroke"), mStroke);
    form->addRow(tr("Width"), widthRow);
    form->addRow(tr("Dash"), mDash);
    form->addRow(tr("Start cap"), mFirstCap);
    form->addRow(tr("End cap"), mLastCap);
    form->addRow(tr("Join"), mJoin);
    form->addRow(tr("Miter limit"), mMiter);
    auto* column = new QVBoxLayout(this);
    column->addWidget(mNothing);
    column->addWidget(mControls);
    column->addStretch(1);

    for (YKPaintEditor* editor : {mFill, mStroke}) {
        const bool fill = editor == mFill;
        connect(editor, &YKPaintEditor::KindChosen, this,
                [this, fill](int16 flag) { SetKind(fill, flag); });
        connect(editor, &YKPaintEditor::ColorChosen, this,
                [this, fill](yk_color color) { SetColor(fill, color); });
        connect(editor, &YKPaintEditor::PatternChosen, this,
                [this, fill](const QString& name) { SetPattern(fill, name); });
        connect(editor, &YKPaintEditor::KeyClicked, this, [this, editor, fill] {
            ToggleKey(fill ? &FillColorOf : &StrokeColorOf, editor->KeyButton()->IsKeyed());
        });
        connect(editor, &YKPaintEditor::GradientWanted, this, &YKInspectorPanel::OpenComposer);
    }
    // A width being stepped or typed is one change until the box is left.
    connect(mWidth, &QDoubleSpinBox::valueChanged, this, &YKInspectorPanel::SetWidth);
    connect(mWidth, &QDoubleSpinBox::editingFinished, this, &YKVectorPanel::FinishChange);
    connect(mWidthKey, &QToolButton::clicked, this,
            [this] { ToggleKey(&WidthOf, mWidthKey->IsKeyed()); });
    connect(mDash, &QComboBox::activated, this, [this](int index) {
        const YKDash* dash = YKDash::PredefDash(mDash->itemData(index).toInt());
        ChangeSelection("Dash", [dash](YKVectorEntity* e) { e->setDash(dash); });
    });
    for (QComboBox* menu : {mFirstCap, mLastCap, mJoin}) {
        connect(menu, &QComboBox::activated, this, [this] {
            SetCaps(mFirstCap->currentData().toInt(), mLastCap->currentData().toInt(),
                    mJoin->currentData().toInt());
        });
    }
    connect(mMiter, &QDoubleSpinBox::valueChanged, this, [this](double limit) {
        // Below 1 is the "Mixed" slot, not a limit.
        limit = std::max(limit, 1.0);
        ChangeSelection(
            "Miter Limit", [limit](YKVectorEntity* e) { e->setMiterLimit(limit); }, true);
    });
    connect(mMiter, &QDoubleSpinBox::editingFinished, this, &YKVectorPanel::FinishChange);
}

// --- Showing the selection ---

void YKInspectorPanel::Refresh() {
    const std::vector<YKRasterLayer*> objects = SelectedVectors();
    mNothing->setVisible(objects.empty());
    mControls->setEnabled(!objects.empty());
    YKViewerLayer* viewer = Document()->ViewerLayer();
    if (objects.empty() || !viewer->LockHirarchy()) {
        return;
    }
    YKEnvelopManager* manager = Document()->EnvelopManager();
    const int32 frame = manager != nullptr ? manager->CurrentFrame() : 1;
    YKVectorAttributes all;
    objects.front()->Entity()->getAttributes(&all);
    bool fillKindDiffers = false;
    bool strokeKindDiffers = false;
    bool capsDiffer = false;
    bool joinDiffers = false;
    bool miterDiffers = false;
    bool fillKeyed = true;
    bool strokeKeyed = true;
    bool widthKeyed = true;
    for (YKRasterLayer* object : objects) {
        YKVectorEntity* entity = object->Entity();
        YKVectorAttributes one;
        entity->getAttributes(&one);
        fillKindDiffers |= one.fillColorFlag != all.fillColorFlag;
        strokeKindDiffers |= one.strokeColorFlag != all.strokeColorFlag;
        capsDiffer |= one.firstCap != all.firstCap || one.lastCap != all.lastCap;
        joinDiffers |= one.join != all.join;
        miterDiffers |= one.miterLimit != all.miterLimit;
        fillKeyed &= KeyedAt(FillColorOf(entity), frame);
        strokeKeyed &= KeyedAt(StrokeColorOf(entity), frame);
        widthKeyed &= KeyedAt(WidthOf(entity), frame);
        if (object != objects.front()) {
            YKMergeAttributes(&all, one);
        }
    }
    const std::vector<std::string> patterns = YKBitmapRoster::Default().Names();
    mFill->SetPatterns(patterns);
    mStroke->SetPatterns(patterns);
    mFill->Show(fillKindDiffers ? -1 : all.fillColorFlag, all.fillColor, all.fillDiffers, fillKeyed,
                all.fillPatternName);
    mStroke->Show(strokeKindDiffers ? -1 : all.strokeColorFlag, all.strokeColor, all.strokeDiffers,
                  strokeKeyed, all.strokePatternName);
    ShowNumber(mWidth, all.width, all.widthDiffers, 0);
    mWidthKey->SetKeyed(widthKeyed);
    mDash->setCurrentIndex(all.dashDiffers ? -1 : DashIndex(all.dash));
    mFirstCap->setCurrentIndex(capsDiffer ? -1 : mFirstCap->findData(all.firstCap));
    mLastCap->setCurrentIndex(capsDiffer ? -1 : mLastCap->findData(all.lastCap));
    mJoin->setCurrentIndex(joinDiffers ? -1 : mJoin->findData(all.join));
    ShowNumber(mMiter, all.miterLimit, miterDiffers, 1);
    viewer->UnlockHirarchy();
}

// --- Changes ---

void YKInspectorPanel::SetKind(bool fill, int16 flag) {
    std::string pattern;
    if (flag == kColorFlagPattern) {
        const std::vector<std::string> names = YKBitmapRoster::Default().Names();
        if (names.empty()) {
            YKAlert(
                tr("No pattern is loaded: open an image as a pattern first.").toUtf8().constData(),
                "OK")
                .Go();
            ScheduleRefresh();
            return;
        }
        pattern = names.front();
    }
    ChangeSelection(fill ? "Fill Kind" : "Stroke Kind", [&](YKVectorEntity* e) {
        Paint paint = ReadPaint(*e, fill);
        if (paint.flag == kColorFlagNotFillable && fill) {
            return;
        }
        paint.flag = flag;
        // An object that never had a gradient holds an empty or default one: it starts from its
        // own colour instead.
        const YKGradientContainer first = FirstGradient(paint.color);
        if (flag == kColorFlagGradient &&
            (paint.gradient == nullptr || !paint.gradient->GetGradient()->IsData() ||
             *paint.gradient == YKGradientContainer())) {
            paint.gradient = &first;
        }
        // A pattern fill keeps the pattern it had when the roster still holds it.
        if (flag == kColorFlagPattern &&
            YKBitmapRoster::Default().Bitmap(paint.patternName.c_str()) == nullptr) {
            paint.patternName = pattern;
        }
        if (flag == kColorFlagPattern && paint.patternAlpha <= 0) {
            paint.patternAlpha = 255;
        }
        WritePaint(e, fill, paint);
    });
}

void YKInspectorPanel::SetColor(bool fill, yk_color color) {
    ChangeSelection(fill ? "Fill Color" : "Stroke Color", [&](YKVectorEntity* e) {
        Paint paint = ReadPaint(*e, fill);
        paint.color = color;
        // Picking a colour for a paint that shows none makes it show the colour.
        if (paint.flag == kColorFlagNone) {
            paint.flag = kColorFlagColor;
        }
        WritePaint(e, fill, paint);
    });
}

void YKInspectorPanel::SetPattern(bool fill, const QString& name) {
    const std::string pattern = name.toStdString();
    ChangeSelection(fill ? "Fill Pattern" : "Stroke Pattern", [&](YKVectorEntity* e) {
        Paint paint = ReadPaint(*e, fill);
        paint.patternName = pattern;
        WritePaint(e, fill, paint);
    });
}

void YKInspectorPanel::SetWidth(double width) {
    // Below 0 is the "Mixed" slot, not a width.
    width = std::max(width, 0.0);
    ChangeSelection(
        "Width", [width](YKVectorEntity* e) { e->setWidth(width); }, true);
}

void YKInspectorPanel::SetCaps(int32 firstCap, int32 lastCap, int32 join) {
    ChangeSelection("Caps and Join", [&](YKVectorEntity* e) {
        // A menu left blank (the objects differ there) keeps each object's own value.
        e->setCapJoin(mFirstCap->currentIndex() < 0 ? e->FirstCap() : firstCap,
                      mLastCap->currentIndex() < 0 ? e->LastCap() : lastCap,
                      mJoin->currentIndex() < 0 ? e->Join() : join);
    });
}

void YKInspectorPanel::ToggleKey(EnvelopOf envelopOf, bool keyed) {
    YKEnvelopManager* manager = Document()->EnvelopManager();
    const int32 frame = manager != nullptr ? manager->CurrentFrame() : 1;
    bool refused = false;
    ChangeSelection(keyed ? "Remove Key Frame" : "Set Key Frame", [&](YKVectorEntity* e) {
        YKEnvelop* envelope = envelopOf(e);
        if (envelope == nullptr) {
            return;
        }
        if (!keyed) {
            envelope->FixValue(nullptr);
        } else if (envelope->CountKeyFrames() > 1) {
            delete envelope->RemoveKeyFrame(frame);
        } else {
            refused = true;
        }
    });
    if (refused) {
        YKAlert("A value keeps at least one key frame: this one cannot be removed.", "OK").Go();
    }
}

void YKInspectorPanel::OpenComposer() {
    QDockWidget* dock = Window()->Panels().Dock("gradient");
    auto* composer = dynamic_cast<YKGradientComposer*>(Window()->Panels().Panel("gradient"));
    if (dock == nullptr || composer == nullptr) {
        return;
    }
    composer->SetTarget(sender() == mStroke);
    dock->show();
    dock->raise();
}
