// The entities the user has selected, by record index of the current read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quentar::editor {

// The selection lives here, not in the drawing's records: the records are rebuilt by every read,
// and the editor carries the selection over a read by the entities' keys.
class Selection {
public:
    // A new read with `entities` records: nothing selected.
    void reset(std::size_t entities);
    std::size_t size() const { return marks_.size(); }

    bool selected(std::size_t i) const { return i < marks_.size() && (marks_[i] & kSelected); }
    // Caught by a box selection (and not picked by a click since).
    bool massSelected(std::size_t i) const { return i < marks_.size() && (marks_[i] & kMass); }

    void setSelected(std::size_t i, bool on);
    void setMassSelected(std::size_t i, bool on);
    // Nothing selected (the box marks stay: they say how an entity was last selected).
    void deselectAll();

    // Number of selected entities, and their indices in ascending order.
    std::size_t count() const { return count_; }
    bool any() const { return count_ > 0; }
    std::vector<std::size_t> indices() const;

private:
    static constexpr uint8_t kSelected = 1, kMass = 2;
    std::vector<uint8_t> marks_;
    std::size_t count_ = 0;
};

} // namespace quentar::editor
