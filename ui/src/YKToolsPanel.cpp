#include "YKToolsPanel.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <string>

#include "YKToolContainer.h"
#include "YKToolIcons.h"
#include "YKToolOptions.h"
#include "YKToolOptionsForm.h"
#include "YKToolState.h"

namespace {

constexpr int kColumns = 4;
constexpr const char* kToolField = "tool";
constexpr const char* kZoomInField = "zoom_in";
constexpr const char* kOptionsField = "options";

// Every live toolbox, told when the shared tool state changes tool.
std::vector<YKToolsPanel*>& Toolboxes() {
    static std::vector<YKToolsPanel*> panels;
    return panels;
}

// What a tool does, for the names that say too little on their own.
const char* Hint(int32 id) {
    switch (id) {
        case 0:
            return "select, move, resize and turn objects";
        case 1:
            return "select pixels inside a rectangle";
        case 2:
            return "select pixels inside a hand-drawn loop";
        case 3:
            return "select pixels inside an ellipse";
        case 4:
            return "scroll the view";
        case 5:
            return "click to zoom in, Shift-click to zoom out";
        case 6:
            return "draw a path as the pointer moves";
        case 7:
            return "paint soft strokes";
        case 9:
            return "click each corner, double-click to end";
        case 10:
            return "pen: click for corners, drag for curves";
        case 15:
            return "a quarter ellipse";
        default:
            return nullptr;
    }
}

// The tool ids in the order of the icon pools: the selections, the drawing tools, then the
// hand and the zoom.
std::vector<int32> ToolOrder() {
    const YKToolState& tools = YKToolState::Application();
    std::vector<std::pair<int32, int32>> placed;
    for (int32 behavior = 0; behavior < tools.BehaviorCount(); ++behavior) {
        for (int32 i = 0; i < tools.ToolCountForBehavior(behavior); ++i) {
            const int32 icon = tools.IconIndexFor(behavior, i);
            if (icon >= 0) {
                placed.emplace_back(icon, tools.ToolIDFor(behavior, i));
            }
        }
    }
    std::sort(placed.begin(), placed.end());
    std::vector<int32> order;
    for (const auto& entry : placed) {
        order.push_back(entry.second);
    }
    return order;
}

}  // namespace

YKPanel* YKToolsPanel::Create(YKDocumentWindow* window) {
    return new YKToolsPanel(window);
}

YKToolsPanel::YKToolsPanel(YKDocumentWindow* window)
    : YKPanel(window),
      mButtons(new QButtonGroup(this)),
      mTitle(new QLabel(this)),
      mForm(new YKToolOptionsForm(this)) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 4);
    auto* grid = new QGridLayout();
    grid->setSpacing(2);
    int place = 0;
    for (const int32 id : ToolOrder()) {
        auto* button = new QToolButton(this);
        button->setCheckable(true);
        button->setAutoRaise(true);
        button->setIcon(YKToolIcons::Icon(id));
        button->setIconSize(QSize(YKToolIcons::kSize, YKToolIcons::kSize));
        button->setToolTip(ToolTip(id));
        button->setAccessibleName(QString::fromUtf8(YKToolState::ToolName(id)).trimmed());
        mButtons->addButton(button, id);
        grid->addWidget(button, place / kColumns, place % kColumns);
        ++place;
    }
    column->addLayout(grid);
    QFont bold = mTitle->font();
    bold.setBold(true);
    mTitle->setFont(bold);
    column->addWidget(mTitle);
    column->addWidget(mForm);
    column->addStretch(1);
    connect(mButtons, &QButtonGroup::idClicked, this, &YKToolsPanel::Choose);

    YKToolState::Application().SetOptionsHook([](int32) {
        for (YKToolsPanel* panel : Toolboxes()) {
            panel->Refresh();
        }
    });
    Toolboxes().push_back(this);
    Refresh();
}

YKToolsPanel::~YKToolsPanel() {
    auto& panels = Toolboxes();
    panels.erase(std::remove(panels.begin(), panels.end(), this), panels.end());
}

QString YKToolsPanel::ToolTip(int32 id) {
    const QString name = QString::fromUtf8(YKToolState::ToolName(id)).trimmed();
    const char* hint = Hint(id);
    return hint != nullptr ? tr("%1: %2").arg(name, tr(hint)) : name;
}

QToolButton* YKToolsPanel::Button(int32 id) const {
    return qobject_cast<QToolButton*>(mButtons->button(id));
}

void YKToolsPanel::Choose(int32 id) {
    // Refused while an object is being drawn: the buttons show the tool still in use.
    if (!YKToolState::Application().SetSelectedTool(id, true)) {
        Refresh();
    }
}

void YKToolsPanel::Refresh() {
    const int32 id = YKToolState::Application().ToolSelected();
    if (QAbstractButton* button = mButtons->button(id)) {
        button->setChecked(true);
    }
    if (mForm->Tool() != id) {
        mTitle->setText(ToolTip(id).section(':', 0, 0));
        mForm->ShowTool(id);
    }
}

void YKToolsPanel::SaveSettings(YKMessage& settings) const {
    YKToolState& tools = YKToolState::Application();
    settings.AddInt32(kToolField, tools.ToolSelected());
    settings.AddBool(kZoomInField, tools.IsZoomIn());
    for (int32 id = 0; id < YKToolState::kToolCount; ++id) {
        settings.AddMessage(kOptionsField, tools.OptionMessageFor(id));
    }
}

void YKToolsPanel::RestoreSettings(const YKMessage& settings) {
    if (Toolboxes().size() > 1) {
        return;
    }
    YKToolState& tools = YKToolState::Application();
    for (int32 id = 0; id < YKToolState::kToolCount; ++id) {
        YKMessage options;
        if (settings.FindMessage(kOptionsField, id, &options)) {
            *tools.OptionMessageFor(id) = options;
        }
    }
    bool zoomIn = true;
    if (settings.FindBool(kZoomInField, &zoomIn)) {
        tools.SetZoomIn(zoomIn);
    }
    int32 id = 0;
    if (settings.FindInt32(kToolField, &id) && YKToolState::ToolName(id) != nullptr) {
        tools.SetSelectedTool(id, true);
    }
    // The form shows the options just taken back, even for the tool it showed before.
    mForm->ShowTool(tools.ToolSelected());
}
