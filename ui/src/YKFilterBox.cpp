#include "YKFilterBox.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cmath>
#include <memory>

#include "YKColorButton.h"
#include "YKEnvelopKinds.h"
#include "YKFilterManager.h"
#include "YKGenericFilter.h"

namespace {

// Enough decimals for the finest range a filter gives, and no more.
int DecimalsFor(const YKFilterParameter& parameter) {
    const double span = parameter.maximum - parameter.minimum;
    return span <= 2 ? 2 : span <= 20 ? 1 : 0;
}

}  // namespace

YKFilterBox::YKFilterBox(QWidget* parent)
    : QGroupBox(tr("Filter"), parent),
      mChoice(new QComboBox(this)),
      mForm(new QFormLayout),
      mApply(new QPushButton(tr("Apply"), this)) {
    const YKFilterManager& filters = YKFilterManager::Default();
    for (int32 list = 0; list < filters.CountFilterLists(); ++list) {
        const YKList<YKGenericFilter*>* each = filters.FilterListAt(list);
        for (int32 i = 0; each != nullptr && i < each->CountItems(); ++i) {
            const YKGenericFilter* filter = each->ItemAt(i);
            if (filter->Name() == nullptr) {
                continue;
            }
            mChoice->addItem(
                QStringLiteral("%1: %2").arg(QString::fromUtf8(filters.CategoryNameAt(list)),
                                             QString::fromUtf8(filter->Name())),
                QString::fromUtf8(filter->Name()));
        }
    }
    auto* column = new QVBoxLayout(this);
    column->addWidget(mChoice);
    column->addLayout(mForm);
    auto* buttons = new QHBoxLayout;
    auto* defaults = new QPushButton(tr("Defaults"), this);
    buttons->addWidget(defaults);
    buttons->addStretch(1);
    buttons->addWidget(mApply);
    column->addLayout(buttons);
    mApply->setEnabled(mChoice->count() > 0);
    if (mChoice->count() == 0) {
        mChoice->addItem(tr("No filters are installed"));
        mChoice->setEnabled(false);
        defaults->setEnabled(false);
    }
    connect(mChoice, &QComboBox::currentIndexChanged, this, &YKFilterBox::ShowParameters);
    connect(defaults, &QPushButton::clicked, this, &YKFilterBox::Reset);
    connect(mApply, &QPushButton::clicked, this, [this] {
        if (const YKGenericFilter* filter = Chosen()) {
            Q_EMIT ApplyRequested(*filter, Parameters());
        }
    });
    ShowParameters();
}

const YKGenericFilter* YKFilterBox::Chosen() const {
    const QString name = mChoice->currentData().toString();
    return name.isEmpty() ? nullptr
                          : YKFilterManager::Default().FilterNamed(name.toUtf8().constData());
}

void YKFilterBox::Select(const YKGenericFilter* filter) {
    const int index = filter != nullptr && filter->Name() != nullptr
                          ? mChoice->findData(QString::fromUtf8(filter->Name()))
                          : -1;
    if (index >= 0) {
        mChoice->setCurrentIndex(index);
    }
}

void YKFilterBox::ShowParameters() {
    while (mForm->rowCount() > 0) {
        mForm->removeRow(0);
    }
    mControls.clear();
    const YKGenericFilter* filter = Chosen();
    for (int32 i = 0; filter != nullptr && i < filter->CountParameters(); ++i) {
        const YKFilterParameter& parameter = *filter->ParameterAt(i);
        const QString unit = parameter.unit[0] != '\0'
                                 ? QStringLiteral(" ") + QString::fromUtf8(parameter.unit)
                                 : QString();
        QWidget* control = nullptr;
        switch (parameter.kind) {
            case YKFilterParameter::kDouble: {
                auto* spin = new QDoubleSpinBox(this);
                spin->setDecimals(DecimalsFor(parameter));
                spin->setRange(parameter.minimum, parameter.maximum);
                spin->setSingleStep(std::pow(10.0, -spin->decimals()));
                spin->setSuffix(unit);
                control = spin;
                break;
            }
            case YKFilterParameter::kInt32: {
                auto* spin = new QSpinBox(this);
                spin->setRange(static_cast<int>(parameter.minimum),
                               static_cast<int>(parameter.maximum));
                spin->setSuffix(unit);
                control = spin;
                break;
            }
            case YKFilterParameter::kColor:
                control = new YKColorButton(QString(), this);
                break;
        }
        control->setObjectName(QString::fromUtf8(parameter.name));
        mForm->addRow(QString::fromUtf8(parameter.name), control);
        mControls.push_back(control);
    }
    Reset();
}

void YKFilterBox::Reset() {
    const YKGenericFilter* filter = Chosen();
    for (std::size_t i = 0; filter != nullptr && i < mControls.size(); ++i) {
        const double value = filter->ParameterAt(static_cast<int32>(i))->defaultValue;
        if (auto* spin = qobject_cast<QDoubleSpinBox*>(mControls[i])) {
            spin->setValue(value);
        } else if (auto* spin = qobject_cast<QSpinBox*>(mControls[i])) {
            spin->setValue(static_cast<int>(value));
        } else if (auto* color = qobject_cast<YKColorButton*>(mControls[i])) {
            color->SetColor(yk_color(static_cast<uint32>(value)));
        }
    }
}

QWidget* YKFilterBox::Control(const char* name) const {
    for (QWidget* control : mControls) {
        if (control->objectName() == QString::fromUtf8(name)) {
            return control;
        }
    }
    return nullptr;
}

YKMessage YKFilterBox::Parameters() const {
    YKMessage parameters;
    const YKGenericFilter* filter = Chosen();
    for (std::size_t i = 0; filter != nullptr && i < mControls.size(); ++i) {
        const char* name = filter->ParameterAt(static_cast<int32>(i))->name;
        std::unique_ptr<YKEnvelop> envelope;
        if (auto* spin = qobject_cast<QDoubleSpinBox*>(mControls[i])) {
            auto typed = std::make_unique<YKEnvelopDouble>(0, name);
            typed->SetValue(spin->value(), 1);
            envelope = std::move(typed);
        } else if (auto* spin = qobject_cast<QSpinBox*>(mControls[i])) {
            auto typed = std::make_unique<YKEnvelopInt32>(0, name);
            typed->SetValue(spin->value(), 1);
            envelope = std::move(typed);
        } else if (auto* color = qobject_cast<YKColorButton*>(mControls[i])) {
            auto typed = std::make_unique<YKEnvelopColor>(0, name);
            typed->SetValue(color->Color(), 1);
            envelope = std::move(typed);
        }
        YKMessage archive;
        envelope->Archive(&archive);
        parameters.AddMessage(name, &archive);
    }
    return parameters;
}
