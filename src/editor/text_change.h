// Editing the text of a TEXT, MTEXT or dimension: which one a double click means, its text as the
// dialog shows it, and the planned change of its lines (ChangeText).
#pragma once

#include "document/drawing.h"
#include "document/line_edits.h"

#include <cstddef>
#include <optional>
#include <string>

namespace quentar::editor {

class DrawingEditor;

// The entity a double click at pixel (x, y) edits: the first selected entity of the shown tab
// with a text whose first vertex has a line of its own and lies within 5 pixels of (x, y).
std::optional<std::size_t> textAt(DrawingEditor &editor, int x, int y);

// The text of entity `index` as the dialog shows it: the MTEXT paragraph codes "\P" as line
// breaks (LF). False when the entity has no text to edit.
bool textOf(const document::Drawing &d, std::size_t index, std::string &text);

// ChangeText: the new text (lines separated by CR LF, LF or CR) into the entity's lines, as one
// step: an MTEXT's pieces (groups 3, then 1) are written anew, as many as the text needs; a TEXT
// takes the first line only; a dimension's text override keeps its lines as paragraph codes.
// Nothing when the text stays as it was or the entity has no group 1.
std::optional<document::EditBatch> ChangeText(const document::Drawing &d, std::size_t index,
                                              const std::string &text);

} // namespace quentar::editor
