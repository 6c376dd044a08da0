#include "YKToolOptionsForm.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <algorithm>
#include <cmath>

#include "YKColorButton.h"
#include "YKDash.h"
#include "YKFontCacheFreetype.h"
#include "YKMessage.h"
#include "YKPencilBrushRenderer.h"
#include "YKSettingsFolder.h"
#include "YKToolOptions.h"
#include "YKToolState.h"
#include "yk_font_match.h"
#include "yk_sketch_modes.h"

namespace {

// The selection tools' options, as the event manager reads them.
constexpr const char* kFeather = "feather";
constexpr const char* kAntialias = "antialias";
constexpr int32 kMaxFeather = 255;

const std::vector<std::pair<int32, const char*>> kCaps = {
    {YK_CAP_BUTT, "Butt"},     {YK_CAP_ROUND, "Round"},     {YK_CAP_SQUARE, "Square"},
    {YK_CAP_ARROW1, "Arrow"},  {YK_CAP_ARROW2, "Arrow 2"},  {YK_CAP_ARROW3, "Arrow 3"},
    {YK_CAP_CIRCLE, "Circle"}, {YK_CAP_DIAMOND, "Diamond"}, {YK_CAP_NAIL, "Nail"},
};
const std::vector<std::pair<int32, const char*>> kJoins = {
    {YK_JOIN_BEVEL, "Bevel"}, {YK_JOIN_MITER, "Miter"}, {YK_JOIN_ROUND, "Round"}};
const std::vector<std::pair<int32, const char*>> kDashes = {
    {0, "Solid"},  {1, "Dash 1"}, {2, "Dash 2"}, {3, "Dash 3"},
    {4, "Dash 4"}, {5, "Dash 5"}, {6, "Dash 6"}};

bool Uses(const std::string& panel, std::initializer_list<const char*> kinds) {
    return std::any_of(kinds.begin(), kinds.end(), [&](const char* kind) {
        return panel == std::string("YKOptionControlVector") + kind;
    });
}

// The paint brush as the options hold it: the defaults until one was chosen.
YKPencilBrushRenderer BrushOf(const YKMessage* options) {
    YKMessage archive;
    const bool found = options->FindMessage(YKToolOptions::kBrush, &archive);
    return YKPencilBrushRenderer(found ? &archive : nullptr);
}

void StoreBrush(YKMessage* options, const YKPencilBrushRenderer& brush) {
    YKMessage archive;
    brush.Archive(&archive);
    YKToolOptions::SetMessage(options, YKToolOptions::kBrush, archive);
}

}  // namespace

YKToolOptionsForm::YKToolOptionsForm(QWidget* parent)
    : QWidget(parent), mLayout(new QFormLayout(this)) {
    mLayout->setContentsMargins(4, 4, 4, 4);
    mLayout->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
}

YKMessage* YKToolOptionsForm::Options() const {
    return YKToolState::Application().OptionMessageFor(mTool);
}

void YKToolOptionsForm::ShowTool(int32 id) {
    while (mLayout->rowCount() > 0) {
        mLayout->removeRow(0);
    }
    mTool = id;
    const char* name = YKToolState::OptionPanelFor(id);
    if (name == nullptr || Options() == nullptr) {
        return;
    }
    const std::string panel = name;
    if (id == 0) {
        AddHint(
            tr("Click an object to select it, Shift-click to add to the selection, or drag "
               "across the canvas to select what the band holds."));
    } else if (panel.rfind("selection inspector", 0) == 0) {
        AddSelectionRows();
    } else if (id == YKToolState::kHandToolID) {
        AddHint(tr("Drag to scroll the view."));
    } else if (id == YKToolState::kZoomToolID) {
        AddZoomRows();
    } else if (panel == "YKOptionControlBitmapBrush") {
        AddBrushRows();
    } else if (panel == "YKOptionControlVectorText") {
        AddTextRows();
    } else {
        AddVectorRows(panel);
    }
}

void YKToolOptionsForm::AddHint(const QString& text) {
    auto* hint = new QLabel(text, this);
    hint->setWordWrap(true);
    hint->setEnabled(false);
    mLayout->addRow(hint);
}

// --- Selection and viewing ---

void YKToolOptionsForm::AddSelectionRows() {
    auto* feather = new QSpinBox(this);
    feather->setRange(0, kMaxFeather);
    feather->setSuffix(tr(" px"));
    feather->setKeyboardTracking(false);
    int32 value = 0;
    Options()->FindInt32(kFeather, &value);
    feather->setValue(std::clamp(value, 0, kMaxFeather));
    connect(feather, &QSpinBox::valueChanged, this,
            [this](int chosen) { YKToolOptions::SetInt32(Options(), kFeather, chosen); });
    mLayout->addRow(tr("Feather"), feather);
    // The rectangle's edges are straight: smoothing them changes nothing.
    if (mTool == 1) {
        return;
    }
    auto* antialias = new QCheckBox(tr("Smooth edges"), this);
    bool smooth = true;
    Options()->FindBool(kAntialias, &smooth);
    antialias->setChecked(smooth);
    connect(antialias, &QCheckBox::toggled, this,
            [this](bool on) { YKToolOptions::SetBool(Options(), kAntialias, on); });
    mLayout->addRow(tr("Antialias"), antialias);
}

void YKToolOptionsForm::AddZoomRows() {
    auto* in = new QRadioButton(tr("Zoom in"), this);
    auto* out = new QRadioButton(tr("Zoom out"), this);
    auto* group = new QButtonGroup(this);
    group->addButton(in);
    group->addButton(out);
    (YKToolState::Application().IsZoomIn() ? in : out)->setChecked(true);
    connect(in, &QRadioButton::toggled, this,
            [](bool on) { YKToolState::Application().SetZoomIn(on); });
    mLayout->addRow(tr("Click to"), in);
    mLayout->addRow(QString(), out);
}

// --- Painting ---

void YKToolOptionsForm::AddBrushRows() {
    const YKPencilBrushRenderer brush = BrushOf(Options());
    auto* size = new QSpinBox(this);
    size->setRange(1, static_cast<int>(YKPencilBrushRenderer::kMaxSize));
    size->setSuffix(tr(" px"));
    size->setKeyboardTracking(false);
    size->setValue(static_cast<int>(std::lround(brush.PencilSize())));
    connect(size, &QSpinBox::valueChanged, this, [this](int chosen) {
        YKPencilBrushRenderer changed = BrushOf(Options());
        changed.CreatePencil(chosen);
        StoreBrush(Options(), changed);
    });
    mLayout->addRow(tr("Size"), size);

    auto* hardness = new QSpinBox(this);
    hardness->setRange(0, 100);
    hardness->setSuffix(tr(" %"));
    hardness->setKeyboardTracking(false);
    hardness->setValue(static_cast<int>(std::lround(std::clamp(brush.Hardness(), 0.0, 1.0) * 100)));
    connect(hardness, &QSpinBox::valueChanged, this, [this](int chosen) {
        YKPencilBrushRenderer changed = BrushOf(Options());
        changed.SetHardness(chosen / 100.0);
        changed.CreatePencil(changed.PencilSize());
        StoreBrush(Options(), changed);
    });
    mLayout->addRow(tr("Hardness"), hardness);

    auto* color = new YKColorButton(tr("Colour…"), this);
    color->SetColor(brush.Color());
    connect(color, &YKColorButton::ColorChosen, this, [this](yk_color chosen) {
        YKPencilBrushRenderer changed = BrushOf(Options());
        changed.SetColor(chosen);
        StoreBrush(Options(), changed);
    });
    mLayout->addRow(tr("Colour"), color);
}

// --- Vector objects ---

void YKToolOptionsForm::AddVectorRows(const std::string& panel) {
    AddColor(tr("Stroke"), YKToolOptions::kStrokeColor, {0, 0, 0, 255});
    AddNumber(tr("Width"), YKToolOptions::kWidth, 0, YKToolOptions::kMaxWidth, 0, 1, tr(" px"));
    AddChoice(tr("Dash"), YKToolOptions::kDash, 0, kDashes);
    if (Uses(panel, {"FreeHand", "Line", "PolyLine", "Bezier", "Arc"})) {
        AddChoice(tr("Start cap"), YKToolOptions::kFirstCap, YK_CAP_BUTT, kCaps);
        AddChoice(tr("End cap"), YKToolOptions::kLastCap, YK_CAP_BUTT, kCaps);
    }
    if (Uses(panel, {"PolyLine", "Rectangle"})) {
        AddChoice(tr("Join"), YKToolOptions::kJoin, YK_JOIN_BEVEL, kJoins);
    }
    if (Uses(panel, {"RoundRect"})) {
        AddNumber(tr("Corner radius"), YKToolOptions::kRadius, 0, YKToolOptions::kMaxRadius, 0, 1,
                  tr(" px"));
    }
    // A line has no inside; the open paths fill only once they are closed.
    if (!Uses(panel, {"Line"})) {
        auto* filled = new QCheckBox(tr("Filled"), this);
        bool on = false;
        Options()->FindBool(YKToolOptions::kFilled, &on);
        filled->setChecked(on);
        connect(filled, &QCheckBox::toggled, this, [this](bool chosen) {
            YKToolOptions::SetBool(Options(), YKToolOptions::kFilled, chosen);
        });
        mLayout->addRow(tr("Fill"), filled);
        AddColor(tr("Fill colour"), YKToolOptions::kFillColor, {255, 255, 255, 255});
    }
}

void YKToolOptionsForm::AddTextRows() {
    auto* fonts = new QComboBox(this);
    // Long font names must not widen the dock and squeeze the canvas.
    fonts->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    fonts->setMinimumContentsLength(8);
    std::string current = DefaultFont();
    Options()->FindString(YKToolOptions::kFont, &current);
    for (const Font& font : Fonts()) {
        fonts->addItem(QString::fromStdString(font.label),
                       QString::fromStdString(font.description));
    }
    int index = fonts->findData(QString::fromStdString(current));
    // A font named by its file alone is the menu's entry for that file.
    for (int i = 0; index < 0 && i < fonts->count(); ++i) {
        if (fonts->itemData(i).toString().startsWith(QString::fromStdString(current + " "))) {
            index = i;
        }
    }
    if (index < 0) {
        // A font chosen once and since removed still shows for what it is.
        fonts->insertItem(0, tr("%1 (missing)").arg(QString::fromStdString(current)),
                          QString::fromStdString(current));
        index = 0;
    }
    fonts->setCurrentIndex(index);
    connect(fonts, &QComboBox::currentIndexChanged, this, [this, fonts](int chosen) {
        YKToolOptions::SetString(Options(), YKToolOptions::kFont,
                                 fonts->itemData(chosen).toString().toStdString().c_str());
    });
    mLayout->addRow(tr("Font"), fonts);
    AddNumber(tr("Size"), YKToolOptions::kFontSize, YKToolOptions::kMinFontSize,
              YKToolOptions::kMaxFontSize, 12, 1, tr(" pt"));
    AddColor(tr("Colour"), YKToolOptions::kFillColor, {0, 0, 0, 255});
    AddColor(tr("Outline"), YKToolOptions::kStrokeColor, {0, 0, 0, 255});
    AddNumber(tr("Outline width"), YKToolOptions::kWidth, 0, YKToolOptions::kMaxWidth, 0, 1,
              tr(" px"));
}

// --- Fields ---

void YKToolOptionsForm::AddNumber(const QString& label, const char* key, double low, double high,
                                  double fallback, int decimals, const QString& suffix) {
    auto* number = new QDoubleSpinBox(this);
    number->setRange(low, high);
    number->setDecimals(decimals);
    number->setSuffix(suffix);
    // Typing writes once, when the field is left or Return is pressed.
    number->setKeyboardTracking(false);
    float value = static_cast<float>(fallback);
    Options()->FindFloat(key, &value);
    number->setValue(std::isfinite(value) ? value : fallback);
    connect(number, &QDoubleSpinBox::valueChanged, this, [this, key](double chosen) {
        YKToolOptions::SetFloat(Options(), key, static_cast<float>(chosen));
    });
    mLayout->addRow(label, number);
}

void YKToolOptionsForm::AddColor(const QString& label, const char* key, yk_color fallback) {
    auto* button = new YKColorButton(tr("Choose…"), this);
    yk_color value = fallback;
    Options()->FindColor(key, &value);
    button->SetColor(value);
    connect(button, &YKColorButton::ColorChosen, this,
            [this, key](yk_color chosen) { YKToolOptions::SetColor(Options(), key, chosen); });
    mLayout->addRow(label, button);
}

void YKToolOptionsForm::AddChoice(const QString& label, const char* key, int32 fallback,
                                  const std::vector<std::pair<int32, const char*>>& choices) {
    auto* menu = new QComboBox(this);
    for (const auto& [value, text] : choices) {
        menu->addItem(tr(text), value);
    }
    int32 value = fallback;
    Options()->FindInt32(key, &value);
    menu->setCurrentIndex(std::max(0, menu->findData(value)));
    connect(menu, &QComboBox::currentIndexChanged, this, [this, key, menu](int chosen) {
        YKToolOptions::SetInt32(Options(), key, menu->itemData(chosen).toInt());
    });
    mLayout->addRow(label, menu);
}

// --- Fonts ---

const std::vector<YKToolOptionsForm::Font>& YKToolOptionsForm::Fonts() {
    static const std::vector<Font> fonts = [] {
        std::vector<Font> list;
        std::string folder;
        if (YK_FindGravikSettingsFolder(&folder)) {
            const YKFontCacheFreetype cache(folder, false);
            for (const YKFontCacheEntry& entry : cache.Fonts()) {
                const std::string label =
                    entry.family.empty() ? entry.file : entry.family + " " + entry.style;
                list.push_back({entry.path + " " + entry.family + " " + entry.style, label});
            }
        }
        if (list.empty()) {
            list.push_back({yk_fallback_font_path(), "DejaVu Sans"});
        }
        return list;
    }();
    return fonts;
}

std::string YKToolOptionsForm::DefaultFont() {
    const std::string fallback = yk_fallback_font_path();
    for (const Font& font : Fonts()) {
        if (font.description.rfind(fallback + " ", 0) == 0 || font.description == fallback) {
            return font.description;
        }
    }
    return Fonts().front().description;
}
