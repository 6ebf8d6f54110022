// Taking the newest step back.
#include "editor/undo_history.h"

namespace quentar::editor {

std::optional<document::EditBatch> UndoHistory::takeBack(document::LineStore &lines) {
    if (undos_.empty()) return std::nullopt;
    document::EditBatch step = std::move(undos_.back());
    undos_.pop_back();
    document::undoBatch(lines, step);
    return step;
}

} // namespace quentar::editor
