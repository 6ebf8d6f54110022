// Which entity a record is, across the reads of a drawing's lines.
#pragma once

#include "document/drawing.h"
#include "document/line_edits.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

namespace quentar::document {

// An entity's identity: its handle where the drawing gives it one that no other entity has, else
// the lines it spans. A handle names the same entity in every read; lines do so only as long as
// nothing before them is inserted or removed, so a line key is carried through the edits made
// between two reads (followEdits, followUndo).
struct EntityKey {
    int32_t handle = 0; // 0: the entity is keyed by its lines
    int32_t linefrom = 0, linebis = 0;
    bool operator==(const EntityKey &) const = default;
};

// The keys of one read's entities. Refers to the drawing: valid until its next read.
class EntityKeys {
public:
    explicit EntityKeys(const Drawing &d);

    EntityKey keyOf(std::size_t index) const;
    // The record of the key in this read; nullopt when no record (or more than one) has it.
    std::optional<std::size_t> find(const EntityKey &key) const;

private:
    static constexpr int32_t kShared = -1; // several records carry the handle
    const Drawing &d_;
    std::unordered_map<int32_t, int32_t> byHandle_; // handle -> record, or kShared
};

// Where the lines of a line key are after `batch` was applied: shifted by what was inserted or
// removed before them, grown or shrunk by what changed inside them past the entity's type line.
// Nullopt when an edit took the entity's first lines or removed it. Handle keys pass unchanged.
std::optional<EntityKey> followEdits(EntityKey key, const EditBatch &batch);
// The same for taking `batch` back (undoBatch).
std::optional<EntityKey> followUndo(EntityKey key, const EditBatch &batch);
// The same for many keys at once: in one sweep for a batch whose changes each lie below the one
// before (what editing many entities from the last to the first makes).
std::vector<std::optional<EntityKey>> followKeys(const std::vector<EntityKey> &keys,
                                                 const EditBatch &batch, bool undone);

} // namespace quentar::document
