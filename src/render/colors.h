// DXF colour numbers and line-weight codes as the drawing shows them.
#pragma once

#include "render/canvas.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace quentar::render {

// Screen colour of a DXF colour number: a table of its own (1 ... 9, 250, 251, 252, 254, 255),
// everything else black on the white model background and white on the grey paper.
inline Rgb getcolornr(int nr, bool showmodel) {
    const Rgb fallback = showmodel ? kBlack : kWhite;
    if (nr < 0) return kWhite;
    switch (nr) {
    case 1: return {255, 0, 0};
    case 2: return {255, 255, 0};
    case 3: return {0, 255, 0};
    case 4: return {0, 255, 255};
    case 5: return {0, 0, 255};
    case 6: return {255, 0, 255};
    case 8: return {128, 128, 128};
    case 9: return {192, 192, 192};
    case 250: return {45, 45, 45};
    case 251: return {91, 91, 91};
    case 252: return {137, 137, 137};
    case 254: return {183, 183, 183};
    case 255: return {179, 179, 179};
    default: return fallback;
    }
}

// The AutoCAD colour index 0 ... 255 as RGB (0xRRGGBB).
extern const uint32_t kColourIndex[256];

// Screen colour of a DXF colour number with the whole colour index: the table above for 1 ... 9
// and 250 ... 255 (its greys are its own), the colour index for 10 ... 249 and 253.
inline Rgb aciColor(int nr, bool showmodel) {
    if ((nr >= 10 && nr <= 249) || nr == 253) {
        const uint32_t c = kColourIndex[nr];
        return {static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8),
                static_cast<uint8_t>(c)};
    }
    return getcolornr(nr, showmodel);
}

// A true colour (group 420): 0xRRGGBB.
inline Rgb trueColor(int32_t c) {
    return {static_cast<uint8_t>((c >> 16) & 0xFF), static_cast<uint8_t>((c >> 8) & 0xFF),
            static_cast<uint8_t>(c & 0xFF)};
}

// The file's colour made readable on the surface's background: a colour that stands out too
// little against it (yellow, cyan or white on white, dark blue on black) is drawn darker or
// lighter in its own hue, so it keeps looking like the colour the file gives.
Rgb readableOn(Rgb c, Rgb background);

// The line-weight chooser: item texts and their codes (hundredths of a millimetre; -3 default).
struct LineWeightItem {
    std::string_view text;
    int code;
};
inline constexpr std::array<LineWeightItem, 23> kLineWeightItems{{
    {"Wie Ebene", -3}, {"0.00 mm", 0},   {"0.05 mm", 5},   {"0.09 mm", 9},   {"0.13 mm", 13},
    {"0.15 mm", 15},   {"0.20 mm", 20},  {"0.25 mm", 25},  {"0.30 mm", 30},  {"0.35 mm", 35},
    {"0.40 mm", 40},   {"0.50 mm", 50},  {"0.60 mm", 60},  {"0.70 mm", 70},  {"0.80 mm", 80},
    {"0.90 mm", 90},   {"1.00 mm", 100}, {"1.06 mm", 106}, {"1.20 mm", 120}, {"1.40 mm", 140},
    {"1.58 mm", 158},  {"2.00 mm", 200}, {"2.11 mm", 211},
}};

// Code of a chooser item; any other selection is the default.
inline int lineWeightCode(int itemIndex) {
    if (itemIndex < 0 || itemIndex >= static_cast<int>(kLineWeightItems.size())) return -3;
    return kLineWeightItems[static_cast<std::size_t>(itemIndex)].code;
}

// Millimetres per inch wherever printer, screen or PDF sizes come from millimetres.
inline constexpr double kMmPerInch = 25.39995;

} // namespace quentar::render
