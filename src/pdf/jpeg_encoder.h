// Baseline JPEG encoding in memory, for pictures placed in PDF files (DCTDecode).
#pragma once

#include "pdf/rgb_image.h"

#include <optional>
#include <string>

namespace quentar::pdf {

// The picture as a baseline JPEG of 24-bit colour at the given quality (1..100), or nullopt when
// it cannot be encoded (an invalid image, a side above JPEG's 65500 pixels, no memory).
std::optional<std::string> encodeJpeg(const RgbImage &image, int quality = 90);

} // namespace quentar::pdf
