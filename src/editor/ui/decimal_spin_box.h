// A spin box for a real number that takes a decimal comma as well as a point, whatever the locale.
#pragma once

#include <QDoubleSpinBox>

namespace quentar::editor::ui {

class DecimalSpinBox : public QDoubleSpinBox {
    Q_OBJECT
public:
    DecimalSpinBox(double minimum, double maximum, int decimals, QWidget *parent = nullptr);

    QString textFromValue(double value) const override;
    double valueFromText(const QString &text) const override;
    QValidator::State validate(QString &text, int &pos) const override;
};

} // namespace quentar::editor::ui
