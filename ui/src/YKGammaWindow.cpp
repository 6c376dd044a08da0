#include "YKGammaWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QSlider>
#include <cmath>
#include <memory>

#include "YKCanvasView.h"
#include "YKGammaCorrection.h"
#include "YKMessage.h"
#include "YKPrefSetting.h"
#include "YKRaster.h"

namespace {

constexpr const char* kChannels[] = {"Red", "Green", "Blue"};
// Rows of one band of the test pattern, and how much larger it shows.
constexpr int kBandRows = 32;
constexpr int kZoom = 2;

int SliderValue(double gamma) {
    return static_cast<int>(std::lround(gamma * 100));
}

}  // namespace

YKGammaWindow::YKGammaWindow(YKGammaCorrection* gamma, YKPrefSetting* preferences, QWidget* parent)
    : QDialog(parent), mGamma(gamma), mPreferences(preferences) {
    setWindowTitle(tr("Monitor Gamma Adjustment"));
    auto* grid = new QGridLayout(this);
    auto* hint = new QLabel(
        tr("Move each slider until the middle of its pattern looks as bright as the stripes "
           "around it."),
        this);
    hint->setWordWrap(true);
    grid->addWidget(hint, 0, 0, 1, 4);
    for (int channel = 0; channel < 3; ++channel) {
        auto* slider = new QSlider(Qt::Horizontal, this);
        slider->setRange(kMinimum, kMaximum);
        slider->setMinimumWidth(200);
        slider->setObjectName(QString::fromUtf8(kChannels[channel]));
        mSliders[channel] = slider;
        mValues[channel] = new QLabel(this);
        mValues[channel]->setMinimumWidth(40);
        mBands[channel] = new QLabel(this);
        grid->addWidget(new QLabel(tr(kChannels[channel]), this), channel + 1, 0);
        grid->addWidget(slider, channel + 1, 1);
        grid->addWidget(mValues[channel], channel + 1, 2);
        grid->addWidget(mBands[channel], channel + 1, 3);
        connect(slider, &QSlider::valueChanged, this,
                [this, channel](int value) { Moved(channel, value); });
    }
    mLink = new QCheckBox(tr("Link Channels"), this);
    mBands[3] = new QLabel(this);
    grid->addWidget(mLink, 4, 1);
    grid->addWidget(mBands[3], 4, 3);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    grid->addWidget(buttons, 5, 0, 1, 4);
    connect(buttons, &QDialogButtonBox::accepted, this, &YKGammaWindow::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &YKGammaWindow::reject);
    Load();
}

void YKGammaWindow::Load() {
    mOpened[0] = mGamma->Red();
    mOpened[1] = mGamma->Green();
    mOpened[2] = mGamma->Blue();
    for (int channel = 0; channel < 3; ++channel) {
        const QSignalBlocker quiet(mSliders[channel]);
        mSliders[channel]->setValue(SliderValue(mOpened[channel]));
    }
    mLink->setChecked(mOpened[0] == mOpened[1] && mOpened[1] == mOpened[2]);
    Preview();
}

void YKGammaWindow::showEvent(QShowEvent* event) {
    Load();
    QDialog::showEvent(event);
}

void YKGammaWindow::Moved(int channel, int value) {
    if (mLink->isChecked()) {
        for (int other = 0; other < 3; ++other) {
            if (other != channel) {
                const QSignalBlocker quiet(mSliders[other]);
                mSliders[other]->setValue(value);
            }
        }
    }
    Preview();
}

void YKGammaWindow::Preview() {
    // The sliders' range keeps every value positive, as the tables need.
    mGamma->SetGamma(mSliders[0]->value() / 100.0, mSliders[1]->value() / 100.0,
                     mSliders[2]->value() / 100.0);
    for (int channel = 0; channel < 3; ++channel) {
        mValues[channel]->setText(QString::number(mSliders[channel]->value() / 100.0, 'f', 2));
    }
    for (int band = 0; band < 4; ++band) {
        const QImage image = Band(band);
        mBands[band]->setPixmap(QPixmap::fromImage(
            image.scaled(image.size() * kZoom, Qt::IgnoreAspectRatio, Qt::FastTransformation)));
    }
    RedrawCanvases();
}

QImage YKGammaWindow::Band(int channel) const {
    const std::unique_ptr<YKRaster> pattern = mGamma->TestPattern();
    const YKRect<int32> frame = pattern->Frame();
    const QImage whole(pattern->Bits(), frame.Width() + 1, frame.Height() + 1,
                       pattern->BytesPerRow(), QImage::Format_ARGB32);
    return whole.copy(0, channel * kBandRows, frame.Width() + 1, kBandRows);
}

void YKGammaWindow::RedrawCanvases() {
    for (QWidget* widget : QApplication::allWidgets()) {
        if (auto* canvas = qobject_cast<YKCanvasView*>(widget)) {
            canvas->viewport()->update();
        }
    }
}

void YKGammaWindow::accept() {
    YKMessage saved;
    mGamma->SaveToMessage(&saved);
    mPreferences->SetPrefGamma(saved);
    mPreferences->Save();
    QDialog::accept();
}

void YKGammaWindow::reject() {
    mGamma->SetGamma(mOpened[0], mOpened[1], mOpened[2]);
    RedrawCanvases();
    QDialog::reject();
}
