// The "Materialien" and "Staffelpreise" lists and the dialogs they open.
#include "costing/ui/laser_form.h"

#include "costing/catalogue.h"
#include "costing/tiers.h"
#include "costing/ui/number_spin_box.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPalette>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <vector>

using quentar::costing::ThicknessRow;
using quentar::costing::ui::NumberSpinBox;
using quentar::costing::ui::TLaserForm;

// Failures show texts, not UTF-16 code units.
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {

const QString kTemplates = QStringLiteral(QUENTAR_DATA_DIR);

// Answers the next modal dialog that opens over the one open now, from a timer running inside
// the dialog's own event loop (each answer has its own timer, so an answer can open and answer
// a dialog of its own). A dialog the answer leaves open fails the test instead of hanging it.
class NextDialog {
public:
    explicit NextDialog(std::function<void(QDialog &)> answer)
        : answer_(std::move(answer)), under_(QApplication::activeModalWidget()) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start(10);
    }
    bool answered() const { return answered_; }

private:
    void poll() {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog || dialog == under_ || !dialog->isVisible()) return;
        timer_.stop();
        answered_ = true;
        answer_(*dialog);
        if (dialog->isVisible()) {
            ADD_FAILURE() << "left open: " << dialog->windowTitle().toStdString();
            dialog->reject();
        }
    }

    std::function<void(QDialog &)> answer_;
    QPointer<QWidget> under_;
    QTimer timer_;
    bool answered_ = false;
};

QPushButton *buttonIn(QWidget *in, const QString &text) {
    for (QPushButton *b : in->findChildren<QPushButton *>())
        if (b->text().remove(QLatin1Char('&')) == text) return b;
    return nullptr;
}

void typeInto(QLineEdit *edit, const QString &text) {
    ASSERT_NE(edit, nullptr);
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

QStringList rowTexts(const QTreeWidget *list, int row) {
    QStringList texts;
    const QTreeWidgetItem *item = list->topLevelItem(row);
    for (int i = 0; item && i < list->columnCount(); ++i)
        texts << item->text(i);
    return texts;
}

// The first click of the two: QTest's double click alone leaves out the press a view expects.
void doubleClickRow(QTreeWidget *list, int row) {
    const QRect rect = list->visualItemRect(list->topLevelItem(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

std::vector<std::pair<QString, int>> headerOf(const QTreeWidget *list) {
    std::vector<std::pair<QString, int>> header;
    for (int i = 0; i < list->columnCount(); ++i)
        header.emplace_back(list->headerItem()->text(i), list->columnWidth(i));
    return header;
}

// A data folder with a fifth material sold by area and two tiers.
struct Data {
    QTemporaryDir dir;
    Data() {
        quentar::costing::Catalogue materials;
        materials.addDefaults();
        materials.addMaterial({"Holz", "12.5", "0.6", true}, {{"4", "3"}});
        EXPECT_TRUE(materials.save(dir.path().toStdString()));
        quentar::costing::TierList tiers;
        tiers.add({"10", "5"});
        tiers.add({"100", "10"});
        EXPECT_TRUE(tiers.save(dir.path().toStdString()));
    }
};

} // namespace

TEST(CataloguePages, ListTheRowsUnderTheirColumnHeaders) {
    Data data;
    TLaserForm form(data.dir.path(), kTemplates);
    const struct {
        const char *list;
        std::vector<std::pair<QString, int>> header;
        std::vector<QStringList> rows;
    } cases[] = {
        {"ListView1",
         {{"Name", 200},
          {"Preis pro Kg", 200},
          {"Spez. Gewicht (kg/dm³)", 200},
          {"Preis pro m²", 100}},
         {{"Edelstahl", "3.00", "7.80", "Nein"},
          {"Stahl", "1.00", "7.80", "Nein"},
          {"Aluminium", "4.00", "2.70", "Nein"},
          {"Verzinkt", "1.50", "7.80", "Nein"},
          {"Holz", "12.5", "0.6", "Ja"}}},
        {"ListView2",
         {{"Ab Stückzahl", 100}, {"Rabatt auf Maschinenstundensatz in Prozent", 300}},
         {{"10", "5"}, {"100", "10"}}},
    };
    for (const auto &c : cases) {
        auto *list = form.findChild<QTreeWidget *>(QString::fromLatin1(c.list));
        ASSERT_NE(list, nullptr) << c.list;
        EXPECT_EQ(headerOf(list), c.header) << c.list;
        ASSERT_EQ(list->topLevelItemCount(), static_cast<int>(c.rows.size())) << c.list;
        for (int i = 0; i < static_cast<int>(c.rows.size()); ++i)
            EXPECT_EQ(rowTexts(list, i), c.rows[i]) << c.list << " row " << i;
        // The chosen row stays marked while the user goes to the buttons beside the list.
        EXPECT_EQ(list->palette().color(QPalette::Inactive, QPalette::Highlight),
                  list->palette().color(QPalette::Active, QPalette::Highlight))
            << c.list;
    }
}

TEST(CataloguePages, ADoubleClickOnARowEditsIt) {
    Data data;
    TLaserForm form(data.dir.path(), kTemplates);
    form.show();
    const struct {
        int page;
        const char *list;
        int row;
        const char *focused;     // the field that has the focus when the dialog opens
        const char *focusedText; // what it shows: the row's first text
        const char *typedInto;   // then this field is typed over
        const char *typed;
        QStringList rowAfter;
    } cases[] = {
        {1,
         "ListView1",
         1,
         "Edit1",
         "Stahl",
         "Edit1",
         "Baustahl",
         {"Baustahl", "1", "7.8", "Nein"}},
        {4, "ListView2", 1, "StueckEd", "100", "RabattEd", "12.5", {"100", "12.5"}},
    };
    for (const auto &c : cases) {
        form.pages()->setCurrentIndex(c.page);
        auto *list = form.findChild<QTreeWidget *>(QString::fromLatin1(c.list));
        ASSERT_NE(list, nullptr) << c.list;
        NextDialog answer([&](QDialog &dialog) {
            QWidget *focus = dialog.focusWidget();
            ASSERT_NE(focus, nullptr) << c.list;
            EXPECT_EQ(focus->objectName(), QString::fromLatin1(c.focused)) << c.list;
            auto *first = qobject_cast<QLineEdit *>(focus);
            ASSERT_NE(first, nullptr) << c.list;
            EXPECT_EQ(first->text(), QString::fromUtf8(c.focusedText)) << c.list;
            typeInto(dialog.findChild<QLineEdit *>(QString::fromLatin1(c.typedInto)),
                     QString::fromLatin1(c.typed));
            buttonIn(&dialog, QStringLiteral("OK"))->click();
        });
        doubleClickRow(list, c.row);
        ASSERT_TRUE(answer.answered()) << c.list;
        EXPECT_EQ(rowTexts(list, c.row), c.rowAfter) << c.list;
        EXPECT_EQ(list->selectedItems(), QList<QTreeWidgetItem *>{list->topLevelItem(c.row)})
            << c.list;
    }
    EXPECT_EQ(form.calculator().catalogue().rows()[1].name, "Baustahl");
    EXPECT_EQ(form.calculator().tiers().rows()[1].discount, "12.5");
}

// Enter adds a thickness, "Löschen" deletes the chosen one, a double click edits a thickness;
// Escape closes the window like its close button and cancels, whatever row is chosen.
TEST(CataloguePages, TheMaterialDialogsKeysAndTheirThicknessList) {
    Data data;
    TLaserForm form(data.dir.path(), kTemplates);
    form.show();
    form.pages()->setCurrentIndex(1);
    auto *materials = form.findChild<QTreeWidget *>(QStringLiteral("ListView1"));
    ASSERT_NE(materials, nullptr);
    const std::vector<ThicknessRow> before = form.calculator().catalogue().thicknessRows(0);
    ASSERT_EQ(before.size(), 17u);
    const auto thicknessList = [](QDialog &dialog) {
        return dialog.findChild<QTreeWidget *>(QStringLiteral("ListView1"));
    };

    // Escape with a thickness chosen closes the window and deletes nothing.
    NextDialog closed([&](QDialog &dialog) {
        QTreeWidget *list = thicknessList(dialog);
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(buttonIn(&dialog, QStringLiteral("Abbrechen")), nullptr);
        list->setCurrentItem(list->topLevelItem(0));
        QTest::keyClick(list, Qt::Key_Escape);
        EXPECT_EQ(list->topLevelItemCount(), 17);
        EXPECT_FALSE(dialog.isVisible());
    });
    doubleClickRow(materials, 0);
    ASSERT_TRUE(closed.answered());
    EXPECT_EQ(form.calculator().catalogue().thicknessRows(0), before);

    NextDialog edited([&](QDialog &dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Material bearbeiten"));
        QTreeWidget *list = thicknessList(dialog);
        ASSERT_NE(list, nullptr);
        ASSERT_EQ(list->topLevelItemCount(), 17);
        EXPECT_EQ(rowTexts(list, 0), (QStringList{"1", "11.5"}));
        EXPECT_TRUE(list->topLevelItem(0)->textAlignment(1) & Qt::AlignRight);
        list->setCurrentItem(list->topLevelItem(0));
        QPushButton *remove = buttonIn(&dialog, QStringLiteral("Löschen"));
        ASSERT_NE(remove, nullptr);
        remove->click();
        // The deleted row takes the choice with it: a second click deletes nothing.
        remove->click();
        ASSERT_EQ(list->topLevelItemCount(), 16);
        EXPECT_EQ(rowTexts(list, 0), (QStringList{"1.5", "8.8"}));

        NextDialog added([](QDialog &thickness) {
            EXPECT_EQ(thickness.windowTitle(), QStringLiteral("Materialstärke bearbeiten"));
            auto *spin = thickness.findChild<NumberSpinBox *>(QStringLiteral("starked"));
            ASSERT_NE(spin, nullptr);
            EXPECT_EQ(spin->step(), 0.5);
            // The first use shows the start values; the m/sec field must not round them.
            EXPECT_EQ(spin->text(), QStringLiteral("1.00"));
            EXPECT_EQ(thickness.findChild<QLineEdit *>(QStringLiteral("VorschubEd"))->text(),
                      QStringLiteral("11.50"));
            typeInto(spin->editor(), QStringLiteral("30"));
            typeInto(thickness.findChild<QLineEdit *>(QStringLiteral("VorschubEd")),
                     QStringLiteral("12"));
            EXPECT_EQ(thickness.findChild<QLineEdit *>(QStringLiteral("RxSpinEdit1"))->text(),
                      QStringLiteral("0.20"));
            buttonIn(&thickness, QStringLiteral("OK"))->click();
        });
        QTest::keyClick(dialog.findChild<QLineEdit *>(QStringLiteral("Edit1")), Qt::Key_Return);
        EXPECT_TRUE(added.answered());
        EXPECT_TRUE(dialog.isVisible());
        ASSERT_EQ(list->topLevelItemCount(), 17);
        EXPECT_EQ(rowTexts(list, 16), (QStringList{"30", "12"}));

        NextDialog changed([](QDialog &thickness) {
            EXPECT_EQ(thickness.findChild<NumberSpinBox *>(QStringLiteral("starked"))->text(),
                      QStringLiteral("1.50"));
            typeInto(thickness.findChild<QLineEdit *>(QStringLiteral("VorschubEd")),
                     QStringLiteral("9"));
            buttonIn(&thickness, QStringLiteral("OK"))->click();
        });
        doubleClickRow(list, 0);
        EXPECT_TRUE(changed.answered());
        EXPECT_EQ(rowTexts(list, 0), (QStringList{"1.5", "9"}));
        buttonIn(&dialog, QStringLiteral("OK"))->click();
    });
    doubleClickRow(materials, 0);
    ASSERT_TRUE(edited.answered());
    std::vector<ThicknessRow> expected(before.begin() + 1, before.end());
    expected.front().feed = "9";
    expected.push_back({"30", "12"});
    EXPECT_EQ(form.calculator().catalogue().thicknessRows(0), expected);
}

// Deleting a material or a tier asks first; "No" leaves the list and its file as they were.
TEST(CataloguePages, DeletingAMaterialOrATierAsksFirst) {
    const struct {
        int page;
        const char *list, *file;
        int row;
        const char *question;
        QStringList firstRowAfterYes;
    } cases[] = {
        {1,
         "ListView1",
         "material.dat",
         1,
         "Soll das Material \"Stahl\" mit seinen Materialstärken gelöscht werden?",
         {"Edelstahl", "3.00", "7.80", "Nein"}},
        {4,
         "ListView2",
         "staffel.dat",
         0,
         "Soll der Staffelpreis ab 10 Stück (5 %) gelöscht werden?",
         {"100", "10"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.list);
        Data data;
        TLaserForm form(data.dir.path(), kTemplates);
        form.show();
        form.pages()->setCurrentIndex(c.page);
        auto *list = form.findChild<QTreeWidget *>(QString::fromLatin1(c.list));
        ASSERT_NE(list, nullptr);
        QFile file(data.dir.filePath(QString::fromLatin1(c.file)));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        file.close();
        const int rows = list->topLevelItemCount();
        QPushButton *remove = nullptr;
        for (QPushButton *b : form.findChildren<QPushButton *>())
            if (b->text() == QStringLiteral("Löschen") && b->isVisibleTo(list->parentWidget()) &&
                b->parentWidget() == list->parentWidget())
                remove = b;
        ASSERT_NE(remove, nullptr);

        for (const auto answer : {QMessageBox::No, QMessageBox::Yes}) {
            list->setCurrentItem(list->topLevelItem(c.row));
            QString asked;
            NextDialog reply([&](QDialog &dialog) {
                auto *box = qobject_cast<QMessageBox *>(&dialog);
                ASSERT_NE(box, nullptr);
                asked = box->text();
                box->button(answer)->click();
            });
            remove->click();
            ASSERT_TRUE(reply.answered());
            EXPECT_EQ(asked, QString::fromUtf8(c.question));
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            const QByteArray now = file.readAll();
            file.close();
            if (answer == QMessageBox::No) {
                EXPECT_EQ(list->topLevelItemCount(), rows);
                EXPECT_EQ(now, bytes);
            } else {
                EXPECT_EQ(list->topLevelItemCount(), rows - 1);
                EXPECT_EQ(rowTexts(list, 0), c.firstRowAfterYes);
                EXPECT_NE(now, bytes);
            }
        }
    }
}

// A dialog does not store the last value taken while it shows a refused one: its OK waits.
TEST(CataloguePages, ADialogsOkWaitsWhileAValueIsRefused) {
    Data data;
    TLaserForm form(data.dir.path(), kTemplates);
    form.show();
    form.pages()->setCurrentIndex(4);
    QPushButton *newTier = nullptr;
    for (QPushButton *b : form.findChildren<QPushButton *>())
        if (b->text() == QStringLiteral("Neuer Staffelpreis...")) newTier = b;
    ASSERT_NE(newTier, nullptr);
    NextDialog answer([](QDialog &dialog) {
        QPushButton *ok = buttonIn(&dialog, QStringLiteral("OK"));
        auto *quantity = dialog.findChild<QLineEdit *>(QStringLiteral("StueckEd"));
        auto *discount = dialog.findChild<QLineEdit *>(QStringLiteral("RabattEd"));
        ASSERT_TRUE(ok && quantity && discount);
        const struct {
            QLineEdit *edit;
            const char *typed;
            bool okEnabled;
        } steps[] = {{discount, "150", false}, {discount, "15", true},  {quantity, "2.5", false},
                     {quantity, "0", false},   {quantity, "200", true}, {discount, "-1", false},
                     {discount, "12.5", true}};
        for (const auto &s : steps) {
            typeInto(s.edit, QString::fromLatin1(s.typed));
            EXPECT_EQ(ok->isEnabled(), s.okEnabled) << s.typed;
            EXPECT_EQ(s.edit->toolTip().isEmpty(), s.okEnabled) << s.typed;
        }
        ok->click();
    });
    newTier->click();
    ASSERT_TRUE(answer.answered());
    ASSERT_EQ(form.calculator().tiers().rows().size(), 3u);
    EXPECT_EQ(form.calculator().tiers().rows()[2], (quentar::costing::TierRow{"200", "12.5"}));
}
