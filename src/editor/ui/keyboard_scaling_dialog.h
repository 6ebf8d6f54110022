// "Skalierungsfaktor eingeben": the percentage by which the scale tool scales the selection.
#pragma once

#include "editor/transformations_input.h"

#include <QDialog>

#include <optional>

namespace quentar::editor::ui {

class NumberFieldEdit;

class KeyboardScalingDialog : public QDialog {
    Q_OBJECT
public:
    explicit KeyboardScalingDialog(const KeyboardScaling &start = {}, QWidget *parent = nullptr);
    KeyboardScaling values() const;

private:
    NumberFieldEdit *percent_;
};

// Shows the dialog modally with the percentage of its last use; on OK it is kept and returned.
std::optional<KeyboardScaling> askScaling(QWidget *parent, KeyboardScaling &remembered);

} // namespace quentar::editor::ui
