#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "ui/screen_scale.h"

namespace {

constexpr std::uint32_t kClear = 0xFFFFFF;
constexpr std::uint32_t kRed = 0xFF0000;
constexpr std::uint32_t kBlue = 0x0000FF;

PixelImage Strip(int width, int height, std::vector<std::uint32_t> pixels) {
    return PixelImage{width, height, std::move(pixels)};
}

std::uint32_t At(const PixelImage& image, int x, int y) {
    return image.pixels[static_cast<size_t>(y) * image.width + x];
}

}  // namespace

// Two solid 4x4 images scaled by 3/4, as at 144 DPI from the double-size drawing: the border
// pixels of each take nothing from the other.
TEST(ImageStripTest, ImagesKeepToThemselvesAtFractionalScales) {
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x) pixels.push_back(x < 4 ? kRed : kBlue);
    PixelImage scaled = ScaleImageStrip(Strip(8, 4, pixels), 2, 3, 3, kClear);
    ASSERT_EQ(scaled.width, 6);
    ASSERT_EQ(scaled.height, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 6; ++x) EXPECT_EQ(At(scaled, x, y), x < 3 ? kRed : kBlue) << x << "," << y;

    PixelImage enlarged = ScaleImageStrip(Strip(8, 4, pixels), 2, 5, 5, kClear);
    ASSERT_EQ(enlarged.pixels.size(), 50u);
    EXPECT_EQ(At(enlarged, 4, 2), kRed);
    EXPECT_EQ(At(enlarged, 5, 2), kBlue);
}

// Transparent pixels count for coverage only: a mostly clear pixel stays clear, a mostly opaque
// one is the average of its opaque pixels without any white mixed in.
TEST(ImageStripTest, TransparencyDecidesByCoverageAndNeverTintsTheColour) {
    PixelImage halved = ScaleImageStrip(Strip(4, 2,
                                              {kClear, kClear, kRed, kClear,  //
                                               kClear, kRed, kRed, 0x7F0000}),
                                        2, 1, 1, kClear);
    ASSERT_EQ(halved.pixels.size(), 2u);
    EXPECT_EQ(halved.pixels[0], kClear);     // one quarter opaque
    EXPECT_EQ(halved.pixels[1], 0xD40000u);  // (255 + 255 + 127) / 3, rounded
    // Exactly half opaque: thin outlines survive.
    EXPECT_EQ(ScaleImageStrip(Strip(2, 1, {kBlue, kClear}), 1, 1, 1, kClear).pixels[0], kBlue);
}

// Near-white opaque pixels can average to the transparent colour; they must stay visible.
TEST(ImageStripTest, OpaqueAverageNeverBecomesTheTransparentColour) {
    PixelImage scaled = ScaleImageStrip(Strip(2, 1, {0xFEFFFF, 0xFFFFFE}), 1, 1, 1, kClear);
    ASSERT_EQ(scaled.pixels.size(), 1u);
    EXPECT_NE(scaled.pixels[0], kClear);
    EXPECT_EQ(scaled.pixels[0] | 1, kClear);
}

TEST(ImageStripTest, StripsThatAreNotWholeImagesGiveNothing) {
    EXPECT_TRUE(ScaleImageStrip(Strip(5, 1, std::vector<std::uint32_t>(5, kRed)), 2, 1, 1, kClear).pixels.empty());
    EXPECT_TRUE(ScaleImageStrip(Strip(4, 1, std::vector<std::uint32_t>(3, kRed)), 2, 1, 1, kClear).pixels.empty());
    EXPECT_TRUE(ScaleImageStrip(Strip(4, 1, std::vector<std::uint32_t>(4, kRed)), 2, 0, 1, kClear).pixels.empty());
}
