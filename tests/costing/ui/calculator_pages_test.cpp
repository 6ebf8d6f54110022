// The calculator window's pages as the user sees them: whole texts, colours, neighbours, the
// report view, and the file dialogs of its buttons.
#include "costing/ui/laser_form.h"

#include "../../support/modal_answers.h"
#include "costing/tiers.h"

#include <QAbstractButton>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextLayout>

#include <gtest/gtest.h>

using quentar::testing::ModalAnswers;
using quentar::costing::ui::TLaserForm;

namespace {

const QString kVoron =
    QStringLiteral(QUENTAR_SAMPLES_DIR "/voron_deck_panel_fusion360_r14.dxf");
const QString kTemplates = QStringLiteral(QUENTAR_DATA_DIR);

QPushButton *buttonOf(QWidget *parent, const QString &text) {
    for (auto *b : parent->findChildren<QPushButton *>())
        if (b->text() == text) return b;
    return nullptr;
}

// Why a text on `page` cannot be read whole, empty when it can.
QString cutText(QWidget *page, QWidget *w, const QString &text, QSize needed) {
    const QRect onPage(w->mapTo(page, QPoint(0, 0)), w->size());
    if (!page->rect().contains(onPage)) return text + QStringLiteral(": outside its page");
    if (needed.width() > w->width() || needed.height() > w->height())
        return text + QStringLiteral(": needs %1 x %2, has %3 x %4")
                          .arg(needed.width())
                          .arg(needed.height())
                          .arg(w->width())
                          .arg(w->height());
    return {};
}

} // namespace

TEST(CalculatorPages, EveryCaptionIsReadableWholeAtTheFixedSize) {
    QTemporaryDir data;
    TLaserForm form(data.path(), kTemplates);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_EQ(form.size(), QSize(715, 570));
    QTabBar *tabs = form.pages()->tabBar();
    for (int i = 0; i < tabs->count(); ++i)
        EXPECT_TRUE(tabs->rect().contains(tabs->tabRect(i))) << tabs->tabText(i).toStdString();

    for (int i = 0; i < form.pages()->count(); ++i) {
        form.pages()->setCurrentIndex(i);
        QWidget *page = form.pages()->currentWidget();
        QApplication::processEvents();
        int checked = 0;
        for (auto *label : page->findChildren<QLabel *>()) {
            if (!label->isVisible() || label->text().isEmpty()) continue;
            const QSize needed = label->wordWrap()
                                     ? QSize(0, label->heightForWidth(label->width()))
                                     : label->minimumSizeHint();
            EXPECT_EQ(cutText(page, label, label->text(), needed), QString());
            ++checked;
        }
        for (auto *button : page->findChildren<QAbstractButton *>()) {
            if (!button->isVisible() || button->text().isEmpty()) continue;
            EXPECT_EQ(cutText(page, button, button->text(), button->sizeHint()), QString());
            ++checked;
        }
        for (auto *group : page->findChildren<QGroupBox *>())
            EXPECT_EQ(cutText(page, group, group->title(), group->minimumSizeHint()), QString());
        EXPECT_GT(checked, 0) << form.pages()->tabText(i).toStdString();
    }
}

TEST(CalculatorPages, EditorsAreColouredByRoleAndStandBesideTheirPartners) {
    QTemporaryDir data;
    TLaserForm form(data.path(), kTemplates);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const QColor input(192, 220, 192), result(240, 202, 166), property(240, 250, 255);
    const struct {
        const char *field;
        QColor colour; // invalid: the default background
    } colours[] = {
        {"MaterialBoxEd", input},   {"StueckEd", input},        {"InitialEd", input},
        {"RabattEd", input},        {"KleinMengenEd", input},   {"breited", QColor()},
        {"FlaecheEd", QColor()},    {"MatPreisEd", property},   {"SpezGewEd", property},
        {"LaserZeitEd", result},    {"GewichtEd", result},      {"GesamtPreisEd", result},
    };
    for (const auto &c : colours) {
        QWidget *editor = form.editorOf(c.field);
        ASSERT_NE(editor, nullptr) << c.field;
        // Right of the short start texts and left of any arrow buttons.
        const QColor seen = editor->grab().toImage().pixelColor(editor->width() * 3 / 4 - 8,
                                                                editor->height() / 2);
        if (!c.colour.isValid()) {
            EXPECT_EQ(seen, editor->palette().color(QPalette::Base)) << c.field;
            continue;
        }
        // A drop-down list is shaded as a button: its hue tells its role.
        EXPECT_GT(seen.hsvSaturation(), 0) << c.field;
        EXPECT_NEAR(seen.hsvHue(), c.colour.hsvHue(), 6) << c.field;
    }
    // The discount beside the profit mark-up, the two per-order charges beside the two prices.
    const std::pair<const char *, const char *> besides[] = {
        {"GewinnAufschlagEd", "RabattEd"},
        {"PreisProStueckEd", "KleinMengenEd"},
        {"GesamtPreisEd", "TransportEd"},
    };
    for (const auto &[left, right] : besides) {
        const QRect l(form.editorOf(left)->mapTo(&form, QPoint(0, 0)), form.editorOf(left)->size());
        const QRect r(form.editorOf(right)->mapTo(&form, QPoint(0, 0)),
                      form.editorOf(right)->size());
        EXPECT_NEAR(l.center().y(), r.center().y(), 2) << left << " / " << right;
        EXPECT_GT(r.left(), l.right()) << left << " / " << right;
    }
}

TEST(CalculatorPages, ReportAndOfferLinesStayWholeLinesInTheirFonts) {
    QTemporaryDir data;
    quentar::costing::TierList tiers;
    tiers.add({"10", "5"});
    ASSERT_TRUE(tiers.save(data.path().toStdString()));
    TLaserForm form(data.path(), kTemplates);
    form.show();
    const QString longText(300, QLatin1Char('W'));
    form.projectNameEdit()->setText(longText);
    form.calculator().WaehrEd = longText.toStdString();
    form.pages()->setCurrentIndex(2);

    const QTextDocument *report = form.reportView()->document();
    const QTextBlock last = report->lastBlock();
    EXPECT_TRUE(last.text().startsWith(QStringLiteral("Gesamtpreis: ")));
    int lines = 0;
    for (QTextBlock b = report->begin(); b.isValid(); b = b.next()) {
        EXPECT_EQ(b.layout()->lineCount(), 1) << b.text().left(40).toStdString();
        if (b.text().isEmpty()) continue;
        const QTextCharFormat f = b.begin().fragment().charFormat();
        const bool title = b == report->begin(), total = b == last;
        EXPECT_EQ(f.fontPointSize(), title ? 14 : 11) << b.text().left(40).toStdString();
        EXPECT_EQ(f.fontWeight() == QFont::Bold, title || total) << b.text().left(40).toStdString();
        ++lines;
    }
    EXPECT_GT(lines, 20);

    form.pages()->setCurrentIndex(5);
    const QTextDocument *offers = form.offerView()->document();
    ASSERT_TRUE(offers->toPlainText().contains(longText));
    for (QTextBlock b = offers->begin(); b.isValid(); b = b.next())
        EXPECT_LE(b.layout()->lineCount(), 1) << b.text().left(40).toStdString();
}

TEST(CalculatorPages, FileDialogsOfferTheirKindAndAddItsExtensionToABareName) {
    QTemporaryDir data, dir;
    ASSERT_TRUE(QFile::copy(kVoron, dir.filePath(QStringLiteral("part.dxf"))));
    const struct {
        int page;
        const char *button, *filter, *typed, *expected;
    } cases[] = {
        {2, "Als PDF Datei speichern unter...", "PDF-Dateien (*.pdf)", "quote", "quote.pdf"},
        {5, "Als Text Datei speichern unter...", "Text Dateien (*.txt)", "offers", "offers.txt"},
        {5, "Als Text Datei speichern unter...", "Text Dateien (*.txt)", "offers.csv",
         "offers.csv"},
        {0, "DXF Datei laden...", "DXF Dateien (*.dxf)", "part", "part.dxf"},
    };
    for (const auto &c : cases) {
        TLaserForm form(data.path(), kTemplates);
        // Reached only once the drawing was read from the file.
        bool drawingOpened = false;
        form.setDrawingWindowRunner([&](quentar::costing::ui::DrawingSource &) {
            drawingOpened = true;
            return 1;
        });
        form.show();
        form.pages()->setCurrentIndex(c.page);
        ModalAnswers answers;
        QStringList filters;
        answers.then([&](QWidget *modal) {
            auto *dialog = qobject_cast<QFileDialog *>(modal);
            ASSERT_NE(dialog, nullptr);
            filters = dialog->nameFilters();
            auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(name, nullptr);
            name->setText(dir.filePath(QString::fromLatin1(c.typed)));
            QTest::keyClick(name, Qt::Key_Return);
        });
        // A name the program does not find or cannot write brings a message: answered, so that
        // the fault fails the test instead of hanging it.
        QString message;
        answers.then([&](QWidget *modal) {
            message = modal->windowTitle();
            modal->close();
        });
        QPushButton *button = buttonOf(&form, QString::fromUtf8(c.button));
        ASSERT_NE(button, nullptr) << c.button;
        button->click();
        QTest::qWait(100);
        EXPECT_FALSE(filters.isEmpty()) << c.typed << ": no file dialog";
        EXPECT_TRUE(message.isNull()) << c.typed << ": " << message.toStdString();
        EXPECT_EQ(filters, QStringList(QString::fromUtf8(c.filter))) << c.typed;
        if (c.page == 0)
            EXPECT_TRUE(drawingOpened) << c.typed;
        else
            EXPECT_TRUE(QFile::exists(dir.filePath(QString::fromLatin1(c.expected)))) << c.typed;
    }
}
