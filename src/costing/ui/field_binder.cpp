// The two-way ties between the calculator window's editors and the engine's fields.
#include "costing/ui/field_binder.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStyle>
#include <QTime>
#include <QTimeEdit>
#include <QWidget>

namespace quentar::costing::ui {

namespace {

// Shows the field's text in its editor, marked when the field refused it.
void showIn(QLineEdit *edit, const Field &field) {
    const QString text = qs(field.editText());
    // Rewriting an unchanged text would throw the caret to the end while the user types.
    if (edit->text() != text) edit->setText(text);
    auto *mark = edit->findChild<QAction *>(QString::fromLatin1(kRefusedMarkName));
    const std::optional<Refusal> &why = field.refusal();
    if (!why) {
        if (mark) mark->setVisible(false);
        edit->setToolTip(QString());
        return;
    }
    if (!mark) {
        mark = edit->addAction(edit->style()->standardIcon(QStyle::SP_MessageBoxWarning),
                               QLineEdit::TrailingPosition);
        mark->setObjectName(QString::fromLatin1(kRefusedMarkName));
    }
    mark->setVisible(true);
    const QString reason = text + QLatin1Char(' ') + qs(refusalTextGerman(*why)) +
                           QStringLiteral(". Gerechnet wird mit ") + qs(field.text()) +
                           QLatin1Char('.');
    mark->setToolTip(reason);
    edit->setToolTip(reason);
}

} // namespace

FieldBinder::~FieldBinder() {
    for (auto &[field, id] : subscriptions_) field->unsubscribe(id);
}

void FieldBinder::bind(QLineEdit *edit, NumberField &field) { bindText(edit, field); }

void FieldBinder::bind(QLineEdit *edit, TimeField &field) { bindText(edit, field); }

void FieldBinder::bindText(QLineEdit *edit, Field &field) {
    showIn(edit, field);
    QObject::connect(edit, &QLineEdit::textEdited,
                     [&field](const QString &text) { field.setText(text.toStdString()); });
    subscriptions_.emplace_back(&field,
                                field.subscribe([edit](const Field &f) { showIn(edit, f); }));
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

void FieldBinder::enableWhileTaken(QWidget *button, std::vector<Field *> fields,
                                   std::function<bool()> alsoWhen) {
    auto refresh = [button, fields, alsoWhen](const Field &) {
        bool enabled = !alsoWhen || alsoWhen();
        for (const Field *f : fields) enabled = enabled && !f->refusal();
        button->setEnabled(enabled);
    };
    if (!fields.empty()) refresh(*fields.front());
    for (Field *f : fields) subscriptions_.emplace_back(f, f->subscribe(refresh));
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
