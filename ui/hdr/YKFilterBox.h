#pragma once

// YKFilterBox: the shipped filters, one chosen at a time, with a control per parameter as the
// filter describes it (range, default and unit), and an Apply button that hands the filter and
// the parameters to whoever applies it.

#include <QGroupBox>
#include <vector>

#include "YKMessage.h"

class QComboBox;
class QFormLayout;
class QPushButton;
class YKGenericFilter;

class YKFilterBox : public QGroupBox {
    Q_OBJECT

public:
    explicit YKFilterBox(QWidget* parent);

    // Shows the filter loaded under the name of `filter`.
    void Select(const YKGenericFilter* filter);
    // The chosen loaded filter, null when none is loaded.
    const YKGenericFilter* Chosen() const;
    // The parameters as the controls set them, each archived as the filter archives it: an
    // envelope under the parameter's name, holding the value from the first frame on.
    YKMessage Parameters() const;
    // The control of the chosen filter's parameter `name`, null when it has none.
    QWidget* Control(const char* name) const;

Q_SIGNALS:
    void ApplyRequested(const YKGenericFilter& filter, const YKMessage& parameters);

private:
    void ShowParameters();
    void Reset();

    QComboBox* mChoice;
    QFormLayout* mForm;
    QPushButton* mApply;
    std::vector<QWidget*> mControls;
};
