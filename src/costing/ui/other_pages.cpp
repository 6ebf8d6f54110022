// The smaller pages: materials, settings, tiers, time calculation and additional holes.
#include "costing/ui/laser_form.h"

#include "costing/ui/material_dialog.h"
#include "costing/ui/tier_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace quentar::costing::ui {

namespace {

// The edit stays in memory when its file cannot be written; the user must hear of it.
void warnIfUnsaved(QWidget *parent, SaveResult result, const char *file) {
    if (result == SaveResult::WriteFailed)
        QMessageBox::warning(parent, parent->windowTitle(),
                             QString::fromLatin1(file) +
                                 QStringLiteral(" konnte nicht gespeichert werden."));
}

} // namespace

QWidget *TLaserForm::buildMaterialienPage() {
    auto *page = new QWidget;
    auto *row = new QHBoxLayout(page);
    materialList_ = new QListWidget;
    row->addWidget(materialList_, 1);
    auto *buttons = new QVBoxLayout;
    auto *newBtn = new QPushButton(QStringLiteral("Neues Material..."));
    auto *editBtn = new QPushButton(QStringLiteral("Bearbeiten..."));
    const auto show = [this](MaterialDialog &d) { return runMaterialDialog(d, this); };
    connect(newBtn, &QPushButton::clicked, this, [this, show] {
        warnIfUnsaved(this, calc_->newMaterial(show), "material.dat");
        refreshMaterialList();
    });
    connect(editBtn, &QPushButton::clicked, this, [this, show] {
        warnIfUnsaved(this, calc_->editMaterial(materialList_->currentRow(), show),
                      "material.dat");
        refreshMaterialList();
    });
    auto *delBtn = new QPushButton(QStringLiteral("Löschen"));
    connect(delBtn, &QPushButton::clicked, this, [this] {
        warnIfUnsaved(this, calc_->deleteMaterial(materialList_->currentRow()), "material.dat");
        refreshMaterialList();
    });
    buttons->addWidget(newBtn);
    buttons->addWidget(editBtn);
    buttons->addWidget(delBtn);
    buttons->addStretch();
    row->addLayout(buttons);
    refreshMaterialList();
    return page;
}

void TLaserForm::refreshMaterialList() {
    materialList_->clear();
    for (const MaterialRow &m : calc_->catalogue().rows())
        materialList_->addItem(qs(m.name) + QStringLiteral("\t") + qs(m.price) +
                               QStringLiteral("\t") + qs(m.weight) + QStringLiteral("\t") +
                               QString::fromLatin1(m.flagText()));
}

QWidget *TLaserForm::buildEinstellungenPage() {
    auto *page = new QWidget;
    auto *column = new QVBoxLayout(page);
    column->addWidget(new QLabel(QStringLiteral("Währung:")));
    waehrEd_ = new QLineEdit(qs(calc_->WaehrEd));
    waehrEd_->setObjectName(QStringLiteral("WaehrEd"));
    waehrEd_->setFixedWidth(120);
    connect(waehrEd_, &QLineEdit::textEdited, this,
            [this](const QString &t) { calc_->WaehrEd = t.toStdString(); });
    column->addWidget(waehrEd_);
    auto *transport = new QCheckBox(
        QStringLiteral("Transportkosten pro Stück berechnen und nicht auf den Gesamtpreis"));
    transport->setObjectName(QStringLiteral("TransportproStueckCheck"));
    binder_.bind(transport, calc_->engine().TransportproStueckCheck);
    editors_.emplace_back("TransportproStueckCheck", transport);
    column->addWidget(transport);
    column->addStretch();
    return page;
}

QWidget *TLaserForm::buildStaffelpreisePage() {
    auto *page = new QWidget;
    auto *row = new QHBoxLayout(page);
    tierList_ = new QListWidget;
    row->addWidget(tierList_, 1);
    auto *buttons = new QVBoxLayout;
    auto *newBtn = new QPushButton(QStringLiteral("Neuer Staffelpreis..."));
    auto *editBtn = new QPushButton(QStringLiteral("Bearbeiten..."));
    const auto show = [this](TierDialog &d) { return runTierDialog(d, this); };
    connect(newBtn, &QPushButton::clicked, this, [this, show] {
        warnIfUnsaved(this, calc_->newTier(show), "staffel.dat");
        refreshTierList();
    });
    connect(editBtn, &QPushButton::clicked, this, [this, show] {
        warnIfUnsaved(this, calc_->editTier(tierList_->currentRow(), show), "staffel.dat");
        refreshTierList();
    });
    auto *delBtn = new QPushButton(QStringLiteral("Löschen"));
    connect(delBtn, &QPushButton::clicked, this, [this] {
        warnIfUnsaved(this, calc_->deleteTier(tierList_->currentRow()), "staffel.dat");
        refreshTierList();
    });
    buttons->addWidget(newBtn);
    buttons->addWidget(editBtn);
    buttons->addWidget(delBtn);
    buttons->addStretch();
    row->addLayout(buttons);
    refreshTierList();
    return page;
}

void TLaserForm::refreshTierList() {
    tierList_->clear();
    for (const TierRow &t : calc_->tiers().rows())
        tierList_->addItem(QStringLiteral("Ab ") + qs(t.fromQuantity) + QStringLiteral(" Stück: ") +
                           qs(t.discount) + QStringLiteral(" %"));
}

QWidget *TLaserForm::buildZeitkalkulationPage() {
    Engine &e = calc_->engine();
    auto *page = new QWidget;
    auto *grid = new QGridLayout(page);
    for (int i = 0; i < 10; ++i) {
        auto *name = new QLineEdit(qs(calc_->effortNames[i]));
        name->setObjectName(QStringLiteral("Edit%1").arg(i + 1));
        name->setMinimumWidth(200);
        connect(name, &QLineEdit::textEdited, this,
                [this, i](const QString &t) { calc_->effortNames[i] = t.toStdString(); });
        effortEdits_[i] = name;
        grid->addWidget(name, i, 0);
        grid->addWidget(timeEdit(e.effortTime(i + 1), Role::Input), i, 1);
    }
    grid->addWidget(new QLabel(QStringLiteral("Stundensatz:")), 10, 0);
    grid->addWidget(numberEdit(e.StundeEd, Role::Input), 10, 1);
    grid->setRowStretch(11, 1);
    grid->setColumnStretch(2, 1);
    return page;
}

QWidget *TLaserForm::buildLoecherPage() {
    Engine &e = calc_->engine();
    auto *page = new QWidget;
    auto *column = new QVBoxLayout(page);
    column->addWidget(new QLabel(QStringLiteral("Stück:")));
    column->addWidget(numberEdit(e.AnzLochEd, Role::Input, 1));
    column->addWidget(new QLabel(QStringLiteral("Durchmesser in mm:")));
    column->addWidget(numberEdit(e.DurchMesserEd, Role::Input, 0.5));
    column->addWidget(new QLabel(QStringLiteral("Einstechzeit:")));
    column->addWidget(timeEdit(e.EinstechzeitEd, Role::Input));
    column->addWidget(
        new QLabel(QStringLiteral("Dies fließt zusätzlich in die Laserzeit pro Stück mit ein.")));
    column->addStretch();
    return page;
}

void TLaserForm::refreshTexts() {
    waehrEd_->setText(qs(calc_->WaehrEd));
    for (int i = 0; i < 10; ++i) {
        effortEdits_[i]->setText(qs(calc_->effortNames[i]));
        // A name longer than its box shows from its start.
        effortEdits_[i]->setCursorPosition(0);
    }
}

} // namespace quentar::costing::ui
