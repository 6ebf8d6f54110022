// Loading a DXF file into the line list and writing the lines back.
#include "document/dxf_file.h"

#include "document/safe_file.h"

#include <optional>
#include "document/text_codec.h"

namespace quentar::document {

bool loadDxfLines(const std::string &path, Drawing &d) {
    std::optional<std::string> bytes = readWholeFile(path);
    if (!bytes) return false;
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
    if (!d.dxf.assign(std::move(b))) return false;
    d.encoding = enc;
    return true;
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

bool saveDxfLines(const std::string &path, const Drawing &d) {
    return writeFileAtomically(path, dxfFileBytes(d));
}

} // namespace quentar::document
