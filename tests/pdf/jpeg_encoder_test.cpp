// Tests of the in-memory JPEG encoding: baseline frames of the picture's size at quality 90.
#include "pdf/jpeg_encoder.h"

#include <gtest/gtest.h>

#include <map>

namespace quentar::pdf {
namespace {

// Marker code -> segment body, up to the start of the scan.
std::map<int, std::string> segments(const std::string &jpeg) {
    std::map<int, std::string> found;
    std::size_t pos = 2;
    while (pos + 4 <= jpeg.size() && static_cast<unsigned char>(jpeg[pos]) == 0xFF) {
        const int marker = static_cast<unsigned char>(jpeg[pos + 1]);
        const std::size_t length = static_cast<unsigned char>(jpeg[pos + 2]) * 256u +
                                   static_cast<unsigned char>(jpeg[pos + 3]);
        found.emplace(marker, jpeg.substr(pos + 4, length - 2));
        if (marker == 0xDA) break;
        pos += 2 + length;
    }
    return found;
}

RgbImage gradient(int w, int h) {
    RgbImage image{w, h, {}};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.rgb.insert(image.rgb.end(),
                             {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 128});
    return image;
}

TEST(PdfJpeg, EncodesBaselineFramesOfThePictureSize) {
    for (const auto [w, h] : {std::pair{1, 1}, {17, 9}, {640, 480}}) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        const auto jpeg = encodeJpeg(gradient(w, h));
        ASSERT_TRUE(jpeg);
        EXPECT_EQ(jpeg->substr(0, 2), "\xFF\xD8");
        EXPECT_EQ(jpeg->substr(jpeg->size() - 2), "\xFF\xD9");
        const auto seg = segments(*jpeg);
        ASSERT_TRUE(seg.count(0xC0)) << "no baseline frame";
        EXPECT_FALSE(seg.count(0xC2)) << "progressive";
        const std::string &sof = seg.at(0xC0);
        EXPECT_EQ(sof[0], 8); // bits per sample
        EXPECT_EQ(static_cast<unsigned char>(sof[1]) * 256 + static_cast<unsigned char>(sof[2]), h);
        EXPECT_EQ(static_cast<unsigned char>(sof[3]) * 256 + static_cast<unsigned char>(sof[4]), w);
        EXPECT_EQ(sof[5], 3); // colour components
        // Quality 90 scales the standard luminance table by 20 %: its first entry 16 becomes 3.
        ASSERT_TRUE(seg.count(0xDB));
        EXPECT_EQ(seg.at(0xDB)[1], 3);
    }
}

TEST(PdfJpeg, RefusesWhatItCannotEncode) {
    RgbImage shortData = gradient(4, 4);
    shortData.rgb.resize(40);
    const RgbImage cases[] = {RgbImage{0, 1, {}}, RgbImage{1, -1, {}}, shortData,
                              RgbImage{70000, 1, std::vector<std::uint8_t>(210000, 0)}};
    for (const RgbImage &image : cases) {
        SCOPED_TRACE(std::to_string(image.width) + "x" + std::to_string(image.height));
        EXPECT_FALSE(encodeJpeg(image));
    }
}

} // namespace
} // namespace quentar::pdf
