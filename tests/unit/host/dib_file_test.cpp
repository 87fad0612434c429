// Native bitmaps saved as BMP files and read as rasters.
#include "host/twacquire/dib_file.h"

#include <gtest/gtest.h>

using namespace twacquire;

namespace {

void Put(std::vector<uint8_t>& b, size_t at, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// A packed bitmap of `width` x `height` (negative: top-down) at `bits`,
// with a grey or black-and-white colour table and a counting pattern.
std::vector<uint8_t> Dib(int32_t width, int32_t height, int bits, uint32_t pixelsPerMetre = 11811) {
    const uint32_t colours = bits <= 8 ? 1u << bits : 0;
    const uint32_t stride = ((width * bits + 31) / 32) * 4;
    const uint32_t rows = height < 0 ? -height : height;
    std::vector<uint8_t> b(40 + 4 * colours + stride * rows, 0);
    Put(b, 0, 40, 4);
    Put(b, 4, static_cast<uint32_t>(width), 4);
    Put(b, 8, static_cast<uint32_t>(height), 4);
    Put(b, 12, 1, 2);
    Put(b, 14, static_cast<uint32_t>(bits), 2);
    Put(b, 24, pixelsPerMetre, 4);
    Put(b, 28, pixelsPerMetre, 4);
    for (uint32_t i = 0; i < colours; ++i) {
        const uint32_t level = colours == 2 ? i * 255 : i;
        Put(b, 40 + 4 * i, level | level << 8 | level << 16, 4);
    }
    for (size_t i = 40 + 4 * colours; i < b.size(); ++i) b[i] = static_cast<uint8_t>(i * 13);
    return b;
}

}  // namespace

TEST(TwacquireDib, ABmpFileIsTheBitmapBehindAFileHeader) {
    const std::vector<uint8_t> dib = Dib(10, 4, 24);
    std::string error;
    const std::optional<DibLayout> layout = ReadDibLayout(dib, error);
    ASSERT_TRUE(layout) << error;
    EXPECT_EQ(layout->width, 10u);
    EXPECT_EQ(layout->height, 4u);
    EXPECT_EQ(layout->imageBytes, 32u * 4);
    EXPECT_NEAR(layout->xDpi, 300, 0.01);
    std::vector<uint8_t> withSlack = dib;
    withSlack.resize(dib.size() + 100, 0x55);  // a global block may be larger than asked
    const std::vector<uint8_t> file = BmpFileOfDib(withSlack, *layout);
    ASSERT_EQ(file.size(), 14 + dib.size());
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(file[2] | file[3] << 8 | file[4] << 16, static_cast<int>(file.size()));
    EXPECT_EQ(file[10], 54);
    EXPECT_TRUE(std::equal(dib.begin(), dib.end(), file.begin() + 14));
}

TEST(TwacquireDib, TheColourTableMovesThePixelsOfAGreyBitmap) {
    const std::vector<uint8_t> dib = Dib(3, 2, 8);
    std::string error;
    const std::optional<DibLayout> layout = ReadDibLayout(dib, error);
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->headerBytes, 40u + 1024);
    EXPECT_EQ(BmpFileOfDib(dib, *layout)[10] | BmpFileOfDib(dib, *layout)[11] << 8, 54 + 1024);
}

TEST(TwacquireDib, ABottomUpColourBitmapBecomesTopDownRedGreenBlue) {
    const std::vector<uint8_t> dib = Dib(2, 3, 24);
    std::string error;
    const std::optional<DibLayout> layout = ReadDibLayout(dib, error);
    const std::optional<Raster> r = RasterOfDib(dib, *layout, error);
    ASSERT_TRUE(r) << error;
    ASSERT_EQ(r->rows.size(), 18u);
    const uint8_t* lastStored = dib.data() + 40 + 2 * 8;  // the image's top row
    EXPECT_EQ(r->rows[0], lastStored[2]);
    EXPECT_EQ(r->rows[1], lastStored[1]);
    EXPECT_EQ(r->rows[2], lastStored[0]);
    EXPECT_EQ(r->rows[5], lastStored[3]);
}

TEST(TwacquireDib, ATopDownBilevelBitmapKeepsItsRowOrderAndItsWhite) {
    std::vector<uint8_t> dib = Dib(9, -2, 1);
    std::string error;
    const std::optional<DibLayout> layout = ReadDibLayout(dib, error);
    ASSERT_TRUE(layout);
    EXPECT_FALSE(layout->bottomUp);
    std::optional<Raster> r = RasterOfDib(dib, *layout, error);
    ASSERT_TRUE(r);
    EXPECT_FALSE(r->whiteIsZero) << "colour 0 is black";
    EXPECT_EQ(r->rows[0], dib[48]);
    EXPECT_EQ(r->rows[2], dib[52]);
    Put(dib, 40, 0xFFFFFF, 4);
    Put(dib, 44, 0, 4);
    EXPECT_TRUE(RasterOfDib(dib, *layout, error)->whiteIsZero);
}

TEST(TwacquireDib, DamagedBitmapsAreNamedAsSuch) {
    std::string error;
    EXPECT_FALSE(ReadDibLayout(std::vector<uint8_t>(20), error));
    EXPECT_EQ(error, "the native transfer did not hand over a bitmap");
    std::vector<uint8_t> cut = Dib(10, 10, 24);
    cut.resize(cut.size() - 1);
    EXPECT_FALSE(ReadDibLayout(cut, error));
    EXPECT_NE(error.find("declares"), std::string::npos) << error;
    EXPECT_FALSE(ReadDibLayout(Dib(0, 10, 24), error));

    std::vector<uint8_t> palette = Dib(4, 1, 8);
    Put(palette, 40 + 4 * 7, 0xFF0000, 4);  // one colour that is not grey
    const std::optional<DibLayout> layout = ReadDibLayout(palette, error);
    ASSERT_TRUE(layout);
    EXPECT_FALSE(RasterOfDib(palette, *layout, error));
}
