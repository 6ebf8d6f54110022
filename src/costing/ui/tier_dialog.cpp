// The tier dialog window: quantity and discount, OK; closing the window cancels.
#include "costing/ui/tier_dialog.h"

#include "costing/ui/field_binder.h"

#include <QDialog>
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
    quantity->setObjectName(qs(dialog.StueckEd.name()));
    discount->setObjectName(qs(dialog.RabattEd.name()));
    binder.bind(quantity, dialog.StueckEd);
    binder.bind(discount, dialog.RabattEd);
    auto *quantityCaption = new QLabel(QStringLiteral("Stückzahl:"));
    quantityCaption->setBuddy(quantity);
    column->addWidget(quantityCaption);
    column->addWidget(quantity);
    auto *discountCaption = new QLabel(QStringLiteral("Rabatt auf Maschinenstundensatz in %:"));
    discountCaption->setBuddy(discount);
    column->addWidget(discountCaption);
    column->addWidget(discount);
    auto *ok = new QPushButton(QStringLiteral("OK"));
    ok->setDefault(true);
    binder.enableWhileTaken(ok, {&dialog.StueckEd, &dialog.RabattEd});
    QObject::connect(ok, &QPushButton::clicked, &window, &QDialog::accept);
    column->addWidget(ok, 0, Qt::AlignRight);
    quantity->setFocus();
    return window.exec() == QDialog::Accepted;
}

} // namespace quentar::costing::ui
