// The undo steps of the open drawing: one batch of line edits per user action, newest last.
#pragma once

#include "document/line_edits.h"
#include "document/line_store.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace quentar::editor {

// Each step knows the lines it removed and inserted, so taking it back restores the lines byte
// for byte. Steps hold copies of their texts: nothing in them depends on where the line store
// keeps its bytes. There is no redo.
class UndoHistory {
public:
    // Appends a step (also one that changed nothing: it is taken back like any other).
    void push(document::EditBatch step) { undos_.push_back(std::move(step)); }
    bool empty() const { return undos_.empty(); }
    std::size_t size() const { return undos_.size(); }
    const document::EditBatch &last() const { return undos_.back(); }

    // Takes the newest step back on `lines` and returns it; nullopt when there is none.
    std::optional<document::EditBatch> takeBack(document::LineStore &lines);

    // FreeUndos: discards every step (a new or another document).
    void FreeUndos() { undos_.clear(); }

private:
    std::vector<document::EditBatch> undos_;
};

} // namespace quentar::editor
