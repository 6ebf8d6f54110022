// Recording and taking back changes of the DXF lines.
#include "document/line_edits.h"

#include <algorithm>

namespace quentar::document {

const LineEdit &applyEdit(LineStore &lines, EditBatch &batch, int32_t at, int32_t removeCount,
                          std::vector<std::string> inserted) {
    const auto size = static_cast<int32_t>(lines.size());
    at = std::clamp(at, 0, size);
    removeCount = std::clamp(removeCount, 0, size - at);
    LineEdit &e = batch.edits.emplace_back();
    e.at = at;
    e.removed.reserve(static_cast<std::size_t>(removeCount));
    for (int32_t i = 0; i < removeCount; ++i)
        e.removed.emplace_back(lines[static_cast<std::size_t>(at + i)]);
    lines.erase(static_cast<std::size_t>(at), static_cast<std::size_t>(removeCount));
    lines.insert(static_cast<std::size_t>(at), inserted);
    e.inserted = std::move(inserted);
    return e;
}

void deleteRanges(LineStore &lines, EditBatch &batch,
                  const std::vector<std::pair<int32_t, int32_t>> &ranges) {
    const std::size_t first = batch.edits.size();
    auto size = static_cast<int64_t>(lines.size());
    int64_t below = size; // each range must lie below the one before
    for (const auto &[from, count] : ranges) {
        const int64_t at = std::clamp<int64_t>(from, 0, below);
        const int64_t n = std::clamp<int64_t>(count, 0, below - at);
        LineEdit &e = batch.edits.emplace_back();
        e.at = static_cast<int32_t>(at);
        e.removed.reserve(static_cast<std::size_t>(n));
        for (int64_t i = 0; i < n; ++i)
            e.removed.emplace_back(lines[static_cast<std::size_t>(at + i)]);
        below = at;
    }
    std::vector<LineStore::Splice> splices;
    for (std::size_t i = batch.edits.size(); i-- > first;) {
        const LineEdit &e = batch.edits[i];
        splices.push_back({static_cast<std::size_t>(e.at), e.removed.size(), nullptr});
    }
    lines.splice(splices);
}

std::optional<std::vector<BatchChange>> simultaneousChanges(const EditBatch &batch, bool undone) {
    const auto &edits = batch.edits;
    for (std::size_t i = 1; i < edits.size(); ++i)
        if (static_cast<int64_t>(edits[i].at) + static_cast<int64_t>(edits[i].removed.size()) >
            edits[i - 1].at)
            return std::nullopt;
    // Each change lies below the ones before it, so none of them moved the lines of another:
    // every position is one of the store before the batch. After it, a change's lines have moved
    // by what the changes below it (the later ones) inserted less what they removed.
    std::vector<BatchChange> out;
    out.reserve(edits.size());
    int64_t shift = 0;
    for (std::size_t i = edits.size(); i-- > 0;) {
        const LineEdit &e = edits[i];
        const auto removed = static_cast<int64_t>(e.removed.size());
        const auto inserted = static_cast<int64_t>(e.inserted.size());
        if (undone)
            out.push_back({e.at + shift, inserted, removed, &e.removed});
        else
            out.push_back({e.at, removed, inserted, &e.inserted});
        shift += inserted - removed;
    }
    return out;
}

void undoBatch(LineStore &lines, const EditBatch &batch) {
    if (batch.edits.size() > 1) {
        if (const auto changes = simultaneousChanges(batch, true)) {
            std::vector<LineStore::Splice> splices;
            splices.reserve(changes->size());
            for (const BatchChange &c : *changes)
                splices.push_back(
                    {static_cast<std::size_t>(c.at), static_cast<std::size_t>(c.removed), c.text});
            lines.splice(splices);
            return;
        }
    }
    for (auto it = batch.edits.rbegin(); it != batch.edits.rend(); ++it) {
        lines.erase(static_cast<std::size_t>(it->at), it->inserted.size());
        lines.insert(static_cast<std::size_t>(it->at), it->removed);
    }
}

void redoBatch(LineStore &lines, const EditBatch &batch) {
    if (batch.edits.size() > 1) {
        if (const auto changes = simultaneousChanges(batch, false)) {
            std::vector<LineStore::Splice> splices;
            splices.reserve(changes->size());
            for (const BatchChange &c : *changes)
                splices.push_back(
                    {static_cast<std::size_t>(c.at), static_cast<std::size_t>(c.removed), c.text});
            lines.splice(splices);
            return;
        }
    }
    for (const LineEdit &e : batch.edits) {
        lines.erase(static_cast<std::size_t>(e.at), e.removed.size());
        lines.insert(static_cast<std::size_t>(e.at), e.inserted);
    }
}

} // namespace quentar::document
