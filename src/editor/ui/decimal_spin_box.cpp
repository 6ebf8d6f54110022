// Numbers shown with a point and read with a point or a comma.
#include "editor/ui/decimal_spin_box.h"

#include <QLocale>

namespace quentar::editor::ui {

namespace {

QString withPoint(QString text) { return text.replace(QLatin1Char(','), QLatin1Char('.')); }

} // namespace

DecimalSpinBox::DecimalSpinBox(double minimum, double maximum, int decimals, QWidget *parent)
    : QDoubleSpinBox(parent) {
    setLocale(QLocale::c());
    setDecimals(decimals);
    setRange(minimum, maximum);
    setKeyboardTracking(false);
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
}

QString DecimalSpinBox::textFromValue(double value) const {
    // No group separators, no trailing zeros beyond what the value needs.
    QString t = QLocale::c().toString(value, 'f', decimals());
    if (t.contains(QLatin1Char('.'))) {
        while (t.endsWith(QLatin1Char('0'))) t.chop(1);
        if (t.endsWith(QLatin1Char('.'))) t.chop(1);
    }
    return t;
}

double DecimalSpinBox::valueFromText(const QString &text) const {
    bool ok = false;
    const double v = QLocale::c().toDouble(withPoint(text.trimmed()), &ok);
    return ok ? v : value();
}

QValidator::State DecimalSpinBox::validate(QString &text, int &) const {
    const QString t = withPoint(text.trimmed());
    if (t.isEmpty() || t == QLatin1String("-") || t == QLatin1String(".") ||
        t == QLatin1String("-."))
        return QValidator::Intermediate;
    bool ok = false;
    const double v = QLocale::c().toDouble(t, &ok);
    if (!ok) return QValidator::Invalid;
    if (v < minimum() || v > maximum()) return QValidator::Intermediate;
    return QValidator::Acceptable;
}

} // namespace quentar::editor::ui
