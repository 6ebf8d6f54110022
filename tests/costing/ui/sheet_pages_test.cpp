// Material by the sheet in the calculator window: the formats in the material dialog, the panel
// on the settings page with its figures and nest, and the prices that follow it.
#include "costing/ui/laser_form.h"

#include "costing/calculator.h"
#include "costing/decimal_text.h"
#include "costing/sheet_formats.h"

#include "../../support/modal_answers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <map>

using quentar::costing::SheetFormats;
using quentar::costing::ui::TLaserForm;
using quentar::testing::ModalAnswers;

namespace {

const QString kTemplates = QStringLiteral(QUENTAR_DATA_DIR);
const QString kVoron = QStringLiteral(QUENTAR_SAMPLES_DIR "/voron_deck_panel_fusion360_r14.dxf");

int confirm(quentar::costing::ui::DrawingSource &) { return 1; }

void typeInto(QWidget *in, const char *name, const QString &text) {
    auto *edit = in->findChild<QLineEdit *>(QString::fromLatin1(name));
    ASSERT_NE(edit, nullptr) << name;
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

QPushButton *okOf(QWidget *dialog) {
    for (QPushButton *b : dialog->findChildren<QPushButton *>())
        if (b->text() == QStringLiteral("OK")) return b;
    return nullptr;
}

QStringList rowTexts(const QTreeWidget *list, int row) {
    QStringList texts;
    for (int i = 0; i < list->columnCount(); ++i) texts << list->topLevelItem(row)->text(i);
    return texts;
}

QString fieldText(TLaserForm &form, const char *name) {
    return QString::fromStdString(form.calculator().engine().field(name)->text());
}

} // namespace

TEST(SheetPages, TheMaterialDialogEditsTheMaterialsSheetFormats) {
    QTemporaryDir data;
    TLaserForm form(data.path(), kTemplates);
    form.pages()->setCurrentIndex(1);
    auto *materials = form.findChild<QTreeWidget *>(QStringLiteral("ListView1"));
    ASSERT_NE(materials, nullptr);
    materials->setCurrentItem(materials->topLevelItem(0));
    const std::string material = form.calculator().catalogue().rows()[0].name;

    // The format window opens inside the material dialog: its answer has a timer of its own.
    const auto answerFormat = [](QWidget *dialog) {
        QPushButton *ok = okOf(dialog);
        ASSERT_NE(ok, nullptr);
        // Decimal commas as typed; a trim that leaves nothing of the sheet, or a width that is
        // no number, holds the OK back until it is put right.
        typeInto(dialog, "TafelBreiteEd", QStringLiteral("2500,5"));
        typeInto(dialog, "TafelLaengeEd", QStringLiteral("1250"));
        typeInto(dialog, "TafelRandEd", QStringLiteral("625"));
        EXPECT_FALSE(ok->isEnabled());
        typeInto(dialog, "TafelRandEd", QStringLiteral("12,5"));
        EXPECT_TRUE(ok->isEnabled());
        typeInto(dialog, "TafelBreiteEd", QStringLiteral("breit"));
        EXPECT_FALSE(ok->isEnabled());
        typeInto(dialog, "TafelBreiteEd", QStringLiteral("2500,5"));
        auto *price = dialog->findChild<QLineEdit *>(QStringLiteral("TafelPreisEd"));
        EXPECT_FALSE(price->isEnabled());
        dialog->findChild<QCheckBox *>(QStringLiteral("TafelPreisCheck"))->click();
        typeInto(dialog, "TafelPreisEd", QStringLiteral("80,5"));
        ASSERT_TRUE(ok->isEnabled());
        ok->click();
    };
    ModalAnswers answers;
    answers.then([&answerFormat](QWidget *dialog) {
        auto *list = dialog->findChild<QTreeWidget *>(QStringLiteral("SheetList"));
        ASSERT_NE(list, nullptr);
        // The three formats every material starts with.
        ASSERT_EQ(list->topLevelItemCount(), 3);
        EXPECT_EQ(rowTexts(list, 0), (QStringList{"3000", "1500", "10", "5", "aus Material"}));
        ModalAnswers inner;
        inner.then(answerFormat);
        dialog->findChild<QPushButton *>(QStringLiteral("newSheetBtn"))->click();
        EXPECT_TRUE(inner.allAnswered());
        ASSERT_EQ(list->topLevelItemCount(), 4);
        EXPECT_EQ(rowTexts(list, 3), (QStringList{"2500,5", "1250", "12,5", "5", "80,50"}));
        // The 2000 × 1000 format goes.
        list->setCurrentItem(list->topLevelItem(2));
        dialog->findChild<QPushButton *>(QStringLiteral("delSheetBtn"))->click();
        EXPECT_EQ(list->topLevelItemCount(), 3);
        okOf(dialog)->click();
    });
    for (QPushButton *b : form.findChildren<QPushButton *>())
        if (b->text() == QStringLiteral("Bearbeiten...") && b->isVisibleTo(b->parentWidget()) &&
            b->parentWidget() == materials->parentWidget())
            b->click();
    EXPECT_TRUE(answers.allAnswered());

    // In the file, through the atomic write, and read back as the next start reads it.
    SheetFormats stored;
    std::vector<quentar::costing::SheetFileWarning> warnings;
    ASSERT_TRUE(stored.load(data.path().toStdString(), warnings));
    EXPECT_TRUE(warnings.empty());
    const auto rows = stored.formatsOf(material);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[2], (quentar::costing::SheetFormatRow{material, 2500.5, 1250, 12.5, 5, 80.5}));
    EXPECT_EQ(rows[1].width, 2500);
    EXPECT_EQ(form.calculator().sheets().formats.formatsOf(material), rows);
}

TEST(SheetPages, TheSheetOptionChargesTheSheetsAndOffLeavesEveryFigureAsBefore) {
    QTemporaryDir data;
    TLaserForm form(data.path(), kTemplates);
    form.show();
    ASSERT_TRUE(form.loadDrawing(kVoron, confirm));
    std::map<std::string, std::string> before;
    for (const auto *f : form.calculator().engine().fields()) before[f->name()] = f->text();

    form.pages()->setCurrentIndex(3);
    EXPECT_EQ(form.pages()->tabText(form.pages()->currentIndex()), QStringLiteral("Einstellungen"));
    auto *check = form.findChild<QCheckBox *>(QStringLiteral("sheetCheck"));
    auto *formats = form.findChild<QComboBox *>(QStringLiteral("sheetFormatBox"));
    auto *remnant = form.findChild<QComboBox *>(QStringLiteral("remnantBox"));
    auto *figures = form.findChild<QLabel *>(QStringLiteral("sheetFigures"));
    ASSERT_TRUE(check && formats && remnant && figures);
    EXPECT_EQ(formats->count(), 3);
    EXPECT_TRUE(form.nestPicture().isNull());

    check->click();
    auto sheets = form.calculator().sheetFigures();
    ASSERT_TRUE(sheets.valid) << sheets.refusalEnglish;
    EXPECT_EQ(sheets.format.width, 3000);
    // The price is built from the sheets' material cost, and the page says both.
    EXPECT_EQ(fieldText(form, "matkostenEd").toStdString(),
              quentar::costing::formatTwoDecimals(sheets.materialCostPerPiece));
    EXPECT_NE(fieldText(form, "GesamtPreisEd").toStdString(), before["GesamtPreisEd"]);
    EXPECT_TRUE(figures->text().contains(QStringLiteral("Stück/Tafel")));
    EXPECT_TRUE(figures->text().contains(QStringLiteral("nach Zuschnitt")));
    EXPECT_TRUE(form.findChild<QLabel *>(QStringLiteral("sheetNote"))
                    ->text()
                    .contains(QStringLiteral("Material nach Tafel")));
    ASSERT_FALSE(form.nestPicture().isNull());
    EXPECT_EQ(form.nestPicture().width(), 420);
    QTest::qWait(50); // the page lays itself out again for the picture
    form.grab().save(QDir::tempPath() + QStringLiteral("/quentar-sheet-panel.png"));

    // A larger quantity needs more sheets; the figures and the cost follow it.
    form.calculator().engine().StueckEd.setText("500");
    const auto more = form.calculator().sheetFigures();
    EXPECT_GT(more.sheetsNeeded, sheets.sheetsNeeded);
    EXPECT_EQ(fieldText(form, "matkostenEd").toStdString(),
              quentar::costing::formatTwoDecimals(more.materialCostPerPiece));
    EXPECT_TRUE(
        figures->text().contains(QString::number(more.sheetsNeeded) + QStringLiteral(" Tafeln")));
    // Another format of the material, and the remnant policy kept in the formats file.
    formats->setCurrentIndex(1);
    EXPECT_EQ(form.calculator().sheetFigures().format.width, 2500);
    remnant->setCurrentIndex(1);
    EXPECT_TRUE(form.calculator().sheetFigures().remnantUsed);
    QFile file(data.path() + QStringLiteral("/sheets.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("remnant=used"));

    form.calculator().engine().StueckEd.setText(before["StueckEd"]);
    check->click();
    for (const auto &[name, text] : before)
        EXPECT_EQ(form.calculator().engine().field(name)->text(), text) << name;
    EXPECT_TRUE(form.nestPicture().isNull());
}
