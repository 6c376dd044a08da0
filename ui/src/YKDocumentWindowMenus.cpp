// The document window's menu bar, built from tables of (label, code, shortcut), and the parts of
// it that follow the document: the undo lists, the composite marks, the object lock.

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <set>
#include <span>

#include "YKCacheLayer.h"
#include "YKDocument.h"
#include "YKDocumentWindow.h"
#include "YKEventManager.h"
#include "YKFilterManager.h"
#include "YKGenericFilter.h"
#include "YKObjectLayer.h"
#include "YKPanelDocks.h"
#include "YKPlayback.h"
#include "YKPrefSetting.h"
#include "YKRasterFilters.h"
#include "YKRasterIO.h"
#include "YKUndoManager.h"
#include "YKUndoMenu.h"
#include "YKViewerLayer.h"
#include "YKZoomLevels_internal.h"
#include "yk_composition.h"

// Sections: tables · building · dynamic menus · keeping up to date.

namespace {

// --- Tables ---

// Submenus whose items come from the running application rather than a table.
enum class Filled {
    kNone,
    kExport,
    kZoom,
    kLayerComposite,
    kObjectComposite,
    kFilters,
    kUndo,
    kRedo,
    kColorMode,
    kDocuments
};

// A menu item: null label for a separator. `key` is the shortcut with the command key, `shift`
// adds the shift key. A submenu has items or is filled at run time.
struct Item {
    const char* label;
    uint32 code = 0;
    char key = 0;
    bool shift = false;
    std::span<const Item> items = {};
    Filled filled = Filled::kNone;
    // Extra int32 field the message carries, with its value.
    const char* field = nullptr;
    int32 value = 0;
};

constexpr Item kSeparator{nullptr};

constexpr Item kImport[] = {{"Image…", 'ImFl'}, {"Sequence…", 'ImSq'}};
constexpr Item kPreferences[] = {{"General & Start-up…", 'grPp'},
                                 {"Monitor Gamma Adjustment…", 'gamm'}};
constexpr Item kFile[] = {
    {"New…", 'ShoC', 'N'},
    {"Open…", 'OpOo', 'O'},
    {"Close Document", 'grDd', 'W'},
    kSeparator,
    {"Save", 'grSd', 'S'},
    {"Save As…", 'grAd', 'S', true},
    kSeparator,
    {"Import", 0, 0, false, kImport},
    {"Export…", 0, 0, false, {}, Filled::kExport},
    {"Export Wizard…", 'exWz', 'E'},
    kSeparator,
    {"Page Setup…", 'grPs', 'P', true},
    {"Print…", 'grPr', 'P'},
    kSeparator,
    {"Preferences", 0, 0, false, kPreferences},
    kSeparator,
    {"Quit", '_QRQ', 'Q', false, {}, Filled::kNone, "application", 1},
};

constexpr Item kEdit[] = {
    {"Undo", 0, 0, false, {}, Filled::kUndo},
    {"Redo", 0, 0, false, {}, Filled::kRedo},
    kSeparator,
    {"Cut", 'CCUT', 'X'},
    {"Copy", 'COPY', 'C'},
    {"Paste", 'PSTE', 'V'},
    {"Paste In place", 'Epip', 'V', true},
    kSeparator,
    {"Copy Frame", 23},
    {"Paste Frame", 24},
    {"Replace Frame", 25},
    kSeparator,
    {"Purge Undo", 'EPuU'},
};

constexpr Item kCrop[] = {{"Vectorial", 'CnCr', 'R'}, {"Bitmap", 'CnC2', 'R', true}};
constexpr Item kViewMode[] = {{"Full View", 'FulV', 'U', true},
                              {"Stroke Preview", 'Strk', 'K', true},
                              {"Shape Preview", 'Shap', 'H', true}};
constexpr Item kImage[] = {
    {"Crop To Selection", 0, 0, false, kCrop},
    {"Canvas Properties…", 'grCp', 'R', true},
    kSeparator,
    {"Flatten Image", 'LFVi'},
    {"Merge Image", 'LMVi'},
    kSeparator,
    {"View Mode", 0, 0, false, kViewMode},
};

constexpr Item kLayerFlatten[] = {{"Current", 'LFcu'},  {"All", 'IFlt'},  {"Visible", 'LFVi'},
                                  {"Up", 'LFUp'},       {"Down", 'LFDm'}, {"To Top", 'LFTp'},
                                  {"To Bottom", 'LFBm'}};
constexpr Item kLayerMerge[] = {{"All", 'IMrg'},  {"Visible", 'LMVi'}, {"Up", 'LMUp'},
                                {"Down", 'LMDm'}, {"To Top", 'LMTp'},  {"To Bottom", 'LMBm'}};
#define YK_EFFECTS(code)                                                      \
    {                                                                         \
        {"Outer Shadow", code, 0, false, {}, Filled::kNone, "effect", 0},     \
            {"Outer Glow", code, 0, false, {}, Filled::kNone, "effect", 1},   \
            {"Inner Shadow", code, 0, false, {}, Filled::kNone, "effect", 2}, \
            {"Inner Glow", code, 0, false, {}, Filled::kNone, "effect", 3}, { \
            "Emboss & Bevel", code, 0, false, {}, Filled::kNone, "effect", 4  \
        }                                                                     \
    }
constexpr Item kLayerEffects[] = YK_EFFECTS('LFXs');
constexpr Item kObjectEffects[] = YK_EFFECTS('OFXs');
#undef YK_EFFECTS
constexpr Item kLayer[] = {
    {"New", 'Lnew'},
    {"Duplicate", 'Ldup'},
    {"Delete", 'Ldel'},
    kSeparator,
    {"Properties…", 'LPrp'},
    kSeparator,
    {"Convert to Selection", 'LayC'},
    kSeparator,
    {"Flatten", 0, 0, false, kLayerFlatten},
    {"Merge", 0, 0, false, kLayerMerge},
    kSeparator,
    {"Effects", 0, 0, false, kLayerEffects},
    {"Apply Filter", 'LFlt', 0, false, {}, Filled::kFilters},
    {"Composite Method", 'LCmp', 0, false, {}, Filled::kLayerComposite},
    {"Filter", 'LCmF', 0, false, {}, Filled::kFilters},
};

constexpr Item kAlignment[] = {
    {"Align Left", 'Alig', 0, false, {}, Filled::kNone, "align", kAlignLeft},
    {"Align Right", 'Alig', 0, false, {}, Filled::kNone, "align", kAlignRight},
    {"Align Top", 'Alig', 0, false, {}, Filled::kNone, "align", kAlignTop},
    {"Align Bottom", 'Alig', 0, false, {}, Filled::kNone, "align", kAlignBottom},
    kSeparator,
    {"Center Horizontal", 'Alig', 0, false, {}, Filled::kNone, "align", kCenterHorizontal},
    {"Center Vertical", 'Alig', 0, false, {}, Filled::kNone, "align", kCenterVertical},
    {"Center All", 'Alig', 0, false, {}, Filled::kNone, "align", kCenterAll},
    kSeparator,
    {"Enlarge Horizontal", 'Alig', 0, false, {}, Filled::kNone, "align", kEnlargeHorizontal},
    {"Enlarge Vertical", 'Alig', 0, false, {}, Filled::kNone, "align", kEnlargeVertical},
    {"Enlarge All", 'Alig', 0, false, {}, Filled::kNone, "align", kEnlargeAll},
    kSeparator,
    {"Pack Horizontal", 'Alig', 0, false, {}, Filled::kNone, "align", kPackHorizontal},
    {"Pack Vertical", 'Alig', 0, false, {}, Filled::kNone, "align", kPackVertical},
};
constexpr Item kObject[] = {
    {"Duplicate", 'Odup'},
    {"Delete", 'Odel'},
    kSeparator,
    {"Lock", 'Olok'},
    kSeparator,
    {"Convert to Selection", 'ObjC'},
    {"Crop to Bitmap Selection", 'Objc'},
    kSeparator,
    {"Alignment", 0, 0, false, kAlignment},
    kSeparator,
    {"Flatten", 'Oflt'},
    kSeparator,
    {"Effects", 0, 0, false, kObjectEffects},
    {"Apply Filter", 'OFlt', 0, false, {}, Filled::kFilters},
    {"Composite Method", 'OCmp', 0, false, {}, Filled::kObjectComposite},
    {"Filter", 'OCmF', 0, false, {}, Filled::kFilters},
};

constexpr Item kSelection[] = {
    {"Select All Objects", 'Sall', 'A'}, {"Deselect Objects", 'SDso'},
    {"Invert Object Selection", 'Sinv'}, kSeparator,
    {"Select All Area", 'Salb'},         {"Deselect Area", 'SDsb', 'D'},
    {"Inverse Selection", 'Sinb'},       {"Feather…", 'Sfzr'},
};

// "Loop" sends nothing: it is a toggle the playback reads (code 0 marks it below).
constexpr Item kAnimation[] = {
    {"Play", 5},
    {"Stop", 6},
    {"Loop", 0},
    kSeparator,
    {"Next Frame", 2},
    {"Previous Frame", 1},
    kSeparator,
    {"First Frame", 7},
    {"Last Frame", 8},
    kSeparator,
    {"Delete Frame", 13},
    {"Insert Frame", 12},
    kSeparator,
    {"Insert Key Frame", 14},
    {"Add Keys To Frame", 15},
    {"Delete Keys From Frame", 16},
    kSeparator,
    {"Expand All Layers", 17},
    {"Minimize All Layers", 18},
    kSeparator,
    {"Expand All Objects", 19},
    {"Minimize All Objects", 20},
    kSeparator,
    {"Expand Selected Objects", 21},
    {"Minimize Unselected Objects", 22},
};

constexpr Item kColorMode[] = {{"RGB", 'Vrgb'}, kSeparator, {"Dithering", 'VDth'}};
constexpr Item kView[] = {
    {"New View", 'grCv', 'N', true},
    {"Close View", '_QRQ', 'W', true},
    kSeparator,
    {"Zoom", 0, 0, false, {}, Filled::kZoom},
    {"Zoom In", 'ZoIn', '+'},
    {"Zoom Out", 'Zout', '-'},
    {"Zoom Fit To View", 'ZoFt', 'F', true},
    kSeparator,
    {"Color Mode", 0, 0, false, kColorMode, Filled::kColorMode},
    kSeparator,
    {"Limits", 'Vanc'},
    {"Lock Limits", 'Vlan'},
};

// The panel items carry "toggle" and are marked while their panel shows.
constexpr Item kWindow[] = {
    {"Help…", 'hlp2'},
    {"Tips on the Web…", 'hlp4'},
    {"About Gravik…", '_ABR'},
    kSeparator,
    {"Stack", 'WnSt', 'S'},
    {"Tile", 'WnTh', 'T'},
    {"Tile Vertical", 'WnTv', 'V'},
    kSeparator,
    {"Toolbox", 'grtp', 'T', false, {}, Filled::kNone, "toggle", 1},
    {"Layers", 'grLp', 'L', false, {}, Filled::kNone, "toggle", 1},
    {"Objects", 'grOp', 'O', false, {}, Filled::kNone, "toggle", 1},
    {"Animation", 'grTp', 'A', false, {}, Filled::kNone, "toggle", 1},
    {"Inspector", 'grFp', 'F', false, {}, Filled::kNone, "toggle", 1},
    {"Alignment", 'grAp', 'P', false, {}, Filled::kNone, "toggle", 1},
    {"Colorpicker", 'grEp', 'I', false, {}, Filled::kNone, "toggle", 1},
    {"Gradient Composer", 'grGp', 'G', false, {}, Filled::kNone, "toggle", 1},
    kSeparator,
    {"Documents", 0, 0, false, {}, Filled::kDocuments},
};

struct TopMenu {
    const char* label;
    std::span<const Item> items;
};
constexpr TopMenu kMenuBar[] = {
    {"File", kFile},           {"Edit", kEdit},     {"Image", kImage},
    {"Layer", kLayer},         {"Object", kObject}, {"Selection", kSelection},
    {"Animation", kAnimation}, {"View", kView},     {"Window", kWindow},
};

QKeySequence Shortcut(const Item& item) {
    const int key = item.key == '+'   ? Qt::Key_Plus
                    : item.key == '-' ? Qt::Key_Minus
                                      : Qt::Key_A + (item.key - 'A');
    const Qt::KeyboardModifiers modifiers =
        item.shift ? Qt::ControlModifier | Qt::ShiftModifier : Qt::ControlModifier;
    return QKeySequence(QKeyCombination(modifiers, static_cast<Qt::Key>(key)));
}

}  // namespace

// --- Building ---

void YKDocumentWindow::FillMainMenu() {
    // Where two items of the table share a shortcut, the first keeps it: Qt would fire neither.
    std::set<int> taken;
    std::function<void(QMenu*, std::span<const Item>)> fill = [&](QMenu* menu,
                                                                  std::span<const Item> items) {
        for (const Item& item : items) {
            if (item.label == nullptr) {
                menu->addSeparator();
                continue;
            }
            // An "&" in a label ("Emboss & Bevel") is text, not a shortcut letter's mark.
            const QString label =
                QString::fromUtf8(item.label).replace(QLatin1Char('&'), QStringLiteral("&&"));
            if (!item.items.empty() || item.filled != Filled::kNone) {
                QMenu* sub = menu->addMenu(label);
                fill(sub, item.items);
                switch (item.filled) {
                    case Filled::kExport:
                        connect(sub, &QMenu::aboutToShow, this,
                                [this, sub] { FillExportMenu(sub); });
                        FillExportMenu(sub);
                        break;
                    case Filled::kZoom:
                        FillZoomMenu(sub);
                        break;
                    case Filled::kLayerComposite:
                        mLayerComposite = sub;
                        FillCompositeMenu(sub, item.code);
                        break;
                    case Filled::kObjectComposite:
                        FillCompositeMenu(sub, item.code);
                        break;
                    case Filled::kFilters: {
                        const YKFilterManager& filters = YKFilterManager::Default();
                        for (int32 list = 0; list < filters.CountFilterLists(); ++list) {
                            const YKList<YKGenericFilter*>* each = filters.FilterListAt(list);
                            for (int32 i = 0; each != nullptr && i < each->CountItems(); ++i) {
                                YKGenericFilter* filter = each->ItemAt(i);
                                const char* name = filter->Name();
                                sub->addAction(QString::fromUtf8(name != nullptr ? name : "?"),
                                               this, [this, code = item.code, filter] {
                                                   YKMessage message = CommandMessage(code);
                                                   message.AddPointer("filter", filter);
                                                   MessageReceived(message);
                                               });
                            }
                        }
                        break;
                    }
                    case Filled::kUndo:
                        mUndoMenu = sub;
                        AddUndoShortcut(QKeySequence::Undo, 'UNDO');
                        break;
                    case Filled::kRedo:
                        mRedoMenu = sub;
                        AddUndoShortcut(QKeySequence::Redo, 'Redo');
                        break;
                    case Filled::kColorMode:
                        FillColorModeMenu(sub);
                        break;
                    case Filled::kDocuments:
                        mDocumentsMenu = sub;
                        UpdateWindowMenu();
                        break;
                    case Filled::kNone:
                        break;
                }
                continue;
            }
            QAction* action = menu->addAction(label);
            if (item.key != 0) {
                const QKeySequence keys = Shortcut(item);
                if (taken.insert(keys[0].toCombined()).second) {
                    action->setShortcut(keys);
                }
            }
            if (item.code == 0) {
                mLoop = action;
                action->setCheckable(true);
                connect(action, &QAction::toggled, this,
                        [this](bool loop) { mPlayback->SetLoop(loop); });
                continue;
            }
            const bool toggle = item.field != nullptr && std::strcmp(item.field, "toggle") == 0;
            action->setCheckable(toggle || item.code == 'Olok' || item.code == 'Vanc' ||
                                 item.code == 'Vlan' || item.code == 'VDth');
            if (item.code == 'Olok') {
                mLockObject = action;
            }
            if (toggle) {
                mPanelItems.emplace_back(item.code, action);
            }
            connect(action, &QAction::triggered, this, [this, &item, action] {
                YKMessage message = CommandMessage(item.code);
                if (item.field != nullptr) {
                    if (std::strcmp(item.field, "toggle") == 0) {
                        message.AddBool("toggle", true);
                    } else {
                        message.AddInt32(item.field, item.value);
                    }
                }
                if (action->isCheckable()) {
                    message.AddBool("marked", action->isChecked());
                }
                MessageReceived(message);
            });
        }
    };
    for (const TopMenu& top : kMenuBar) {
        QMenu* menu = menuBar()->addMenu(QString::fromUtf8(top.label));
        fill(menu, top.items);
        connect(menu, &QMenu::aboutToShow, this, &YKDocumentWindow::MenusBeginning);
    }
    UpdateUndoMenus();
}

YKMessage YKDocumentWindow::CommandMessage(uint32 code) const {
    YKMessage message(code);
    message.AddInt32("viewid", mIndex);
    message.AddPointer("document", mDocument);
    message.AddPointer("documentwindow", this);
    return message;
}

// --- Dynamic menus ---

void YKDocumentWindow::FillZoomMenu(QMenu* zoom) {
    auto* levels = new QActionGroup(this);
    for (int entry = 0; entry < kYKZoomEntryCount; ++entry) {
        if (kYKZoomLevels[entry].menuPercent == 0) {
            continue;
        }
        QAction* level =
            zoom->addAction(QString::asprintf("%d %%", kYKZoomLevels[entry].menuPercent), this,
                            [this, entry] { SetZoomEntry(entry); });
        level->setCheckable(true);
        level->setChecked(entry == kYKActualSizeEntry);
        levels->addAction(level);
        // The mark follows the zoom control, whoever changed it.
        connect(mZoomControl, &QComboBox::currentIndexChanged, level,
                [level, entry](int chosen) { level->setChecked(chosen == entry); });
    }
}

namespace {

YKPrefSetting* sPreferences = nullptr;

}  // namespace

void YKDocumentWindow::SetPreferences(YKPrefSetting* preferences) {
    sPreferences = preferences;
}

YKPrefSetting* YKDocumentWindow::Preferences() {
    return sPreferences;
}

bool YKDocumentWindow::TranslatorsOnly() {
    return sPreferences != nullptr && sPreferences->PrefTranslatorsOnly();
}

void YKDocumentWindow::FillExportMenu(QMenu* exportMenu) {
    // Filled as it opens, so that it follows the preferences.
    exportMenu->clear();
    const YKRasterFilters* registry = YKRasterFilters::Instantiate();
    for (int32 i = 0; i < registry->CountFilters(); ++i) {
        const YKRasterIO* io = registry->FilterAt(i);
        if ((io->Capabilities() & (YKRasterIO::kWritesStills | YKRasterIO::kWritesAnimations)) ==
                0 ||
            (io->IsInternal() && TranslatorsOnly())) {
            continue;
        }
        exportMenu->addAction(QString::fromUtf8(io->MenuName()), this, [this, id = io->Id()] {
            YKMessage message = CommandMessage('grEd');
            message.AddInt32("raster_io_id", id);
            MessageReceived(message);
        });
    }
}

void YKDocumentWindow::FillCompositeMenu(QMenu* menu, uint32 code) {
    auto* methods = new QActionGroup(this);
    for (int32 method = 0; method < YK_COMPOSITION_MODE_COUNT; ++method) {
        QAction* action = menu->addAction(QString::fromUtf8(yk_composition_label[method]));
        action->setCheckable(code == 'LCmp');
        methods->addAction(action);
        connect(action, &QAction::triggered, this, [this, code, method] {
            YKMessage message = CommandMessage(code);
            message.AddInt32("index", method);
            MessageReceived(message);
        });
    }
}

// --- Keeping up to date ---

void YKDocumentWindow::MenusBeginning() {
    UpdateUndoMenus();
    YKLayer* layer = CurrentLayer();
    if (mLayerComposite != nullptr && layer != nullptr && layer->InheritsFrom("YKCacheLayer")) {
        const int32 method = static_cast<YKCacheLayer*>(layer)->MergeMethod();
        const QList<QAction*> items = mLayerComposite->actions();
        for (int32 i = 0; i < items.size(); ++i) {
            items[i]->setChecked(i == method);
        }
    }
    if (mLockObject != nullptr) {
        YKViewerLayer* viewer = mDocument->ViewerLayer();
        const std::vector<YKLayer*> selected = viewer->SelectedObjects(mIndex);
        mLockObject->setEnabled(!selected.empty());
        mLockObject->setChecked(!selected.empty() && selected.front()->IsLocked());
    }
    for (const auto& [code, action] : mPanelItems) {
        action->setChecked(mPanels->IsShown(code));
    }
}

// The latest action's entry is rebuilt whenever the stacks move, so its shortcut lives on the
// window, where it works before any menu has been opened; the entry only shows it.
void YKDocumentWindow::AddUndoShortcut(QKeySequence::StandardKey key, uint32 code) {
    auto* shortcut = new QAction(this);
    shortcut->setShortcut(key);
    connect(shortcut, &QAction::triggered, this, [this, code] {
        UpdateUndoMenus();
        MessageReceived(CommandMessage(code));
    });
    addAction(shortcut);
}

void YKDocumentWindow::UpdateUndoMenus() {
    YKUndoManager* undo = mDocument->UndoManager();
    if (mUndoMenu == nullptr || mRedoMenu == nullptr ||
        (undo->UndoDirtyCount() == mUndoSeen && undo->RedoDirtyCount() == mRedoSeen)) {
        return;
    }
    mUndoSeen = undo->UndoDirtyCount();
    mRedoSeen = undo->RedoDirtyCount();
    // Entry i goes back (or forward) i + 1 actions: the list runs from the latest.
    for (const auto& [menu, redo] : {std::pair{mUndoMenu, false}, std::pair{mRedoMenu, true}}) {
        menu->clear();
        const std::vector<std::string> entries = YKUndoMenuEntries(*undo, redo);
        for (std::size_t i = 0; i < entries.size(); ++i) {
            QString label = QString::fromStdString(entries[i]);
            if (i == 0) {
                label +=
                    QLatin1Char('\t') + QKeySequence(redo ? QKeySequence::Redo : QKeySequence::Undo)
                                            .toString(QKeySequence::NativeText);
            }
            menu->addAction(label, this, [this, redo = redo, steps = static_cast<int32>(i + 1)] {
                YKMessage message = CommandMessage(redo ? 'Redo' : 'UNDO');
                message.AddInt32("steps", steps);
                MessageReceived(message);
            });
        }
        menu->setEnabled(!entries.empty());
    }
}
