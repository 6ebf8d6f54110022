// The drawing window's menus "Bearbeiten", "Zeichnen" and "Optionen", the edit and drawing tool
// bars, the polyline menu and the bar for typed positions: every text of the editing controls.
#pragma once

#include "editor/interaction.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QToolBar>

#include <utility>
#include <vector>

namespace quentar::editor::ui {

class NumberFieldEdit;

// Actions of the editing commands and tools; the window connects them to the interaction.
struct EditActions {
    QMenu *editMenu = nullptr;       // "Bearbeiten"
    QAction *undoItem = nullptr;     // "Rückgängig" (Ctrl+Z), Rckgngig1
    QAction *undoButton = nullptr;   // UndoBtn, hint "Rückgängig"
    QAction *redoItem = nullptr;     // "Wiederherstellen" (Ctrl+Y)
    QAction *redoButton = nullptr;   // hint "Wiederherstellen"
    QAction *deleteItem = nullptr;   // "Löschen" (Del), Lschen1: deletes the selection
    QAction *deleteButton = nullptr; // DelBtn, hint "Löschen": deletes or waits for a selection
    QAction *selectAll = nullptr;    // "Alles Auswählen" (Ctrl+A), AllesAuswhlen1
    QAction *selectNone = nullptr;   // "Nichts auswählen", Nichtsauswhlen1

    // The drawing tools: the buttons of the left tool bar (one pressed at a time, with the edit
    // tools) and the items of "Zeichnen", each with the tool it chooses.
    QMenu *drawMenu = nullptr;
    std::vector<QAction *> toolButtons;
    std::vector<QAction *> toolItems;
    std::vector<std::pair<QAction *, ToolChoice>> drawTools;
    // Copy, move, rotate, scale, mirror, array: buttons of the edit tool bar and items of
    // "Bearbeiten".
    std::vector<std::pair<QAction *, EditOperation>> editTools;
    std::vector<QAction *> editToolButtons;

    // "Optionen": the keyboard dialogs of the rotate and scale tools.
    QMenu *optionsMenu = nullptr;
    QAction *scaleByKeyboard = nullptr;    // "Skalierungsfaktor per Tastatur eingeben" (checked)
    QAction *rotationByKeyboard = nullptr; // "Rotationsrichtung per Tastatur eingeben"

    // PopupMenu1 of the polyline input.
    QMenu *polylineMenu = nullptr;
    QAction *finishItem = nullptr; // "Fertig"
    QAction *closeItem = nullptr;  // "Linienzug schließen"
    QAction *arcItem = nullptr;    // "Kreisbogen"
    QAction *lineItem = nullptr;   // "Linie"

    // A position typed instead of a click: Xed, YEd and BenutzenBtn.
    QToolBar *coordinateBar = nullptr;
    NumberFieldEdit *Xed = nullptr;
    NumberFieldEdit *YEd = nullptr;
    QPushButton *BenutzenBtn = nullptr;

    QToolBar *editBar = nullptr;
    QToolBar *drawBar = nullptr;

    // Creates the actions as children of `window`, puts the menus before `before` (a menu of
    // the menu bar, or null for the end) and adds the tool bars.
    void build(QMainWindow &window, QAction *before);
    // The undo and redo buttons and items follow whether there is a step to take back or redo.
    void showUndoState(bool canUndo, bool canRedo);
    // The tool button that stands for `b`, or null.
    QAction *button(ToolButton b) const;
    // The polyline menu's item for an action it returned.
    PolylineMenuItem itemOf(const QAction *chosen) const;

private:
    std::vector<std::pair<ToolButton, QAction *>> buttons_; // which button stands for which tool
};

} // namespace quentar::editor::ui
