// Changes of the DXF lines as batches that know their inverse: every edit of the document goes
// through here, so an undo step takes back exactly what its action did.
#pragma once

#include "document/line_store.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
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

// Deletes several ranges of lines (first line, count), given from the highest to the lowest and
// not overlapping, recorded as that many deletions in that order, as deleteLines one after the
// other would; done in one pass over the lines.
void deleteRanges(LineStore &lines, EditBatch &batch,
                  const std::vector<std::pair<int32_t, int32_t>> &ranges);

// Takes the batch back, last change first: the lines are as before its first change, byte for
// byte. A batch whose changes each lie below the one before (as deleting many entities from the
// last to the first makes it) is taken back in one pass.
void undoBatch(LineStore &lines, const EditBatch &batch);

// Applies a batch again, first change first, on the lines as they were before it (or as undoBatch
// left them): redo, and the commit of a batch that was planned without touching the lines.
// A planned batch states in each change the lines it removes as they stand at that moment, so
// that undoBatch takes it back exactly.
void redoBatch(LineStore &lines, const EditBatch &batch);

// One change of a batch as a position in a single store state, for applying or following a
// whole batch at once: `removed` lines at `at` become `inserted` lines.
struct BatchChange {
    int64_t at = 0;
    int64_t removed = 0, inserted = 0;
    const std::vector<std::string> *text = nullptr; // the lines that come in
};
// The changes of a batch whose changes each lie below the one before, as simultaneous changes
// of the store before the batch (undone = false) or after it (undone = true, the changes taking
// it back), ascending. Nullopt for any other batch: it must be followed change by change.
std::optional<std::vector<BatchChange>> simultaneousChanges(const EditBatch &batch, bool undone);

} // namespace quentar::document
