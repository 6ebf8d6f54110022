// Menus "Bearbeiten" and "Zeichnen", the edit tool bar and the drawing tool bar.
#include "editor/ui/edit_actions.h"

#include "editor/ui/artwork.h"

#include <QActionGroup>
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

// A tool button of the left tool bar with its hint.
QAction *toolButton(QMainWindow &w, const QString &hint, const char *name, Artwork icon) {
    auto *a = new QAction(iconFor(icon), hint, &w);
    a->setObjectName(QString::fromLatin1(name));
    a->setToolTip(hint);
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
    deleteItem = action(w, QStringLiteral("Löschen"), "Lschen1", QKeySequence(Qt::Key_Delete));
    deleteItem->setIcon(iconFor(Artwork::Delete));
    deleteButton = action(w, QStringLiteral("Löschen"), "DelBtn");
    deleteButton->setIcon(iconFor(Artwork::Delete));
    deleteButton->setToolTip(QStringLiteral("Löschen"));
    selectAll = action(w, QStringLiteral("Alles Auswählen"), "AllesAuswhlen1",
                       QKeySequence(Qt::CTRL | Qt::Key_A));
    selectNone = action(w, QStringLiteral("Nichts auswählen"), "Nichtsauswhlen1");
    showUndoState(false);

    editMenu = new QMenu(QStringLiteral("&Bearbeiten"), &w);
    editMenu->setObjectName(QStringLiteral("Bearbeiten1"));
    editMenu->addAction(undoItem);
    editMenu->addSeparator();
    editMenu->addAction(deleteItem);
    editMenu->addSeparator();
    editMenu->addActions({selectAll, selectNone});

    // The drawing tools, as the left tool bar shows them.
    const auto button = [&](const char *hint, const char *name, Artwork icon) {
        QAction *a = toolButton(w, QString::fromUtf8(hint), name, icon);
        toolButtons.push_back(a);
        return a;
    };
    button("Linie", "LineBtn", Artwork::Line);
    button("Polyline", "PolyLineBtn", Artwork::Polyline);
    button("Freihand", "PenBtn", Artwork::Freehand);
    button("Spline", "SplineBtn", Artwork::Spline);
    button("Rechteck", "RectangleBtn", Artwork::Rectangle);
    button("Vieleck", "PolyGon", Artwork::Polygon);
    button("Kreis", "CircleBtn", Artwork::Circle);
    button("Kreisbogen", "ArcBtn", Artwork::Arc);
    button("Ellipse", "EllipseBtn", Artwork::Ellipse);
    button("Text", "TextBtn", Artwork::Text);
    button("Abmessung", "DimensionBtn", Artwork::Dimension);
    button("Punkt", "PointBtn", Artwork::Point);
    button("Fläche", "SolidBtn", Artwork::Solid);
    button("Pfeil", "ArrowBtn", Artwork::Arrow);
    // Pressing one releases the others.
    auto *group = new QActionGroup(&w);
    group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (QAction *a : toolButtons) group->addAction(a);

    drawMenu = new QMenu(QStringLiteral("&Zeichnen"), &w);
    drawMenu->setObjectName(QStringLiteral("Zeichnen1"));
    const auto item = [&](QMenu *menu, const char *text, const char *name) {
        QAction *a = action(w, QString::fromUtf8(text), name);
        menu->addAction(a);
        toolItems.push_back(a);
        return a;
    };
    item(drawMenu, "Linie", "Linie1");
    item(drawMenu, "Konstruktionslinie", "Konstruktionslinie1");
    item(drawMenu, "Strahl", "Strahl1");
    item(drawMenu, "Polylinie", "Polylinie1");
    item(drawMenu, "Freihand", "Freihand1");
    item(drawMenu, "Vieleck", "Vieleck1");
    item(drawMenu, "Rechteck", "Rechteck1");
    QMenu *arc = drawMenu->addMenu(iconFor(Artwork::Arc), QStringLiteral("Kreisbogen"));
    item(arc, "3 Punkte (Start, Mitte, Ende)", "N3PunkteStartMitteEnde1");
    item(arc, "3 Punkte (Start, Ende, Mitte)", "N3PunkteStartEndeMitte1");
    item(arc, "Mittelpunkt, Start, Ende", "MittelpunktStartEnde1");
    QMenu *circle = drawMenu->addMenu(iconFor(Artwork::Circle), QStringLiteral("Kreis"));
    item(circle, "Mittelpunkt, Radius", "MittelpunktRadius1");
    item(circle, "Mittelpunkt, Durchmesser", "MittelpunktDurchmesser1");
    item(circle, "2 Punkte", "N2Punkte1");
    item(circle, "3 Punkte", "N3Punkte1");
    QMenu *ellipse = drawMenu->addMenu(iconFor(Artwork::Ellipse), QStringLiteral("Ellipse"));
    item(ellipse, "Achsen", "Achsen1");
    item(ellipse, "Ellipsenbogen Achsen", "EllipsenbogenAchsen1");
    item(ellipse, "Mittelpunkt", "Mittelpunkt1");
    item(ellipse, "Ellipsenbogen Mittelpunkt", "EllipsenbogenMittelpunkt1");
    item(drawMenu, "Text", "Text1");
    item(drawMenu, "Punkt", "Punkt1");
    item(drawMenu, "Fläche", "Flche1");
    item(drawMenu, "Pfeil", "Pfeil1");
    for (QAction *a : toolButtons) a->setEnabled(false);
    for (QAction *a : toolItems) a->setEnabled(false);

    QMenuBar *bar = w.menuBar();
    bar->insertMenu(before, editMenu);
    bar->insertMenu(before, drawMenu);

    editBar = new QToolBar(QStringLiteral("Bearbeiten"), &w);
    editBar->setObjectName(QStringLiteral("EditToolBar"));
    editBar->addActions({undoButton, deleteButton});
    w.addToolBar(Qt::TopToolBarArea, editBar);
    drawBar = new QToolBar(QStringLiteral("Zeichnen"), &w);
    drawBar->setObjectName(QStringLiteral("DrawToolBar"));
    for (QAction *a : toolButtons) drawBar->addAction(a);
    w.addToolBar(Qt::LeftToolBarArea, drawBar);
    for (QToolBar *t : {editBar, drawBar}) {
        t->setIconSize(QSize(24, 24));
        t->setMovable(false);
    }
}

void EditActions::showUndoState(bool canUndo) {
    if (undoButton) undoButton->setEnabled(canUndo);
    if (undoItem) undoItem->setEnabled(canUndo);
}

} // namespace quentar::editor::ui
