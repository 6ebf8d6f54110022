// Selection, deleting and undo on the viewer's drawing.
#include "editor/drawing_editor.h"

#include <algorithm>
#include <limits>

namespace quentar::editor {

DrawingEditor::DrawingEditor(DrawingViewer &viewer, EditorHost &host)
    : viewer_(viewer), host_(host) {
    viewer_.addDocumentReplacedListener([this] { documentReplaced(); });
    viewer_.setSelectedLookup(
        [this](std::size_t i) { return read_ == viewer_.readCount() && selection_.selected(i); });
    ensureCurrent();
}

void DrawingEditor::ensureCurrent() {
    if (read_ == viewer_.readCount() && selection_.size() == viewer_.drawing().polys.size()) return;
    // A read we did not carry the selection through: nothing is known to be selected.
    read_ = viewer_.readCount();
    grid_.releaseUnused();
    selection_.reset(viewer_.drawing().polys.size());
    layers_ = document::LayerLookup(viewer_.drawing());
}

void DrawingEditor::documentReplaced() {
    undos_.FreeUndos();
    grid_.clear();
    gridRead_ = std::numeric_limits<uint64_t>::max();
    read_ = viewer_.readCount();
    selection_.reset(viewer_.drawing().polys.size());
    layers_ = document::LayerLookup(viewer_.drawing());
    showUndoState();
}

PointerScene DrawingEditor::scene() {
    ensureCurrent();
    const document::Drawing &d = viewer_.drawing();
    if (gridRead_ != read_) {
        grid_.build(d);
        gridRead_ = read_;
    }
    tab_ = render::tabView(d, viewer_.tab());
    return {d, tab_, layers_, grid_, viewer_.transform()};
}

const Selection &DrawingEditor::selection() {
    ensureCurrent();
    return selection_;
}

bool DrawingEditor::isSelected(std::size_t index) {
    ensureCurrent();
    return selection_.selected(index);
}

void DrawingEditor::select(std::size_t index, bool on) {
    ensureCurrent();
    selection_.setSelected(index, on);
    viewer_.repaint();
}

bool DrawingEditor::locked(std::size_t index) {
    ensureCurrent();
    const document::Drawing &d = viewer_.drawing();
    return index < d.polys.size() && layers_.locked(d.polys[index]);
}

SnapResult DrawingEditor::SnapPoints(int xx, int yy, int x, int y, bool ctrl) {
    return editor::SnapPoints(scene(), xx, yy, x, y, ctrl);
}

PickResult DrawingEditor::pick(int x, int y, bool shift) {
    const PickResult r = editor::pick(scene(), selection_, x, y, shift);
    if (r.outcome != PickOutcome::Nothing) viewer_.repaint();
    return r;
}

bool DrawingEditor::MassSelect(int screenx1, int screeny1, int screenx2, int screeny2, bool shift) {
    const bool caught =
        editor::MassSelect(scene(), selection_, screenx1, screeny1, screenx2, screeny2, shift);
    if (caught) viewer_.repaint();
    return caught;
}

bool DrawingEditor::IsSelected() { return editor::IsSelected(scene(), selection_); }

void DrawingEditor::selectAll() {
    editor::selectAll(scene(), selection_);
    viewer_.repaint();
}

void DrawingEditor::selectNone() {
    ensureCurrent();
    selection_.deselectAll();
    viewer_.repaint();
}

std::vector<std::size_t> DrawingEditor::selectedOnTab() {
    const PointerScene sc = scene();
    std::vector<std::size_t> out;
    for (std::size_t i : selection_.indices())
        if (i < sc.entityCount() && sc.shown(i)) out.push_back(i);
    return out;
}

bool DrawingEditor::deleteSelection() {
    ensureCurrent();
    const document::Drawing &d = viewer_.drawing();
    const std::vector<std::size_t> chosen = selectedOnTab();
    // From the last entity to the first, so that the lines of those still to go keep their
    // numbers. Records whose lines overlap what is already gone (a damaged file) are left.
    document::EditBatch step;
    int32_t below = std::numeric_limits<int32_t>::max();
    const auto lines = static_cast<int64_t>(d.dxf.size());
    for (auto it = chosen.rbegin(); it != chosen.rend(); ++it) {
        const document::tpoly &e = d.polys[*it];
        if (e.linefrom < 0 || e.linebis < e.linefrom || e.linebis >= below || e.linebis >= lines)
            continue;
        document::LineEdit &edit = step.edits.emplace_back();
        edit.at = e.linefrom;
        edit.removed.reserve(static_cast<std::size_t>(e.linebis - e.linefrom + 1));
        for (int32_t l = e.linefrom; l <= e.linebis; ++l)
            edit.removed.emplace_back(d.dxf[static_cast<std::size_t>(l)]);
        below = e.linefrom;
        selection_.setSelected(*it, false);
    }
    if (step.empty()) return false;
    commit(std::move(step));
    return true;
}

void DrawingEditor::commit(document::EditBatch step) {
    std::vector<document::EditBatch> steps;
    steps.push_back(std::move(step));
    commit(std::move(steps));
}

void DrawingEditor::commit(std::vector<document::EditBatch> steps) {
    if (steps.empty()) return;
    std::vector<Carried> carried = carrySelection();
    document::LineStore &lines = viewer_.drawing().dxf;
    for (document::EditBatch &step : steps) {
        document::redoBatch(lines, step);
        undos_.push(std::move(step));
    }
    std::vector<const document::EditBatch *> applied;
    for (std::size_t k = undos_.size() - steps.size(); k < undos_.size(); ++k)
        applied.push_back(&undos_.at(k));
    readAfter(applied, false, std::move(carried));
    showUndoState();
}

void DrawingEditor::undo() {
    ensureCurrent();
    if (undos_.empty()) return;
    std::vector<Carried> carried = carrySelection();
    const document::EditBatch *step = undos_.takeBack(viewer_.drawing().dxf);
    readAfter({step}, true, std::move(carried));
    showUndoState();
}

void DrawingEditor::redo() {
    ensureCurrent();
    if (!undos_.canRedo()) return;
    std::vector<Carried> carried = carrySelection();
    const document::EditBatch *step = undos_.redo(viewer_.drawing().dxf);
    readAfter({step}, false, std::move(carried));
    showUndoState();
}

void DrawingEditor::FreeUndos() {
    undos_.FreeUndos();
    showUndoState();
}

std::vector<DrawingEditor::Carried> DrawingEditor::carrySelection() {
    ensureCurrent();
    std::vector<Carried> carried;
    if (!selection_.any()) return carried;
    // The keys come from the records, which still describe the lines as they were read.
    const document::EntityKeys keys(viewer_.drawing());
    for (std::size_t i : selection_.indices())
        carried.push_back({keys.keyOf(i), selection_.massSelected(i)});
    return carried;
}

void DrawingEditor::restoreSelection(const std::vector<Carried> &carried,
                                     const std::vector<const document::EditBatch *> &steps,
                                     bool undone) {
    if (carried.empty()) return;
    std::vector<std::optional<document::EntityKey>> now;
    now.reserve(carried.size());
    for (const Carried &c : carried) now.emplace_back(c.key);
    for (const document::EditBatch *step : steps) {
        // Keys lost on the way stay lost; the others follow the next step.
        std::vector<document::EntityKey> alive;
        std::vector<std::size_t> where;
        for (std::size_t k = 0; k < now.size(); ++k)
            if (now[k]) {
                alive.push_back(*now[k]);
                where.push_back(k);
            }
        const std::vector<std::optional<document::EntityKey>> moved =
            document::followKeys(alive, *step, undone);
        for (std::size_t j = 0; j < where.size(); ++j) now[where[j]] = moved[j];
    }
    const document::EntityKeys keys(viewer_.drawing());
    for (std::size_t k = 0; k < carried.size(); ++k) {
        if (!now[k]) continue;
        if (const std::optional<std::size_t> i = keys.find(*now[k])) {
            selection_.setSelected(*i, true);
            selection_.setMassSelected(*i, carried[k].mass);
        }
    }
}

void DrawingEditor::readAfter(const std::vector<const document::EditBatch *> &steps, bool undone,
                              std::vector<Carried> carried) {
    viewer_.documentEdited();
    read_ = viewer_.readCount();
    grid_.releaseUnused();
    selection_.reset(viewer_.drawing().polys.size());
    layers_ = document::LayerLookup(viewer_.drawing());
    restoreSelection(carried, steps, undone);
    viewer_.session().SetChanged();
}

} // namespace quentar::editor
