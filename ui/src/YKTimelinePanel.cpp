#include "YKTimelinePanel.h"

#include <QAction>
#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>
#include <algorithm>
#include <map>

#include "YKCanvasListener.h"
#include "YKDocument.h"
#include "YKDocumentWindow.h"
#include "YKEnvelop.h"
#include "YKEnvelopManager.h"
#include "YKKeyFrame.h"
#include "YKObjectLayer.h"
#include "YKPlayback.h"
#include "YKTimelineGrid.h"
#include "YKTimelineSink.h"
#include "YKUserLayer.h"
#include "YKViewerLayer.h"

namespace {

// Durations count hundredths of a second; a frame of more than ten minutes is a typing error.
constexpr int kMaxDuration = 60000;
constexpr int kMaxInsert = 1000;

bool IsTimelineCode(uint32 code) {
    return code >= YKTimelineSink::kMaxFrameChanged && code <= YKTimelineSink::kKeyFramesChanged;
}

}  // namespace

YKPanel* YKTimelinePanel::Create(YKDocumentWindow* window) {
    return new YKTimelinePanel(window);
}

YKTimelinePanel::YKTimelinePanel(YKDocumentWindow* window)
    : YKPanel(window), mGrid(new YKTimelineGrid(this)) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(2, 2, 2, 2);
    column->setSpacing(2);
    // The controls scroll sideways rather than set the panel's narrowest width: under the
    // side columns that width decided whether the window fitted a small screen at all.
    auto* controls = new QWidget;
    auto* bar = new QHBoxLayout(controls);
    bar->setContentsMargins(0, 0, 0, 0);
    bar->setSpacing(2);
    auto* scroller = new QScrollArea(this);
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroller->setWidgetResizable(true);
    column->addWidget(scroller);
    column->addWidget(mGrid, 1);
    const auto add = [&](QWidget* widget) { bar->addWidget(widget); };
    const auto gap = [&] { bar->addSpacing(8); };

    // Playback.
    QStyle* look = style();
    QToolButton* play = AddCommand(QString(), tr("Play"), 5);
    play->setIcon(look->standardIcon(QStyle::SP_MediaPlay));
    mStop = AddCommand(QString(), tr("Stop"), 6);
    mStop->setIcon(look->standardIcon(QStyle::SP_MediaStop));
    mStop->setEnabled(false);
    auto* loop = new QToolButton(this);
    loop->setText(tr("Loop"));
    loop->setToolTip(tr("Loop"));
    if (QAction* action = window->LoopAction()) {
        // The menu's toggle itself, so both always agree.
        loop->setDefaultAction(action);
    }
    QToolButton* first = AddCommand(QString(), tr("First Frame"), 7);
    first->setIcon(look->standardIcon(QStyle::SP_MediaSkipBackward));
    QToolButton* previous = AddCommand(QString(), tr("Previous Frame"), 1);
    previous->setIcon(look->standardIcon(QStyle::SP_MediaSeekBackward));
    QToolButton* next = AddCommand(QString(), tr("Next Frame"), 2);
    next->setIcon(look->standardIcon(QStyle::SP_MediaSeekForward));
    QToolButton* last = AddCommand(QString(), tr("Last Frame"), 8);
    last->setIcon(look->standardIcon(QStyle::SP_MediaSkipForward));
    mFrameLabel = new QLabel(this);
    mFrameLabel->setMinimumWidth(mFrameLabel->fontMetrics().horizontalAdvance("0000 / 0000") + 8);
    mFrameLabel->setAlignment(Qt::AlignCenter);
    for (QWidget* widget : {static_cast<QWidget*>(play), static_cast<QWidget*>(mStop),
                            static_cast<QWidget*>(loop), static_cast<QWidget*>(first),
                            static_cast<QWidget*>(previous), static_cast<QWidget*>(mFrameLabel),
                            static_cast<QWidget*>(next), static_cast<QWidget*>(last)}) {
        add(widget);
    }
    mEditing.insert(mEditing.end(), {play, first, previous, next, last});
    gap();

    // Frame edits.
    mInsertCount = new QSpinBox(this);
    mInsertCount->setObjectName("insertCount");
    mInsertCount->setRange(1, kMaxInsert);
    mInsertCount->setToolTip(tr("Frames to insert"));
    QToolButton* insert = AddButton(tr("Insert"), tr("Insert Frame"), [this] { InsertFrames(); });
    add(insert);
    add(mInsertCount);
    mEditing.insert(mEditing.end(), {insert, mInsertCount});
    const struct {
        const char* text;
        const char* tip;
        uint32 code;
    } kEdits[] = {
        {"Delete", "Delete Frame", 13},
        {"Copy", "Copy Frame", 23},
        {"Paste", "Paste Frame", 24},
        {"Replace", "Replace Frame", 25},
        {"Key", "Insert Key Frame", 14},
        {"+ Keys", "Add Keys To Frame", 15},
        {"\u2212 Keys", "Delete Keys From Frame", 16},
    };
    for (const auto& edit : kEdits) {
        QToolButton* button = AddCommand(tr(edit.text), tr(edit.tip), edit.code);
        add(button);
        mEditing.push_back(button);
        if (edit.code == 25) {
            gap();
        }
    }
    gap();

    // The current frame's duration.
    auto* durationLabel = new QLabel(tr("Duration"), this);
    mDuration = new QSpinBox(this);
    mDuration->setObjectName("duration");
    mDuration->setRange(0, kMaxDuration);
    mDuration->setSuffix(tr(" /100 s"));
    mDuration->setToolTip(tr("How long the current frame shows, in hundredths of a second"));
    mDuration->setKeyboardTracking(false);
    durationLabel->setBuddy(mDuration);
    // One undo action per edit: arrows and typing commit when the editing is done.
    connect(mDuration, &QSpinBox::editingFinished, this, &YKTimelinePanel::CommitDuration);
    // The box's own signals wait for the editing to finish; its line edit tells of typing.
    connect(mDuration->findChild<QLineEdit*>(), &QLineEdit::textEdited, this,
            [this] { mDurationTyped = true; });
    connect(mDuration, &QSpinBox::valueChanged, this, [this] { mDurationTyped = true; });
    add(durationLabel);
    add(mDuration);
    mEditing.push_back(mDuration);
    bar->addStretch(1);
    scroller->setWidget(controls);
    scroller->setFixedHeight(controls->sizeHint().height() +
                             scroller->horizontalScrollBar()->sizeHint().height());

    connect(mGrid, &YKTimelineGrid::FrameClicked, this, [this](int32 frame) {
        if (!mPlaying) {
            Window()->ShowFrame(frame);
        }
    });
    connect(mGrid, &YKTimelineGrid::GroupToggled, this, &YKTimelinePanel::ToggleGroup);

    // The frames played (and stepped) come through the canvas listener; other listeners of the
    // window keep hearing them.
    YKCanvasListener* listener = window->CanvasListener();
    QPointer<YKTimelinePanel> self(this);
    listener->frameShown = [self, chained = listener->frameShown](int32 frame) {
        if (chained) {
            chained(frame);
        }
        if (self) {
            self->FrameShown(frame);
        }
    };
    listener->playingChanged = [self, chained = listener->playingChanged](bool playing) {
        if (chained) {
            chained(playing);
        }
        if (self) {
            self->PlayingChanged(playing);
        }
    };
}

QToolButton* YKTimelinePanel::AddButton(const QString& text, const QString& tip,
                                        const std::function<void()>& action) {
    auto* button = new QToolButton(this);
    button->setText(text.isEmpty() ? tip : text);
    button->setToolTip(tip);
    connect(button, &QToolButton::clicked, this, action);
    return button;
}

QToolButton* YKTimelinePanel::AddCommand(const QString& text, const QString& tip, uint32 code) {
    return AddButton(text, tip, [this, code] { Send(code); });
}

// --- Commands ---

void YKTimelinePanel::Send(uint32 code) {
    if (Window()->IsQuitting()) {
        return;
    }
    Window()->MessageReceived(Window()->CommandMessage(code));
    ScheduleRefresh();
}

void YKTimelinePanel::InsertFrames() {
    const int32 count = mInsertCount->value();
    if (count == 1) {
        Send(12);  // as the menu's item, by the same name
        return;
    }
    if (Window()->IsQuitting() || Window()->Playback()->IsPlaying()) {
        return;
    }
    Document()->ViewerLayer()->EditFrames(
        "Insert Frames", [count](YKEnvelopManager& manager) { manager.InsertFrames(count); });
    ScheduleRefresh();
}

void YKTimelinePanel::CommitDuration() {
    YKEnvelopManager* manager = Window()->IsQuitting() ? nullptr : Document()->EnvelopManager();
    // While playing, the playing thread owns the frames.
    if (manager == nullptr || Window()->Playback()->IsPlaying()) {
        return;
    }
    mDurationTyped = false;
    // Typed text becomes the box's value only once it is read.
    mDuration->interpretText();
    const int32 frame = mDurationFrame;
    const float duration = static_cast<float>(mDuration->value());
    // The box shows whole hundredths: a fraction kept from a file stays until the user types
    // another number.
    if (frame < 1 || frame > manager->MaxFrame() ||
        static_cast<int>(manager->FrameDuration(frame)) == mDuration->value()) {
        return;
    }
    Document()->ViewerLayer()->EditFrames("Frame Duration", [frame, duration](YKEnvelopManager& m) {
        m.SetFrameDuration(frame, duration);
    });
    RefreshNow();
}

// --- Following the document ---

void YKTimelinePanel::Notify(const YKMessage& message) {
    if (Window()->IsQuitting()) {
        return;
    }
    void* from = nullptr;
    if (IsTimelineCode(message.what) && message.FindPointer("from", &from) &&
        from != Document()->EnvelopManager()) {
        return;
    }
    ScheduleRefresh();
}

void YKTimelinePanel::FrameShown(int32 frame) {
    if (Window()->IsQuitting()) {
        return;
    }
    // Cheap enough for every frame played: the label and two columns of the grid.
    mGrid->SetCurrentFrame(frame);
    mFrameLabel->setText(QStringLiteral("%1 / %2").arg(frame).arg(mGrid->FrameCount()));
    // A duration being typed belongs to the frame it was typed for.
    if (frame != mDurationFrame && mDurationTyped) {
        CommitDuration();
    }
    if (frame != mDurationFrame || !mDurationTyped) {
        mDurationFrame = frame;
        mDuration->blockSignals(true);
        mDuration->setValue(static_cast<int>(Document()->EnvelopManager()->FrameDuration(frame)));
        mDuration->blockSignals(false);
    }
}

void YKTimelinePanel::PlayingChanged(bool playing) {
    mPlaying = playing;
    for (QWidget* widget : mEditing) {
        widget->setEnabled(!playing);
    }
    mStop->setEnabled(playing);
    if (!playing) {
        ScheduleRefresh();
    }
}

void YKTimelinePanel::ToggleGroup(int32 id) {
    if (!mCollapsed.erase(id)) {
        mCollapsed.insert(id);
    }
    RefreshNow();
}

void YKTimelinePanel::ShowRows(int32 code) {
    YKViewerLayer* viewer = Document()->ViewerLayer();
    const bool everyLayer = code == 17 || code == 18 || code == 19 || code == 20;
    const bool expand = code == 17 || code == 19 || code == 21;
    const std::vector<YKLayer*> selected = viewer->SelectedObjects(Window()->ViewIndex());
    for (int32 i = 0; i < viewer->CountChildren(); ++i) {
        YKLayer* layer = viewer->ChildAt(i);
        const bool holdsSelected =
            std::any_of(selected.begin(), selected.end(), [layer](YKLayer* o) {
                for (YKLayer* up = o; up != nullptr; up = up->Parent()) {
                    if (up == layer) {
                        return true;
                    }
                }
                return false;
            });
        if (!everyLayer && holdsSelected != expand) {
            continue;
        }
        if (expand) {
            mCollapsed.erase(layer->ID());
        } else {
            mCollapsed.insert(layer->ID());
        }
    }
    RefreshNow();
}

void YKTimelinePanel::Refresh() {
    YKEnvelopManager* manager = Document()->EnvelopManager();
    if (manager == nullptr) {
        return;
    }
    std::vector<float> durations;
    int32 current = 1;
    {
        manager->Lock();
        const int32 count = manager->MaxFrame();
        durations.reserve(count);
        for (int32 frame = 1; frame <= count; ++frame) {
            durations.push_back(manager->FrameDuration(frame));
        }
        current = manager->CurrentFrame();
        manager->Unlock();
    }
    mGrid->SetFrames(durations);
    ReadRows();
    const bool playing = Window()->Playback()->IsPlaying();
    if (playing != mPlaying) {
        PlayingChanged(playing);
    }
    FrameShown(current);
}

void YKTimelinePanel::ReadRows() {
    YKViewerLayer* viewer = Document()->ViewerLayer();
    YKEnvelopManager* manager = Document()->EnvelopManager();
    if (viewer == nullptr || !viewer->LockHirarchy()) {
        return;
    }
    // Key frames by owner: every envelope of an object counts for its row.
    std::map<int32, std::vector<int32>> keys;
    manager->Lock();
    const YKList<YKEnvelop*>* envelopes = manager->EnvelopList();
    for (int32 i = 0; i < envelopes->CountItems(); ++i) {
        const YKEnvelop* envelope = envelopes->ItemAt(i);
        std::vector<int32>& frames = keys[envelope->RealOwner()];
        const YKList<YKKeyFrame*>* list = envelope->KeyFrameList();
        for (int32 k = 0; k < list->CountItems(); ++k) {
            frames.push_back(list->ItemAt(k)->FrameNumber());
        }
    }
    manager->Unlock();
    const auto sorted = [](std::vector<int32>& frames) {
        std::sort(frames.begin(), frames.end());
        frames.erase(std::unique(frames.begin(), frames.end()), frames.end());
    };

    std::vector<YKTimelineGrid::Row> rows;
    // Top layer first, as the layers panel lists them.
    for (int32 i = viewer->CountChildren() - 1; i >= 0; --i) {
        YKLayer* layer = viewer->ChildAt(i);
        const auto* user = dynamic_cast<const YKUserLayer*>(layer);
        YKTimelineGrid::Row group;
        group.group = true;
        group.id = layer->ID();
        group.collapsed = mCollapsed.count(group.id) > 0;
        group.name = user != nullptr && user->Name() != nullptr ? QString::fromUtf8(user->Name())
                                                                : tr("Layer %1").arg(layer->ID());
        const size_t groupIndex = rows.size();
        rows.push_back(group);
        std::vector<YKTimelineGrid::Row> objects;
        for (YKLayer* at = layer->IterateHirarchyToNext("YKObjectLayer", layer); at != nullptr;
             at = at->IterateHirarchyToNext("YKObjectLayer", layer)) {
            const auto* object = static_cast<const YKObjectLayer*>(at);
            YKTimelineGrid::Row row;
            row.id = object->ID();
            row.name = object->Name() != nullptr ? QString::fromUtf8(object->Name())
                                                 : tr("Object %1").arg(object->ID());
            if (const auto found = keys.find(row.id); found != keys.end()) {
                row.keys = std::move(found->second);
                sorted(row.keys);
            }
            rows[groupIndex].keys.insert(rows[groupIndex].keys.end(), row.keys.begin(),
                                         row.keys.end());
            objects.push_back(std::move(row));
        }
        sorted(rows[groupIndex].keys);
        if (!group.collapsed) {
            // Top object first, as they stack.
            rows.insert(rows.end(), std::make_move_iterator(objects.rbegin()),
                        std::make_move_iterator(objects.rend()));
        }
    }
    viewer->UnlockHirarchy();
    mGrid->SetRows(std::move(rows));
}
