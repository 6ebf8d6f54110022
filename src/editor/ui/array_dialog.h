// "Array erstellen": columns, rows, their spacings and the turn of an array of copies.
#pragma once

#include "editor/transformations.h"

#include <QDialog>

#include <optional>

namespace quentar::editor::ui {

class NumberFieldEdit;

class ArrayDialog : public QDialog {
    Q_OBJECT
public:
    explicit ArrayDialog(const ArrayParameters &start = {}, QWidget *parent = nullptr);
    // The fields' values (each its last good one).
    ArrayParameters values() const;

private:
    NumberFieldEdit *columns_, *rows_, *columnSpacing_, *rowSpacing_, *angle_;
};

// Shows the dialog modally with the values of its last use; on OK they are kept and returned.
std::optional<ArrayParameters> askArray(QWidget *parent, ArrayParameters &remembered);

} // namespace quentar::editor::ui
