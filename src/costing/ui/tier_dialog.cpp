// The tier dialog window: quantity and discount, OK and cancel.
#include "costing/ui/tier_dialog.h"

#include "costing/ui/field_binder.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quentar::costing::ui {

bool runTierDialog(TierDialog &dialog, QWidget *parent) {
    QDialog window(parent);
    window.setWindowTitle(QStringLiteral("Staffelpreis bearbeiten"));
    auto *column = new QVBoxLayout(&window);
    // Declared after the window's children exist and destroyed before them.
    FieldBinder binder;
    auto *quantity = new QLineEdit;
    auto *discount = new QLineEdit;
    binder.bind(quantity, dialog.StueckEd);
    binder.bind(discount, dialog.RabattEd);
    column->addWidget(new QLabel(QStringLiteral("Stückzahl:")));
    column->addWidget(quantity);
    column->addWidget(new QLabel(QStringLiteral("Rabatt auf Maschinenstundensatz in %:")));
    column->addWidget(discount);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &window, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &window, &QDialog::reject);
    column->addWidget(buttons);
    return window.exec() == QDialog::Accepted;
}

} // namespace quentar::costing::ui
