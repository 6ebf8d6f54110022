// "Rotationswinkel eingeben": the angle by which the rotate tool turns the selection clockwise.
#pragma once

#include "editor/transformations_input.h"

#include <QDialog>

#include <optional>

namespace quentar::editor::ui {

class NumberFieldEdit;

class KeyboardRotationDialog : public QDialog {
    Q_OBJECT
public:
    explicit KeyboardRotationDialog(const KeyboardRotation &start = {}, QWidget *parent = nullptr);
    KeyboardRotation values() const;

private:
    NumberFieldEdit *angle_;
};

// Shows the dialog modally with the angle of its last use; on OK it is kept and returned.
std::optional<KeyboardRotation> askRotation(QWidget *parent, KeyboardRotation &remembered);

} // namespace quentar::editor::ui
