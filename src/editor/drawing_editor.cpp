// Selection, deleting and undo on the viewer's drawing.
#include "editor/drawing_editor.h"

#include <algorithm>
#include <limits>

namespace quentar::editor {

DrawingEditor::DrawingEditor(DrawingViewer &viewer, EditorHost &host)
    : viewer_(viewer), host_(host) {
    viewer_.setDocumentReplacedHook([this] { documentReplaced(); });
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
    host_.showUndoState(false);
}

PointerScene DrawingEditor::scene() {
    ensureCurrent();
    const document::Drawing &d = viewer_.drawing();
    if (gridRead_ != read_) {
        grid_.build(d);
        gridRead_ = read_;
    }
    filter_ = LayoutFilter::forTab(d, viewer_.tab());
    return {d, filter_, layers_, grid_, viewer_.transform()};
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

void DrawingEditor::AllesAuswhlen1Click() {
    selectAll(scene(), selection_);
    viewer_.repaint();
}

void DrawingEditor::Nichtsauswhlen1Click() {
    ensureCurrent();
    selection_.deselectAll();
    viewer_.repaint();
}

bool DrawingEditor::Loeschen() {
    ensureCurrent();
    document::Drawing &d = viewer_.drawing();
    const LayoutFilter filter = LayoutFilter::forTab(d, viewer_.tab());
    const std::vector<std::size_t> chosen = selection_.indices();
    // From the last entity to the first, so that the lines of those still to go keep their
    // numbers. Records whose lines overlap what is already gone (a damaged file) are left.
    std::vector<std::pair<int32_t, int32_t>> ranges;
    int32_t below = std::numeric_limits<int32_t>::max();
    const auto lines = static_cast<int64_t>(d.dxf.size());
    for (auto it = chosen.rbegin(); it != chosen.rend(); ++it) {
        const document::tpoly &e = d.polys[*it];
        if (!filter.belongs(e)) continue;
        if (e.linefrom < 0 || e.linebis < e.linefrom || e.linebis >= below || e.linebis >= lines)
            continue;
        ranges.emplace_back(e.linefrom, e.linebis - e.linefrom + 1);
        below = e.linefrom;
        selection_.setSelected(*it, false);
    }
    if (ranges.empty()) return false;
    document::EditBatch step;
    document::deleteRanges(d.dxf, step, ranges);
    commit(std::move(step));
    return true;
}

void DrawingEditor::commit(document::EditBatch step) {
    std::vector<Carried> carried = carrySelection();
    undos_.push(std::move(step));
    readAfter(undos_.last(), false, std::move(carried));
    host_.showUndoState(true);
}

void DrawingEditor::Rckgngig1Click() {
    ensureCurrent();
    if (undos_.empty()) return;
    std::vector<Carried> carried = carrySelection();
    const std::optional<document::EditBatch> step = undos_.takeBack(viewer_.drawing().dxf);
    readAfter(*step, true, std::move(carried));
    host_.showUndoState(!undos_.empty());
}

void DrawingEditor::FreeUndos() {
    undos_.FreeUndos();
    host_.showUndoState(false);
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
                                     const document::EditBatch &step, bool undone) {
    if (carried.empty()) return;
    std::vector<document::EntityKey> before;
    before.reserve(carried.size());
    for (const Carried &c : carried) before.push_back(c.key);
    const std::vector<std::optional<document::EntityKey>> now =
        document::followKeys(before, step, undone);
    const document::EntityKeys keys(viewer_.drawing());
    for (std::size_t k = 0; k < carried.size(); ++k) {
        if (!now[k]) continue;
        if (const std::optional<std::size_t> i = keys.find(*now[k])) {
            selection_.setSelected(*i, true);
            selection_.setMassSelected(*i, carried[k].mass);
        }
    }
}

void DrawingEditor::readAfter(const document::EditBatch &step, bool undone,
                              std::vector<Carried> carried) {
    viewer_.documentEdited();
    read_ = viewer_.readCount();
    grid_.releaseUnused();
    selection_.reset(viewer_.drawing().polys.size());
    layers_ = document::LayerLookup(viewer_.drawing());
    restoreSelection(carried, step, undone);
    viewer_.session().SetChanged();
}

} // namespace quentar::editor
