// Stepping a number field from its spin buttons.
#include "costing/ui/number_spin_box.h"

#include <QLineEdit>
#include <QStyle>

#include <algorithm>

namespace quentar::costing::ui {

NumberSpinBox::NumberSpinBox(NumberField &field, double step, QWidget *parent)
    : QAbstractSpinBox(parent), field_(field), step_(step) {}

double NumberSpinBox::floor() const {
    const NumberRules &r = field_.rules();
    return r.ranged ? std::max(r.minimum, r.low) : r.minimum;
}

void NumberSpinBox::stepBy(int steps) {
    if (isReadOnly()) return;
    field_.setValue(std::max(field_.value() + steps * step_, floor()));
    if (style()->styleHint(QStyle::SH_SpinBox_SelectOnStep, nullptr, this)) selectAll();
}

QAbstractSpinBox::StepEnabled NumberSpinBox::stepEnabled() const {
    if (isReadOnly()) return StepNone;
    const double v = field_.value();
    const NumberRules &r = field_.rules();
    StepEnabled enabled = StepNone;
    if (v > floor()) enabled |= StepDownEnabled;
    if (!r.ranged || v < r.high) enabled |= StepUpEnabled;
    return enabled;
}

} // namespace quentar::costing::ui
