// The numeric field of the transformation dialogs: a line edit that takes a decimal point or a
// decimal comma and keeps its last good value while what is typed is none it takes (marked, OK
// held back); left so, it shows that value again.
#pragma once

#include "editor/transformations_input.h"

#include <QLineEdit>

#include <vector>

class QPushButton;

namespace quentar::editor::ui {

class NumberFieldEdit : public QLineEdit {
    Q_OBJECT
public:
    // `decimals`: places shown (-1: as few as show the value exactly).
    NumberFieldEdit(const FieldRange &range, int decimals, double value, QWidget *parent = nullptr);

    // The last value typed that the field takes (or the one set).
    double value() const { return value_; }
    void setValue(double v);
    // What is typed now is a value the field takes.
    bool acceptable() const { return acceptable_; }

signals:
    void acceptableChanged(bool acceptable);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void typed(const QString &text);

    FieldRange range_;
    int decimals_;
    double value_;
    bool acceptable_ = true;
};

// The button (OK) is enabled while every field takes what is typed in it.
void enableWhileAcceptable(QPushButton *button, const std::vector<NumberFieldEdit *> &fields);

} // namespace quentar::editor::ui
