// The undo and redo steps of the open drawing: one batch of line edits per user action.
#pragma once

#include "document/line_edits.h"
#include "document/line_store.h"

#include <cstddef>
#include <vector>

namespace quentar::editor {

// Each step knows the lines it removed and inserted, so taking it back restores the lines byte
// for byte, and applying it again redoes it exactly. Steps hold copies of their texts: nothing in
// them depends on where the line store keeps its bytes.
class UndoHistory {
public:
  // Appends a step that was just applied (also one that changed nothing: it is taken back like
  // any other). A new edit drops what could be redone.
  void push(document::EditBatch step) {
      undos_.push_back(std::move(step));
      redos_.clear();
  }
    bool empty() const { return undos_.empty(); }
    std::size_t size() const { return undos_.size(); }
    const document::EditBatch &last() const { return undos_.back(); }
    // Step k, oldest first.
    const document::EditBatch &at(std::size_t k) const { return undos_[k]; }
    bool canRedo() const { return !redos_.empty(); }
    std::size_t redoCount() const { return redos_.size(); }

    // Takes the newest step back on `lines` and returns it (valid until the history changes; it
    // may be redone); null when there is none.
    const document::EditBatch *takeBack(document::LineStore &lines);
    // Applies the step taken back last again and returns it; null when there is none.
    const document::EditBatch *redo(document::LineStore &lines);

    // FreeUndos: discards every step (a new or another document).
    void FreeUndos() {
        undos_.clear();
        redos_.clear();
    }

private:
    std::vector<document::EditBatch> undos_;
    std::vector<document::EditBatch> redos_; // the step taken back last at the end
};

} // namespace quentar::editor
