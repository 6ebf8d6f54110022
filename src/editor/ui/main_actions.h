// The drawing window's menu items and tool buttons for files, view and printing.
#pragma once

#include <QAction>
#include <QActionGroup>
#include <QMainWindow>
#include <QMenu>
#include <QToolBar>

namespace quentar::editor::ui {

// Actions shared by menu and tool bar; the window connects them to its handlers.
struct MainActions {
    QAction *newDrawing = nullptr;    // "Neue DXF Datei "
    QAction *newDrawingR12 = nullptr; // "Neue DXF Datei (R12 ohne Spline/ohne Ellipse usw.)"
    QAction *open = nullptr;          // "Öffnen..."
    QAction *save = nullptr;          // "Speichern"
    QAction *saveAs = nullptr;        // "Speichern unter..."
    QAction *quit = nullptr;          // "Beenden"
    QAction *print = nullptr;         // "Drucken..."
    QAction *pageSetup = nullptr;     // "Seite einrichten..."
    QAction *printerSetup = nullptr;  // "Drucker einrichten..."
    QAction *printPreview = nullptr;  // "Druckvorschau" (check item)
    QAction *printPreviewToggle = nullptr; // "Druckvorschau  an/aus": toggles "Druckvorschau"
    QAction *showAll = nullptr;       // "Alles zeigen" / tool button "Zeige alles"
    QAction *zoomIn = nullptr;        // "Vergrößern"
    QAction *zoomOut = nullptr;       // "Verkleinern"
    QAction *zoomTool = nullptr;      // "Vergrößern/Verkleinern" (check item)
    QAction *handTool = nullptr;      // "Verschieben" (check item)
    QAction *lineWeights = nullptr;   // "Linienbreite zeigen" (check item, checked at start)
    QAction *german = nullptr;        // "Deutsch" (radio item of "Sprache", checked at start)
    QAction *english = nullptr;       // "English" (radio item of "Sprache")

    QMenu *viewMenu = nullptr; // "Ansicht"
    QToolBar *fileBar = nullptr;
    QToolBar *viewBar = nullptr;

    // Creates the actions as children of `window` and puts them into its menu bar and tool bars.
    void build(QMainWindow &window);
};

} // namespace quentar::editor::ui
