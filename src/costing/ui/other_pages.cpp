// The smaller pages: materials, settings, tiers, time calculation and additional holes.
#include "costing/ui/laser_form.h"

#include "costing/ui/material_dialog.h"
#include "costing/ui/report_list.h"
#include "costing/ui/tier_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>
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

// Deleting cannot be undone: the user says so first. No is the answer Enter gives.
bool confirmDeletion(QWidget *parent, const QString &question) {
    return QMessageBox::question(parent, parent->windowTitle(), question,
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

} // namespace

QWidget *TLaserForm::buildMaterialienPage() {
    auto *page = new QWidget;
    // The buttons go under the list: its four columns need the page's whole width.
    auto *column = new QVBoxLayout(page);
    materialList_ = newReportList({{QStringLiteral("Name"), 200},
                                   {QStringLiteral("Preis pro Kg"), 200},
                                   {QStringLiteral("Spez. Gewicht (kg/dm³)"), 200},
                                   {QStringLiteral("Preis pro m²"), 100}});
    materialList_->setObjectName(QStringLiteral("ListView1"));
    column->addWidget(materialList_, 1);
    auto *buttons = new QHBoxLayout;
    auto *newBtn = new QPushButton(QStringLiteral("Neues Material..."));
    auto *editBtn = new QPushButton(QStringLiteral("Bearbeiten..."));
    connect(newBtn, &QPushButton::clicked, this, [this] { NeuesMatBtnClick(); });
    connect(editBtn, &QPushButton::clicked, this, [this] { EditMatBtnClick(); });
    connect(materialList_, &QTreeWidget::itemDoubleClicked, this, [this] { EditMatBtnClick(); });
    auto *delBtn = new QPushButton(QStringLiteral("Löschen"));
    connect(delBtn, &QPushButton::clicked, this, [this] { DelMatBtnClick(); });
    buttons->addWidget(newBtn);
    buttons->addWidget(editBtn);
    buttons->addWidget(delBtn);
    buttons->addStretch();
    column->addLayout(buttons);
    refreshMaterialList(-1);
    return page;
}

void TLaserForm::NeuesMatBtnClick() {
    const int chosen = selectedRow(materialList_);
    warnIfUnsaved(
        this, calc_->newMaterial([this](MaterialDialog &d) { return runMaterialDialog(d, this); }),
        "material.dat");
    refreshMaterialList(chosen);
}

void TLaserForm::EditMatBtnClick() {
    const int chosen = selectedRow(materialList_);
    warnIfUnsaved(this,
                  calc_->editMaterial(
                      chosen, [this](MaterialDialog &d) { return runMaterialDialog(d, this); }),
                  "material.dat");
    refreshMaterialList(chosen);
}

void TLaserForm::DelMatBtnClick() {
    const int row = selectedRow(materialList_);
    if (row < 0) return;
    const QString name = qs(calc_->catalogue().rows()[static_cast<std::size_t>(row)].name);
    if (!confirmDeletion(this, QStringLiteral("Soll das Material \"%1\" mit seinen "
                                              "Materialstärken gelöscht werden?")
                                   .arg(name)))
        return;
    warnIfUnsaved(this, calc_->deleteMaterial(row), "material.dat");
    refreshMaterialList(-1);
}

void TLaserForm::refreshMaterialList(int select) {
    std::vector<QStringList> rows;
    for (const MaterialRow &m : calc_->catalogue().rows())
        rows.push_back({qs(m.name), qs(m.price), qs(m.weight), QString::fromLatin1(m.flagText())});
    fillReportList(materialList_, rows, select);
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
    column->addWidget(buildSheetPanel());
    column->addStretch();
    return page;
}

QWidget *TLaserForm::buildStaffelpreisePage() {
    auto *page = new QWidget;
    auto *column = new QVBoxLayout(page);
    tierList_ =
        newReportList({{QStringLiteral("Ab Stückzahl"), 100},
                       {QStringLiteral("Rabatt auf Maschinenstundensatz in Prozent"), 300}});
    tierList_->setObjectName(QStringLiteral("ListView2"));
    column->addWidget(tierList_, 1);
    auto *buttons = new QHBoxLayout;
    auto *newBtn = new QPushButton(QStringLiteral("Neuer Staffelpreis..."));
    auto *editBtn = new QPushButton(QStringLiteral("Bearbeiten..."));
    connect(newBtn, &QPushButton::clicked, this, [this] { BitBtn3Click(); });
    connect(editBtn, &QPushButton::clicked, this, [this] { BitBtn4Click(); });
    connect(tierList_, &QTreeWidget::itemDoubleClicked, this, [this] { BitBtn4Click(); });
    auto *delBtn = new QPushButton(QStringLiteral("Löschen"));
    connect(delBtn, &QPushButton::clicked, this, [this] { BitBtn5Click(); });
    buttons->addWidget(newBtn);
    buttons->addWidget(editBtn);
    buttons->addWidget(delBtn);
    buttons->addStretch();
    column->addLayout(buttons);
    refreshTierList(-1);
    return page;
}

void TLaserForm::BitBtn3Click() {
    const int chosen = selectedRow(tierList_);
    warnIfUnsaved(this, calc_->newTier([this](TierDialog &d) { return runTierDialog(d, this); }),
                  "staffel.dat");
    refreshTierList(chosen);
}

void TLaserForm::BitBtn4Click() {
    const int chosen = selectedRow(tierList_);
    warnIfUnsaved(this,
                  calc_->editTier(chosen, [this](TierDialog &d) { return runTierDialog(d, this); }),
                  "staffel.dat");
    refreshTierList(chosen);
}

void TLaserForm::BitBtn5Click() {
    const int row = selectedRow(tierList_);
    if (row < 0) return;
    const TierRow &tier = calc_->tiers().rows()[static_cast<std::size_t>(row)];
    if (!confirmDeletion(this, QStringLiteral("Soll der Staffelpreis ab %1 Stück (%2 %) "
                                              "gelöscht werden?")
                                   .arg(qs(tier.fromQuantity), qs(tier.discount))))
        return;
    warnIfUnsaved(this, calc_->deleteTier(row), "staffel.dat");
    refreshTierList(-1);
}

void TLaserForm::refreshTierList(int select) {
    std::vector<QStringList> rows;
    for (const TierRow &t : calc_->tiers().rows())
        rows.push_back({qs(t.fromQuantity), qs(t.discount)});
    fillReportList(tierList_, rows, select);
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
    // The drawing's own contours are pierced too; the calculation charges only the additional
    // holes' piercing unless asked.
    column->addSpacing(12);
    column->addWidget(new QLabel(QStringLiteral("Einstiche der Zeichnung (je Kontur einer):")));
    QWidget *pierces = numberEdit(e.PiercesEd, Role::Drawing);
    column->addWidget(pierces);
    auto *pierceCheck = new QCheckBox(
        QStringLiteral("Einstechzeit auch für die Konturen der Zeichnung berechnen"));
    pierceCheck->setObjectName(QStringLiteral("PierceContoursCheck"));
    binder_.bind(pierceCheck, e.PierceContoursCheck);
    editors_.emplace_back(e.PierceContoursCheck.name(), pierceCheck);
    column->addWidget(pierceCheck);
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
