// Loading a DXF file into the line list and writing the lines back.
#include "document/dxf_file.h"

#include "document/safe_file.h"
#include "document/text_codec.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>

namespace quentar::document {

namespace {

// How much of a file is looked at before it is read whole.
constexpr std::size_t kHeadBytes = 65536;

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && s.substr(0, prefix.size()) == prefix;
}

// A "0" group followed by "SECTION": the frame every DXF text has. Looks at trimmed lines, so
// CR LF, LF and padding do not matter.
bool hasSectionGroup(std::string_view text) {
    if (startsWith(text, "\xEF\xBB\xBF")) text.remove_prefix(3); // a UTF-8 byte-order mark
    std::string_view previous;
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t e = text.find_first_of("\r\n", i);
        if (e == std::string_view::npos) e = text.size();
        const std::string_view line = trimLine(text.substr(i, e - i));
        if (line == "SECTION" && previous == "0") return true;
        previous = line;
        i = e + (e + 1 < text.size() && text[e] == '\r' && text[e + 1] == '\n' ? 2 : 1);
    }
    return false;
}

} // namespace

std::string binaryReason(std::string_view b) {
    struct Magic {
        std::string_view bytes, what;
    };
    static constexpr Magic kMagic[] = {
        {"\x89PNG", "a PNG image"},   {"\xFF\xD8\xFF", "a JPEG image"}, {"GIF8", "a GIF image"},
        {"II*\0", "a TIFF image"},        {"MM\0*", "a TIFF image"},
        {"%PDF", "a PDF document"},    {"PK\x03\x04", "a ZIP archive (or an office document)"},
        {"AC10", "a DWG drawing"},     {"\x7F" "ELF", "a program"},
        {"AutoCAD Binary DXF", "a binary DXF file"},
    };
    for (const Magic &m : kMagic)
        if (startsWith(b, m.bytes)) return std::string(m.what);
    if (b.find('\0') != std::string_view::npos) return "binary data";
    return {};
}

std::string notDxfReason(std::string_view b) {
    if (b.find_first_not_of(" \t\r\n\f\v") == std::string_view::npos) return "an empty file";
    if (std::string why = binaryReason(b); !why.empty()) return why;
    if (!hasSectionGroup(b)) {
        const std::size_t s = b.find_first_not_of(" \t\r\n\xEF\xBB\xBF");
        if (s != std::string_view::npos && (b[s] == '<')) return "an XML or SVG file";
        return "a text without DXF sections";
    }
    return {};
}

std::string loadFailureText(const LoadResult &r) {
    switch (r.failure) {
    case LoadFailure::None: return {};
    case LoadFailure::Missing: return "no such file";
    case LoadFailure::NotAFile: return "not a file";
    case LoadFailure::Unreadable: return "cannot be read (" + r.detail + ")";
    case LoadFailure::TooLarge: return "too large (2 GB or more)";
    case LoadFailure::Empty: return "the file is empty";
    case LoadFailure::BinaryDxf: return "a binary DXF file, only text DXF files are read";
    case LoadFailure::NotDxf: return "not a DXF drawing but " + r.detail;
    }
    return {};
}

std::string loadFailureTextGerman(const LoadResult &r) {
    static const std::pair<std::string_view, std::string_view> kFound[] = {
        {"a PNG image", "ein PNG-Bild"},
        {"a JPEG image", "ein JPEG-Bild"},
        {"a GIF image", "ein GIF-Bild"},
        {"a TIFF image", "ein TIFF-Bild"},
        {"a PDF document", "ein PDF-Dokument"},
        {"a ZIP archive (or an office document)", "ein ZIP-Archiv (oder Office-Dokument)"},
        {"a DWG drawing", "eine DWG-Zeichnung"},
        {"a program", "ein Programm"},
        {"binary data", "Binärdaten"},
        {"an XML or SVG file", "eine XML- oder SVG-Datei"},
        {"a text without DXF sections", "ein Text ohne DXF-Abschnitte"},
    };
    switch (r.failure) {
    case LoadFailure::None: return {};
    case LoadFailure::Missing: return "Die Datei gibt es nicht.";
    case LoadFailure::NotAFile: return "Das ist keine Datei.";
    case LoadFailure::Unreadable: return "Die Datei kann nicht gelesen werden (" + r.detail + ").";
    case LoadFailure::TooLarge: return "Die Datei ist zu groß (2 GB oder mehr).";
    case LoadFailure::Empty: return "Die Datei ist leer.";
    case LoadFailure::BinaryDxf:
        return "Das ist eine binäre DXF-Datei; gelesen werden DXF-Dateien in Textform.";
    case LoadFailure::NotDxf:
        for (const auto &[en, de] : kFound)
            if (r.detail == en) return "Das ist keine DXF-Zeichnung, sondern " + std::string(de) + ".";
        return "Das ist keine DXF-Zeichnung.";
    }
    return {};
}

LoadResult loadDxfFile(const std::string &path, Drawing &d) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (!std::filesystem::exists(status)) {
        if (ec && ec != std::errc::no_such_file_or_directory)
            return {LoadFailure::Unreadable, ec.message()};
        return {LoadFailure::Missing, {}};
    }
    if (!std::filesystem::is_regular_file(status)) return {LoadFailure::NotAFile, {}};
    const auto size = std::filesystem::file_size(path, ec);
    if (!ec && size >= LineStore::kMaxBytes) return {LoadFailure::TooLarge, {}};
    // An image, an archive or binary data shows in its first bytes: a large file of that kind is
    // refused without reading (and holding) all of it.
    const std::optional<std::string> head = readFileHead(path, kHeadBytes);
    if (!head) return {LoadFailure::Unreadable, std::strerror(errno)};
    const bool utf16 = head->size() >= 2 && ((static_cast<unsigned char>((*head)[0]) == 0xFF &&
                                              static_cast<unsigned char>((*head)[1]) == 0xFE) ||
                                             (static_cast<unsigned char>((*head)[0]) == 0xFE &&
                                              static_cast<unsigned char>((*head)[1]) == 0xFF));
    if (const std::string why = utf16 ? std::string() : binaryReason(*head); !why.empty()) {
        if (why == "a binary DXF file") return {LoadFailure::BinaryDxf, {}};
        return {LoadFailure::NotDxf, why};
    }
    std::optional<std::string> bytes = readWholeFile(path);
    if (!bytes) return {LoadFailure::Unreadable, std::strerror(errno)};
    std::string &b = *bytes;
    FileEncoding enc = FileEncoding::Bytes;
    if (b.size() >= 2 && static_cast<unsigned char>(b[0]) == 0xFF &&
        static_cast<unsigned char>(b[1]) == 0xFE) {
        enc = FileEncoding::Utf16LE;
        b = utf16ToUtf8(std::string_view(b).substr(2), false);
    } else if (b.size() >= 2 && static_cast<unsigned char>(b[0]) == 0xFE &&
               static_cast<unsigned char>(b[1]) == 0xFF) {
        enc = FileEncoding::Utf16BE;
        b = utf16ToUtf8(std::string_view(b).substr(2), true);
    }
    const std::string why = notDxfReason(b);
    if (why == "an empty file") return {LoadFailure::Empty, {}};
    if (why == "a binary DXF file") return {LoadFailure::BinaryDxf, {}};
    if (!why.empty()) return {LoadFailure::NotDxf, why};
    if (!d.dxf.assign(std::move(b))) return {LoadFailure::TooLarge, {}};
    d.encoding = enc;
    return {};
}

std::string dxfFileBytes(const Drawing &d) {
    std::string text = d.dxf.serialize();
    switch (d.encoding) {
    case FileEncoding::Bytes:
        return text;
    case FileEncoding::Utf16LE:
        return std::string("\xFF\xFE", 2) + utf8ToUtf16(text, false);
    case FileEncoding::Utf16BE:
        return std::string("\xFE\xFF", 2) + utf8ToUtf16(text, true);
    }
    return text;
}

bool saveDxfLines(const std::string &path, const Drawing &d, int *error) {
    return writeFileAtomically(path, dxfFileBytes(d), error);
}

} // namespace quentar::document
