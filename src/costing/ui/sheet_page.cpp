// Material by the sheet in the calculator window: on or off, the format and remnant policy, the
// sheet figures beside the blank method's and a picture of the first sheet's nest.
#include "costing/ui/laser_form.h"

#include "costing/decimal_text.h"
#include "costing/ui/busy_cursor.h"
#include "costing/ui/nest_picture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

#include <cmath>

namespace quentar::costing::ui {

namespace {

constexpr int kNestPictureWidth = 420;

// Millimetres as a shop writes them: whole ones without decimals, else with a decimal comma.
QString mmText(double v) {
    if (v == std::floor(v) && std::abs(v) < 1e9) return QString::number(static_cast<qint64>(v));
    return qs(formatTwoDecimals(v)).replace('.', ',');
}

QString money(double v, const std::string &currency) {
    return qs(formatTwoDecimals(v)).replace('.', ',') + QLatin1Char(' ') + qs(currency);
}

} // namespace

QWidget *TLaserForm::buildSheetPanel() {
    auto *page = new QGroupBox(QStringLiteral("Material nach Tafeln"));
    page->setObjectName(QStringLiteral("sheetPanel"));
    auto *column = new QVBoxLayout(page);
    sheetCheck_ = new QCheckBox(QStringLiteral("Materialkosten nach Tafeln berechnen"));
    sheetCheck_->setObjectName(QStringLiteral("sheetCheck"));
    column->addWidget(sheetCheck_);
    auto *form = new QFormLayout;
    sheetFormatBox_ = new QComboBox;
    sheetFormatBox_->setObjectName(QStringLiteral("sheetFormatBox"));
    sheetFormatBox_->setMinimumWidth(300);
    form->addRow(QStringLiteral("Tafelformat:"), sheetFormatBox_);
    remnantBox_ = new QComboBox;
    remnantBox_->setObjectName(QStringLiteral("remnantBox"));
    remnantBox_->addItem(QStringLiteral("Ganze Tafeln berechnen"));
    remnantBox_->addItem(QStringLiteral("Nur den genutzten Teil der letzten Tafel berechnen"));
    form->addRow(QStringLiteral("Reststück:"), remnantBox_);
    column->addLayout(form);
    sheetFigures_ = new QLabel;
    sheetFigures_->setObjectName(QStringLiteral("sheetFigures"));
    sheetFigures_->setWordWrap(true);
    sheetFigures_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    column->addWidget(sheetFigures_);
    nestLabel_ = new QLabel;
    nestLabel_->setObjectName(QStringLiteral("nestPicture"));
    nestLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    column->addWidget(nestLabel_);
    column->addStretch(1);

    remnantBox_->setCurrentIndex(
        calc_->sheets().formats.settings.remnant == RemnantPolicy::UsedFraction ? 1 : 0);
    refreshSheetFormats();
    connect(sheetCheck_, &QCheckBox::toggled, this, [this] { applySheetChoice(); });
    connect(sheetFormatBox_, &QComboBox::currentIndexChanged, this, [this] {
        if (!fillingSheetBoxes_) applySheetChoice();
    });
    connect(remnantBox_, &QComboBox::currentIndexChanged, this, [this](int index) {
        SheetSettings s = calc_->sheets().formats.settings;
        s.remnant = index == 1 ? RemnantPolicy::UsedFraction : RemnantPolicy::WholeSheets;
        // Kept in sheets.txt, where the quote command reads it too.
        if (calc_->setSheetSettings(s) == SaveResult::WriteFailed)
            sheetFigures_->setText(qs(std::string(SheetFormats::kFileName)) +
                                   QStringLiteral(" konnte nicht gespeichert werden."));
        else
            refreshSheetFigures();
    });
    // Whatever the figures depend on: the material (and its formats), the quantity, the prices.
    for (Field *f :
         std::initializer_list<Field *>{&calc_->engine().MaterialBoxEd,
                                        &calc_->engine().matkostenEd, &calc_->engine().StueckEd}) {
        const bool material = f == &calc_->engine().MaterialBoxEd;
        f->subscribe([this, material](const Field &) {
            if (material) refreshSheetFormats();
            refreshSheetFigures();
        });
    }
    refreshSheetFigures();
    return page;
}

void TLaserForm::refreshSheetFormats() {
    fillingSheetBoxes_ = true;
    const int before = sheetFormatBox_->currentIndex();
    sheetFormatBox_->clear();
    for (const SheetFormatRow &f :
         calc_->sheets().formats.formatsOf(calc_->engine().MaterialBoxEd.text()))
        sheetFormatBox_->addItem(
            QStringLiteral("%1 x %2 mm (Rand %3, Abstand %4, %5)")
                .arg(mmText(f.width), mmText(f.length), mmText(f.trim), mmText(f.gap),
                     f.price ? money(*f.price, calc_->WaehrEd) + QStringLiteral(" je Tafel")
                             : QStringLiteral("Preis aus dem Material")));
    sheetFormatBox_->setCurrentIndex(
        sheetFormatBox_->count() == 0 ? -1 : std::clamp(before, 0, sheetFormatBox_->count() - 1));
    fillingSheetBoxes_ = false;
    // Another material's list: the choice is its format at the same place.
    if (sheetCheck_->isChecked()) applySheetChoice();
}

void TLaserForm::applySheetChoice() {
    SheetChoice choice = calc_->sheets().choice;
    choice.on = sheetCheck_->isChecked();
    choice.format = std::to_string(std::max(0, sheetFormatBox_->currentIndex()) + 1);
    if (choice == calc_->sheets().choice) return;
    {
        // The first nest of a drawing on a format may take a few seconds.
        const BusyCursor busy;
        calc_->setSheetChoice(choice);
    }
    refreshSheetFigures();
}

void TLaserForm::refreshSheetFigures() {
    if (!sheetFigures_) return;
    nestPicture_ = QImage();
    if (!calc_->sheets().choice.on) {
        sheetFigures_->setText(QStringLiteral("Die Materialkosten werden nach dem Zuschnitt "
                                              "(Teil mit Materialzugabe) berechnet."));
        sheetFigures_->setStyleSheet(QString());
        nestLabel_->clear();
        if (sheetNote_) sheetNote_->clear();
        return;
    }
    const SheetFigures s = calc_->sheetFigures();
    QString text;
    for (const std::string &line : sheetLines(s, calc_->WaehrEd)) text += qs(line) + '\n';
    text.chop(1);
    sheetFigures_->setText(text);
    // A refusal or a warning: the figures are not what they seem, and the user must see it.
    const bool doubtful = !s.valid || !s.warnings.empty();
    sheetFigures_->setStyleSheet(doubtful ? QStringLiteral("color: #a04000;") : QString());
    if (sheetNote_) {
        sheetNote_->setText(s.valid ? QStringLiteral("Material nach Tafel: %1 Stück/Tafel, "
                                                     "nach Zuschnitt %2")
                                          .arg(s.piecesPerSheet)
                                          .arg(money(s.blankCostPerPiece, calc_->WaehrEd))
                                    : QStringLiteral("Material nach Tafel nicht möglich: nach "
                                                     "Zuschnitt berechnet"));
        sheetNote_->setStyleSheet(doubtful ? QStringLiteral("color: #a04000;") : QString());
        sheetNote_->setToolTip(text);
    }
    if (s.valid) nestPicture_ = paintNestPicture(s.picture, kNestPictureWidth);
    if (nestPicture_.isNull())
        nestLabel_->clear();
    else
        nestLabel_->setPixmap(QPixmap::fromImage(nestPicture_));
}

} // namespace quentar::costing::ui
