// Changes of the DXF lines as batches that know their inverse: every edit of the document goes
// through here, so an undo step takes back exactly what its action did.
#pragma once

#include "document/line_store.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quentar::document {

// One elementary change: the lines `removed` at index `at` were replaced by `inserted`. An
// insertion removes nothing, a deletion inserts nothing, a replacement of one line does both.
// Line indices are those of the moment the change was made.
struct LineEdit {
    int32_t at = 0;
    std::vector<std::string> removed;
    std::vector<std::string> inserted;
};

// The changes of one user action in the order they were made (an undo step). The texts are
// copies, so nothing in it depends on where the store keeps its bytes.
struct EditBatch {
    std::vector<LineEdit> edits;
    bool empty() const { return edits.empty(); }
};

// Replaces `removeCount` lines at `at` by `inserted` and records the change in `batch`.
// `at` and `removeCount` are clamped to the store; returns the change as recorded.
const LineEdit &applyEdit(LineStore &lines, EditBatch &batch, int32_t at, int32_t removeCount,
                          std::vector<std::string> inserted);
// The common cases.
inline const LineEdit &insertLines(LineStore &lines, EditBatch &batch, int32_t at,
                                   std::vector<std::string> inserted) {
    return applyEdit(lines, batch, at, 0, std::move(inserted));
}
inline const LineEdit &deleteLines(LineStore &lines, EditBatch &batch, int32_t at, int32_t count) {
    return applyEdit(lines, batch, at, count, {});
}
inline const LineEdit &replaceLine(LineStore &lines, EditBatch &batch, int32_t at,
                                   std::string text) {
    return applyEdit(lines, batch, at, 1, {std::move(text)});
}

// Takes the batch back, last change first: the lines are as before its first change, byte for
// byte.
void undoBatch(LineStore &lines, const EditBatch &batch);

} // namespace quentar::document
