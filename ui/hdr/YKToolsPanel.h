#pragma once

// YKToolsPanel: the toolbox. One checkable button per tool, in the order of the icon pools, and
// below them the selected tool's options. The buttons follow the application's tool state, so a
// tool chosen elsewhere (another window's toolbox, a command, the previous-tool rule) shows here
// too. The options and the selected tool are kept in the preferences.

#include <vector>

#include "YKPanel.h"

class QButtonGroup;
class QLabel;
class QToolButton;
class YKToolOptionsForm;

class YKToolsPanel : public YKPanel {
    Q_OBJECT

public:
    static YKPanel* Create(YKDocumentWindow* window);
    explicit YKToolsPanel(YKDocumentWindow* window);
    ~YKToolsPanel() override;

    // Selects tool `id` as its button does; the button falls back when the tool state refuses
    // (an object is being drawn).
    void Choose(int32 id);
    // The button of tool `id`; null for an unknown id.
    QToolButton* Button(int32 id) const;
    YKToolOptionsForm* Form() const { return mForm; }

    // Checks the selected tool's button and shows its options.
    void Refresh() override;
    // "tool" (int32), "zoom_in" (bool) and one "options" message per tool, in id order.
    void SaveSettings(YKMessage& settings) const override;
    // Taken back only by the first toolbox of the session: the tool state is shared by every
    // window, and a later window must not undo what was chosen since.
    void RestoreSettings(const YKMessage& settings) override;

    // The tooltip of tool `id`: its name, with what it does when the name alone is terse.
    static QString ToolTip(int32 id);

private:
    QButtonGroup* mButtons;
    QLabel* mTitle;
    YKToolOptionsForm* mForm;
};
