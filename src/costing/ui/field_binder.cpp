// The two-way ties between the calculator window's editors and the engine's fields.
#include "costing/ui/field_binder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTime>
#include <QTimeEdit>

namespace quentar::costing::ui {

FieldBinder::~FieldBinder() {
    for (auto &[field, id] : subscriptions_) field->unsubscribe(id);
}

void FieldBinder::bind(QLineEdit *edit, NumberField &field) {
    edit->setText(qs(field.text()));
    QObject::connect(edit, &QLineEdit::textEdited,
                     [&field](const QString &text) { field.setText(text.toStdString()); });
    // Rewriting an unchanged text would throw the caret to the end while the user types.
    subscriptions_.emplace_back(&field, field.subscribe([edit](const Field &f) {
        const QString text = qs(f.text());
        if (edit->text() != text) edit->setText(text);
    }));
}

void FieldBinder::bind(QTimeEdit *edit, TimeField &field) {
    edit->setDisplayFormat(QStringLiteral("H:mm:ss"));
    auto show = [edit](const TimeField &f) {
        const QSignalBlocker quiet(edit);
        edit->setTime(QTime(f.hour(), f.minute(), f.second()));
    };
    show(field);
    // A time edit has no user-only signal; the blocker above keeps refreshes from coming back.
    QObject::connect(edit, &QTimeEdit::timeChanged, [&field](const QTime &t) {
        if (t.hour() != field.hour() || t.minute() != field.minute() ||
            t.second() != field.second())
            field.setTime(t.hour(), t.minute(), t.second());
    });
    subscriptions_.emplace_back(&field, field.subscribe([show](const Field &f) {
        show(static_cast<const TimeField &>(f));
    }));
}

void FieldBinder::bind(QCheckBox *box, CheckField &field) {
    box->setChecked(field.checked());
    QObject::connect(box, &QCheckBox::clicked, [&field](bool on) { field.setChecked(on); });
    subscriptions_.emplace_back(&field, field.subscribe([box](const Field &f) {
        const QSignalBlocker quiet(box);
        box->setChecked(static_cast<const CheckField &>(f).checked());
    }));
}

void FieldBinder::bind(QComboBox *box, ChoiceField &field) {
    auto show = [box](const ChoiceField &f) {
        const QSignalBlocker quiet(box);
        QStringList items;
        for (const auto &item : f.items()) items << qs(item);
        QStringList current;
        for (int i = 0; i < box->count(); ++i) current << box->itemText(i);
        if (current != items) {
            box->clear();
            box->addItems(items);
        }
        box->setCurrentIndex(f.index());
    };
    show(field);
    // Choosing the material already chosen re-applies its figures, so every activation counts.
    QObject::connect(box, &QComboBox::activated, [&field](int index) { field.choose(index); });
    subscriptions_.emplace_back(&field, field.subscribe([show](const Field &f) {
        show(static_cast<const ChoiceField &>(f));
    }));
}

} // namespace quentar::costing::ui
