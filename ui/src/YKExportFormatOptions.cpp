// The controls of a format's own export options.

#include "YKExportFormatOptions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <algorithm>
#include <cstring>

#include "YKRasterIO.h"
#include "YKRasterIOView.h"

namespace {

bool Reads(const YKRasterIO& io, const char* field) {
    for (const char* name : io.OptionFields()) {
        if (std::strcmp(name, field) == 0) {
            return true;
        }
    }
    return false;
}

// Loop counts and delays are 16-bit in the files.
constexpr int kLargestCount = 65535;
// A tenth of a second, until the user says otherwise.
constexpr int kDefaultSpeed = 10;
// Where the quality fields start when the options hold none.
constexpr int kDefaultQuality = 80;

}  // namespace

QString YKExportFormatOptions::Title(const char* menuName) {
    QString name = QString::fromUtf8(menuName);
    name.remove(QStringLiteral("Animated "));
    return tr("%1 Options").arg(name);
}

YKExportFormatOptions::YKExportFormatOptions(YKRasterIOView* view, std::function<void()> changed,
                                             QWidget* parent)
    : QGroupBox(Title(view->IO()->MenuName()), parent),
      mView(view),
      mChanged(std::move(changed)),
      mForm(new QFormLayout(this)) {
    const YKRasterIO& io = *view->IO();
    const bool jpeg = Reads(io, "jpeg_quality");
    if (Reads(io, "ra_interlace")) {
        AddCheck("ra_interlace", jpeg ? tr("Progressive") : tr("Interlace"), false);
    }
    if (jpeg) {
        AddNumber("jpeg_quality", tr("Quality"), 0, 100, kDefaultQuality);
    }
    if (Reads(io, "png_color_type")) {
        AddColorType();
    }
    if (Reads(io, "gif_loop")) {
        AddLoop();
    }
    if (Reads(io, "gif_use_speed")) {
        AddSpeed();
    }
    if (Reads(io, "targa_rle_compress")) {
        AddCheck("targa_rle_compress", tr("RLE Compression"), false);
    }
    if (Reads(io, "targa_save_alpha")) {
        AddCheck("targa_save_alpha", tr("Save Alpha (32 bit instead of 24)"), false);
    }
    if (Reads(io, "webp_lossless")) {
        AddCheck("webp_lossless", tr("Lossless"), true);
    }
    if (Reads(io, "webp_quality")) {
        AddNumber("webp_quality", tr("Quality"), 0, 100, kDefaultQuality);
    }
    if (Reads(io, "webp_palette")) {
        AddCheck("webp_palette", tr("Reduce Colors First"), false);
    }
    if (Reads(io, "ra_link_url")) {
        AddLink();
    }
    if (mForm->rowCount() == 0) {
        mForm->addRow(new QLabel(tr("This export file format has no options."), this));
    }
}

void YKExportFormatOptions::AddCheck(const char* field, const QString& label, bool byDefault) {
    bool value = byDefault;
    mView->Options().FindBool(field, &value);
    auto* check = new QCheckBox(label, this);
    check->setChecked(value);
    connect(check, &QCheckBox::toggled, this, [this, field](bool on) {
        mView->SetBool(field, on);
        mChanged();
    });
    mForm->addRow(check);
}

void YKExportFormatOptions::AddNumber(const char* field, const QString& label, int low, int high,
                                      int byDefault, const QString& unit) {
    int32 value = byDefault;
    mView->Options().FindInt32(field, &value);
    auto* number = new QSpinBox(this);
    number->setRange(low, high);
    number->setValue(value);
    number->setSuffix(unit);
    // A number typed counts when it is complete (Enter or leaving the box); arrows at once.
    number->setKeyboardTracking(false);
    connect(number, &QSpinBox::valueChanged, this, [this, field](int value) {
        mView->SetInt32(field, value);
        mChanged();
    });
    mForm->addRow(label, number);
}

void YKExportFormatOptions::AddLoop() {
    int32 count = 0;
    const bool loops = mView->Options().FindInt32("gif_loop", &count);
    auto* loop = new QCheckBox(tr("Loop"), this);
    auto* times = new QSpinBox(this);
    times->setRange(0, kLargestCount);
    times->setValue(count);
    times->setSpecialValueText(tr("Forever"));
    times->setKeyboardTracking(false);
    times->setEnabled(loops);
    loop->setChecked(loops);
    const auto apply = [this, loop, times] {
        times->setEnabled(loop->isChecked());
        // Without the field the writer adds no loop block: the animation plays once.
        if (loop->isChecked()) {
            mView->SetInt32("gif_loop", times->value());
        } else {
            mView->RemoveField("gif_loop");
        }
        mChanged();
    };
    connect(loop, &QCheckBox::toggled, this, apply);
    connect(times, &QSpinBox::valueChanged, this, apply);
    auto* row = new QHBoxLayout;
    row->addWidget(loop);
    row->addWidget(new QLabel(tr("Count"), this));
    row->addWidget(times, 1);
    mForm->addRow(row);
}

void YKExportFormatOptions::AddSpeed() {
    bool use = false;
    int32 speed = kDefaultSpeed;
    mView->Options().FindBool("gif_use_speed", &use);
    mView->Options().FindInt32("gif_speed", &speed);
    auto* custom = new QCheckBox(tr("Override Document Speed"), this);
    auto* delay = new QSpinBox(this);
    delay->setRange(0, kLargestCount);
    delay->setValue(speed);
    delay->setKeyboardTracking(false);
    delay->setEnabled(use);
    custom->setChecked(use);
    connect(custom, &QCheckBox::toggled, this, [this, delay](bool on) {
        delay->setEnabled(on);
        if (on) {
            mView->SetInt32("gif_speed", delay->value());
        }
        mView->SetBool("gif_use_speed", on);
        mChanged();
    });
    connect(delay, &QSpinBox::valueChanged, this, [this](int hundredths) {
        mView->SetInt32("gif_speed", hundredths);
        mChanged();
    });
    auto* row = new QHBoxLayout;
    row->addWidget(custom);
    row->addWidget(delay, 1);
    row->addWidget(new QLabel(tr("/100th Seconds"), this));
    mForm->addRow(row);
}

void YKExportFormatOptions::AddColorType() {
    int32 type = 2;
    mView->Options().FindInt32("png_color_type", &type);
    auto* types = new QComboBox(this);
    types->addItems({tr("Grey with Alpha"), tr("Palette"), tr("RGB with Alpha")});
    types->setCurrentIndex(std::clamp(type, 0, 2));
    connect(types, &QComboBox::activated, this, [this](int chosen) {
        mView->SetInt32("png_color_type", chosen);
        mChanged();
    });
    mForm->addRow(tr("Color Type"), types);
}

void YKExportFormatOptions::AddLink() {
    const char* url = nullptr;
    mView->Options().FindString("ra_link_url", &url);
    auto* link = new QLineEdit(QString::fromUtf8(url != nullptr ? url : ""), this);
    link->setPlaceholderText(QStringLiteral("#"));
    connect(link, &QLineEdit::editingFinished, this, [this, link] {
        mView->SetString("ra_link_url", link->text().toUtf8().constData());
        mChanged();
    });
    mForm->addRow(tr("Link"), link);
}
