// Pictures from BMP files: decoding and their place on the glass.
#include "outside/scanner/chart.h"
#include "outside/scanner/picture.h"
#include "tests/unit/scanner/blocks.h"

#include <gtest/gtest.h>

using namespace scanner;

namespace {

void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int k = 0; k < 4; ++k) b[at + k] = static_cast<uint8_t>(v >> (8 * k));
}

// A bitmap file of `bits` (8 or 24) with rows given top to bottom as RGB.
std::vector<uint8_t> Bmp(int width, int height, int bits, const std::vector<Rgb>& topDown,
                         bool bottomUp = true) {
    const int colours = bits == 8 ? 256 : 0;
    const int stride = ((width * bits + 31) / 32) * 4;
    const size_t offset = 54 + colours * 4;
    std::vector<uint8_t> b(offset + stride * height, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, static_cast<uint32_t>(b.size()));
    Put32(b, 10, static_cast<uint32_t>(offset));
    Put32(b, 14, 40);
    Put32(b, 18, width);
    Put32(b, 22, bottomUp ? height : -height);
    b[26] = 1;
    b[28] = static_cast<uint8_t>(bits);
    for (int i = 0; i < colours; ++i) {  // a grey palette, reversed
        b[54 + 4 * i] = b[55 + 4 * i] = b[56 + 4 * i] = static_cast<uint8_t>(255 - i);
    }
    for (int y = 0; y < height; ++y) {
        uint8_t* row = b.data() + offset + (bottomUp ? height - 1 - y : y) * stride;
        for (int x = 0; x < width; ++x) {
            const Rgb& c = topDown[y * width + x];
            if (bits == 24) {
                row[3 * x] = c.b;
                row[3 * x + 1] = c.g;
                row[3 * x + 2] = c.r;
            } else {
                row[x] = static_cast<uint8_t>(255 - c.r);
            }
        }
    }
    return b;
}

const std::vector<Rgb> kQuadrants = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {10, 20, 30}};

}  // namespace

TEST(BmpPictures, TwentyFourBitRowsInBothOrders) {
    for (bool bottomUp : {true, false}) {
        auto picture = DecodeBmp(Bmp(2, 2, 24, kQuadrants, bottomUp));
        ASSERT_TRUE(picture);
        EXPECT_EQ(picture->width, 2u);
        EXPECT_EQ(picture->height, 2u);
        EXPECT_EQ(picture->at(0, 0).r, 255);
        EXPECT_EQ(picture->at(1, 0).g, 255);
        EXPECT_EQ(picture->at(0, 1).b, 255);
        EXPECT_EQ(picture->at(1, 1).g, 20);
    }
}

TEST(BmpPictures, EightBitPixelsGoThroughThePalette) {
    std::vector<Rgb> greys = {{0, 0, 0}, {100, 100, 100}, {200, 200, 200}};
    auto picture = DecodeBmp(Bmp(3, 1, 8, greys));
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->at(0, 0).r, 0);
    EXPECT_EQ(picture->at(1, 0).g, 100);
    EXPECT_EQ(picture->at(2, 0).b, 200);
}

TEST(BmpPictures, UnsupportedOrDamagedFilesAreRejected) {
    auto good = Bmp(2, 2, 24, kQuadrants);
    ASSERT_TRUE(DecodeBmp(good));
    auto cut = good;
    cut.resize(cut.size() - 1);
    EXPECT_FALSE(DecodeBmp(cut)) << "cut short";
    auto compressed = good;
    compressed[30] = 1;
    EXPECT_FALSE(DecodeBmp(compressed));
    auto fourBit = good;
    fourBit[28] = 4;
    EXPECT_FALSE(DecodeBmp(fourBit));
    auto notBmp = good;
    notBmp[0] = 'X';
    EXPECT_FALSE(DecodeBmp(notBmp));
    auto huge = good;
    Put32(huge, 18, 0x7FFFFFFF);
    EXPECT_FALSE(DecodeBmp(huge));
    EXPECT_FALSE(DecodeBmp({}));
    EXPECT_FALSE(LoadBmp("/nonexistent/picture.bmp"));
}

TEST(BmpPictures, PictureFillsThePaperWidthKeepingItsProportions) {
    // 2 x 2 picture: 4.25 inches per picture pixel, so it covers 8.5 x 8.5.
    Picture picture = *DecodeBmp(Bmp(2, 2, 24, kQuadrants));
    auto block = scannertest::GreyBlock(600, 10, 0, 0, 2550, 4200);
    block.PassNumber = 1;  // red
    PassGeometry g = ComputePassGeometry(block, {});
    PassImage image(g, &picture);
    std::vector<uint8_t> line(g.pixels);
    image.RenderLine(20, line.data());  // 2 inches down
    EXPECT_EQ(line[20], 255);
    EXPECT_EQ(line[60], 0);
    image.RenderLine(60, line.data());  // 6 inches down
    EXPECT_EQ(line[20], 0);
    EXPECT_EQ(line[60], 10);
    image.RenderLine(100, line.data());  // 10 inches: below the picture
    EXPECT_EQ(line[20], 255);
}
