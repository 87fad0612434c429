// Strips of memory transfers put together into whole images.
#include "host/twacquire/strip_assembly.h"

#include <gtest/gtest.h>

using namespace twacquire;

namespace {

ImageShape Shape(uint32_t width, uint32_t height, int bits, bool planar = false) {
    ImageShape s;
    s.width = width;
    s.height = height;
    s.bitsPerPixel = bits;
    s.planar = planar;
    s.xDpi = s.yDpi = 200;
    return s;
}

// A strip of `rows` rows from row y of `image`, each padded to `stride`.
std::vector<uint8_t> Cut(const std::vector<uint8_t>& image, uint32_t rowBytes, uint32_t y,
                         uint32_t rows, uint32_t stride) {
    std::vector<uint8_t> strip(size_t{stride} * rows, 0xEE);
    for (uint32_t r = 0; r < rows; ++r)
        std::copy_n(image.begin() + (y + r) * rowBytes, rowBytes, strip.begin() + r * stride);
    return strip;
}

std::vector<uint8_t> Bytes(size_t n, int seed) {
    std::vector<uint8_t> b(n);
    for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(i * 31 + seed);
    return b;
}

}  // namespace

TEST(TwacquireStrips, ChunkyStripsWithPaddedRowsMakeTheImage) {
    const std::vector<uint8_t> image = Bytes(7 * 3 * 10, 1);
    StripAssembler a(Shape(7, 10, 24));
    std::string error;
    for (uint32_t y = 0; y < 10; y += 4) {
        const uint32_t rows = std::min(4u, 10 - y);
        ASSERT_TRUE(a.Add({24, 7, rows, 0, y}, Cut(image, 21, y, rows, 24), error)) << error;
        EXPECT_EQ(a.Complete(), y + rows == 10);
    }
    const Raster r = a.TakeRaster();
    EXPECT_EQ(r.rows, image) << "the padding of each row is dropped";
    EXPECT_EQ(r.bitsPerPixel, 24);
    EXPECT_EQ(r.xDpi, 200);
}

TEST(TwacquireStrips, PlanarColourFromThreeTransfers) {
    const std::vector<uint8_t> red = Bytes(30, 1), green = Bytes(30, 2), blue = Bytes(30, 3);
    StripAssembler a(Shape(6, 5, 24, true));
    std::string error;
    for (const std::vector<uint8_t>* plane : {&red, &green, &blue}) {
        EXPECT_FALSE(a.Complete());
        ASSERT_TRUE(a.Add({6, 6, 3, 0, 0}, Cut(*plane, 6, 0, 3, 6), error)) << error;
        ASSERT_TRUE(a.Add({6, 6, 2, 0, 3}, Cut(*plane, 6, 3, 2, 6), error)) << error;
        a.EndTransfer();
    }
    EXPECT_TRUE(a.Complete());
    const Raster r = a.TakeRaster();
    ASSERT_EQ(r.rows.size(), 90u);
    for (size_t i = 0; i < 30; ++i) {
        EXPECT_EQ(r.rows[3 * i], red[i]);
        EXPECT_EQ(r.rows[3 * i + 1], green[i]);
        EXPECT_EQ(r.rows[3 * i + 2], blue[i]);
    }
}

TEST(TwacquireStrips, PlanarColourInOneTransferCountingRowsOn) {
    const std::vector<uint8_t> planes = Bytes(3 * 4 * 2, 5);  // red rows, green rows, blue rows
    StripAssembler a(Shape(4, 2, 24, true));
    std::string error;
    for (uint32_t y = 0; y < 6; y += 2)
        ASSERT_TRUE(a.Add({4, 4, 2, 0, y}, Cut(planes, 4, y, 2, 4), error)) << error;
    EXPECT_TRUE(a.Complete());
    const Raster r = a.TakeRaster();
    EXPECT_EQ(r.rows[0], planes[0]);
    EXPECT_EQ(r.rows[1], planes[8]);
    EXPECT_EQ(r.rows[2], planes[16]);
    EXPECT_EQ(r.rows[3 * 7 + 2], planes[16 + 7]);
}

TEST(TwacquireStrips, TilesSideBySide) {
    const std::vector<uint8_t> image = Bytes(8 * 2, 9);
    StripAssembler a(Shape(8, 2, 8));
    std::string error;
    const std::vector<uint8_t> left = {image[0], image[1], image[2], image[8], image[9], image[10]};
    const std::vector<uint8_t> right = {image[3], image[4], image[5], image[6], image[7],
                                        image[11], image[12], image[13], image[14], image[15]};
    ASSERT_TRUE(a.Add({5, 5, 2, 3, 0}, right, error)) << error;
    ASSERT_TRUE(a.Add({3, 3, 2, 0, 0}, left, error)) << error;
    EXPECT_TRUE(a.Complete());
    EXPECT_EQ(a.TakeRaster().rows, image);
}

TEST(TwacquireStrips, BitsFromTheLeastSignificantEndAreTurnedRound) {
    ImageShape shape = Shape(12, 1, 1);
    shape.lsbFirst = true;
    StripAssembler a(shape);
    std::string error;
    ASSERT_TRUE(a.Add({2, 12, 1, 0, 0}, std::vector<uint8_t>{0x01, 0x08}, error)) << error;
    EXPECT_EQ(a.TakeRaster().rows, (std::vector<uint8_t>{0x80, 0x10}));
}

TEST(TwacquireStrips, BilevelTilesAtAnyColumn) {
    StripAssembler a(Shape(12, 1, 1));
    std::string error;
    ASSERT_TRUE(a.Add({1, 3, 1, 0, 0}, std::vector<uint8_t>{0xA0}, error));
    ASSERT_TRUE(a.Add({2, 9, 1, 3, 0}, std::vector<uint8_t>{0xFF, 0x80}, error));
    EXPECT_TRUE(a.Complete());
    EXPECT_EQ(a.TakeRaster().rows, (std::vector<uint8_t>{0xBF, 0xF0}));
}

TEST(TwacquireStrips, StripsOutsideTheImageOrShortOfDataAreRefused) {
    StripAssembler a(Shape(4, 4, 8));
    std::string error;
    EXPECT_FALSE(a.Add({4, 4, 2, 0, 3}, std::vector<uint8_t>(8), error));
    EXPECT_EQ(error, "a strip at row 3, column 0 with 2 rows of 4 pixels lies outside the image of 4 x 4");
    EXPECT_FALSE(a.Add({4, 4, 2, 0, 0}, std::vector<uint8_t>(7), error));
    EXPECT_EQ(error, "a strip of 2 rows of 4 bytes came with 7 bytes");
    EXPECT_FALSE(a.Add({3, 4, 1, 0, 0}, std::vector<uint8_t>(4), error))
        << "rows narrower than their pixels";
    EXPECT_EQ(a.Received(), 0u);
}
