#pragma once

// YKPanelDocks: the panels of one document window, each in a dock widget that the user may move,
// stack, float or close. The Window menu's panel items show and hide them. Which panels show and
// where they sit is kept in the preferences when the window closes and given to the next window
// that opens.

#include <QString>
#include <span>
#include <vector>

#include "YKMessage.h"

class QAction;
class QDockWidget;
class YKDocumentWindow;
class YKPanel;
class YKPrefSetting;

class YKPanelDocks {
public:
    // A kind of panel: its key in the preferences, its title, the Window menu's code that shows
    // and hides it (0 for none), where it docks first, whether it shows at first, and how it is
    // made.
    struct Kind {
        const char* key;
        const char* title;
        uint32 toggleCode;
        Qt::DockWidgetArea area;
        bool shownAtFirst;
        YKPanel* (*create)(YKDocumentWindow* window);
    };
    // Every kind of panel, in the order they are docked.
    static std::span<const Kind> Kinds();

    // The preferences panels keep their places in (not owned; null: nothing is kept).
    static void SetPreferences(YKPrefSetting* preferences);

    // Makes every panel of `window` and docks it, as the preferences last had them.
    explicit YKPanelDocks(YKDocumentWindow* window);
    // Deletes the panels while their window is still whole: a panel that hides may finish an
    // edit, and asks its window first.
    ~YKPanelDocks();
    YKPanelDocks(const YKPanelDocks&) = delete;
    YKPanelDocks& operator=(const YKPanelDocks&) = delete;

    // Shows or hides the panel of a Window menu code; false when no panel has that code.
    bool Toggle(uint32 code);
    // Whether the panel of a Window menu code shows.
    bool IsShown(uint32 code) const;
    // The panel with `key`, null when there is none.
    YKPanel* Panel(const char* key) const;
    QDockWidget* Dock(const char* key) const;
    // Passes a notification of the document to every panel.
    void Notify(const YKMessage& message);
    // Writes the panels' places and settings into the preferences.
    void Save() const;
    // Brings the panels in line with the preferences as they are now: floating panels stay
    // above every document window while "float panel" is set.
    void ApplyPreferences();

private:
    void Restore();

    struct Entry {
        const Kind* kind;
        QDockWidget* dock;
        YKPanel* panel;
    };
    YKDocumentWindow* mWindow;
    std::vector<Entry> mEntries;
};
