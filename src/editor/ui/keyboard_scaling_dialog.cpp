// The keyboard scaling dialog: one percentage.
#include "editor/ui/keyboard_scaling_dialog.h"

#include "editor/ui/number_field_edit.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace quentar::editor::ui {

KeyboardScalingDialog::KeyboardScalingDialog(const KeyboardScaling &start, QWidget *parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Skalierungsfaktor eingeben"));
    percent_ = new NumberFieldEdit(kScalePercentRange, -1, start.percent, this);
    percent_->setObjectName(QStringLiteral("SkalEd"));
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Skalierung in %:"), percent_);
    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
    ok->setObjectName(QStringLiteral("OkBtn"));
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    enableWhileAcceptable(ok, {percent_});
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

KeyboardScaling KeyboardScalingDialog::values() const { return {percent_->value()}; }

std::optional<KeyboardScaling> askScaling(QWidget *parent, KeyboardScaling &remembered) {
    KeyboardScalingDialog dialog(remembered, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    remembered = dialog.values();
    return remembered;
}

} // namespace quentar::editor::ui
