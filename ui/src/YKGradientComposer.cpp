#include "YKGradientComposer.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "YKAlert.h"
#include "YKColorButton.h"
#include "YKDocument.h"
#include "YKGradientBar.h"
#include "YKGradientBuffer.h"
#include "YKRasterLayer.h"
#include "YKVectorEntity.h"
#include "YKViewerLayer.h"

namespace {

constexpr const char* kTypes[] = {
    "Linear",     "Bi-Linear", "Radial", "Square", "Conical Symmetric", "Conical Asymmetric",
    "Hyperbolic", "Wave1",     "Wave2"};
constexpr const char* kCurves[] = {"Linear", "Curved", "Sinuosidal", "Circular (increasing)",
                                   "Circular (decreasing)"};
constexpr const char* kModels[] = {"Plain RGB", "HSV (counter-clockwise hue)",
                                   "HSV (clockwise hue)"};
constexpr int kPreviewSize = 72;

YKGradientItem* ItemAt(const YKGradient& gradient, int index) {
    YKGradientItem* item = gradient.get_first_item();
    for (int i = 0; item != nullptr && i < index; ++i) {
        item = item->Next();
    }
    return item;
}

yk_color ToColor(YKGradientItem::Color c) {
    const auto byte = [](double v) {
        return static_cast<uint8>(std::clamp(v, 0.0, 1.0) * 255 + 0.5);
    };
    return {byte(c.r), byte(c.g), byte(c.b), byte(c.a)};
}

YKGradientItem::Color FromColor(yk_color c) {
    return {c.red / 255.0, c.green / 255.0, c.blue / 255.0, c.alpha / 255.0};
}

// Every item of the selection run, in order.
template <typename Visit>
void ForRun(YKGradient* gradient, Visit visit) {
    for (YKGradientItem* i = gradient->SelLeft(); i != nullptr; i = i->Next()) {
        visit(i);
        if (i == gradient->SelRight()) {
            break;
        }
    }
}

QDoubleSpinBox* ShapeBox(double low, double high, double step, const QString& tip,
                         QWidget* parent) {
    auto* box = new QDoubleSpinBox(parent);
    box->setRange(low, high);
    box->setSingleStep(step);
    box->setDecimals(step < 0.1 ? 4 : 1);
    box->setKeyboardTracking(false);
    box->setToolTip(tip);
    return box;
}

}  // namespace

YKPanel* YKGradientComposer::Create(YKDocumentWindow* window) {
    return new YKGradientComposer(window);
}

YKGradientComposer::YKGradientComposer(YKDocumentWindow* window)
    : YKVectorPanel(window),
      mTarget(new QComboBox(this)),
      mNone(new QLabel(tr("Select an object painted with a gradient (the inspector sets one)."),
                       this)),
      mControls(new QWidget(this)),
      mBar(new YKGradientBar(mControls)),
      mCount(new QSpinBox(mControls)),
      mLeftColor(new YKColorButton(tr("Left"), mControls)),
      mRightColor(new YKColorButton(tr("Right"), mControls)),
      mCurve(new QComboBox(mControls)),
      mModel(new QComboBox(mControls)),
      mType(new QComboBox(mControls)),
      mPreview(new QLabel(mControls)),
      mOffset(ShapeBox(0, 100, 1, tr("Offset (percent of the ramp kept at its start)"), mControls)),
      mFrequency(ShapeBox(0, 100, 0.5, tr("Frequency of the waves"), mControls)),
      mAmplitude(ShapeBox(0, 1, 0.01, tr("Amplitude of the waves"), mControls)),
      mStretch(ShapeBox(0.1, 50, 0.5, tr("Stretch of the waves"), mControls)) {
    mTarget->addItem(tr("Fill"));
    mTarget->addItem(tr("Stroke"));
    mTarget->setToolTip(tr("Which paint's gradient is edited"));
    mNone->setWordWrap(true);
    mCount->setRange(2, 16);
    mCount->setValue(2);
    mCount->setToolTip(tr("How many copies or parts Replicate and Split make"));
    for (const char* label : kCurves) {
        mCurve->addItem(tr(label));
    }
    mCurve->setToolTip(tr("How the selected items run from one colour to the other"));
    for (const char* label : kModels) {
        mModel->addItem(tr(label));
    }
    mModel->setToolTip(tr("The colour model the selected items blend in"));
    for (const char* label : kTypes) {
        mType->addItem(tr(label));
    }
    mType->setToolTip(tr("How the gradient lies over the object"));
    mLeftColor->setToolTip(tr("Colour at the left end of the selection"));
    mRightColor->setToolTip(tr("Colour at the right end of the selection"));
    mPreview->setFixedSize(kPreviewSize, kPreviewSize);

    auto* operations = new QGridLayout;
    operations->setSpacing(2);
    struct Operation {
        const char* label;
        const char* name;
        std::function<void(YKGradient*)> run;
    };
    const Operation kOperations[] = {
        {"Flip", "Flip Gradient", [](YKGradient* g) { g->flip(); }},
        {"Replicate", "Replicate Gradient",
         [this](YKGradient* g) { g->replicate(mCount->value()); }},
        {"Split Middle", "Split Gradient", [](YKGradient* g) { g->split_midpoint(); }},
        {"Split Uniform", "Split Gradient",
         [this](YKGradient* g) { g->split_uniform(mCount->value()); }},
        {"Redistribute", "Redistribute Gradient", [](YKGradient* g) { g->redistribute(); }},
        {"Recenter", "Recenter Gradient", [](YKGradient* g) { g->recenter(); }},
        {"Blend Colours", "Blend Gradient",
         [](YKGradient* g) {
             const YKGradientItem::Color l = g->SelLeft()->GetLC();
             const YKGradientItem::Color r = g->SelRight()->GetRC();
             g->blend_endpoints(l.r, l.g, l.b, l.a, r.r, r.g, r.b, r.a, true, false);
         }},
        {"Blend Opacity", "Blend Gradient",
         [](YKGradient* g) {
             const YKGradientItem::Color l = g->SelLeft()->GetLC();
             const YKGradientItem::Color r = g->SelRight()->GetRC();
             g->blend_endpoints(l.r, l.g, l.b, l.a, r.r, r.g, r.b, r.a, false, true);
         }},
        {"Delete", "Delete Gradient Items", [](YKGradient* g) { g->suppress(); }},
        {"Paste", "Paste Gradient Items",
         [this](YKGradient* g) {
             if (mCopied.has_value() && mCopied->IsData()) {
                 g->replace_selection(*mCopied);
             }
         }},
    };
    int slot = 0;
    for (const Operation& operation : kOperations) {
        auto* button = new QPushButton(tr(operation.label), mControls);
        connect(button, &QPushButton::clicked, this,
                [this, name = operation.name, run = operation.run] { Operate(name, run); });
        operations->addWidget(button, slot / 3, slot % 3);
        ++slot;
    }
    auto* copy = new QPushButton(tr("Copy"), mControls);
    connect(copy, &QPushButton::clicked, this, [this] {
        if (mWorking.GetGradient()->SelLeft() != nullptr) {
            mCopied = mWorking.GetGradient()->save_selection();
        }
    });
    operations->addWidget(copy, slot / 3, slot % 3);
    operations->addWidget(new QLabel(tr("n"), mControls), 4, 0, Qt::AlignRight);
    operations->addWidget(mCount, 4, 1);

    auto* items = new QFormLayout;
    auto* colours = new QHBoxLayout;
    colours->addWidget(mLeftColor);
    colours->addWidget(mRightColor);
    items->addRow(tr("Colours"), colours);
    items->addRow(tr("Curve"), mCurve);
    items->addRow(tr("Model"), mModel);

    auto* shape = new QFormLayout;
    shape->addRow(tr("Type"), mType);
    shape->addRow(tr("Offset"), mOffset);
    shape->addRow(tr("Frequency"), mFrequency);
    shape->addRow(tr("Amplitude"), mAmplitude);
    shape->addRow(tr("Stretch"), mStretch);
    auto* shapeRow = new QHBoxLayout;
    shapeRow->addLayout(shape, 1);
    shapeRow->addWidget(mPreview, 0, Qt::AlignTop);

    auto* files = new QHBoxLayout;
    auto* load = new QPushButton(tr("Load…"), mControls);
    auto* save = new QPushButton(tr("Save…"), mControls);
    load->setToolTip(tr("Read a gradient file into the selection's gradient"));
    save->setToolTip(tr("Write the gradient into a gradient file"));
    connect(load, &QPushButton::clicked, this, &YKGradientComposer::Load);
    connect(save, &QPushButton::clicked, this, &YKGradientComposer::Save);
    files->addWidget(load);
    files->addWidget(save);

    auto* controls = new QVBoxLayout(mControls);
    controls->setContentsMargins(0, 0, 0, 0);
    controls->addWidget(mBar);
    controls->addLayout(operations);
    controls->addLayout(items);
    controls->addLayout(shapeRow);
    controls->addLayout(files);
    auto* column = new QVBoxLayout(this);
    column->addWidget(mTarget);
    column->addWidget(mNone);
    column->addWidget(mControls);
    column->addStretch(1);

    mBar->SetGradient(mWorking.GetGradient());
    connect(mTarget, &QComboBox::activated, this, [this](int index) { SetTarget(index == 1); });
    connect(mBar, &YKGradientBar::SelectionChanged, this, &YKGradientComposer::ShowSelectionItems);
    connect(mBar, &YKGradientBar::Edited, this, [this](bool ongoing) {
        Apply("Move Gradient Items", true);
        if (!ongoing) {
            FinishChange();
        }
    });
    connect(mLeftColor, &YKColorButton::ColorChosen, this, [this] {
        const YKGradientItem::Color c = FromColor(mLeftColor->Color());
        Operate("Gradient Color", [c](YKGradient* g) { g->SelLeft()->SetLC(c); });
    });
    connect(mRightColor, &YKColorButton::ColorChosen, this, [this] {
        const YKGradientItem::Color c = FromColor(mRightColor->Color());
        Operate("Gradient Color", [c](YKGradient* g) { g->SelRight()->SetRC(c); });
    });
    connect(mCurve, &QComboBox::activated, this, [this](int index) {
        Operate("Gradient Curve", [index](YKGradient* g) {
            ForRun(g, [index](YKGradientItem* i) { i->SetType(static_cast<grad_type>(index)); });
        });
    });
    connect(mModel, &QComboBox::activated, this, [this](int index) {
        Operate("Gradient Model", [index](YKGradient* g) {
            ForRun(g,
                   [index](YKGradientItem* i) { i->SetColorType(static_cast<grad_color>(index)); });
        });
    });
    connect(mType, &QComboBox::activated, this, [this](int index) {
        mWorking.SetGradientType(static_cast<GradientType>(index));
        Apply("Gradient Type", false);
    });
    const auto shapeBox = [this](QDoubleSpinBox* box, void (YKGradientContainer::*set)(double)) {
        connect(box, &QDoubleSpinBox::valueChanged, this, [this, set](double value) {
            (mWorking.*set)(value);
            Apply("Gradient Shape", true);
        });
        connect(box, &QDoubleSpinBox::editingFinished, this, &YKVectorPanel::FinishChange);
    };
    shapeBox(mOffset, &YKGradientContainer::SetOffset);
    shapeBox(mFrequency, &YKGradientContainer::SetFreq);
    shapeBox(mAmplitude, &YKGradientContainer::SetAmplitude);
    shapeBox(mStretch, &YKGradientContainer::SetStrech);
}

void YKGradientComposer::SetTarget(bool stroke) {
    FinishChange();
    mStroke = stroke;
    mTarget->setCurrentIndex(stroke ? 1 : 0);
    RefreshNow();
}

// --- Showing the selection's gradient ---

void YKGradientComposer::Refresh() {
    const std::vector<YKRasterLayer*> objects = SelectedVectors();
    bool found = false;
    YKViewerLayer* viewer = Document()->ViewerLayer();
    if (!objects.empty() && viewer->LockHirarchy()) {
        const Paint paint = ReadPaint(*objects.front()->Entity(), !mStroke);
        found = paint.flag == kColorFlagGradient && paint.gradient != nullptr;
        if (found && *paint.gradient != mWorking) {
            // The selection run stays where it was, by position, when it still fits.
            const int first = SelectionStart();
            const int last = SelectionEnd();
            mWorking = *paint.gradient;
            mBar->SetGradient(mWorking.GetGradient());
            Select(first, last);
        }
        viewer->UnlockHirarchy();
    }
    mNone->setVisible(!found);
    mControls->setEnabled(found);
    if (SelectionStart() < 0) {
        Select(0, 0);
    }
    mType->setCurrentIndex(mWorking.GetGradientType());
    for (auto [box, value] :
         {std::pair{mOffset, mWorking.GetOffset()}, std::pair{mFrequency, mWorking.GetFreq()},
          std::pair{mAmplitude, mWorking.GetAmplitude()},
          std::pair{mStretch, mWorking.GetStrech()}}) {
        const QSignalBlocker block(box);
        box->setValue(value);
    }
    ShowSelectionItems();
    ShowPreview();
}

int YKGradientComposer::SelectionStart() const {
    const YKGradient* g = mWorking.GetGradient();
    return g->SelLeft() != nullptr ? YKGradientBar::IndexOf(*g, g->SelLeft()) : -1;
}

int YKGradientComposer::SelectionEnd() const {
    const YKGradient* g = mWorking.GetGradient();
    return g->SelRight() != nullptr ? YKGradientBar::IndexOf(*g, g->SelRight()) : -1;
}

void YKGradientComposer::Select(int first, int last) {
    YKGradient* g = mWorking.GetGradient();
    const int count = g->Size();
    if (count == 0) {
        return;
    }
    first = std::clamp(first, 0, count - 1);
    last = std::clamp(last, first, count - 1);
    g->SetSelLeft(ItemAt(*g, first));
    g->SetSelRight(ItemAt(*g, last));
    mBar->update();
    ShowSelectionItems();
}

void YKGradientComposer::ShowSelectionItems() {
    const YKGradient* g = mWorking.GetGradient();
    if (g->SelLeft() == nullptr || g->SelRight() == nullptr) {
        return;
    }
    mLeftColor->SetColor(ToColor(g->SelLeft()->GetLC()));
    mRightColor->SetColor(ToColor(g->SelRight()->GetRC()));
    // A run whose items disagree shows a blank menu.
    int curve = g->SelLeft()->GetType();
    int model = g->SelLeft()->GetColorType();
    ForRun(mWorking.GetGradient(), [&](YKGradientItem* i) {
        curve = i->GetType() == curve ? curve : -1;
        model = i->GetColorType() == model ? model : -1;
    });
    mCurve->setCurrentIndex(curve);
    mModel->setCurrentIndex(model);
}

void YKGradientComposer::ShowPreview() {
    const int last = kPreviewSize - 1;
    YKGradientBuffer buffer(YKRect<int32>{0, 0, last, last});
    buffer.CopyPaint(mWorking);
    buffer.SetSxSy(mWorking.GetSx() * last, mWorking.GetSy() * last);
    buffer.SetExEy(mWorking.GetEx() * last, mWorking.GetEy() * last);
    QImage ramp(kPreviewSize, kPreviewSize, QImage::Format_ARGB32);
    for (int y = 0; y < kPreviewSize; ++y) {
        buffer.GetRow(0, y, kPreviewSize, reinterpret_cast<uint32*>(ramp.scanLine(y)));
    }
    QPixmap preview(kPreviewSize, kPreviewSize);
    QPainter painter(&preview);
    for (int y = 0; y < kPreviewSize; y += 8) {
        for (int x = 0; x < kPreviewSize; x += 8) {
            painter.fillRect(x, y, 8, 8, (x / 8 + y / 8) % 2 ? Qt::lightGray : Qt::white);
        }
    }
    painter.drawImage(0, 0, ramp);
    painter.end();
    mPreview->setPixmap(preview);
}

// --- Changes ---

void YKGradientComposer::Operate(const char* name,
                                 const std::function<void(YKGradient*)>& operation) {
    YKGradient* g = mWorking.GetGradient();
    if (g->SelLeft() == nullptr || g->SelRight() == nullptr) {
        return;
    }
    operation(g);
    mBar->update();
    ShowSelectionItems();
    Apply(name, false);
}

void YKGradientComposer::Apply(const char* name, bool ongoing) {
    const bool fill = !mStroke;
    ChangeSelection(
        name,
        [this, fill](YKVectorEntity* e) {
            Paint paint = ReadPaint(*e, fill);
            if (paint.flag == kColorFlagNotFillable) {
                return;
            }
            paint.flag = kColorFlagGradient;
            paint.gradient = &mWorking;
            WritePaint(e, fill, paint);
        },
        ongoing);
    ShowPreview();
}

// --- Files ---

bool YKGradientComposer::LoadGradient(const QString& path) {
    YKGradient loaded;
    if (!loaded.load(path.toLocal8Bit().constData()) || !loaded.IsData()) {
        const QString text = tr("“%1” is not a gradient file, or it is damaged. The gradient was "
                                "not changed.")
                                 .arg(QFileInfo(path).fileName());
        YKAlert(text.toUtf8().constData(), "OK").Go();
        return false;
    }
    mWorking.SetGradient(loaded);
    mBar->SetGradient(mWorking.GetGradient());
    Select(0, 0);
    Apply("Load Gradient", false);
    return true;
}

bool YKGradientComposer::SaveGradient(const QString& path) {
    YKGradient saved(*mWorking.GetGradient());
    saved.SetName(QFileInfo(path).completeBaseName().toUtf8().constData());
    if (!saved.save(path.toLocal8Bit().constData())) {
        const QString text = tr("The gradient could not be written to “%1”.").arg(path);
        YKAlert(text.toUtf8().constData(), "OK").Go();
        return false;
    }
    return true;
}

void YKGradientComposer::Load() {
    const QString path = QFileDialog::getOpenFileName(this, tr("Load Gradient"));
    if (!path.isEmpty()) {
        LoadGradient(path);
    }
}

void YKGradientComposer::Save() {
    const QString path = QFileDialog::getSaveFileName(this, tr("Save Gradient"));
    if (!path.isEmpty()) {
        SaveGradient(path);
    }
}
