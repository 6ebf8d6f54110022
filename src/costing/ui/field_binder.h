// Ties the calculator window's editors to the engine's fields, both ways, without feedback loops.
#pragma once

#include "costing/fields.h"

#include <QString>

#include <utility>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QTimeEdit;

namespace quentar::costing::ui {

// Only the user's edits reach a field (Qt's "edited"/"activated"/"clicked" signals), so a field's
// own refresh of its widget never comes back as an edit. Listeners are dropped when the binder
// dies; it must therefore die before the widgets and the fields it ties.
class FieldBinder {
public:
    FieldBinder() = default;
    FieldBinder(const FieldBinder &) = delete;
    FieldBinder &operator=(const FieldBinder &) = delete;
    ~FieldBinder();

    void bind(QLineEdit *edit, NumberField &field);
    void bind(QTimeEdit *edit, TimeField &field);
    void bind(QCheckBox *box, CheckField &field);
    void bind(QComboBox *box, ChoiceField &field);

private:
    std::vector<std::pair<Field *, int>> subscriptions_;
};

inline QString qs(const std::string &s) { return QString::fromStdString(s); }

} // namespace quentar::costing::ui
