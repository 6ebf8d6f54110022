// fontconfig matching and FreeType reading of the outline metrics behind FreeTypeFontMetricsSource.
#include "pdf/freetype_font_metrics.h"

#include "pdf/win_ansi.h"

#include <cmath>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_TRUETYPE_TABLES_H

namespace quentar::pdf {

struct FreeTypeFontMetricsSource::Library {
    FT_Library ft = nullptr;
    ~Library() {
        if (ft) FT_Done_FreeType(ft);
    }
};

namespace {

constexpr char32_t kBullet = 0x2022;

// The file and face index fontconfig chooses for a family, as the desktop would draw it.
bool matchFont(const std::string &family, bool bold, bool italic, std::string &file, int &index) {
    FcPattern *pattern = FcPatternCreate();
    if (!pattern) return false;
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8 *>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern *match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) return false;
    FcChar8 *path = nullptr;
    const bool found = FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path;
    if (found) file = reinterpret_cast<const char *>(path);
    if (FcPatternGetInteger(match, FC_INDEX, 0, &index) != FcResultMatch) index = 0;
    FcPatternDestroy(match);
    return found;
}

// Height of a glyph's outline above the baseline, in font units; 0 when the glyph is missing.
double glyphTop(FT_Face face, FT_ULong character) {
    const FT_UInt glyph = FT_Get_Char_Index(face, character);
    if (glyph == 0 || FT_Load_Glyph(face, glyph, FT_LOAD_NO_SCALE) != 0) return 0;
    return static_cast<double>(face->glyph->metrics.horiBearingY);
}

void readMetrics(FT_Face face, FontMetrics &out) {
    const double scale = 1000.0 / face->units_per_EM;
    const auto *os2 = static_cast<const TT_OS2 *>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    const auto *post = static_cast<const TT_Postscript *>(FT_Get_Sfnt_Table(face, FT_SFNT_POST));
    if (os2 && os2->version == 0xFFFF) os2 = nullptr; // FreeType's mark of an invalid table

    out = FontMetrics{};
    // The typographic ascender and descender are what outline metrics report as ascent and
    // descent; the Windows ascent and descent bound the text cell that screen canvases lay out.
    out.ascent = (os2 ? os2->sTypoAscender : face->ascender) * scale;
    out.descent = (os2 ? os2->sTypoDescender : face->descender) * scale;
    out.cellAscent = (os2 && os2->usWinAscent ? os2->usWinAscent : face->ascender) * scale;
    out.cellDescent = (os2 && os2->usWinDescent ? os2->usWinDescent : -face->descender) * scale;
    out.bboxLeft = face->bbox.xMin * scale;
    out.bboxBottom = face->bbox.yMin * scale;
    out.bboxRight = face->bbox.xMax * scale;
    out.bboxTop = face->bbox.yMax * scale;
    out.italicAngle = post ? post->italicAngle / 65536.0 : 0.0;
    out.fixedPitch = FT_IS_FIXED_WIDTH(face);
    // PANOSE: family kind 2 is Latin text, serif styles 2..10 have serifs (11 on are sans).
    out.serif = os2 && os2->panose[0] == 2 && os2->panose[1] >= 2 && os2->panose[1] <= 10;
    // TrueType has no stem width; this is the usual estimate from the weight class
    // (regular 400 gives 87, bold 700 gives 166).
    const double weight = os2 && os2->usWeightClass ? os2->usWeightClass : 400;
    out.stemV = 50 + std::pow(weight / 65.0, 2);

    const bool unicode = FT_Select_Charmap(face, FT_ENCODING_UNICODE) == 0;
    if (os2 && os2->version >= 2 && os2->sCapHeight > 0)
        out.capHeight = os2->sCapHeight * scale;
    else if (double top = unicode ? glyphTop(face, 'H') : 0; top > 0)
        out.capHeight = top * scale;
    else
        out.capHeight = out.ascent;

    for (int code = kFirstChar; code <= kLastChar; ++code) {
        char32_t character = winAnsiToUnicode(static_cast<unsigned char>(code));
        // WinAnsiEncoding shows its unassigned codes (and DEL) as bullets.
        if (character == 0 || character == 0x7F) character = kBullet;
        // Without a Unicode map every code shows the missing-glyph box, glyph 0.
        const FT_UInt glyph = unicode ? FT_Get_Char_Index(face, character) : 0;
        FT_Fixed advance = 0;
        if (FT_Get_Advance(face, glyph, FT_LOAD_NO_SCALE, &advance) != 0) advance = 0;
        out.widths[code - kFirstChar] = advance * scale;
    }
}

} // namespace

FreeTypeFontMetricsSource::FreeTypeFontMetricsSource() : library_(std::make_unique<Library>()) {
    if (FT_Init_FreeType(&library_->ft) != 0) library_->ft = nullptr;
}

FreeTypeFontMetricsSource::~FreeTypeFontMetricsSource() = default;

bool FreeTypeFontMetricsSource::metrics(const std::string &family, bool bold, bool italic,
                                        FontMetrics &out) {
    if (!library_->ft) return false;
    std::string file;
    int index = 0;
    if (!matchFont(family, bold, italic, file, index)) return false;
    FT_Face face = nullptr;
    if (FT_New_Face(library_->ft, file.c_str(), index, &face) != 0) return false;
    const bool usable = FT_IS_SCALABLE(face) && face->units_per_EM > 0;
    if (usable) {
        readMetrics(face, out);
        lastFile_ = file;
    }
    FT_Done_Face(face);
    return usable;
}

std::shared_ptr<FontMetricsSource> installedFontMetrics() {
    static const std::shared_ptr<FontMetricsSource> source =
        std::make_shared<FreeTypeFontMetricsSource>();
    return source;
}

} // namespace quentar::pdf
