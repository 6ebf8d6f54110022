// Menus "Bearbeiten", "Zeichnen" and "Optionen", the edit and drawing tool bars, the polyline
// menu and the coordinate bar.
#include "editor/ui/edit_actions.h"

#include "editor/ui/artwork.h"
#include "editor/ui/number_field_edit.h"

#include <QActionGroup>
#include <QLabel>
#include <QMenuBar>

namespace quentar::editor::ui {

namespace {

QAction *action(QMainWindow &w, const QString &text, const char *name,
                const QKeySequence &key = {}) {
    auto *a = new QAction(text, &w);
    a->setObjectName(QString::fromLatin1(name));
    a->setShortcut(key);
    return a;
}

// A tool button with its hint.
QAction *toolButton(QMainWindow &w, const QString &hint, const char *name, Artwork icon) {
    auto *a = new QAction(iconFor(icon), hint, &w);
    a->setObjectName(QString::fromLatin1(name));
    a->setToolTip(hint);
    a->setStatusTip(hint);
    a->setCheckable(true);
    return a;
}

} // namespace

void EditActions::build(QMainWindow &w, QAction *before) {
    undoItem = action(w, QStringLiteral("Rückgängig"), "Rckgngig1", QKeySequence::Undo);
    undoItem->setIcon(iconFor(Artwork::Undo));
    undoButton = action(w, QStringLiteral("Rückgängig"), "UndoBtn");
    undoButton->setIcon(iconFor(Artwork::Undo));
    undoButton->setToolTip(QStringLiteral("Rückgängig"));
    redoItem = action(w, QStringLiteral("Wiederherstellen"), "Wiederherstellen1",
                      QKeySequence(Qt::CTRL | Qt::Key_Y));
    redoItem->setIcon(iconFor(Artwork::Redo));
    redoButton = action(w, QStringLiteral("Wiederherstellen"), "RedoBtn");
    redoButton->setIcon(iconFor(Artwork::Redo));
    redoButton->setToolTip(QStringLiteral("Wiederherstellen"));
    deleteItem = action(w, QStringLiteral("Löschen"), "Lschen1", QKeySequence(Qt::Key_Delete));
    deleteItem->setIcon(iconFor(Artwork::Delete));
    deleteButton = toolButton(w, QStringLiteral("Löschen"), "DelBtn", Artwork::Delete);
    buttons_.emplace_back(ToolButton::Delete, deleteButton);
    selectAll = action(w, QStringLiteral("Alles Auswählen"), "AllesAuswhlen1",
                       QKeySequence(Qt::CTRL | Qt::Key_A));
    selectNone = action(w, QStringLiteral("Nichts auswählen"), "Nichtsauswhlen1");
    showUndoState(false, false);

    // The edit tools.
    struct EditTool {
        const char *hint, *button, *item;
        Artwork icon;
        EditOperation op;
        ToolButton shown;
    };
    const EditTool edits[] = {
        {"Kopieren", "CopyBtn", "Kopieren1", Artwork::Copy, EditOperation::Copy, ToolButton::Copy},
        {"Verschieben", "MoveBtn", "Verschieben1", Artwork::Move, EditOperation::Move,
         ToolButton::Move},
        {"Rotieren", "RotateBtn", "Rotieren1", Artwork::Rotate, EditOperation::Rotate,
         ToolButton::Rotate},
        {"Skalieren", "ScaleBtn", "Skalieren1", Artwork::Scale, EditOperation::Scale,
         ToolButton::Scale},
        {"Spiegeln", "MirrorBtn", "Spiegeln1", Artwork::Mirror, EditOperation::Mirror,
         ToolButton::Mirror},
        {"Array", "ArrayBtn", "Array1", Artwork::Array, EditOperation::Array, ToolButton::Array},
    };
    std::vector<QAction *> editItems;
    for (const EditTool &t : edits) {
        QAction *b = toolButton(w, QString::fromUtf8(t.hint), t.button, t.icon);
        QAction *i = action(w, QString::fromUtf8(t.hint), t.item);
        i->setIcon(iconFor(t.icon));
        editTools.emplace_back(b, t.op);
        editTools.emplace_back(i, t.op);
        editToolButtons.push_back(b);
        editItems.push_back(i);
        buttons_.emplace_back(t.shown, b);
    }

    editMenu = new QMenu(QStringLiteral("&Bearbeiten"), &w);
    editMenu->setObjectName(QStringLiteral("Bearbeiten1"));
    editMenu->addActions({undoItem, redoItem});
    editMenu->addSeparator();
    editMenu->addAction(deleteItem);
    editMenu->addActions(QList<QAction *>(editItems.begin(), editItems.end()));
    editMenu->addSeparator();
    editMenu->addActions({selectAll, selectNone});

    // The drawing tools, as the left tool bar shows them.
    struct DrawTool {
        const char *hint, *name;
        Artwork icon;
        ToolChoice choice;
        ToolButton shown;
    };
    const DrawTool draws[] = {
        {"Linie", "LineBtn", Artwork::Line, ToolChoice::Line, ToolButton::Line},
        {"Polyline", "PolyLineBtn", Artwork::Polyline, ToolChoice::Polyline, ToolButton::PolyLine},
        {"Freihand", "PenBtn", Artwork::Freehand, ToolChoice::Freehand, ToolButton::Pen},
        {"Spline", "SplineBtn", Artwork::Spline, ToolChoice::Spline, ToolButton::Spline},
        {"Rechteck", "RectangleBtn", Artwork::Rectangle, ToolChoice::Rectangle,
         ToolButton::Rectangle},
        {"Vieleck", "PolyGon", Artwork::Polygon, ToolChoice::Polygon, ToolButton::PolyGon},
        {"Kreis", "CircleBtn", Artwork::Circle, ToolChoice::CircleCentreRadius, ToolButton::Circle},
        {"Kreisbogen", "ArcBtn", Artwork::Arc, ToolChoice::ArcStartMiddleEnd, ToolButton::Arc},
        {"Ellipse", "EllipseBtn", Artwork::Ellipse, ToolChoice::EllipseAxes, ToolButton::Ellipse},
        {"Text", "TextBtn", Artwork::Text, ToolChoice::Text, ToolButton::Text},
        {"Abmessung", "DimensionBtn", Artwork::Dimension, ToolChoice::Dimension,
         ToolButton::Dimension},
        {"Punkt", "PointBtn", Artwork::Point, ToolChoice::Point, ToolButton::Point},
        {"Fläche", "SolidBtn", Artwork::Solid, ToolChoice::Solid, ToolButton::Solid},
        {"Pfeil", "ArrowBtn", Artwork::Arrow, ToolChoice::Arrow, ToolButton::Arrow},
    };
    for (const DrawTool &t : draws) {
        QAction *a = toolButton(w, QString::fromUtf8(t.hint), t.name, t.icon);
        toolButtons.push_back(a);
        drawTools.emplace_back(a, t.choice);
        buttons_.emplace_back(t.shown, a);
    }
    // Pressing one releases the others.
    auto *group = new QActionGroup(&w);
    group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (QAction *a : toolButtons) group->addAction(a);
    for (QAction *a : editToolButtons) group->addAction(a);
    group->addAction(deleteButton);

    drawMenu = new QMenu(QStringLiteral("&Zeichnen"), &w);
    drawMenu->setObjectName(QStringLiteral("Zeichnen1"));
    const auto item = [&](QMenu *menu, const char *text, const char *name, ToolChoice choice) {
        QAction *a = action(w, QString::fromUtf8(text), name);
        a->setStatusTip(QString::fromUtf8(text));
        menu->addAction(a);
        toolItems.push_back(a);
        drawTools.emplace_back(a, choice);
        return a;
    };
    item(drawMenu, "Linie", "Linie1", ToolChoice::Line)->setIcon(iconFor(Artwork::Line));
    item(drawMenu, "Konstruktionslinie", "Konstruktionslinie1", ToolChoice::ConstructionLine);
    item(drawMenu, "Strahl", "Strahl1", ToolChoice::Ray);
    item(drawMenu, "Polylinie", "Polylinie1", ToolChoice::Polyline)
        ->setIcon(iconFor(Artwork::Polyline));
    item(drawMenu, "Freihand", "Freihand1", ToolChoice::Freehand)
        ->setIcon(iconFor(Artwork::Freehand));
    item(drawMenu, "Spline", "Spline1", ToolChoice::Spline)->setIcon(iconFor(Artwork::Spline));
    item(drawMenu, "Vieleck", "Vieleck1", ToolChoice::Polygon)->setIcon(iconFor(Artwork::Polygon));
    item(drawMenu, "Rechteck", "Rechteck1", ToolChoice::Rectangle)
        ->setIcon(iconFor(Artwork::Rectangle));
    QMenu *arc = drawMenu->addMenu(iconFor(Artwork::Arc), QStringLiteral("Kreisbogen"));
    item(arc, "3 Punkte (Start, Mitte, Ende)", "N3PunkteStartMitteEnde1",
         ToolChoice::ArcStartMiddleEnd);
    item(arc, "3 Punkte (Start, Ende, Mitte)", "N3PunkteStartEndeMitte1",
         ToolChoice::ArcStartEndMiddle);
    item(arc, "Mittelpunkt, Start, Ende", "MittelpunktStartEnde1", ToolChoice::ArcCentreStartEnd);
    QMenu *circle = drawMenu->addMenu(iconFor(Artwork::Circle), QStringLiteral("Kreis"));
    item(circle, "Mittelpunkt, Radius", "MittelpunktRadius1", ToolChoice::CircleCentreRadius);
    item(circle, "Mittelpunkt, Durchmesser", "MittelpunktDurchmesser1",
         ToolChoice::CircleCentreDiameter);
    item(circle, "2 Punkte", "N2Punkte1", ToolChoice::CircleTwoPoints);
    item(circle, "3 Punkte", "N3Punkte1", ToolChoice::CircleThreePoints);
    QMenu *ellipse = drawMenu->addMenu(iconFor(Artwork::Ellipse), QStringLiteral("Ellipse"));
    item(ellipse, "Achsen", "Achsen1", ToolChoice::EllipseAxes);
    item(ellipse, "Ellipsenbogen Achsen", "EllipsenbogenAchsen1", ToolChoice::EllipseArcAxes);
    item(ellipse, "Mittelpunkt", "Mittelpunkt1", ToolChoice::EllipseCentre);
    item(ellipse, "Ellipsenbogen Mittelpunkt", "EllipsenbogenMittelpunkt1",
         ToolChoice::EllipseArcCentre);
    item(drawMenu, "Text", "Text1", ToolChoice::Text)->setIcon(iconFor(Artwork::Text));
    item(drawMenu, "Abmessung", "Abmessung1", ToolChoice::Dimension)
        ->setIcon(iconFor(Artwork::Dimension));
    item(drawMenu, "Punkt", "Punkt1", ToolChoice::Point)->setIcon(iconFor(Artwork::Point));
    item(drawMenu, "Fläche", "Flche1", ToolChoice::Solid)->setIcon(iconFor(Artwork::Solid));
    item(drawMenu, "Pfeil", "Pfeil1", ToolChoice::Arrow)->setIcon(iconFor(Artwork::Arrow));

    optionsMenu = new QMenu(QStringLiteral("&Optionen"), &w);
    optionsMenu->setObjectName(QStringLiteral("Optionen1"));
    scaleByKeyboard = action(w, QStringLiteral("Skalierungsfaktor per Tastatur eingeben"),
                             "SkalierungsfaktorperTastatureingeben1");
    scaleByKeyboard->setCheckable(true);
    scaleByKeyboard->setChecked(true);
    rotationByKeyboard = action(w, QStringLiteral("Rotationsrichtung per Tastatur eingeben"),
                                "RotationsrichtungperTastatureingeben1");
    rotationByKeyboard->setCheckable(true);
    optionsMenu->addActions({scaleByKeyboard, rotationByKeyboard});

    polylineMenu = new QMenu(&w);
    polylineMenu->setObjectName(QStringLiteral("PopupMenu1"));
    finishItem = polylineMenu->addAction(QStringLiteral("Fertig"));
    finishItem->setObjectName(QStringLiteral("Fertig1"));
    closeItem = polylineMenu->addAction(QStringLiteral("Linienzug schließen"));
    closeItem->setObjectName(QStringLiteral("Linienzugschlieen1"));
    polylineMenu->addSeparator();
    arcItem = polylineMenu->addAction(iconFor(Artwork::Arc), QStringLiteral("Kreisbogen"));
    arcItem->setObjectName(QStringLiteral("Kreisbogen2"));
    lineItem = polylineMenu->addAction(iconFor(Artwork::Line), QStringLiteral("Linie"));
    lineItem->setObjectName(QStringLiteral("Linie2"));

    QMenuBar *bar = w.menuBar();
    bar->insertMenu(before, editMenu);
    bar->insertMenu(before, drawMenu);
    bar->insertMenu(before, optionsMenu);

    editBar = new QToolBar(QStringLiteral("Bearbeiten"), &w);
    editBar->setObjectName(QStringLiteral("EditToolBar"));
    editBar->addActions({undoButton, redoButton});
    editBar->addSeparator();
    editBar->addAction(deleteButton);
    for (QAction *a : editToolButtons) editBar->addAction(a);
    w.addToolBar(Qt::TopToolBarArea, editBar);
    drawBar = new QToolBar(QStringLiteral("Zeichnen"), &w);
    drawBar->setObjectName(QStringLiteral("DrawToolBar"));
    for (QAction *a : toolButtons) drawBar->addAction(a);
    w.addToolBar(Qt::LeftToolBarArea, drawBar);

    coordinateBar = new QToolBar(QStringLiteral("Koordinaten"), &w);
    coordinateBar->setObjectName(QStringLiteral("CoordinateToolBar"));
    Xed = new NumberFieldEdit(kAnyNumberRange, -1, 0);
    Xed->setObjectName(QStringLiteral("Xed"));
    YEd = new NumberFieldEdit(kAnyNumberRange, -1, 0);
    YEd->setObjectName(QStringLiteral("YEd"));
    for (NumberFieldEdit *e : {Xed, YEd}) e->setMaximumWidth(130);
    BenutzenBtn = new QPushButton(iconFor(Artwork::TypedClick),
                                  QStringLiteral("Klick an diese Stelle (Anstatt Mausklick)"));
    BenutzenBtn->setObjectName(QStringLiteral("BenutzenBtn"));
    BenutzenBtn->setFocusPolicy(Qt::TabFocus);
    coordinateBar->addWidget(new QLabel(QStringLiteral(" X: ")));
    coordinateBar->addWidget(Xed);
    coordinateBar->addWidget(new QLabel(QStringLiteral("  Y: ")));
    coordinateBar->addWidget(YEd);
    coordinateBar->addWidget(new QLabel(QStringLiteral("  ")));
    coordinateBar->addWidget(BenutzenBtn);
    w.addToolBar(Qt::BottomToolBarArea, coordinateBar);

    for (QToolBar *t : {editBar, drawBar, coordinateBar}) {
        t->setIconSize(QSize(24, 24));
        t->setMovable(false);
    }
}

void EditActions::showUndoState(bool canUndo, bool canRedo) {
    if (undoButton) undoButton->setEnabled(canUndo);
    if (undoItem) undoItem->setEnabled(canUndo);
    if (redoButton) redoButton->setEnabled(canRedo);
    if (redoItem) redoItem->setEnabled(canRedo);
}

QAction *EditActions::button(ToolButton b) const {
    for (const auto &[shown, a] : buttons_)
        if (shown == b) return a;
    return nullptr;
}

PolylineMenuItem EditActions::itemOf(const QAction *chosen) const {
    if (!chosen) return PolylineMenuItem::None;
    if (chosen == finishItem) return PolylineMenuItem::Finish;
    if (chosen == closeItem) return PolylineMenuItem::Close;
    if (chosen == arcItem) return PolylineMenuItem::ArcSegments;
    if (chosen == lineItem) return PolylineMenuItem::LineSegments;
    return PolylineMenuItem::None;
}

} // namespace quentar::editor::ui
