// Loading a DXF file into the line list and writing the lines back.
#pragma once

#include "document/drawing.h"

#include <string>
#include <string_view>

namespace quentar::document {

// Why a file was not taken as a drawing.
enum class LoadFailure {
    None,
    Missing,    // no such file
    NotAFile,   // a folder or something else that is not a regular file
    Unreadable, // the system refused to read it (detail: its reason)
    TooLarge,   // beyond what the line store holds (2 GB)
    Empty,      // nothing but white space
    BinaryDxf,  // a binary DXF file: only the text form is read
    NotDxf,     // something else (detail: what it looks like, e.g. "a PNG image")
};
struct LoadResult {
    LoadFailure failure = LoadFailure::None;
    std::string detail;
    explicit operator bool() const { return failure == LoadFailure::None; }
};
// The reason in words for messages, e.g. "no such file", "not a DXF drawing but a PNG image";
// in German for the windows.
std::string loadFailureText(const LoadResult &r);
std::string loadFailureTextGerman(const LoadResult &r);

// Replaces the lines of `d` by the file's lines. A UTF-16 byte-order mark selects that encoding
// (the lines are then held as UTF-8 and written back as UTF-16); otherwise the bytes are kept as
// read. A file that is no text DXF drawing (no "0 / SECTION" in it) is not taken. On failure the
// previous lines stay.
LoadResult loadDxfFile(const std::string &path, Drawing &d);
// The same, as a yes or no.
inline bool loadDxfLines(const std::string &path, Drawing &d) {
    return static_cast<bool>(loadDxfFile(path, d));
}

// What a text or a file's first bytes are when they are no DXF text, or empty for a DXF text.
std::string notDxfReason(std::string_view bytes);
// What a file's first bytes show it to be when they are no text at all (an image, an archive,
// binary data), or empty.
std::string binaryReason(std::string_view bytes);

// The file's bytes for `d`: every line followed by CR LF, in the encoding the lines were read with.
std::string dxfFileBytes(const Drawing &d);

// Writes the lines through a temporary file and a rename, so a failed save never damages the
// file already on disk. False when the file could not be written.
// `error`, when given, receives why it could not (an errno value, see writeErrorText).
bool saveDxfLines(const std::string &path, const Drawing &d, int *error = nullptr);

} // namespace quentar::document
