// Ties the calculator window's editors to the engine's fields, both ways, without feedback loops.
#pragma once

#include "costing/fields.h"

#include <QString>

#include <functional>
#include <utility>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QTimeEdit;
class QWidget;

namespace quentar::costing::ui {

// Only the user's edits reach a field (Qt's "edited"/"activated"/"clicked" signals), so a field's
// own refresh of its widget never comes back as an edit. A text the field refuses stays in its
// editor, marked with a warning sign and the reason as the tooltip; the field decides, the editor
// only shows it. Listeners are dropped when the binder dies; it must therefore die before the
// widgets and the fields it ties.
class FieldBinder {
public:
    FieldBinder() = default;
    FieldBinder(const FieldBinder &) = delete;
    FieldBinder &operator=(const FieldBinder &) = delete;
    ~FieldBinder();

    void bind(QLineEdit *edit, NumberField &field);
    // A duration typed as text, for durations a time editor cannot show (24 hours and more).
    void bind(QLineEdit *edit, TimeField &field);
    void bind(QTimeEdit *edit, TimeField &field);
    void bind(QCheckBox *box, CheckField &field);
    void bind(QComboBox *box, ChoiceField &field);

    // Keeps `button` (a dialog's OK) enabled only while none of `fields` shows a refused text and
    // `alsoWhen` holds: a dialog must not store the last value taken while it shows another.
    void enableWhileTaken(QWidget *button, std::vector<Field *> fields,
                          std::function<bool()> alsoWhen = {});

private:
    void bindText(QLineEdit *edit, Field &field);

    std::vector<std::pair<Field *, int>> subscriptions_;
};

inline QString qs(const std::string &s) { return QString::fromStdString(s); }

// The object name of the warning sign a refused text gets in its editor.
inline constexpr const char *kRefusedMarkName = "refusedMark";

} // namespace quentar::costing::ui
