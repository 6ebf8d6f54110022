// The drawing window's menus "Bearbeiten" and "Zeichnen" with the edit and drawing tool bars.
#pragma once

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QToolBar>

#include <vector>

namespace quentar::editor::ui {

// Actions of the editing commands and tools; the window connects them to the editor.
struct EditActions {
    QMenu *editMenu = nullptr;       // "Bearbeiten"
    QAction *undoItem = nullptr;     // "Rückgängig" (Ctrl+Z), Rckgngig1
    QAction *undoButton = nullptr;   // UndoBtn, hint "Rückgängig"
    QAction *deleteItem = nullptr;   // "Löschen" (Del), Lschen1: deletes the selection
    QAction *deleteButton = nullptr; // DelBtn, hint "Löschen": deletes or waits for a selection
    QAction *selectAll = nullptr;    // "Alles Auswählen" (Ctrl+A), AllesAuswhlen1
    QAction *selectNone = nullptr;   // "Nichts auswählen", Nichtsauswhlen1

    // The drawing tools: the buttons of the left tool bar (one pressed at a time) and the items
    // of "Zeichnen". Their pointer handling comes with the drawing tools; until then they are
    // shown, with their hints, but disabled.
    QMenu *drawMenu = nullptr;
    std::vector<QAction *> toolButtons;
    std::vector<QAction *> toolItems;

    QToolBar *editBar = nullptr;
    QToolBar *drawBar = nullptr;

    // Creates the actions as children of `window`, puts the menus before `before` (a menu of
    // the menu bar, or null for the end) and adds the tool bars.
    void build(QMainWindow &window, QAction *before);
    // The undo button and menu item follow whether there is a step to take back.
    void showUndoState(bool canUndo);
};

} // namespace quentar::editor::ui
