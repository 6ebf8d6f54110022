// The drawing tools clicked in the real window: a part drawn with the mouse and a typed position,
// a stray line deleted, undone and redone by steps, saved, and measured by `quentar measure` as
// what was drawn. With QUENTAR_SCREENSHOTS=<folder> it also saves pictures of the drawing in
// progress (scripts/screenshots.sh runs it so under Xvfb).
#include "editor/ui/main_form.h"
#include "editor/ui/number_field_edit.h"
#include "editor/ui/paint_box.h"
#include "editor/ui/text_dialog.h"

#include "../../support/modal_answers.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace quentar::editor::ui {
namespace {

using quentar::testing::ModalAnswers;

QString shotsFolder() { return qEnvironmentVariable("QUENTAR_SCREENSHOTS"); }

class DrawingTools : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        MainFormOptions o;
        o.dataFolder = QStringLiteral(QUENTAR_DATA_DIR);
        o.settingsFile = dir_.filePath(QStringLiteral("settings.ini"));
        form_ = std::make_unique<TMainForm>(std::move(o));
        form_->resize(1280, 860);
        form_->show();
        settle();
        // Four pixels a drawing unit, the origin 100 pixels in from the lower left corner.
        form_->viewer().setView({400, -10000, 10000, false});
        settle();
    }
    static void settle() {
        for (int i = 0; i < 3; ++i) QApplication::processEvents();
    }

    QPoint at(double x, double y) const {
        const render::Pixel p = form_->viewer().transform().pixel(x, y);
        return {p.x, p.y};
    }
    void click(double x, double y, Qt::MouseButton b = Qt::LeftButton) {
        QTest::mouseMove(form_->paintBox(), at(x, y));
        QTest::mouseClick(form_->paintBox(), b, {}, at(x, y));
        settle();
    }
    void hover(double x, double y) {
        QTest::mouseMove(form_->paintBox(), at(x, y));
        settle();
    }
    QAction *named(const char *name) const {
        return form_->findChild<QAction *>(QString::fromLatin1(name));
    }
    void trigger(const char *name) {
        QAction *a = named(name);
        ASSERT_NE(a, nullptr) << name;
        ASSERT_TRUE(a->isEnabled()) << name;
        a->trigger();
        settle();
    }
    void shoot(const QString &name) {
        if (shotsFolder().isEmpty()) return;
        QTest::qWait(150);
        QDir().mkpath(shotsFolder());
        form_->grab().save(shotsFolder() + "/" + name + ".png");
    }
    int entities() const { return form_->viewer().drawing().anzpoly; }
    // Chooses `item` from the popup menu the next right click opens (a popup is no modal window
    // the answers see).
    static void answerMenu(const char *item) {
        auto *poll = new QTimer;
        poll->setInterval(20);
        QObject::connect(poll, &QTimer::timeout, [poll, name = QString::fromLatin1(item)] {
            auto *m = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            if (!m) return;
            poll->stop();
            poll->deleteLater();
            m->setActiveAction(m->findChild<QAction *>(name));
            QTest::keyClick(m, Qt::Key_Return);
        });
        poll->start();
    }

    QTemporaryDir dir_;
    std::unique_ptr<TMainForm> form_;
};

TEST_F(DrawingTools, APartDrawnWithTheToolsMeasuresAsDrawn) {
    // The outline, 100 x 50.
    trigger("RectangleBtn");
    EXPECT_TRUE(named("RectangleBtn")->isChecked());
    click(0, 0);
    hover(60, 30);
    shoot(QStringLiteral("drawing_rectangle_rubber_band"));
    click(100, 50);
    EXPECT_FALSE(named("RectangleBtn")->isChecked()); // the tool ended with the rectangle
    ASSERT_EQ(entities(), 1);

    // A hole of 10 mm across: the circle tool by centre and radius.
    trigger("CircleBtn");
    click(25, 25);
    click(30, 25);
    ASSERT_EQ(entities(), 2);

    // A slot of two lines and two arcs; the arcs snap onto the lines' ends.
    trigger("LineBtn");
    click(60, 20);
    click(80, 20);
    click(0, 0, Qt::RightButton);
    trigger("LineBtn");
    // The second line's start typed instead of clicked.
    auto *x = form_->findChild<NumberFieldEdit *>(QStringLiteral("Xed"));
    auto *y = form_->findChild<NumberFieldEdit *>(QStringLiteral("YEd"));
    auto *use = form_->findChild<QPushButton *>(QStringLiteral("BenutzenBtn"));
    ASSERT_TRUE(x && y && use);
    x->setValue(60);
    y->setValue(30);
    use->click();
    settle();
    EXPECT_TRUE(form_->interaction().inlin());
    click(80, 30);
    QTest::keyClick(form_->paintBox(), Qt::Key_Escape);
    settle();
    ASSERT_EQ(entities(), 4);
    trigger("MittelpunktStartEnde1");
    click(80, 25);
    click(80.5, 20.5); // within the snap's reach of the line's end (80, 20)
    // The rubber band and the snap marker on the end of the upper line.
    hover(80.5, 30.5);
    shoot(QStringLiteral("drawing_arc_snapping"));
    click(80.5, 30.5);
    trigger("MittelpunktStartEnde1");
    click(60, 25);
    click(59.5, 29.5);
    click(59.5, 20.5);
    ASSERT_EQ(entities(), 6);

    // The hole moved up by 10 with the move tool, then turned a quarter turn clockwise about its
    // old place with the rotation typed in.
    click(30, 25); // its radius grip selects it
    ASSERT_TRUE(form_->editor().IsSelected());
    trigger("MoveBtn");
    EXPECT_TRUE(named("MoveBtn")->isChecked());
    click(25, 25); // the base point snaps onto the centre
    hover(25, 33);
    shoot(QStringLiteral("drawing_move_preview"));
    click(25, 35);
    EXPECT_FALSE(named("MoveBtn")->isChecked());
    trigger("RotationsrichtungperTastatureingeben1");
    trigger("RotateBtn");
    {
        ModalAnswers answers;
        answers.then([](QWidget *dialog) {
            auto *angle = dialog->findChild<QLineEdit *>(QStringLiteral("RotEd"));
            ASSERT_NE(angle, nullptr);
            angle->selectAll();
            QTest::keyClicks(angle, QStringLiteral("90"));
            dialog->findChild<QPushButton *>(QStringLiteral("OkBtn"))->click();
        });
        click(25, 25);
        EXPECT_TRUE(answers.allAnswered());
    }
    ASSERT_EQ(entities(), 6);
    const auto hole = [&] {
        for (const document::tpoly &e : form_->viewer().drawing().polys)
            if (e.kind == document::EntityKind::Circle) return std::pair(e.cx, e.cy);
        return std::pair(0.0, 0.0);
    }();
    EXPECT_NEAR(hole.first, 35, 1e-9);
    EXPECT_NEAR(hole.second, 25, 1e-9);
    QTest::keyClick(form_->paintBox(), Qt::Key_Escape); // nothing selected any more
    settle();
    EXPECT_FALSE(form_->editor().IsSelected());

    // A stray line outside the part, picked and deleted.
    trigger("LineBtn");
    click(120, 10);
    click(140, 40);
    click(0, 0, Qt::RightButton);
    ASSERT_EQ(entities(), 7);
    click(130, 25);
    EXPECT_TRUE(form_->editor().IsSelected());
    shoot(QStringLiteral("drawing_stray_line_selected"));
    QTest::keyClick(form_->paintBox(), Qt::Key_Delete);
    settle();
    ASSERT_EQ(entities(), 6);

    // Undo and redo by steps: the deletion, then the stray line itself.
    const std::string finished = form_->viewer().drawing().dxf.serialize();
    trigger("UndoBtn");
    EXPECT_EQ(entities(), 7);
    trigger("UndoBtn");
    EXPECT_EQ(entities(), 6);
    trigger("RedoBtn");
    EXPECT_EQ(entities(), 7);
    trigger("Wiederherstellen1");
    EXPECT_EQ(entities(), 6);
    EXPECT_FALSE(named("RedoBtn")->isEnabled());
    EXPECT_EQ(form_->viewer().drawing().dxf.serialize(), finished);

    // Saved under a new name.
    const QString path = dir_.filePath(QStringLiteral("part.dxf"));
    {
        ModalAnswers answers;
        answers.then([&](QWidget *dialog) {
            auto *files = qobject_cast<QFileDialog *>(dialog);
            ASSERT_NE(files, nullptr);
            // Typed as a user would, once the dialog has read its folder.
            QTest::qWait(200);
            auto *name = files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(name, nullptr);
            name->setText(path);
            QTest::keyClick(name, Qt::Key_Return);
        });
        trigger("Speichernunter1");
        EXPECT_TRUE(answers.allAnswered());
    }
    ASSERT_TRUE(QFile::exists(path));

    // What the measurement finds: one part of 100 x 50 with the hole and the slot.
    QProcess measure;
    measure.start(QStringLiteral(QUENTAR_EXE), {QStringLiteral("measure"), path});
    ASSERT_TRUE(measure.waitForFinished(60000));
    ASSERT_EQ(measure.exitCode(), 0) << measure.readAllStandardError().toStdString();
    const QJsonObject m = QJsonDocument::fromJson(measure.readAllStandardOutput()).object();
    const double pi = std::numbers::pi;
    const double length = 300 + 2 * pi * 5 + 2 * 20 + 2 * pi * 5;
    EXPECT_NEAR(m.value("konturlang").toDouble(), length, length * 0.001);
    EXPECT_EQ(m.value("parts").toInt(), 1);
    EXPECT_EQ(m.value("holes").toInt(), 2);
    const QJsonArray areas = m.value("flaechen").toArray();
    ASSERT_EQ(areas.size(), 3);
    EXPECT_NEAR(areas[0].toDouble(), 5000, 0.5);
    EXPECT_NEAR(areas[1].toDouble(), 20 * 10 + pi * 25, 0.5);
    EXPECT_NEAR(areas[2].toDouble(), pi * 25, 0.5);
    EXPECT_NEAR(m.value("net_area").toDouble(), 5000 - 200 - 2 * pi * 25, 1);
}

TEST_F(DrawingTools, ThePolylineMenuTheTextDialogAndAnR12Refusal) {
    // A polyline with a tangent arc, closed from its menu.
    trigger("PolyLineBtn");
    click(0, 0);
    click(50, 0);
    answerMenu("Kreisbogen2");
    click(50, 0, Qt::RightButton);
    hover(50, 40);
    shoot(QStringLiteral("drawing_polyline_tangent_arc"));
    click(50, 50);
    answerMenu("Linienzugschlieen1");
    click(50, 50, Qt::RightButton);
    ASSERT_EQ(entities(), 1);
    const document::tpoly &p = form_->viewer().drawing().polys[0];
    EXPECT_EQ(p.kind, document::EntityKind::LwPolyline);
    EXPECT_TRUE(p.isclosed);

    // A text from the text dialog.
    trigger("TextBtn");
    {
        ModalAnswers answers;
        answers.then([](QWidget *dialog) {
            dialog->findChild<QPlainTextEdit *>(QStringLiteral("Memo1"))
                ->setPlainText(QStringLiteral("Blech 2 mm"));
            dialog->findChild<QPushButton *>(QStringLiteral("OkBtn"))->click();
        });
        click(10, 60);
        EXPECT_TRUE(answers.allAnswered());
    }
    ASSERT_EQ(entities(), 2);
    EXPECT_EQ(form_->viewer().drawing().polys[1].detail().textstr, "Blech 2 mm");

    // An R12 drawing has no ellipses: the error box says so.
    {
        ModalAnswers answers; // do not save the drawing
        answers.then([](QWidget *box) {
            qobject_cast<QMessageBox *>(box)->button(QMessageBox::No)->click();
        });
        trigger("NeueDXFDateiR12ohneSplineohneEllipseusw1");
        EXPECT_TRUE(answers.allAnswered());
    }
    ASSERT_EQ(form_->viewer().drawing().cadver, 1009);
    {
        ModalAnswers answers;
        QString shown;
        answers.then([&](QWidget *box) {
            shown = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"))->text();
            box->close();
        });
        trigger("Achsen1");
        EXPECT_TRUE(answers.allAnswered());
        EXPECT_EQ(shown,
                  QStringLiteral("Die DXF Version dieser DXF Datei unterstützt keine Ellipsen."));
    }
    EXPECT_EQ(form_->interaction().pressedButton(), ToolButton::None);
}

} // namespace
} // namespace quentar::editor::ui
