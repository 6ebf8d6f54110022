// Stepping a number field from its spin buttons.
#include "costing/ui/number_spin_box.h"

#include <QLineEdit>
#include <QStyle>

#include <algorithm>
#include <optional>

namespace quentar::costing::ui {

NumberSpinBox::NumberSpinBox(NumberField &field, double step, QWidget *parent)
    : QAbstractSpinBox(parent), field_(field), step_(step) {}

std::optional<double> NumberSpinBox::stepped(int steps) const {
    const NumberRules &r = field_.rules();
    // Held at the ends of what the field takes; a step that would go below a value the field
    // must lie above (0 mm of sheet) is not made at all.
    double v = std::min(field_.value() + steps * step_, r.most);
    if (!r.leastExcluded) v = std::max(v, r.least);
    if (field_.checkValue(v)) return std::nullopt;
    return v;
}

void NumberSpinBox::stepBy(int steps) {
    if (isReadOnly()) return;
    const std::optional<double> v = stepped(steps);
    if (!v) return;
    field_.setValue(*v);
    if (style()->styleHint(QStyle::SH_SpinBox_SelectOnStep, nullptr, this)) selectAll();
}

QAbstractSpinBox::StepEnabled NumberSpinBox::stepEnabled() const {
    if (isReadOnly()) return StepNone;
    const double v = field_.value();
    StepEnabled enabled = StepNone;
    if (auto down = stepped(-1); down && *down < v) enabled |= StepDownEnabled;
    if (auto up = stepped(1); up && *up > v) enabled |= StepUpEnabled;
    return enabled;
}

} // namespace quentar::costing::ui
