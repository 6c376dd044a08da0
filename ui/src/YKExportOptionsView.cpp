// The option groups of one export, its preview and its size estimate.

#include "YKExportOptionsView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>
#include <functional>

#include "YKColorButton.h"
#include "YKComputingRastersWindow.h"
#include "YKDocument.h"
#include "YKDocumentWindow.h"
#include "YKEnvelopManager.h"
#include "YKExportFormatOptions.h"
#include "YKPrefSetting.h"
#include "YKRaster.h"
#include "YKRasterIO.h"
#include "YKRasterIOView.h"
#include "YKRasterList.h"

namespace {

// Long enough for a burst of typing or clicks to end in one preview.
constexpr int kSettleMilliseconds = 150;
constexpr int kRangeSettleMilliseconds = 400;
constexpr QSize kPreviewBox(360, 240);
constexpr int kColorChoices[] = {8, 16, 32, 64, 128, 256};
// Where the export windows keep their settings among the panels' in the preferences.
constexpr const char* kKeptField = "export";
constexpr const char* kLiveUpdateField = "live_update";

}  // namespace

YKExportOptionsView::YKExportOptionsView(YKRasterIOView* view, QWidget* parent)
    : QWidget(parent),
      mView(view),
      mWorker(new YKExportPreview(this)),
      mSettle(new QTimer(this)),
      mComputing(new YKComputingRastersWindow(this)) {
    mSettle->setSingleShot(true);
    mSettle->setInterval(kSettleMilliseconds);
    connect(mSettle, &QTimer::timeout, this, &YKExportOptionsView::Submit);
    connect(mWorker, &YKExportPreview::PreviewReady, this, &YKExportOptionsView::ShowPreview);
    connect(mWorker, &YKExportPreview::EstimateReady, this, &YKExportOptionsView::ShowEstimate);

    auto* groups = new QVBoxLayout;
    if (mView->Shows(YKRasterIOView::kInformation)) {
        groups->addWidget(Information());
    }
    if (mView->Shows(YKRasterIOView::kGenericOptions)) {
        groups->addWidget(GenericOptions());
    }
    if (mView->Shows(YKRasterIOView::kExportOptions)) {
        groups->addWidget(new YKExportFormatOptions(
            mView, [this] { Changed(); }, this));
    }
    if (mView->Shows(YKRasterIOView::kColorReduction)) {
        groups->addWidget(ColorReduction());
    }
    groups->addStretch(1);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addLayout(groups, 1);
    row->addWidget(PreviewArea());
}

// --- Groups ---

QWidget* YKExportOptionsView::Information() {
    auto* group = new QGroupBox(tr("Information"), this);
    auto* form = new QFormLayout(group);
    mKind = new QLabel(QString::fromStdString(mView->KindText()), group);
    form->addRow(mKind);
    form->addRow(new QLabel(QString::fromStdString(mView->DocumentText()), group));
    form->addRow(new QLabel(QString::fromStdString(mView->DimensionsText()), group));

    if (mView->IsAnimation()) {
        const int32 frames = mView->Document()->EnvelopManager()->MaxFrame();
        auto* first = new QSpinBox(group);
        auto* last = new QSpinBox(group);
        for (QSpinBox* box : {first, last}) {
            box->setRange(1, std::max(frames, 1));
            box->setKeyboardTracking(false);
        }
        first->setValue(mView->FirstFrame());
        last->setValue(mView->LastFrame());
        const auto apply = [this, first, last] {
            if (first->value() == mView->FirstFrame() && last->value() == mView->LastFrame()) {
                return;
            }
            if (!mView->SetFrameRange(first->value(), last->value())) {
                // Refused (first after last): the boxes show what holds.
                first->setValue(mView->FirstFrame());
                last->setValue(mView->LastFrame());
                return;
            }
            mKind->setText(QString::fromStdString(mView->KindText()));
            RenderFrames(nullptr);
        };
        // Every range renders its frames again: once the clicking has settled.
        auto* settle = new QTimer(group);
        settle->setSingleShot(true);
        settle->setInterval(kRangeSettleMilliseconds);
        connect(settle, &QTimer::timeout, this, apply);
        for (QSpinBox* box : {first, last}) {
            connect(box, &QSpinBox::valueChanged, settle, qOverload<>(&QTimer::start));
        }
        auto* range = new QHBoxLayout;
        range->addWidget(first);
        range->addWidget(new QLabel(tr("to"), group));
        range->addWidget(last);
        form->addRow(tr("Frames"), range);
    }

    mEstimateLabel = new QLabel(tr("(unknown)"), group);
    mEstimateLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(tr("Estimated File Size :"), mEstimateLabel);
    mLive = new QCheckBox(tr("Live Update"), group);
    mLive->setChecked(SavedLiveUpdate());
    auto* update = new QPushButton(tr("Update Size"), group);
    connect(mLive, &QCheckBox::toggled, this, [this](bool live) {
        KeepLiveUpdate(live);
        if (live) {
            UpdateSize();
        }
    });
    connect(update, &QPushButton::clicked, this, &YKExportOptionsView::UpdateSize);
    auto* controls = new QHBoxLayout;
    controls->addWidget(mLive);
    controls->addWidget(update);
    form->addRow(controls);
    return group;
}

QWidget* YKExportOptionsView::GenericOptions() {
    auto* group = new QGroupBox(tr("Generic Options"), this);
    auto* form = new QFormLayout(group);
    const YKMessage& options = mView->Options();
    bool overridden = false;
    int32 pixel = 0;
    options.FindBool("ra_hasbackcol", &overridden);
    options.FindInt32("ra_back_col", &pixel);
    yk_color back;
    back.SetARGBPixel(static_cast<uint32>(pixel));

    auto* custom = new QCheckBox(tr("Override Background Color"), group);
    custom->setChecked(overridden);
    auto* color = new YKColorButton(QString(), group);
    color->SetColor(back);
    const auto apply = [this, custom, color] {
        mView->SetOverrideBackground(custom->isChecked(), color->Color().ARGBPixel());
        Changed();
    };
    connect(custom, &QCheckBox::toggled, this, apply);
    connect(color, &YKColorButton::ColorChosen, this, apply);
    auto* row = new QHBoxLayout;
    row->addWidget(custom);
    row->addWidget(color);
    row->addStretch(1);
    form->addRow(row);

    bool page = false;
    options.FindBool("ra_do_html", &page);
    auto* html = new QCheckBox(tr("Generate HTML"), group);
    html->setChecked(page);
    connect(html, &QCheckBox::toggled, this, [this](bool on) {
        mView->SetGenerateHtml(on);
        Changed();
    });
    form->addRow(html);
    return group;
}

QWidget* YKExportOptionsView::ColorReduction() {
    auto* group = new QGroupBox(tr("Color Reduction"), this);
    auto* form = new QFormLayout(group);
    const YKMessage& options = mView->Options();

    auto* palettes = new QComboBox(group);
    for (const std::string& name : YKRasterIOView::PaletteNames()) {
        palettes->addItem(QString::fromStdString(name));
    }
    palettes->setCurrentIndex(mView->PalettePosition());
    mQuantizers = new QComboBox(group);
    FillQuantizers();
    connect(palettes, &QComboBox::activated, this, [this](int position) {
        mView->SetPalette(position);
        FillQuantizers();
        Changed();
    });
    connect(mQuantizers, &QComboBox::activated, this, [this](int position) {
        mView->SetQuantizer(position);
        Changed();
    });
    form->addRow(tr("Palette"), palettes);

    int32 count = 256;
    options.FindInt32("ra_nb_colors", &count);
    mColors = new QComboBox(group);
    for (int choice : kColorChoices) {
        mColors->addItem(QString::number(choice), choice);
    }
    mColors->addItem(tr("User Specified"), 0);
    const int listed = mColors->findData(count);
    mColors->setCurrentIndex(listed >= 0 ? listed : mColors->count() - 1);
    mUserColors = new QSpinBox(group);
    mUserColors->setRange(2, 256);
    mUserColors->setValue(std::clamp(count, 2, 256));
    mUserColors->setKeyboardTracking(false);
    mUserColors->setEnabled(listed < 0);
    connect(mColors, &QComboBox::activated, this, [this] {
        const int choice = mColors->currentData().toInt();
        mUserColors->setEnabled(choice == 0);
        if (choice != 0) {
            mUserColors->setValue(choice);
        }
        mView->SetColors(mUserColors->value());
        Changed();
    });
    connect(mUserColors, &QSpinBox::valueChanged, this, [this](int count) {
        mView->SetColors(count);
        Changed();
    });
    auto* colors = new QHBoxLayout;
    colors->addWidget(mColors);
    colors->addWidget(mUserColors);
    form->addRow(tr("Colors"), colors);
    form->addRow(tr("Reduction"), mQuantizers);

    const auto addCheck = [this, form, group, &options](const char* field, const QString& label,
                                                        std::function<void(bool)> set) {
        bool on = false;
        options.FindBool(field, &on);
        auto* check = new QCheckBox(label, group);
        check->setChecked(on);
        connect(check, &QCheckBox::toggled, this, [this, set = std::move(set)](bool value) {
            set(value);
            Changed();
        });
        form->addRow(check);
    };
    addCheck("24to8_netposcomp", tr("NetPositive Compatible"),
             [this](bool on) { mView->SetNetPositive(on); });
    addCheck("24to8_dithering", tr("Dithering"), [this](bool on) { mView->SetDithering(on); });
    return group;
}

void YKExportOptionsView::FillQuantizers() {
    mQuantizers->clear();
    for (const std::string& name : mView->QuantizerNames()) {
        mQuantizers->addItem(QString::fromStdString(name));
    }
    mQuantizers->setCurrentIndex(mView->QuantizerPosition());
}

QWidget* YKExportOptionsView::PreviewArea() {
    auto* group = new QGroupBox(tr("Preview"), this);
    auto* column = new QVBoxLayout(group);
    mPreview = new QLabel(group);
    // Wide enough for a banner at a readable scale; taller pictures shrink to the box.
    mPreview->setMinimumSize(kPreviewBox.width(), kPreviewBox.height() / 4);
    mPreview->setAlignment(Qt::AlignCenter);
    mPreviewNote = new QLabel(group);
    mPreviewNote->setWordWrap(true);
    column->addWidget(mPreview, 1);
    column->addWidget(mPreviewNote);
    return group;
}

// --- Frames, previews and estimates ---

bool YKExportOptionsView::RenderFrames(std::string* error) {
    std::string reason;
    if (!mView->UpdateRaster(&reason, mComputing)) {
        mComputing->hide();
        mPreviewNote->setText(QString::fromStdString(reason));
        if (error != nullptr) {
            *error = reason;
        }
        return false;
    }
    // The worker gets copies: the view drops its frames whenever the range changes.
    auto copies = std::make_shared<YKRasterList>(true);
    const YKRasterList* kept = mView->Rasters();
    for (int32 i = 0; kept != nullptr && i < kept->CountItems(); ++i) {
        copies->AddItem(kept->ItemAt(i)->DuplicateRaster().release());
    }
    mFrames.rasters = std::move(copies);
    mFrames.delays.clear();
    mFrames.unusable.clear();
    if (mView->IsAnimation()) {
        YKEnvelopManager* manager = mView->Document()->EnvelopManager();
        for (int32 frame = mView->FirstFrame(); frame <= mView->LastFrame(); ++frame) {
            mFrames.delays.push_back(manager->FrameDuration(frame));
            if (!manager->FrameUsable(frame)) {
                mFrames.unusable.push_back(frame - mView->FirstFrame());
            }
        }
    }
    Submit();
    Q_EMIT FramesRendered();
    return true;
}

void YKExportOptionsView::UpdateSize() {
    mEstimateWanted = true;
    Submit();
}

bool YKExportOptionsView::SavedLiveUpdate() {
    const YKPrefSetting* preferences = YKDocumentWindow::Preferences();
    YKMessage kept;
    bool live = true;
    if (preferences != nullptr && preferences->PrefPanelSettings().FindMessage(kKeptField, &kept)) {
        kept.FindBool(kLiveUpdateField, &live);
    }
    return live;
}

void YKExportOptionsView::KeepLiveUpdate(bool live) {
    YKPrefSetting* preferences = YKDocumentWindow::Preferences();
    if (preferences == nullptr) {
        return;
    }
    YKMessage settings = preferences->PrefPanelSettings();
    YKMessage kept;
    settings.FindMessage(kKeptField, &kept);
    kept.RemoveName(kLiveUpdateField);
    kept.AddBool(kLiveUpdateField, live);
    settings.RemoveName(kKeptField);
    settings.AddMessage(kKeptField, &kept);
    preferences->SetPrefPanelSettings(settings);
}

void YKExportOptionsView::SetLiveUpdate(bool live) {
    if (mLive != nullptr) {
        mLive->setChecked(live);
    }
}

bool YKExportOptionsView::LiveUpdate() const {
    return mLive != nullptr && mLive->isChecked();
}

void YKExportOptionsView::Changed() {
    mSettle->start();
}

void YKExportOptionsView::Submit() {
    mSettle->stop();
    // An estimate asked for and not yet shown is asked again: this request replaces it.
    const bool estimate = mEstimateWanted || mEstimatePending || LiveUpdate();
    mEstimateWanted = false;
    mEstimatePending = estimate;
    if (estimate && mEstimateLabel != nullptr) {
        mEstimateLabel->setText(tr("Estimating..."));
    }
    mWorker->Request(mView->IO(), mView->Options(), mFrames, estimate);
}

void YKExportOptionsView::ShowPreview(const QImage& image, bool encoded) {
    mPreviewImage = image;
    mPreviewEncoded = encoded;
    const QSize fitted = image.size().boundedTo(kPreviewBox);
    mPreview->setPixmap(
        QPixmap::fromImage(image.scaled(fitted, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    mPreviewNote->setText(encoded ? tr("As written")
                                  : tr("As drawn (this format is not read back)"));
    Q_EMIT PreviewShown();
}

void YKExportOptionsView::ShowEstimate(qint64 bytes) {
    mEstimatePending = false;
    mEstimate = bytes;
    if (mEstimateLabel != nullptr) {
        mEstimateLabel->setText(EstimateText());
    }
    Q_EMIT EstimateShown(bytes);
}

QString YKExportOptionsView::EstimateText() const {
    return mEstimate < 0 ? tr("(unknown)")
                         : QString::fromStdString(YKRasterIOView::TransmissionText(mEstimate));
}
