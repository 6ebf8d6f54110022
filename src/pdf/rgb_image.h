// A plain 24-bit picture, the form in which callers hand bitmaps to the PDF writer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quentar::pdf {

// Rows from the top, each pixel red, green, blue; no padding between rows.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;

    // True when the size is positive and the pixel data fits it exactly.
    bool valid() const {
        // Two sides below 2^31 cannot overflow the 64-bit product.
        return width > 0 && height > 0 &&
               rgb.size() == static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3;
    }
};

} // namespace quentar::pdf
