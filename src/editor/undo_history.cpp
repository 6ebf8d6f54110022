// Taking the newest step back and applying it again.
#include "editor/undo_history.h"

namespace quentar::editor {

const document::EditBatch *UndoHistory::takeBack(document::LineStore &lines) {
    if (undos_.empty()) return nullptr;
    document::undoBatch(lines, undos_.back());
    redos_.push_back(std::move(undos_.back()));
    undos_.pop_back();
    return &redos_.back();
}

const document::EditBatch *UndoHistory::redo(document::LineStore &lines) {
    if (redos_.empty()) return nullptr;
    document::redoBatch(lines, redos_.back());
    undos_.push_back(std::move(redos_.back()));
    redos_.pop_back();
    return &undos_.back();
}

} // namespace quentar::editor
