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

void undoBatch(LineStore &lines, const EditBatch &batch) {
    for (auto it = batch.edits.rbegin(); it != batch.edits.rend(); ++it) {
        lines.erase(static_cast<std::size_t>(it->at), it->inserted.size());
        lines.insert(static_cast<std::size_t>(it->at), it->removed);
    }
}

} // namespace quentar::document
