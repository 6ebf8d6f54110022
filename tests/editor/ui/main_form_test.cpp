// The drawing window on the offscreen platform: open, paint, tabs, tools, print, preview, confirm.
#include "editor/ui/main_form.h"
#include "editor/ui/measurement_panel.h"
#include "editor/ui/paint_box.h"
#include "editor/ui/print_dialog.h"
#include "editor/ui/print_job.h"

#include "../../support/modal_answers.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <cmath>

namespace quentar::editor::ui {
namespace {

using quentar::testing::ModalAnswers;

const QString kSamples = QStringLiteral(QUENTAR_SAMPLES_DIR);
const QString kFlange = kSamples + "/flange_qcad_ac1027_paperspace_dims_hatch.dxf";
const QString kDeckPanel = kSamples + "/voron_deck_panel_fusion360_r14.dxf";

class Window : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        MainFormOptions o;
        o.dataFolder = QStringLiteral(QUENTAR_DATA_DIR);
        o.settingsFile = dir_.filePath(QStringLiteral("settings.ini"));
        o.saveOptions = [this] { ++optionsSaved_; };
        form_ = std::make_unique<TMainForm>(std::move(o));
        form_->show();
        settle();
    }

    static void settle() {
        for (int i = 0; i < 3; ++i) QApplication::processEvents();
    }

    // The paint box as the user sees it.
    QImage shot() {
        settle();
        return form_->paintBox()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    static int countPixels(const QImage &img, QRgb colour) {
        int n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) n += img.pixel(x, y) == colour;
        return n;
    }
    static int darkPixels(const QImage &img) {
        int n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) n += qGray(img.pixel(x, y)) < 96;
        return n;
    }

    QTabBar *tabs() const { return form_->findChild<QTabBar *>(QStringLiteral("TabControl1")); }

    void mouse(QEvent::Type type, QPoint at, Qt::MouseButton button,
               Qt::KeyboardModifiers mods = Qt::NoModifier) {
        const QPointF global = form_->paintBox()->mapToGlobal(QPointF(at));
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
        QMouseEvent e(type, QPointF(at), global, button, held, mods);
        QApplication::sendEvent(form_->paintBox(), &e);
    }
    void wheel(QPoint at, int delta, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        const QPointF global = form_->paintBox()->mapToGlobal(QPointF(at));
        QWheelEvent e(QPointF(at), global, QPoint(), QPoint(0, delta), Qt::NoButton, mods,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(form_->paintBox(), &e);
    }

    QTemporaryDir dir_;
    int optionsSaved_ = 0;
    std::unique_ptr<TMainForm> form_;
};

TEST_F(Window, StartsWithAnUnnamedDrawingAndTheAxisIcon) {
    EXPECT_EQ(form_->windowTitle(), QStringLiteral("DXF Editor - [unbenannt.dxf]"));
    EXPECT_EQ(form_->viewer().drawing().cadver, 1015);
    ASSERT_EQ(tabs()->count(), 2);
    EXPECT_EQ(tabs()->tabText(0), QStringLiteral("Model"));
    const QImage img = shot();
    EXPECT_EQ(img.size(), QSize(render::kDefaultPaintBoxWidth, render::kDefaultPaintBoxHeight));
    // An empty model: white, with the axis icon's x axis at the origin or in the corner.
    const render::AxisIconPlace a =
        render::axisIconPlace(form_->viewer().view(), img.width(), img.height());
    EXPECT_GT(countPixels(img, qRgb(255, 255, 255)), img.width() * img.height() * 9 / 10);
    EXPECT_LT(qGray(img.pixel(a.ox + 30, a.oy)), 96);
    EXPECT_LT(qGray(img.pixel(a.ox, a.oy - 30)), 96);
    EXPECT_EQ(qGray(img.pixel(a.ox + 30, a.oy - 30)), 255);
}

TEST_F(Window, OpensAndPaintsADrawingAndItsPaperLayout) {
    ASSERT_TRUE(form_->openfilewithname(kFlange));
    EXPECT_EQ(form_->windowTitle(),
              QStringLiteral("DXF Editor - [flange_qcad_ac1027_paperspace_dims_hatch.dxf]"));
    ASSERT_EQ(tabs()->count(), 3);
    EXPECT_EQ(tabs()->currentIndex(), 0);
    const QImage model = shot();
    EXPECT_GT(darkPixels(model), 5000);
    EXPECT_EQ(model.pixel(model.width() - 1, 0), qRgb(255, 255, 255));

    tabs()->setCurrentIndex(1);
    EXPECT_EQ(form_->viewer().tab(), 1);
    const QImage paper = shot();
    // Grey around a black sheet; the drawing shows in white on it.
    EXPECT_EQ(paper.pixel(0, 0), qRgb(192, 192, 192));
    EXPECT_GT(countPixels(paper, qRgb(0, 0, 0)), paper.width() * paper.height() / 4);
    EXPECT_GT(countPixels(paper, qRgb(255, 255, 255)), 2000);
}

TEST_F(Window, EachTabKeepsItsViewAndTheScrollBarsFollow) {
    ASSERT_TRUE(form_->openfilewithname(kFlange));
    auto *horz = form_->findChild<QScrollBar *>(QStringLiteral("HorzScrollbar"));
    ASSERT_NE(horz, nullptr);
    const double modelZoom = form_->viewer().view().zoomedvalue;
    EXPECT_EQ(horz->value(), form_->viewer().view().horzPosition);

    tabs()->setCurrentIndex(1);
    form_->actions().zoomIn->trigger();
    const render::ViewState paperView = form_->viewer().view();
    EXPECT_EQ(horz->value(), paperView.horzPosition);
    tabs()->setCurrentIndex(0);
    EXPECT_DOUBLE_EQ(form_->viewer().view().zoomedvalue, modelZoom);
    tabs()->setCurrentIndex(1);
    EXPECT_DOUBLE_EQ(form_->viewer().view().zoomedvalue, paperView.zoomedvalue);
    EXPECT_EQ(form_->viewer().view().horzPosition, paperView.horzPosition);

    horz->setValue(horz->value() + 5000); // the user scrolls
    EXPECT_EQ(form_->viewer().view().horzPosition, paperView.horzPosition + 5000);
}

TEST_F(Window, ZoomButtonsWheelAndStatusBar) {
    ASSERT_TRUE(form_->openfilewithname(kDeckPanel));
    const double z = form_->viewer().view().zoomedvalue;
    form_->actions().zoomIn->trigger();
    EXPECT_DOUBLE_EQ(form_->viewer().view().zoomedvalue, z * 1.2);
    form_->actions().zoomOut->trigger();
    EXPECT_DOUBLE_EQ(form_->viewer().view().zoomedvalue, z);

    const QPoint at(300, 200);
    double x0 = 0, y0 = 0;
    render::Bildschirm2DXF(form_->viewer().view(), form_->paintBox()->height(), at.x(), at.y(), x0,
                           y0);
    wheel(at, 120);
    EXPECT_DOUBLE_EQ(form_->viewer().view().zoomedvalue, z * 1.2);
    double px = 0, py = 0;
    render::DXF2Bildschirm(form_->viewer().view(), form_->paintBox()->height(), x0, y0, px, py);
    EXPECT_NEAR(px, at.x(), 0.01);
    EXPECT_NEAR(py, at.y(), 0.01);
    const int64_t h = form_->viewer().view().horzPosition;
    wheel(at, -120, Qt::ShiftModifier);
    EXPECT_EQ(form_->viewer().view().horzPosition, h + 2000);

    mouse(QEvent::MouseMove, at, Qt::NoButton);
    double x = 0, y = 0;
    render::Bildschirm2DXF(form_->viewer().view(), form_->paintBox()->height(), at.x(), at.y(), x,
                           y);
    EXPECT_EQ(form_->statusBar()->currentMessage(),
              QString::number(x, 'f', 4) + ", " + QString::number(y, 'f', 4));

    // The fit rounds the drawing's size at the zoom it starts from: close to the first fit.
    form_->actions().showAll->trigger();
    EXPECT_NEAR(form_->viewer().view().zoomedvalue, z, z * 0.02);
}

TEST_F(Window, ZoomAndHandToolsDragTheView) {
    ASSERT_TRUE(form_->openfilewithname(kDeckPanel));
    form_->actions().handTool->trigger();
    EXPECT_EQ(form_->paintBox()->cursor().shape(), Qt::PointingHandCursor);
    const int64_t h = form_->viewer().view().horzPosition;
    mouse(QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton);
    mouse(QEvent::MouseMove, {130, 100}, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, {130, 100}, Qt::LeftButton);
    EXPECT_EQ(form_->viewer().view().horzPosition, h - 3000);

    form_->actions().zoomTool->trigger();
    EXPECT_FALSE(form_->actions().handTool->isChecked());
    const double z = form_->viewer().view().zoomedvalue;
    mouse(QEvent::MouseButtonPress, {200, 300}, Qt::LeftButton);
    mouse(QEvent::MouseMove, {200, 200}, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, {200, 200}, Qt::LeftButton);
    EXPECT_GT(form_->viewer().view().zoomedvalue, z);

    mouse(QEvent::MouseButtonPress, {200, 200}, Qt::RightButton); // leaves the tool
    EXPECT_FALSE(form_->actions().zoomTool->isChecked());
    EXPECT_EQ(form_->paintBox()->cursor().shape(), Qt::CrossCursor);
}

// Records what reaches the handler.
class RecordingHandler : public PointerHandler {
public:
    std::vector<std::string> seen;
    void mouseDown(const PointerEvent &e) override { seen.push_back(describe("down", e)); }
    void mouseMove(const PointerEvent &e) override { seen.push_back(describe("move", e)); }
    void mouseUp(const PointerEvent &e) override { seen.push_back(describe("up", e)); }
    void doubleClick(const PointerEvent &e) override { seen.push_back(describe("double", e)); }
    void wheel(const WheelEvent &e) override {
        seen.push_back("wheel " + std::to_string(e.x) + "," + std::to_string(e.y) +
                       (e.up ? " up" : " down") + (e.mods.ctrl ? " ctrl" : ""));
    }
    bool keyDown(const KeyEvent &e) override {
        seen.push_back(e.key == Key::Escape ? "escape" : "key " + e.text);
        return true;
    }
    CursorShape cursor() const override { return CursorShape::Arrow; }

private:
    static std::string describe(const char *what, const PointerEvent &e) {
        const char *b = e.button == MouseButton::Right    ? "right"
                        : e.button == MouseButton::Middle ? "middle"
                                                          : "left";
        return std::string(what) + " " + std::to_string(e.x) + "," + std::to_string(e.y) + " " + b +
               (e.mods.shift ? " shift" : "") + (e.mods.ctrl ? " ctrl" : "");
    }
};

TEST_F(Window, PaintBoxPassesItsInputToTheHandler) {
    RecordingHandler handler;
    form_->setPointerHandler(&handler);
    EXPECT_EQ(form_->paintBox()->cursor().shape(), Qt::ArrowCursor);
    mouse(QEvent::MouseButtonPress, {10, 20}, Qt::RightButton, Qt::ShiftModifier);
    mouse(QEvent::MouseMove, {11, 21}, Qt::NoButton);
    mouse(QEvent::MouseButtonRelease, {12, 22}, Qt::LeftButton, Qt::ControlModifier);
    mouse(QEvent::MouseButtonDblClick, {13, 23}, Qt::MiddleButton);
    wheel({5, 6}, 60);
    wheel({5, 6}, 60, Qt::ControlModifier); // two half notches make one step
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(form_->paintBox(), &esc);
    QKeyEvent a(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QApplication::sendEvent(form_->paintBox(), &a);
    const std::vector<std::string> expected{"down 10,20 right shift",
                                            "move 11,21 left",
                                            "up 12,22 left ctrl",
                                            "double 13,23 middle",
                                            "wheel 5,6 up ctrl",
                                            "escape",
                                            "key a"};
    EXPECT_EQ(handler.seen, expected);
    form_->setPointerHandler(nullptr);
    EXPECT_EQ(form_->paintBox()->pointerHandler(), &form_->editorInput());
}

TEST_F(Window, EditMenuToolBarsAndTheUndoState) {
    const EditActions &e = form_->editActions();
    QStringList menus;
    for (QAction *m : form_->menuBar()->actions()) menus << m->text();
    EXPECT_EQ(menus, (QStringList{"&Datei", "&Bearbeiten", "&Zeichnen", "&Ansicht", "&Sprache"}));
    EXPECT_EQ(e.undoItem->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_EQ(e.deleteItem->shortcut(), QKeySequence(Qt::Key_Delete));
    EXPECT_EQ(e.selectAll->text(), QStringLiteral("Alles Auswählen"));
    EXPECT_FALSE(e.undoButton->isEnabled());
    // The drawing tools are there with their hints, not yet usable.
    ASSERT_EQ(e.toolButtons.size(), 14u);
    EXPECT_EQ(e.toolButtons[0]->objectName(), QStringLiteral("LineBtn"));
    EXPECT_EQ(e.toolButtons[0]->toolTip(), QStringLiteral("Linie"));
    for (QAction *a : e.toolButtons) EXPECT_FALSE(a->isEnabled()) << a->toolTip().toStdString();
    for (QAction *a : e.toolItems) EXPECT_FALSE(a->isEnabled()) << a->text().toStdString();

    ASSERT_TRUE(form_->openfilewithname(kDeckPanel));
    const std::string original = form_->viewer().drawing().dxf.serialize();
    const int count = form_->viewer().drawing().anzpoly;
    e.selectAll->trigger();
    EXPECT_TRUE(form_->editor().IsSelected());
    e.deleteItem->trigger();
    EXPECT_EQ(form_->viewer().drawing().anzpoly, 0);
    EXPECT_TRUE(e.undoButton->isEnabled());
    EXPECT_TRUE(form_->windowTitle().endsWith(QStringLiteral("*]")));
    e.undoButton->trigger();
    EXPECT_EQ(form_->viewer().drawing().anzpoly, count);
    EXPECT_EQ(form_->viewer().drawing().dxf.serialize(), original);
    EXPECT_FALSE(e.undoButton->isEnabled());
    EXPECT_FALSE(e.undoItem->isEnabled());
}

TEST_F(Window, ABoxDrawnWithTheMouseSelects) {
    ASSERT_TRUE(form_->openfilewithname(kDeckPanel));
    const QImage before = shot();
    // Empty space at the top left: the first click opens the box, the rubber band follows the
    // pointer, the second click selects what has a vertex inside.
    mouse(QEvent::MouseButtonPress, {4, 4}, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, {4, 4}, Qt::LeftButton);
    mouse(QEvent::MouseMove, {990, 630}, Qt::NoButton);
    const QImage band = shot();
    int dark = 0;
    for (int x = 20; x < 980; ++x) dark += qGray(band.pixel(x, 4)) < 96;
    EXPECT_GT(dark, 300);
    EXPECT_FALSE(form_->editor().IsSelected());
    mouse(QEvent::MouseButtonPress, {990, 630}, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, {990, 630}, Qt::LeftButton);
    EXPECT_TRUE(form_->editor().IsSelected());
    const QImage selectedShot = shot();
    EXPECT_EQ(qGray(selectedShot.pixel(500, 4)), 255); // the band is gone
    EXPECT_NE(selectedShot, before);                   // dashed outlines and grips
    // Escape without a tool deselects.
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(form_->paintBox(), &esc);
    EXPECT_FALSE(form_->editor().IsSelected());
    EXPECT_EQ(shot(), before);
}

TEST_F(Window, PrintPreviewShowsTheSheetUnderTheModel) {
    ASSERT_TRUE(form_->openfilewithname(kDeckPanel));
    form_->actions().printPreview->trigger();
    EXPECT_TRUE(form_->viewer().druckvorschau());
    const QImage img = shot();
    EXPECT_EQ(img.pixel(0, 0), qRgb(192, 192, 192));
    EXPECT_GT(countPixels(img, qRgb(255, 255, 255)), 10000); // the white sheet

    // The second menu item switches the same check item.
    QAction *toggle = form_->actions().printPreviewToggle;
    EXPECT_EQ(toggle->text(), QStringLiteral("Druckvorschau  an/aus"));
    toggle->trigger();
    EXPECT_FALSE(form_->actions().printPreview->isChecked());
    EXPECT_FALSE(form_->viewer().druckvorschau());
    toggle->trigger();
    EXPECT_TRUE(form_->viewer().druckvorschau());
}

TEST_F(Window, WheelOverScrollBarsAndTabsWorksTheView) {
    ASSERT_TRUE(form_->openfilewithname(kFlange));
    auto *horz = form_->findChild<QScrollBar *>(QStringLiteral("HorzScrollbar"));
    auto *vert = form_->findChild<QScrollBar *>(QStringLiteral("VertScrollbar"));
    ASSERT_TRUE(horz && vert);
    const int h = form_->paintBox()->height();
    for (QWidget *over : std::initializer_list<QWidget *>{vert, horz, tabs()}) {
        SCOPED_TRACE(over->objectName().toStdString());
        const QPoint local(over->width() / 2, over->height() / 2);
        const QPointF global = over->mapToGlobal(QPointF(local));
        const QPoint at = form_->paintBox()->mapFromGlobal(global).toPoint();
        const auto turn = [&](int delta, Qt::KeyboardModifiers mods) {
            QWheelEvent e(QPointF(local), global, QPoint(), QPoint(0, delta), Qt::NoButton, mods,
                          Qt::NoScrollPhase, false);
            QApplication::sendEvent(over, &e);
        };
        const render::ViewState before = form_->viewer().view();
        double x = 0, y = 0;
        render::Bildschirm2DXF(before, h, at.x(), at.y(), x, y);
        turn(120, Qt::NoModifier);
        EXPECT_DOUBLE_EQ(form_->viewer().view().zoomedvalue, before.zoomedvalue * 1.2);
        double px = 0, py = 0;
        render::DXF2Bildschirm(form_->viewer().view(), h, x, y, px, py);
        EXPECT_NEAR(px, at.x(), 0.01);
        EXPECT_NEAR(py, at.y(), 0.01);
        // One wheel step scrolls 20 pixels, not the scroll bar's own three lines.
        const render::ViewState zoomed = form_->viewer().view();
        turn(-120, Qt::ShiftModifier);
        turn(-120, Qt::ControlModifier);
        EXPECT_EQ(form_->viewer().view().horzPosition, zoomed.horzPosition + 2000);
        EXPECT_EQ(form_->viewer().view().vertPosition, zoomed.vertPosition + 2000);
        EXPECT_EQ(horz->value(), form_->viewer().view().horzPosition);
        EXPECT_EQ(tabs()->currentIndex(), 0);
    }
}

TEST_F(Window, CalculatorPreviewMeasuresTheDrawing) {
    ASSERT_TRUE(form_->openfilewithname(kDeckPanel));
    form_->ZoomFullIn180();
    const QImage preview = form_->Vorschaubild();
    ASSERT_EQ(preview.size(), QSize(180, 180));
    EXPECT_GT(darkPixels(preview.convertToFormat(QImage::Format_RGB32)), 300);
    // The figures of reference.json, up to the chords of the curves.
    const render::ContourFigures &f = form_->figures();
    EXPECT_NEAR(f.konturlang, 1726.36281799, 1726.4 * 0.01);
    EXPECT_NEAR(f.konturmaxx - f.konturminx, 57.4999923706 + 311.500007629, 0.5);
    EXPECT_NEAR(f.konturmaxy - f.konturminy, 17.4999160766 + 351.500083923, 0.5);
    EXPECT_EQ(f.flaechen.count, 6u);
}

TEST_F(Window, TheStatusBarSumsUpTheMeasurementAndTheMarksFollowTheMenu) {
    ASSERT_TRUE(form_->openfilewithname(kFlange));
    MeasurementPanel &panel = form_->measurement();
    const QString all = panel.summaryLabel()->text();
    EXPECT_TRUE(all.startsWith(QStringLiteral("Schnittlänge "))) << all.toStdString();
    EXPECT_TRUE(all.contains(QStringLiteral(" Einstiche · Fläche "))) << all.toStdString();
    // The flange's dimensions and hatch boundaries are drawn, not cut: only the cut is measured
    // unless the user asks for the whole drawn figure, which is longer; the choice is kept for
    // the next start.
    EXPECT_TRUE(panel.cutContoursOnly());
    panel.cutOnlyAction()->trigger();
    const QString drawn = panel.summaryLabel()->text();
    EXPECT_NE(drawn, all);
    EXPECT_GT(
        panel.view().measurement().konturlang, 1.1 * [&] {
            render::MeasureOptions o;
            o.units = render::UnitChoice::Millimetres;
            return render::measureDrawing(form_->viewer().drawing(), o).konturlang;
        }());
    EXPECT_FALSE(QSettings(dir_.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat)
                     .value(QStringLiteral("Measurement/CutContoursOnly"))
                     .toBool());
    panel.cutOnlyAction()->trigger();

    // The parts are tinted under the drawing while the marks are shown.
    const QRgb tint = qRgb(214, 230, 255);
    EXPECT_GT(countPixels(shot(), tint), 1000);
    panel.showAction()->trigger();
    EXPECT_EQ(countPixels(shot(), tint), 0);
    panel.showAction()->trigger();

    // Every edit measures again: all deleted, nothing is left to cut; undone, all is back.
    form_->editActions().selectAll->trigger();
    form_->editActions().deleteItem->trigger();
    EXPECT_EQ(panel.summaryLabel()->text(),
              QStringLiteral("Nichts gemessen: dieses Blatt hat keine Elemente"));
    form_->editActions().undoItem->trigger();
    EXPECT_EQ(panel.summaryLabel()->text(), all);
}

TEST_F(Window, ConfirmingReturnsOneAndOtherClosesDoNot) {
    ASSERT_TRUE(form_->openfilewithname(kDeckPanel));
    auto *ok = form_->findChild<QPushButton *>(QStringLiteral("OkBtn"));
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), QStringLiteral("Okay, in Kalkulation übernehmen..."));
    QTimer::singleShot(0, ok, &QPushButton::click);
    EXPECT_EQ(form_->ShowModal(), 1);
    EXPECT_FALSE(form_->isVisible());
    EXPECT_EQ(optionsSaved_, 1);
    QTimer::singleShot(0, form_.get(), [this] { form_->actions().quit->trigger(); });
    EXPECT_EQ(form_->ShowModal(), 2);
    EXPECT_EQ(optionsSaved_, 2);
}

TEST_F(Window, ClosingAModifiedDrawingAsksFirst) {
    struct Case {
        const char *name;
        std::vector<ModalAnswers::Answer> answers;
        bool closes;
    };
    const auto press = [](QMessageBox::StandardButton b) {
        return [b](QWidget *box) { qobject_cast<QMessageBox *>(box)->button(b)->click(); };
    };
    const Case cases[] = {
        {"Cancel", {press(QMessageBox::Cancel)}, false},
        {"Yes, then the save dialog cancelled",
         {press(QMessageBox::Yes), [](QWidget *dialog) { dialog->close(); }},
         false},
        {"No", {press(QMessageBox::No)}, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        form_->show();
        form_->viewer().session().SetChanged();
        const int saved = optionsSaved_;
        ModalAnswers answers;
        for (const auto &a : c.answers) answers.then(a);
        form_->close();
        EXPECT_TRUE(answers.allAnswered());
        EXPECT_EQ(form_->isVisible(), !c.closes);
        // The window's settings are written only when it really closes.
        EXPECT_EQ(optionsSaved_, saved + (c.closes ? 1 : 0));
        EXPECT_TRUE(form_->windowTitle().endsWith(QStringLiteral("*]"))); // nothing was saved
    }
}

TEST_F(Window, PrintDialogButtons) {
    const auto fill = [](QWidget *dialog, const char *name, double value) {
        dialog->findChild<QDoubleSpinBox *>(QString::fromLatin1(name))->setValue(value);
    };
    const auto click = [](QWidget *dialog, const char *name) {
        dialog->findChild<QPushButton *>(QString::fromLatin1(name))->click();
    };
    {
        // "Vorschau" from "Drucken...": the values count, the preview comes on, nothing prints
        // (a print would ask for its PDF file or start a job).
        ModalAnswers answers;
        answers.then([&](QWidget *d) {
            fill(d, "mmEd", 2);
            click(d, "VorschauBtn");
        });
        answers.then([](QWidget *unexpected) { unexpected->close(); });
        form_->actions().print->trigger();
        EXPECT_FALSE(answers.allAnswered());
    }
    EXPECT_TRUE(form_->actions().printPreview->isChecked());
    EXPECT_TRUE(form_->viewer().druckvorschau());
    EXPECT_EQ(form_->viewer().printSettings().mmEd, 2);
    {
        ModalAnswers answers;
        answers.then([&](QWidget *d) {
            fill(d, "mmEd", 5);
            click(d, "AbbrechenBtn");
        });
        form_->actions().pageSetup->trigger();
    }
    EXPECT_EQ(form_->viewer().printSettings().mmEd, 2);
    {
        ModalAnswers answers;
        answers.then([&](QWidget *d) {
            fill(d, "RxSpinEdit3", 1); // the margin in inches
            click(d, "OkBtn");
        });
        form_->actions().pageSetup->trigger();
    }
    EXPECT_EQ(form_->viewer().printSettings().RandEd, 25.39995);
    QSettings store(dir_.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    EXPECT_EQ(loadPrintSettings(store), form_->viewer().printSettings());
}

TEST_F(Window, InchTwinsOfThePrintDialog) {
    TDruckenForm dialog;
    dialog.setSettings({2, 1, 25.39995, 0, 0});
    auto *margin = dialog.findChild<QDoubleSpinBox *>(QStringLiteral("RandEd"));
    auto *marginInch = dialog.findChild<QDoubleSpinBox *>(QStringLiteral("RxSpinEdit3"));
    auto *xInch = dialog.findChild<QDoubleSpinBox *>(QStringLiteral("RxSpinEdit1"));
    auto *scaleInch = dialog.findChild<QDoubleSpinBox *>(QStringLiteral("RxSpinEdit4"));
    ASSERT_TRUE(margin && marginInch && xInch && scaleInch);
    EXPECT_DOUBLE_EQ(xInch->value(), 1.0);
    EXPECT_NEAR(scaleInch->value(), 2 / 25.39995, 1e-4);
    marginInch->setValue(1);
    EXPECT_DOUBLE_EQ(dialog.settings().RandEd, 25.39995);
    EXPECT_NEAR(margin->value(), 25.4, 1e-9);
    margin->setValue(50.8);
    EXPECT_DOUBLE_EQ(dialog.settings().RandEd, 50.8);
    EXPECT_NEAR(marginInch->value(), 50.8 / 25.39995, 1e-4);
    // 0 inches is the smallest scale the millimetre field holds, never a scale of 0.
    scaleInch->setValue(0);
    EXPECT_EQ(dialog.settings().mmEd, render::kScaleFieldMin);
}

TEST_F(Window, PrintSettingsAreStoredUnderTheDialogsName) {
    const QString file = dir_.filePath(QStringLiteral("store.ini"));
    const render::PrintSettings s{2.5, 3, -4.25, 5, 25.39995};
    {
        QSettings store(file, QSettings::IniFormat);
        savePrintSettings(store, s);
        EXPECT_EQ(store.value(QStringLiteral("TDruckenForm/RandEd_Value")).toString(),
                  QStringLiteral("25.39995"));
    }
    QSettings store(file, QSettings::IniFormat);
    EXPECT_EQ(loadPrintSettings(store), s);
    store.setValue(QStringLiteral("TDruckenForm/mmEd_Value"), QStringLiteral("kaputt"));
    EXPECT_EQ(loadPrintSettings(store).mmEd, 1);
}

TEST_F(Window, PrintsTheSelectedTabToAPdfPage) {
    ASSERT_TRUE(form_->openfilewithname(kDeckPanel));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString pdf = dir_.filePath(QStringLiteral("page.pdf"));
    printer.setOutputFileName(pdf);
    printer.setPageSize(QPageSize(QPageSize::A4));
    ASSERT_TRUE(printSelectedTab(printer, form_->viewer(), QStringLiteral("DXF Datei")));
    EXPECT_NEAR(form_->viewer().printerPage().widthMm(), 210, 15); // A4 less the printer's edges
    QFile out(pdf);
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    EXPECT_TRUE(out.readAll().startsWith("%PDF"));
}

TEST_F(Window, OverlaysAreDrawnOverThePictureOfTheDrawingNotANewPaint) {
    int paints = 0, overlays = 0;
    PaintBox *box = form_->paintBox();
    box->setPaintHandler([&](QPainter &p) {
        ++paints;
        p.fillRect(QRect(QPoint(0, 0), box->size()), Qt::white);
    });
    box->setOverlayHandler([&](QPainter &) { ++overlays; });
    box->repaint();
    const int paintsBefore = paints, overlaysBefore = overlays;
    for (int i = 0; i < 3; ++i) {
        box->redrawOverlay();
        box->repaint();
    }
    EXPECT_EQ(paints, paintsBefore);
    EXPECT_GE(overlays, overlaysBefore + 3);
    box->redraw();
    box->repaint();
    EXPECT_EQ(paints, paintsBefore + 1);
}

// Runs a poppler tool; its standard output, empty when it failed.
QByteArray poppler(const QString &program, const QStringList &arguments) {
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {};
    return p.readAllStandardOutput();
}

TEST_F(Window, APartFarFromTheOriginIsFittedToThePageItPrintsOn) {
    // 200 x 100 with a hole and its name "FERNTEIL", at (100,000, -40,000): placed by its origin,
    // it would print a hundred metres off the page.
    ASSERT_TRUE(form_->openfilewithname(kSamples + "/../drawings/part_far_from_origin.dxf"));
    {
        ModalAnswers answers;
        answers.then([](QWidget *d) {
            d->findChild<QRadioButton *>(QStringLiteral("PlacementFitBtn"))->click();
            EXPECT_FALSE(d->findChild<QGroupBox *>(QStringLiteral("PlacementGroup")) == nullptr);
            d->findChild<QPushButton *>(QStringLiteral("OkBtn"))->click();
        });
        form_->actions().pageSetup->trigger();
        EXPECT_TRUE(answers.allAnswered());
    }
    EXPECT_EQ(form_->viewer().printSettings().placement, render::PagePlacement::FitToPage);
    {
        // Remembered with the other print values.
        QSettings store(dir_.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
        EXPECT_EQ(loadPrintSettings(store).placement, render::PagePlacement::FitToPage);
    }

    // The print preview shows the sheet where the part prints: around the part, not at the
    // origin far away.
    form_->actions().printPreview->trigger();
    const QImage preview = shot();
    const render::ViewTransform vt = form_->viewer().transform();
    const render::Pixel lowerLeft = vt.pixel(100000 + 2, -40000 + 2);
    const render::Pixel upperRight = vt.pixel(100200 - 2, -39900 - 2);
    for (const render::Pixel &p : {lowerLeft, upperRight, render::Pixel{lowerLeft.x, upperRight.y}})
        EXPECT_EQ(preview.pixel(p.x, p.y), qRgb(255, 255, 255)) << p.x << ", " << p.y;

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString pdf = dir_.filePath(QStringLiteral("far.pdf"));
    printer.setOutputFileName(pdf);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    ASSERT_TRUE(printSelectedTab(printer, form_->viewer(), QStringLiteral("DXF Datei")));

    EXPECT_TRUE(poppler(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")})
                    .contains("FERNTEIL"));
    const QString png = dir_.filePath(QStringLiteral("far"));
    poppler(QStringLiteral("pdftoppm"),
            {QStringLiteral("-r"), QStringLiteral("40"), QStringLiteral("-png"),
             QStringLiteral("-singlefile"), pdf, png});
    QImage page(png + QStringLiteral(".png"));
    ASSERT_FALSE(page.isNull());
    // The part's outline: the box of the dark pixels, on the page with room to spare, as wide as
    // the page less the fit's hundredth, half as tall, centred.
    int left = page.width(), right = -1, top = page.height(), bottom = -1;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (qGray(page.pixel(x, y)) < 128) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    ASSERT_GE(right, 0) << "nothing printed";
    EXPECT_GT(left, 0);
    EXPECT_LT(right, page.width() - 1);
    const double width = right - left, height = bottom - top;
    EXPECT_NEAR(width / page.width(), 0.99, 0.03);
    EXPECT_NEAR(height / width, 0.5, 0.05);
    EXPECT_NEAR((top + bottom) / 2.0, page.height() / 2.0, 3);
}

} // namespace
} // namespace quentar::editor::ui

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
