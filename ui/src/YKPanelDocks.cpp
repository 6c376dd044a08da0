#include "YKPanelDocks.h"

#include <QDockWidget>
#include <QWindow>
#include <cstring>
#include <map>

#include "YKDocumentWindow.h"
#include "YKPanel.h"
#include "YKPrefSetting.h"

namespace {

YKPrefSetting* sPreferences = nullptr;

// Field of the panels' preferences that holds the dock layout (QMainWindow::saveState).
constexpr const char* kLayoutField = "dock_layout";
constexpr uint32 kLayoutType = 'QDSt';

// A floating panel stays above every window of the application, not only its own, while the
// preferences ask for it.
void KeepAbove(QDockWidget* dock) {
    const bool above =
        dock->isFloating() && sPreferences != nullptr && sPreferences->PrefFloatPanel();
    if (dock->isVisible() && dock->windowHandle() != nullptr) {
        // Setting the widget's flags would hide it, and break a drag that just undocked it.
        dock->windowHandle()->setFlag(Qt::WindowStaysOnTopHint, above);
    } else {
        dock->setWindowFlag(Qt::WindowStaysOnTopHint, above);
    }
}

}  // namespace

void YKPanelDocks::SetPreferences(YKPrefSetting* preferences) {
    sPreferences = preferences;
}

YKPanelDocks::YKPanelDocks(YKDocumentWindow* window) : mWindow(window) {
    window->setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowTabbedDocks |
                           QMainWindow::AllowNestedDocks);
    // The side columns run the window's full height; the timeline sits under the canvas only.
    window->setCorner(Qt::BottomLeftCorner, Qt::LeftDockWidgetArea);
    window->setCorner(Qt::BottomRightCorner, Qt::RightDockWidgetArea);
    // Panels that do not show at first become tabs of the first one that does in their area,
    // so opening one does not squeeze the others out of the window.
    std::map<Qt::DockWidgetArea, QDockWidget*> tabbedWith;
    for (const Kind& kind : Kinds()) {
        auto* dock = new QDockWidget(QString::fromUtf8(kind.title), window);
        dock->setObjectName(QString::fromLatin1(kind.key));
        YKPanel* panel = kind.create(window);
        dock->setWidget(panel);
        window->addDockWidget(kind.area, dock);
        if (kind.shownAtFirst) {
            tabbedWith.emplace(kind.area, dock);
        } else if (const auto first = tabbedWith.find(kind.area); first != tabbedWith.end()) {
            window->tabifyDockWidget(first->second, dock);
        }
        dock->setVisible(kind.shownAtFirst);
        QObject::connect(dock, &QDockWidget::topLevelChanged, dock, [dock] { KeepAbove(dock); });
        mEntries.push_back({&kind, dock, panel});
    }
    Restore();
}

YKPanelDocks::~YKPanelDocks() {
    for (const Entry& entry : mEntries) {
        delete entry.dock;
    }
}

void YKPanelDocks::ApplyPreferences() {
    for (const Entry& entry : mEntries) {
        KeepAbove(entry.dock);
    }
}

bool YKPanelDocks::Toggle(uint32 code) {
    for (const Entry& entry : mEntries) {
        if (entry.kind->toggleCode == code) {
            entry.dock->setVisible(!entry.dock->isVisible());
            if (entry.dock->isVisible()) {
                entry.dock->raise();
            }
            return true;
        }
    }
    return false;
}

bool YKPanelDocks::IsShown(uint32 code) const {
    for (const Entry& entry : mEntries) {
        if (entry.kind->toggleCode == code) {
            return entry.dock->isVisible();
        }
    }
    return false;
}

YKPanel* YKPanelDocks::Panel(const char* key) const {
    for (const Entry& entry : mEntries) {
        if (std::strcmp(entry.kind->key, key) == 0) {
            return entry.panel;
        }
    }
    return nullptr;
}

QDockWidget* YKPanelDocks::Dock(const char* key) const {
    for (const Entry& entry : mEntries) {
        if (std::strcmp(entry.kind->key, key) == 0) {
            return entry.dock;
        }
    }
    return nullptr;
}

void YKPanelDocks::Notify(const YKMessage& message) {
    for (const Entry& entry : mEntries) {
        entry.panel->Notify(message);
    }
}

void YKPanelDocks::Save() const {
    if (sPreferences == nullptr) {
        return;
    }
    YKMessage settings = sPreferences->PrefPanelSettings();
    settings.RemoveName(kLayoutField);
    const QByteArray layout = mWindow->saveState();
    settings.AddData(kLayoutField, kLayoutType, layout.constData(), layout.size());
    for (const Entry& entry : mEntries) {
        YKMessage own;
        entry.panel->SaveSettings(own);
        settings.RemoveName(entry.kind->key);
        settings.AddMessage(entry.kind->key, &own);
    }
    sPreferences->SetPrefPanelSettings(settings);
}

void YKPanelDocks::Restore() {
    if (sPreferences == nullptr) {
        return;
    }
    const YKMessage& settings = sPreferences->PrefPanelSettings();
    const void* data = nullptr;
    ssize_t size = 0;
    if (settings.FindData(kLayoutField, kLayoutType, &data, &size) && size > 0) {
        // A layout Qt cannot read leaves the panels where they first docked.
        mWindow->restoreState(QByteArray(static_cast<const char*>(data), size));
    }
    for (const Entry& entry : mEntries) {
        // The preference for floating panels wins over a docked place kept from before.
        if (sPreferences->PrefFloatingLook()) {
            entry.dock->setFloating(true);
        }
        YKMessage own;
        if (settings.FindMessage(entry.kind->key, &own)) {
            entry.panel->RestoreSettings(own);
        }
    }
    ApplyPreferences();
}
