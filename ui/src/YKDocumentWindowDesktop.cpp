// The document window among the others and on the desktop: its display mode and limits, the
// zoom that fits, new views, the arrangement of the document windows and the Window menu's list
// of them, the about box and the help.

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QUrl>
#include <algorithm>
#include <cmath>

#include "Quantizer.h"
#include "YKAlert.h"
#include "YKCanvasView.h"
#include "YKDocument.h"
#include "YKDocumentWindow.h"
#include "YKDocumentWindow_internal.h"
#include "YKZoomLevels_internal.h"

// Sections: view · desktop · Window menu.

namespace {

// How far each stacked window sits from the one before it.
constexpr int kStackStep = 28;

}  // namespace

// --- View ---

bool YKDocumentWindow::ViewCommand(const YKMessage& message) {
    switch (message.what) {
        case 'Vrgb':
            mCanvas->SetDisplayPalette(-1, mCanvas->DisplayDithering());
            break;
        case 'VPal':
            mCanvas->SetDisplayPalette(YKInt32Field(message, "cmap", -1),
                                       mCanvas->DisplayDithering());
            break;
        case 'VDth':
            mCanvas->SetDisplayPalette(mCanvas->DisplayPalette(), YKMarked(message));
            break;
        case 'Vanc':
            mCanvas->SetDrawingAnchors(YKMarked(message));
            return true;
        case 'Vlan':
            mCanvas->LockAnchors(YKMarked(message));
            return true;
        case 'ZoFt':
            SetZoomEntry(FitZoomEntry());
            return true;
        default:
            return false;
    }
    // The display mode changed: the whole composition is taken again through it.
    InvalidateRect(mCanvas->DocumentFrame());
    return true;
}

void YKDocumentWindow::FillColorModeMenu(QMenu* colorMode) {
    // The table gave "RGB", a separator and "Dithering": the palettes go between them.
    const QList<QAction*> items = colorMode->actions();
    QAction* rgb = items.front();
    mDithering = items.back();
    auto* modes = new QActionGroup(this);
    rgb->setCheckable(true);
    rgb->setChecked(true);
    modes->addAction(rgb);
    for (int32 cmap = 0; cmap < Quantizer::Cmap::NumCmaps(); ++cmap) {
        auto* palette = new QAction(QString::fromUtf8(Quantizer::Cmap::GetCmapName(cmap)), modes);
        palette->setCheckable(true);
        colorMode->insertAction(mDithering, palette);
        connect(palette, &QAction::triggered, this, [this, cmap] {
            YKMessage message = CommandMessage('VPal');
            message.AddInt32("cmap", cmap);
            MessageReceived(message);
        });
    }
    colorMode->insertSeparator(mDithering);
}

int YKDocumentWindow::FitZoomEntry() const {
    const YKRect<int32> frame = mCanvas->DocumentFrame();
    if (!frame.IsValid()) {
        return kYKActualSizeEntry;
    }
    // Without scroll bars: the canvas that fits needs none.
    const QSize room = mCanvas->maximumViewportSize();
    const double width = frame.Width() + 1;
    const double height = frame.Height() + 1;
    for (int entry = kYKZoomEntryCount - 1; entry > 0; --entry) {
        const int32 z = kYKZoomLevels[entry].zoom;
        const double scale = z >= 0 ? z + 1.0 : 1.0 / (1 - z);
        if (std::ceil(width * scale) <= room.width() &&
            std::ceil(height * scale) <= room.height()) {
            return entry;
        }
    }
    return 0;
}

// --- Desktop ---

bool YKDocumentWindow::DesktopCommand(const YKMessage& message) {
    const auto area = [this] {
        return (screen() != nullptr ? screen() : QApplication::primaryScreen())
            ->availableGeometry();
    };
    switch (message.what) {
        case 'grCv':
            if (mDocument->CountViewers() >= YKDocument::kMaxViews) {
                YKAlert("A document has at most eight views.", "OK").Go();
            } else {
                mDocument->CreateViewer(true);
            }
            return true;
        case 'WnSt':
            ArrangeWindows(0, area());
            return true;
        case 'WnTh':
            ArrangeWindows(1, area());
            return true;
        case 'WnTv':
            ArrangeWindows(2, area());
            return true;
        case '_ABR':
            ShowAbout();
            return true;
        case 'hlp2':
            OpenManual(QString());
            return true;
        case 'hlp4':
            // The project has no web site of its own: its tips are the README's tools section.
            OpenManual(QStringLiteral("tools"));
            return true;
        default:
            return false;
    }
}

void YKDocumentWindow::ArrangeWindows(int32 arrangement, const QRect& area) {
    const std::vector<YKDocumentWindow*> windows = DocumentWindows();
    const int count = static_cast<int>(windows.size());
    for (int i = 0; i < count; ++i) {
        YKDocumentWindow* window = windows[i];
        window->showNormal();
        QRect place;
        switch (arrangement) {
            case 0: {
                // Each a step lower and to the right, all of one size, the last on top.
                const int offset = kStackStep * i;
                const int spread = kStackStep * (count - 1);
                place = QRect(area.left() + offset, area.top() + offset,
                              std::max(area.width() - spread, area.width() / 2),
                              std::max(area.height() - spread, area.height() / 2));
                break;
            }
            case 1:
                place = QRect(area.left(), area.top() + area.height() * i / count, area.width(),
                              area.height() * (i + 1) / count - area.height() * i / count);
                break;
            default:
                place =
                    QRect(area.left() + area.width() * i / count, area.top(),
                          area.width() * (i + 1) / count - area.width() * i / count, area.height());
                break;
        }
        // The place is for the whole window, title bar and borders included.
        const QSize decoration = window->frameGeometry().size() - window->geometry().size();
        window->resize(place.size() - decoration);
        window->move(place.topLeft());
        window->raise();
    }
}

void YKDocumentWindow::ShowAbout() {
    auto* box = new QMessageBox(QMessageBox::Information, tr("About Gravik"),
                                tr("Gravik %1\n\nDrawing and animating graphics for the web.")
                                    .arg(QStringLiteral(GRAVIK_VERSION)),
                                QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void YKDocumentWindow::OpenManual(const QString& section) {
    // Installed beside the program, else (run from the build) the source tree's.
    const QStringList places = {
        QDir(QCoreApplication::applicationDirPath())
            .absoluteFilePath(QStringLiteral("../share/doc/gravik/README.md")),
        QStringLiteral(GRAVIK_SOURCE_README)};
    for (const QString& place : places) {
        if (QFileInfo(place).isFile()) {
            QUrl url = QUrl::fromLocalFile(QFileInfo(place).canonicalFilePath());
            if (!section.isEmpty()) {
                url.setFragment(section);
            }
            QDesktopServices::openUrl(url);
            return;
        }
    }
    const std::string text =
        "The manual is not installed: it was looked for as " + places.front().toStdString() + ".";
    YKAlert(text.c_str(), "OK").Go();
}

// --- Window menu ---

std::vector<YKDocumentWindow*> YKDocumentWindow::DocumentWindows() {
    std::vector<YKDocumentWindow*> windows;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* window = qobject_cast<YKDocumentWindow*>(widget);
        if (window != nullptr && !window->IsQuitting()) {
            windows.push_back(window);
        }
    }
    // By document, in the order each first appears, then by view.
    std::vector<YKDocument*> documents;
    for (YKDocumentWindow* window : windows) {
        if (std::find(documents.begin(), documents.end(), window->Document()) == documents.end()) {
            documents.push_back(window->Document());
        }
    }
    const auto rank = [&](const YKDocumentWindow* w) {
        return std::pair(
            std::find(documents.begin(), documents.end(), w->Document()) - documents.begin(),
            w->ViewIndex());
    };
    std::sort(
        windows.begin(), windows.end(),
        [&](const YKDocumentWindow* a, const YKDocumentWindow* b) { return rank(a) < rank(b); });
    return windows;
}

void YKDocumentWindow::UpdateWindowMenu() {
    if (mDocumentsMenu == nullptr || mQuitting) {
        return;
    }
    mDocumentsMenu->clear();
    QMenu* views = nullptr;
    const YKDocument* listed = nullptr;
    for (YKDocumentWindow* window : DocumentWindows()) {
        if (window->Document() != listed) {
            listed = window->Document();
            views = mDocumentsMenu->addMenu(QString::fromUtf8(listed->Name()));
        }
        QAction* item = views->addAction(tr("View %1").arg(window->ViewIndex() + 1));
        item->setCheckable(true);
        item->setChecked(window == this);
        // The window may be gone by the time the item is chosen.
        connect(item, &QAction::triggered, this, [window = QPointer(window)] {
            if (window != nullptr) {
                window->showNormal();
                window->raise();
                window->activateWindow();
            }
        });
    }
    mDocumentsMenu->setEnabled(!mDocumentsMenu->isEmpty());
}
