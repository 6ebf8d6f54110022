// An editor of a number field with up and down steps (buttons, arrow keys, page keys, wheel).
#pragma once

#include "costing/fields.h"

#include <QAbstractSpinBox>

#include <optional>

class QLineEdit;

namespace quentar::costing::ui {

// The text is the field's own text: typing goes to the field as typed, exactly like a plain line
// edit bound by FieldBinder. A step writes the field's value plus or minus the step through the
// field, so its range, its formatting and its change handlers apply as to any formula's write.
// A step never leaves the values the field takes, so the arrows cannot produce a thickness of 0
// or a negative hole count.
class NumberSpinBox : public QAbstractSpinBox {
    Q_OBJECT
public:
    NumberSpinBox(NumberField &field, double step, QWidget *parent = nullptr);

    double step() const { return step_; }
    // The line edit inside, which shows the field's text and takes the user's typing.
    QLineEdit *editor() const { return lineEdit(); }

    void stepBy(int steps) override;

protected:
    StepEnabled stepEnabled() const override;

private:
    // The value `steps` steps away, held within what the field takes; nullopt when there is none.
    std::optional<double> stepped(int steps) const;

    NumberField &field_;
    double step_;
};

} // namespace quentar::costing::ui
