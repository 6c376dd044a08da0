// The export window of a roll-over page: events, frames and the frame of each event.

#include "YKJavaScriptIOWin.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <string>

#include "YKExportOptionsView.h"
#include "YKExportRunBar.h"
#include "YKJavaScriptIO.h"
#include "YKRaster.h"
#include "YKRasterIOView.h"
#include "YKRasterList.h"

namespace {

// A banner stays recognisable at this size, and a row holds several frames.
constexpr QSize kThumbnail(160, 48);

std::string FrameField(const char* event) {
    return std::string("js_frame_") + event;
}

// The frame as the page shows it: composed over the background made opaque.
QPixmap Thumbnail(const YKRaster& raster, uint32 back) {
    const YKRect<int32> frame = raster.Frame();
    const QImage image(raster.Bits(), frame.Width() + 1, frame.Height() + 1,
                       static_cast<qsizetype>(raster.BytesPerRow()), QImage::Format_ARGB32);
    QImage composed(image.size(), QImage::Format_RGB32);
    composed.fill(QColor::fromRgb(back | 0xFF000000u));
    QPainter painter(&composed);
    painter.drawImage(0, 0, image);
    painter.end();
    return QPixmap::fromImage(
        composed.scaled(kThumbnail, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

}  // namespace

YKJavaScriptIOWin::YKJavaScriptIOWin(YKDocumentWindow* owner, YKRasterIO* io, int32 frame)
    : YKRasterIOWin(owner, io, frame),
      mEvents(new QTreeWidget(this)),
      mFrames(new QListWidget(this)) {
    auto* events = new QGroupBox(tr("Events"), this);
    auto* eventColumn = new QVBoxLayout(events);
    mEvents->setColumnCount(2);
    mEvents->setHeaderLabels({tr("Event"), tr("Frame")});
    mEvents->setRootIsDecorated(false);
    mEvents->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    for (const char* event : YKJavaScriptIO::kEvents) {
        auto* row = new QTreeWidgetItem(mEvents, {QString::fromUtf8(event)});
        row->setData(0, Qt::UserRole, QByteArray(event));
    }
    // The first event's image is the one the page shows first.
    mEvents->topLevelItem(0)->setToolTip(0, tr("Shown first"));
    mEvents->setCurrentItem(mEvents->topLevelItem(0));
    eventColumn->addWidget(mEvents);
    eventColumn->addWidget(new QLabel(tr("To associate a JavaScript event with a frame:\n"
                                         "1. Select the JavaScript event,\n"
                                         "2. Double-click on a frame."),
                                      events));

    auto* frames = new QGroupBox(tr("Frames"), this);
    frames->setToolTip(tr("Frame picker"));
    auto* frameColumn = new QVBoxLayout(frames);
    mFrames->setViewMode(QListView::IconMode);
    mFrames->setIconSize(kThumbnail);
    mFrames->setFlow(QListView::LeftToRight);
    mFrames->setWrapping(true);
    mFrames->setResizeMode(QListView::Adjust);
    mFrames->setMovement(QListView::Static);
    frameColumn->addWidget(mFrames);
    connect(mFrames, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { AssignToSelected(item->data(Qt::UserRole).toInt()); });

    auto* row = new QHBoxLayout;
    row->addWidget(events, 1);
    row->addWidget(frames, 2);
    Sections()->addLayout(row);
    connect(Options(), &YKExportOptionsView::FramesRendered, this, &YKJavaScriptIOWin::ShowFrames);
}

bool YKJavaScriptIOWin::Prepare() {
    const bool rendered = YKRasterIOWin::Prepare();
    ShowEvents();
    return rendered;
}

void YKJavaScriptIOWin::ShowFrames() {
    mFrames->clear();
    const YKRasterList* rasters = View()->Rasters();
    int32 back = -1;
    View()->Options().FindInt32("ra_back_col", &back);
    for (int32 i = 0; rasters != nullptr && i < rasters->CountItems(); ++i) {
        auto* item = new QListWidgetItem(Thumbnail(*rasters->ItemAt(i), static_cast<uint32>(back)),
                                         tr("Frame %1").arg(View()->FirstFrame() + i), mFrames);
        item->setData(Qt::UserRole, i + 1);
    }
    ShowEvents();
}

int32 YKJavaScriptIOWin::FrameOf(const char* event) const {
    // Unassigned events keep the writer's defaults: frames 1, 2, 3 as far as the range reaches.
    const int32 count = View()->LastFrame() - View()->FirstFrame() + 1;
    int32 frame = 0;
    for (int32 i = 0; i < mEvents->topLevelItemCount(); ++i) {
        if (mEvents->topLevelItem(i)->data(0, Qt::UserRole).toByteArray() == event) {
            frame = count > i ? i + 1 : 0;
        }
    }
    View()->Options().FindInt32(FrameField(event).c_str(), &frame);
    return frame;
}

void YKJavaScriptIOWin::ShowEvents() {
    for (int32 i = 0; i < mEvents->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = mEvents->topLevelItem(i);
        const int32 frame = FrameOf(row->data(0, Qt::UserRole).toByteArray().constData());
        row->setText(
            1, frame > 0 ? tr("Frame %1").arg(View()->FirstFrame() + frame - 1) : tr("(none)"));
    }
}

void YKJavaScriptIOWin::AssignToSelected(int32 frame) {
    QTreeWidgetItem* row = mEvents->currentItem();
    if (row == nullptr || frame < 1 || Progress()->Running()) {
        return;
    }
    const QByteArray event = row->data(0, Qt::UserRole).toByteArray();
    View()->SetInt32(FrameField(event.constData()).c_str(), frame);
    ShowEvents();
}
