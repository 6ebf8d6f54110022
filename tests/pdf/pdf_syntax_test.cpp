// Tests of the PDF syntax pieces: escaped strings, font names, numbers, WinAnsi text, xref lines.
#include "pdf/pdf_syntax.h"
#include "pdf/win_ansi.h"

#include <gtest/gtest.h>

namespace quentar::pdf {
namespace {

struct TextCase {
    const char *name;
    std::string input;
    std::string expected;
};

TEST(PdfEscapeString, EscapesDelimitersAndControls) {
    const TextCase cases[] = {
        {"delimiters", "(a\\b)", "\\(a\\\\b\\)"},
        {"letter escapes", "\n\r\t\b\f", "\\n\\r\\t\\b\\f"},
        {"other controls in octal", std::string("\x01\x1F\0", 3), "\\001\\037\\000"},
        {"printable and high bytes unchanged", "a ~\x7F\xE4\x80", "a ~\x7F\xE4\x80"},
        {"empty", "", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(EscapeString(c.input), c.expected);
    }
}

TEST(PdfBaseFontName, EscapesAndAddsStyle) {
    const struct {
        const char *name;
        std::string font;
        std::uint8_t style;
        std::string expected;
    } cases[] = {
        {"blank, bold", "Microsoft Sans Serif", kBold, "Microsoft#20Sans#20Serif,Bold"},
        {"italic", "Arial", kItalic, "Arial,Italic"},
        {"bold italic", "Arial", kBold | kItalic, "Arial,BoldItalic"},
        {"underline and strike-out add nothing", "Arial", kUnderline | kStrikeOut, "Arial"},
        {"delimiters", "#%()/<>[]{}", 0, "#23#25#28#29#2F#3C#3E#5B#5D#7B#7D"},
        {"Latin-1 one code per character",
         "Stra\xC3\x9F"
         "e\x7F",
         0, "Stra#DFe#7F"},
        {"beyond Latin-1 as UTF-8 bytes", "\xC3\xA9\xE2\x82\xAC", 0, "#C3#A9#E2#82#AC"},
        {"NUL dropped", std::string("A\0B", 3), 0, "AB"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(BaseFontName(c.font, c.style), c.expected);
    }
}

TEST(PdfNumbers, ColourComponentsAreShortDecimals) {
    const std::pair<std::uint8_t, const char *> cases[] = {
        {0, "0"}, {255, "1"}, {128, "0.501960784313725"}, {51, "0.2"}, {1, "0.00392156862745098"}};
    for (const auto &[value, text] : cases) EXPECT_EQ(colorComponentText(value), text) << +value;
    EXPECT_EQ(intText(-812), "-812");
}

TEST(PdfNumbers, XrefEntriesAreTwentyBytes) {
    EXPECT_EQ(xrefEntry(0, 65535, true), "0000000000 65535 f \n");
    EXPECT_EQ(xrefEntry(1234567, 0, false), "0001234567 00000 n \n");
    EXPECT_EQ(xrefEntry(9999999999ull, 0, false).size(), 20u);
}

TEST(PdfWinAnsi, ConvertsUtf8ToWindows1252) {
    const TextCase cases[] = {
        {"ASCII", "Preis: 12,50", "Preis: 12,50"},
        {"Latin-1 range", "St\xC3\xA4rke \xC3\x9F\xC3\xBF", "St\xE4rke \xDF\xFF"},
        {"the 0x80 row", "\xE2\x82\xAC \xE2\x80\x94 \xC5\xB8", "\x80 \x97 \x9F"},
        {"outside the code page", "\xE2\x86\x92\xF0\x9F\x98\x80", "??"},
        {"C1 controls are not characters of it", "\xC2\x81", "?"},
        {"malformed bytes one each", "a\xC3(\xFF\xED\xA0\x80", "a?(????"},
        {"overlong form", "\xC0\xAF", "??"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(toWinAnsi(c.input), c.expected);
    }
    EXPECT_EQ(winAnsiToUnicode(0x80), U'\u20AC');
    EXPECT_EQ(winAnsiToUnicode(0x81), 0u);
    EXPECT_EQ(winAnsiToUnicode(0xE4), U'\u00E4');
}

} // namespace
} // namespace quentar::pdf
