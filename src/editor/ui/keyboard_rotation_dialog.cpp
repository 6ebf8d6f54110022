// The keyboard rotation dialog: one angle in degrees, and which way it turns.
#include "editor/ui/keyboard_rotation_dialog.h"

#include "editor/ui/number_field_edit.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace quentar::editor::ui {

KeyboardRotationDialog::KeyboardRotationDialog(const KeyboardRotation &start, QWidget *parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Rotationswinkel eingeben"));
    angle_ = new NumberFieldEdit(kAnyNumberRange, -1, start.degrees, this);
    angle_->setObjectName(QStringLiteral("RotEd"));
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Rotation in °:"), angle_);
    auto *note = new QLabel(QStringLiteral("Die Rotation erfolgt im Uhrzeigersinn."), this);
    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
    ok->setObjectName(QStringLiteral("OkBtn"));
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    enableWhileAcceptable(ok, {angle_});
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(note);
    layout->addWidget(buttons);
}

KeyboardRotation KeyboardRotationDialog::values() const { return {angle_->value()}; }

std::optional<KeyboardRotation> askRotation(QWidget *parent, KeyboardRotation &remembered) {
    KeyboardRotationDialog dialog(remembered, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    remembered = dialog.values();
    return remembered;
}

} // namespace quentar::editor::ui
