// Loading a DXF file into the line list and writing the lines back.
#pragma once

#include "document/drawing.h"

#include <string>

namespace quentar::document {

// Replaces the lines of `d` by the file's lines. A UTF-16 byte-order mark selects that encoding
// (the lines are then held as UTF-8 and written back as UTF-16); otherwise the bytes are kept as
// read. On failure the previous lines stay and false is returned.
bool loadDxfLines(const std::string &path, Drawing &d);

// The file's bytes for `d`: every line followed by CR LF, in the encoding the lines were read with.
std::string dxfFileBytes(const Drawing &d);

// Writes the lines through a temporary file and a rename, so a failed save never damages the
// file already on disk. False when the file could not be written.
bool saveDxfLines(const std::string &path, const Drawing &d);

} // namespace quentar::document
