// The drawing editor's core: the selection, snapping and picking on the shown tab, deleting, and
// the undo and redo steps of every edit. Qt-free: the drawing window calls it, tests drive it
// directly.
#pragma once

#include "document/entity_identity.h"
#include "document/layer_lookup.h"
#include "document/line_edits.h"
#include "editor/drawing_viewer.h"
#include "editor/entity_grid.h"
#include "editor/picking.h"
#include "editor/pointer_scene.h"
#include "editor/selection.h"
#include "editor/snapping.h"
#include "editor/undo_history.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quentar::editor {

// What the editor needs from its window besides the viewer's host.
class EditorHost {
public:
    virtual ~EditorHost() = default;
    // UndoBtn ("Rückgängig") and the redo items follow whether there is a step to take back or
    // to apply again.
    virtual void showUndoState(bool canUndo, bool canRedo) = 0;
};

// Works on the drawing, reader and view of a DrawingViewer. Every edit changes only the lines:
// it is planned as steps (document::EditBatch) without touching them, then committed: applied,
// kept as undo steps, the document marked changed and read again once.
//
// The selection is kept across an edit for the entities the edit keeps (found again by handle,
// or by their lines carried through the edit): what a CAD user expects after creating something
// or undoing, and invisible to the file. Opening or starting a drawing empties it.
class DrawingEditor {
public:
    DrawingEditor(DrawingViewer &viewer, EditorHost &host);
    DrawingEditor(const DrawingEditor &) = delete;
    DrawingEditor &operator=(const DrawingEditor &) = delete;

    DrawingViewer &viewer() { return viewer_; }

    // --- Selection (record indices of the current read) ---
    const Selection &selection();
    bool isSelected(std::size_t index);
    // Selects or deselects one entity (by operations that choose entities themselves); repaints.
    void select(std::size_t index, bool on = true);
    // On a locked layer: shown and snapped to, never selected.
    bool locked(std::size_t index);

    // SnapPoints for the pointer at (x, y) with the reference point (xx, yy), on the shown tab.
    SnapResult SnapPoints(int xx, int yy, int x, int y, bool ctrl);
    // A left click without a tool at (x, y); repaints when it hit something.
    PickResult pick(int x, int y, bool shift);
    // MassSelect between two corners in pixels; repaints when it caught something.
    bool MassSelect(int screenx1, int screeny1, int screenx2, int screeny2, bool shift);
    // IsSelected: something is selected on the shown tab.
    bool IsSelected();
    // Every entity of the shown tab not on a locked layer; nothing. Both repaint.
    void selectAll();
    void selectNone();
    // The selected entities of the shown tab, ascending.
    std::vector<std::size_t> selectedOnTab();

    // --- Edits, undo and redo ---
    // Loeschen: deletes the selected entities of the shown tab (an R12 POLYLINE with its VERTEX
    // and SEQEND lines) as one step; false, and no step, when none was selected.
    bool deleteSelection();
    // Takes the newest step back; applies the step taken back last again. Each reads the
    // document again, repaints and marks it changed; nothing without a step.
    void undo();
    void redo();
    bool canUndo() const { return !undos_.empty(); }
    bool canRedo() const { return undos_.canRedo(); }
    const UndoHistory &undos() const { return undos_; }
    // FreeUndos: every step is discarded.
    void FreeUndos();

    // Commits planned steps (each recording the lines as they stand after the ones before it):
    // applies them, keeps each as an undo step, drops what could be redone, reads the document
    // again once, repaints and marks it changed. Nothing happens for no steps.
    void commit(std::vector<document::EditBatch> steps);
    void commit(document::EditBatch step);
    // The number of the current read: plans made from another read no longer fit the lines.
    uint64_t readCount() const { return viewer_.readCount(); }

    // The pointer tests' view of the shown tab in the current read.
    PointerScene scene();

private:
    struct Carried {
        document::EntityKey key;
        bool mass = false;
    };
    // The caches of one read: brought up to date when the viewer read the lines without us.
    void ensureCurrent();
    void documentReplaced();
    std::vector<Carried> carrySelection();
    void restoreSelection(const std::vector<Carried> &carried,
                          const std::vector<const document::EditBatch *> &steps, bool undone);
    void readAfter(const std::vector<const document::EditBatch *> &steps, bool undone,
                   std::vector<Carried> carried);
    void showUndoState() { host_.showUndoState(canUndo(), canRedo()); }

    DrawingViewer &viewer_;
    EditorHost &host_;
    Selection selection_;
    UndoHistory undos_;
    document::LayerLookup layers_;
    EntityGrid grid_;
    render::TabView tab_;            // the shown tab's rule, as the last scene took it
    uint64_t read_ = UINT64_MAX;     // the viewer's read the caches belong to
    uint64_t gridRead_ = UINT64_MAX; // the read the grid was built for
};

} // namespace quentar::editor
