// A numeric dialog field that says when its text is no value it takes.
#include "editor/ui/number_field_edit.h"

#include <QKeyEvent>
#include <QPalette>
#include <QPushButton>

namespace quentar::editor::ui {

namespace {

// The field's values as the tooltip of a field that does not take what was typed: numbers only,
// the same in every language.
QString rangeText(const FieldRange &r) {
    const auto bound = [](double v) { return QString::fromStdString(fieldText(v)); };
    if (r.least <= -1e15 && r.most >= 1e15) return {};
    if (r.most >= 1e15)
        return (r.aboveLeast ? QStringLiteral("> ") : QStringLiteral("≥ ")) + bound(r.least);
    return bound(r.least) + QStringLiteral(" … ") + bound(r.most);
}

} // namespace

NumberFieldEdit::NumberFieldEdit(const FieldRange &range, int decimals, double value,
                                 QWidget *parent)
    : QLineEdit(parent), range_(range), decimals_(decimals), value_(value) {
    setValue(value);
    connect(this, &QLineEdit::textEdited, this, &NumberFieldEdit::typed);
    // Left with a text it does not take, the field shows the value it keeps.
    connect(this, &QLineEdit::editingFinished, this, [this] {
        if (!acceptable_) setValue(value_);
    });
}

void NumberFieldEdit::setValue(double v) {
    value_ = v;
    setText(QString::fromStdString(fieldText(v, decimals_)));
    typed(text());
}

void NumberFieldEdit::keyPressEvent(QKeyEvent *event) {
    // Return on a text the field does not take shows the kept value instead of closing the
    // dialog with it unseen.
    if (!acceptable_ && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        setValue(value_);
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void NumberFieldEdit::typed(const QString &text) {
    const std::optional<double> v = fieldValue(text.toStdString(), range_);
    if (v) value_ = *v;
    const bool now = v.has_value();
    // A field that does not take its text is marked, with the values it takes as its tooltip.
    QPalette p = palette();
    p.setColor(QPalette::Base, now ? QColor(Qt::white) : QColor(255, 200, 200));
    setPalette(p);
    setToolTip(now ? QString() : rangeText(range_));
    if (now != acceptable_) {
        acceptable_ = now;
        emit acceptableChanged(now);
    }
}

} // namespace quentar::editor::ui

namespace quentar::editor::ui {

void enableWhileAcceptable(QPushButton *button, const std::vector<NumberFieldEdit *> &fields) {
    auto update = [button, fields] {
        bool all = true;
        for (const NumberFieldEdit *f : fields) all = all && f->acceptable();
        button->setEnabled(all);
    };
    for (NumberFieldEdit *f : fields)
        QObject::connect(f, &NumberFieldEdit::acceptableChanged, button, update);
    update();
}

} // namespace quentar::editor::ui
