// The array dialog: five numeric fields, OK and "Abbrechen".
#include "editor/ui/array_dialog.h"

#include "editor/ui/number_field_edit.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace quentar::editor::ui {

ArrayDialog::ArrayDialog(const ArrayParameters &start, QWidget *parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Array erstellen"));
    auto *form = new QFormLayout;
    auto field = [&](const char *name, const char *label, const FieldRange &range, double v) {
        auto *f = new NumberFieldEdit(range, -1, v, this);
        f->setObjectName(QString::fromLatin1(name));
        form->addRow(QString::fromUtf8(label), f);
        return f;
    };
    columns_ = field("SpaltenEd", "Spalten:", kArrayCountRange, start.columns);
    rows_ = field("ZeilenEd", "Zeilen:", kArrayCountRange, start.rows);
    columnSpacing_ =
        field("SpaltenAbstandEd", "Spalten Abstand:", kAnyNumberRange, start.columnSpacing);
    rowSpacing_ = field("ZeilenAbstandEd", "Zeilen Abstand:", kAnyNumberRange, start.rowSpacing);
    angle_ = field("RotierenEd", "Rotieren:", kAnyNumberRange, start.angle);
    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
    ok->setObjectName(QStringLiteral("OkBtn"));
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    enableWhileAcceptable(ok, {columns_, rows_, columnSpacing_, rowSpacing_, angle_});
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

ArrayParameters ArrayDialog::values() const {
    return {columns_->value(), rows_->value(), columnSpacing_->value(), rowSpacing_->value(),
            angle_->value()};
}

std::optional<ArrayParameters> askArray(QWidget *parent, ArrayParameters &remembered) {
    ArrayDialog dialog(remembered, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    remembered = dialog.values();
    return remembered;
}

} // namespace quentar::editor::ui
