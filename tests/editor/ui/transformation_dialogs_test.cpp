// The transformation dialogs driven through their widgets: the array, the keyboard rotation and
// scaling, the viewport configuration; decimal commas and points, refused input, cancelling.
#include "editor/ui/array_dialog.h"
#include "editor/ui/keyboard_rotation_dialog.h"
#include "editor/ui/keyboard_scaling_dialog.h"
#include "editor/ui/number_field_edit.h"
#include "editor/ui/viewport_dialog.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace quentar;
using namespace quentar::editor::ui;

namespace {

editor::ui::NumberFieldEdit *field(QWidget *dialog, const char *name) {
    auto *f = dialog->findChild<NumberFieldEdit *>(QString::fromLatin1(name));
    EXPECT_NE(f, nullptr) << name;
    return f;
}

void type(QWidget *dialog, const char *name, const char *text) {
    NumberFieldEdit *f = field(dialog, name);
    f->selectAll();
    QTest::keyClick(f, Qt::Key_Delete);
    QTest::keyClicks(f, QString::fromUtf8(text));
}

QPushButton *button(QWidget *dialog, const QString &text) {
    for (QPushButton *b : dialog->findChildren<QPushButton *>())
        if (b->text() == text) return b;
    ADD_FAILURE() << text.toStdString();
    return nullptr;
}

bool hasLabel(QWidget *dialog, const char *text) {
    for (QLabel *l : dialog->findChildren<QLabel *>())
        if (l->text() == QString::fromUtf8(text)) return true;
    return false;
}

// Runs `act` on the modal dialog a call opens, once it is shown.
void whenShown(std::function<void(QWidget *)> act) {
    QTimer::singleShot(0, [act] {
        QWidget *modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        act(modal);
    });
}

} // namespace

TEST(TransformationDialogs, ArrayTakesCommasAndPoints) {
    ArrayDialog dialog;
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Array erstellen"));
    for (const char *label :
         {"Spalten:", "Zeilen:", "Spalten Abstand:", "Zeilen Abstand:", "Rotieren:"})
        EXPECT_TRUE(hasLabel(&dialog, label)) << label;
    const editor::ArrayParameters defaults = dialog.values();
    EXPECT_EQ(defaults.columns, 4);
    EXPECT_EQ(defaults.rows, 4);
    EXPECT_EQ(defaults.columnSpacing, 4);
    EXPECT_EQ(defaults.rowSpacing, 4);
    EXPECT_EQ(defaults.angle, 0);
    type(&dialog, "SpaltenEd", "3");
    type(&dialog, "ZeilenEd", "2");
    type(&dialog, "SpaltenAbstandEd", "12,5");
    type(&dialog, "ZeilenAbstandEd", "7.5");
    type(&dialog, "RotierenEd", "-15");
    QTest::mouseClick(button(&dialog, QStringLiteral("OK")), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    const editor::ArrayParameters v = dialog.values();
    EXPECT_EQ(v.columns, 3);
    EXPECT_EQ(v.rows, 2);
    EXPECT_EQ(v.columnSpacing, 12.5);
    EXPECT_EQ(v.rowSpacing, 7.5);
    EXPECT_EQ(v.angle, -15);
}

// What a field does not take marks it, keeps its last good value and holds OK back.
TEST(TransformationDialogs, RefusedInputKeepsTheLastGoodValue) {
    ArrayDialog dialog;
    dialog.show();
    QPushButton *ok = button(&dialog, QStringLiteral("OK"));
    const struct {
        const char *field, *text;
        double kept;
    } cases[] = {
        {"SpaltenEd", "0", 4},          {"SpaltenEd", "x", 5},
        {"ZeilenEd", "-2", 4},          {"ZeilenEd", "2,5", 2}, // "2" was good on the way
        {"SpaltenAbstandEd", "abc", 4}, {"RotierenEd", ",", 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.field) + " " + c.text);
        NumberFieldEdit *f = field(&dialog, c.field);
        type(&dialog, c.field, c.text);
        EXPECT_FALSE(f->acceptable());
        EXPECT_FALSE(ok->isEnabled());
        EXPECT_EQ(f->value(), c.kept);
        type(&dialog, c.field, "5");
        EXPECT_TRUE(ok->isEnabled());
        EXPECT_EQ(f->value(), 5);
    }
    // A count says which values it takes; finished with a text it does not take, a field shows
    // its value again (and Return does not close the dialog with OK held back).
    NumberFieldEdit *columns = field(&dialog, "SpaltenEd");
    type(&dialog, "SpaltenEd", "0");
    EXPECT_EQ(columns->toolTip(), QStringLiteral("1 … 10000"));
    QTest::keyClick(columns, Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(columns->text(), QStringLiteral("5"));
    EXPECT_TRUE(ok->isEnabled());
}

TEST(TransformationDialogs, ArrayCancelledKeepsWhatWasRemembered) {
    editor::ArrayParameters remembered;
    remembered.columns = 7;
    whenShown([](QWidget *d) {
        EXPECT_EQ(field(d, "SpaltenEd")->text(), QStringLiteral("7"));
        type(d, "SpaltenEd", "9");
        QTest::mouseClick(button(d, QStringLiteral("Abbrechen")), Qt::LeftButton);
    });
    EXPECT_FALSE(askArray(nullptr, remembered));
    EXPECT_EQ(remembered.columns, 7);
    whenShown([](QWidget *d) {
        type(d, "ZeilenEd", "3");
        QTest::keyClick(field(d, "ZeilenEd"), Qt::Key_Return);
    });
    const auto taken = askArray(nullptr, remembered);
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->rows, 3);
    EXPECT_EQ(remembered.rows, 3) << "the next use starts from it";
}

TEST(TransformationDialogs, KeyboardRotationAndScaling) {
    editor::KeyboardRotation rotation;
    whenShown([](QWidget *d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Rotationswinkel eingeben"));
        EXPECT_TRUE(hasLabel(d, "Rotation in °:"));
        EXPECT_TRUE(hasLabel(d, "Die Rotation erfolgt im Uhrzeigersinn."));
        type(d, "RotEd", "22,5");
        QTest::mouseClick(button(d, QStringLiteral("OK")), Qt::LeftButton);
    });
    ASSERT_TRUE(askRotation(nullptr, rotation));
    EXPECT_EQ(rotation.degrees, 22.5);

    editor::KeyboardScaling scaling;
    whenShown([](QWidget *d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Skalierungsfaktor eingeben"));
        EXPECT_TRUE(hasLabel(d, "Skalierung in %:"));
        EXPECT_EQ(field(d, "SkalEd")->value(), 100);
        QPushButton *ok = button(d, QStringLiteral("OK"));
        for (const char *refused : {"0", "100001", "-5"}) {
            type(d, "SkalEd", refused);
            EXPECT_FALSE(ok->isEnabled()) << refused;
        }
        type(d, "SkalEd", "0,00001");
        EXPECT_TRUE(ok->isEnabled());
        type(d, "SkalEd", "250");
        QTest::mouseClick(ok, Qt::LeftButton);
    });
    ASSERT_TRUE(askScaling(nullptr, scaling));
    EXPECT_EQ(scaling.percent, 250);
    whenShown([](QWidget *d) { QTest::keyClick(d, Qt::Key_Escape); });
    EXPECT_FALSE(askScaling(nullptr, scaling));
    EXPECT_EQ(scaling.percent, 250);
}

// The viewport dialog shows four decimals, has only OK, and its values count however it closes.
TEST(TransformationDialogs, ViewportTakesItsValuesHoweverClosed) {
    const editor::ViewportConfiguration start{80, 60, 50, 40, 3, 4, 30};
    whenShown([](QWidget *d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Viewport konfigurieren"));
        for (const char *label :
             {"Breite:", "Höhe:", "Mitte X:", "Mitte Y:", "Inhalt X:", "Inhalt Y:", "Höhe Inhalt:"})
            EXPECT_TRUE(hasLabel(d, label)) << label;
        EXPECT_EQ(field(d, "breiteEd")->text(), QStringLiteral("80.0000"));
        EXPECT_EQ(d->findChildren<QPushButton *>().size(), 1);
        type(d, "breiteEd", "100,5");
        type(d, "InhaltX", "-2.25");
        type(d, "HeiContEd", "0"); // refused: the last good value stays
        QTest::keyClick(d, Qt::Key_Escape);
    });
    const editor::ViewportConfiguration v = askViewport(nullptr, start);
    EXPECT_EQ(v.width, 100.5);
    EXPECT_EQ(v.height, 60);
    EXPECT_EQ(v.viewX, -2.25);
    EXPECT_EQ(v.viewHeight, 30);
}
