#include "YKAlignmentPanel.h"

#include <QGridLayout>
#include <QLabel>
#include <QToolButton>

#include "YKDocument.h"
#include "YKDocumentWindow.h"
#include "YKViewerLayer.h"

namespace {

struct Action {
    const char* label;
    const char* tip;
    int32 flag;
};

// One row per family, as the Object menu groups them.
constexpr Action kRows[][3] = {
    {{"Left", "Align Left", kAlignLeft},
     {"Right", "Align Right", kAlignRight},
     {"Top", "Align Top", kAlignTop}},
    {{"Bottom", "Align Bottom", kAlignBottom},
     {"Centre H", "Center Horizontal", kCenterHorizontal},
     {"Centre V", "Center Vertical", kCenterVertical}},
    {{"Centre", "Center All", kCenterAll},
     {"Enlarge H", "Enlarge Horizontal", kEnlargeHorizontal},
     {"Enlarge V", "Enlarge Vertical", kEnlargeVertical}},
    {{"Enlarge", "Enlarge All", kEnlargeAll},
     {"Pack H", "Pack Horizontal", kPackHorizontal},
     {"Pack V", "Pack Vertical", kPackVertical}},
};

}  // namespace

YKPanel* YKAlignmentPanel::Create(YKDocumentWindow* window) {
    return new YKAlignmentPanel(window);
}

YKAlignmentPanel::YKAlignmentPanel(YKDocumentWindow* window) : YKPanel(window) {
    auto* grid = new QGridLayout(this);
    grid->setSpacing(2);
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 3; ++column) {
            const Action& action = kRows[row][column];
            auto* button = new QToolButton(this);
            button->setText(tr(action.label));
            button->setToolTip(tr(action.tip));
            button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
            connect(button, &QToolButton::clicked, this,
                    [this, flag = action.flag] { Align(flag); });
            grid->addWidget(button, row, column);
            mButtons.push_back(button);
        }
    }
    grid->setRowStretch(4, 1);
}

void YKAlignmentPanel::Align(int32 action) {
    YKMessage message = Window()->CommandMessage('Alig');
    message.AddInt32("align", action);
    Window()->MessageReceived(message);
}

void YKAlignmentPanel::Refresh() {
    YKViewerLayer* viewer = Document()->ViewerLayer();
    int32 selected = 0;
    if (viewer != nullptr && viewer->LockHirarchy()) {
        selected = static_cast<int32>(viewer->SelectedObjects(Window()->ViewIndex()).size());
        viewer->UnlockHirarchy();
    }
    for (QToolButton* button : mButtons) {
        button->setEnabled(selected >= 2);
    }
}
