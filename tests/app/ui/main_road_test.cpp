// The main road through the real widgets: open a part, confirm it in the drawing window, change
// material, thickness and quantity, save the quotation as PDF; the figures must be those of the
// headless quote of the same drawing with the same settings.
//
// With QUENTAR_SCREENSHOTS=<folder> the road also saves a picture of every calculator page and
// of the drawing window (scripts/screenshots.sh runs it so under Xvfb).
#include "app/ui/desktop.h"

#include "../../support/modal_answers.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>

#include <gtest/gtest.h>

#include <utility>

namespace quentar::app::ui {
namespace {

using quentar::testing::ModalAnswers;

const QString kPart = QStringLiteral(QUENTAR_SAMPLES_DIR "/voron_deck_panel_fusion360_r14.dxf");

QString shotsFolder() { return qEnvironmentVariable("QUENTAR_SCREENSHOTS"); }

void shoot(QWidget *w, const QString &name) {
    if (shotsFolder().isEmpty()) return;
    QTest::qWait(150);
    QDir().mkpath(shotsFolder());
    w->grab().save(shotsFolder() + "/" + name + ".png");
}

QString textOf(QWidget *w) {
    if (auto *e = qobject_cast<QLineEdit *>(w)) return e->text();
    if (auto *t = qobject_cast<QTimeEdit *>(w)) return t->text();
    if (auto *s = qobject_cast<QAbstractSpinBox *>(w)) return s->text();
    if (auto *c = qobject_cast<QCheckBox *>(w))
        return c->isChecked() ? QStringLiteral("True") : QStringLiteral("False");
    if (auto *c = qobject_cast<QComboBox *>(w)) return c->currentText();
    return QStringLiteral("<no editor>");
}

// Types as a user does: select what is there, type the new text, leave the field.
void typeInto(QWidget *w, const QString &text) {
    ASSERT_NE(w, nullptr);
    QLineEdit *edit = qobject_cast<QLineEdit *>(w);
    if (!edit) edit = w->findChild<QLineEdit *>();
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Tab);
}

void clickTab(QTabWidget *pages, int index) {
    QTabBar *bar = pages->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    ASSERT_EQ(pages->currentIndex(), index);
}

QPushButton *button(QWidget *in, const QString &text) {
    for (QPushButton *b : in->findChildren<QPushButton *>())
        if (b->text().remove('&') == text) return b;
    return nullptr;
}

// Types the whole path into the dialog's name field and presses Enter, as a user may.
void chooseFile(QFileDialog *dialog, const QString &path) {
    ASSERT_NE(dialog, nullptr);
    auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr);
    name->setText(path);
    QTest::keyClick(name, Qt::Key_Return);
}

QString pdfText(const QString &pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

TEST(MainRoad, FromDrawingToQuotationAsTheHeadlessQuoteComputesIt) {
    QTemporaryDir program, data, out;
    for (const char *name : {"translate.dat", "template0.dat", "template1.dat"})
        ASSERT_TRUE(QFile::copy(QStringLiteral(QUENTAR_DATA_DIR "/") + name,
                                program.filePath(QString::fromLatin1(name))));
    Desktop desktop(Folders(program.path().toStdString() + "/", data.path().toStdString() + "/"));
    costing::ui::TLaserForm &calc = desktop.calculator();
    desktop.start();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&calc));
    QTabWidget *pages = calc.pages();
    shoot(&calc, QStringLiteral("calculator-0-empty"));

    // "DXF Datei laden...": the file dialog, then the drawing window, confirmed.
    ModalAnswers answers;
    answers.then([&](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        ASSERT_NE(dialog, nullptr);
        chooseFile(dialog, kPart);
    });
    answers.then([&](QWidget *modal) {
        ASSERT_EQ(modal, &desktop.drawingWindow());
        shoot(modal, QStringLiteral("drawing-window"));
        QTest::mouseClick(button(modal, QStringLiteral("Okay, in Kalkulation übernehmen...")),
                          Qt::LeftButton);
    });
    QTest::mouseClick(button(&calc, QStringLiteral("DXF Datei laden...")), Qt::LeftButton);
    ASSERT_TRUE(answers.allAnswered());
    EXPECT_FALSE(desktop.drawingWindow().isVisible());
    EXPECT_EQ(calc.vorschau().size(), QSize(180, 210));
    EXPECT_EQ(textOf(calc.editorOf("breited")), QStringLiteral("369.00"));

    // Two quantity tiers through their dialog: twelve pieces then get 5 % off the machine rate.
    clickTab(pages, 4);
    for (const auto &[from, discount] : {std::pair{"10", "5"}, std::pair{"100", "10"}}) {
        answers.then([from = QString::fromLatin1(from), discount = QString::fromLatin1(discount)](
                          QWidget *dialog) {
            const QList<QLineEdit *> edits = dialog->findChildren<QLineEdit *>();
            ASSERT_EQ(edits.size(), 2);
            typeInto(edits[0], from);
            typeInto(edits[1], discount);
            QTest::mouseClick(button(dialog, QStringLiteral("OK")), Qt::LeftButton);
        });
        QTest::mouseClick(button(&calc, QStringLiteral("Neuer Staffelpreis...")), Qt::LeftButton);
        ASSERT_TRUE(answers.allAnswered());
    }
    shoot(&calc, QStringLiteral("calculator-4-Staffelpreise"));
    clickTab(pages, 0);

    // Another material (the next in the box), 3 mm, twelve pieces.
    auto *material = qobject_cast<QComboBox *>(calc.editorOf("MaterialBoxEd"));
    ASSERT_NE(material, nullptr);
    const QString priceBefore = textOf(calc.editorOf("GesamtPreisEd"));
    material->setFocus();
    QTest::keyClick(material, Qt::Key_Down);
    ASSERT_EQ(material->currentIndex(), 1);
    typeInto(calc.editorOf("MatstarkEd"), QStringLiteral("3"));
    typeInto(calc.editorOf("StueckEd"), QStringLiteral("12"));
    EXPECT_NE(textOf(calc.editorOf("GesamtPreisEd")), priceBefore);
    shoot(&calc, QStringLiteral("calculator-0-Berechnung"));

    // The headless quote of the same part with the same choices.
    QProcess quote;
    quote.start(QStringLiteral(QUENTAR_EXE),
                {QStringLiteral("quote"), kPart, QStringLiteral("--material"), QStringLiteral("1"),
                 QStringLiteral("--thickness"), QStringLiteral("3"), QStringLiteral("--quantity"),
                 QStringLiteral("12"), QStringLiteral("--data-dir"), data.path(),
                 QStringLiteral("--project"), QStringLiteral("Deckel"), QStringLiteral("--pdf"),
                 out.filePath(QStringLiteral("headless.pdf")), QStringLiteral("--text"),
                 out.filePath(QStringLiteral("offers.txt")), QStringLiteral("--json")});
    ASSERT_TRUE(quote.waitForFinished(60000));
    ASSERT_EQ(quote.exitCode(), 0) << quote.readAllStandardError().toStdString();
    const QJsonObject expected = QJsonDocument::fromJson(quote.readAllStandardOutput()).object();
    ASSERT_GT(expected.size(), 40);
    int compared = 0;
    for (auto it = expected.begin(); it != expected.end(); ++it) {
        QWidget *editor = calc.editorOf(it.key().toStdString());
        if (!editor) continue;
        ++compared;
        EXPECT_EQ(textOf(editor), it.value().toString()) << it.key().toStdString();
    }
    EXPECT_GT(compared, 35);
    EXPECT_EQ(textOf(calc.editorOf("RabattEd")), QStringLiteral("5.00"));

    // The offer prices over both tiers, as the headless quote lists them.
    clickTab(pages, 5);
    QFile offers(out.filePath(QStringLiteral("offers.txt")));
    ASSERT_TRUE(offers.open(QIODevice::ReadOnly));
    // The same lines, in the file with CR LF as every text file the program writes.
    QString shownLines = calc.offerView()->toPlainText();
    EXPECT_EQ(shownLines.replace(QLatin1Char('\n'), QStringLiteral("\r\n")),
              QString::fromUtf8(offers.readAll()));
    EXPECT_TRUE(calc.offerView()->toPlainText().contains(QStringLiteral("100 Stück")));

    // The quotation as PDF, through the "Ausdruck" page and its save dialog.
    clickTab(pages, 2);
    typeInto(calc.projectNameEdit(), QStringLiteral("Deckel"));
    const QString pdf = out.filePath(QStringLiteral("quotation.pdf"));
    answers.then([&](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        ASSERT_NE(dialog, nullptr);
        chooseFile(dialog, pdf);
    });
    QTest::mouseClick(button(&calc, QStringLiteral("Als PDF Datei speichern unter...")),
                      Qt::LeftButton);
    ASSERT_TRUE(answers.allAnswered());
    const QString text = pdfText(pdf);
    EXPECT_TRUE(text.contains(QStringLiteral("Quentar Deckel")));
    EXPECT_TRUE(text.contains(QStringLiteral("Gesamtpreis: ") +
                              expected.value(QStringLiteral("GesamtPreisEd")).toString() +
                              QStringLiteral(" EUR")));
    EXPECT_EQ(text, pdfText(out.filePath(QStringLiteral("headless.pdf"))));

    for (int i = 0; i < pages->count(); ++i) {
        pages->setCurrentIndex(i);
        shoot(&calc, QStringLiteral("calculator-%1-%2").arg(i).arg(pages->tabText(i)));
    }
    calc.close();
}

} // namespace
} // namespace quentar::app::ui
