// TIFF and BMP files written from a raster, read back field by field as a
// reader would.
#include "host/twacquire/image_writer.h"

#include <gtest/gtest.h>

#include <map>

using namespace twacquire;

namespace {

uint32_t Get16(const std::vector<uint8_t>& b, size_t at) { return b.at(at) | b.at(at + 1) << 8; }
uint32_t Get32(const std::vector<uint8_t>& b, size_t at) {
    return Get16(b, at) | Get16(b, at + 2) << 16;
}

struct TiffEntry {
    uint32_t type, count, value;
};

// The first directory of a little-endian TIFF, by tag.
std::map<uint32_t, TiffEntry> Directory(const std::vector<uint8_t>& f) {
    std::map<uint32_t, TiffEntry> tags;
    EXPECT_EQ(f.at(0), 'I');
    EXPECT_EQ(f.at(1), 'I');
    EXPECT_EQ(Get16(f, 2), 42u);
    const uint32_t dir = Get32(f, 4);
    const uint32_t n = Get16(f, dir);
    uint32_t previous = 0;
    for (uint32_t i = 0; i < n; ++i) {
        const size_t at = dir + 2 + 12 * i;
        const uint32_t tag = Get16(f, at);
        EXPECT_GT(tag, previous) << "tags in ascending order";
        previous = tag;
        const uint32_t type = Get16(f, at + 2), count = Get32(f, at + 4);
        const uint32_t value = type == 3 && count == 1 ? Get16(f, at + 8) : Get32(f, at + 8);
        tags[tag] = {type, count, value};
    }
    EXPECT_EQ(Get32(f, dir + 2 + 12 * n), 0u) << "one directory only";
    return tags;
}

// The pixel rows of a TIFF, strip after strip.
std::vector<uint8_t> TiffPixels(const std::vector<uint8_t>& f) {
    std::map<uint32_t, TiffEntry> t = Directory(f);
    std::vector<uint8_t> pixels;
    const uint32_t strips = t[273].count;
    for (uint32_t s = 0; s < strips; ++s) {
        const uint32_t offset = strips == 1 ? t[273].value : Get32(f, t[273].value + 4 * s);
        const uint32_t bytes = strips == 1 ? t[279].value : Get32(f, t[279].value + 4 * s);
        EXPECT_LE(size_t{offset} + bytes, f.size());
        pixels.insert(pixels.end(), f.begin() + offset, f.begin() + offset + bytes);
    }
    return pixels;
}

Raster Pattern(uint32_t width, uint32_t height, int bits) {
    Raster r;
    r.width = width;
    r.height = height;
    r.bitsPerPixel = bits;
    r.xDpi = 300;
    r.yDpi = 150;
    r.rows.resize(size_t{r.RowBytes()} * height);
    for (size_t i = 0; i < r.rows.size(); ++i) r.rows[i] = static_cast<uint8_t>(i * 7 + i / 13);
    return r;
}

}  // namespace

TEST(TwacquireTiff, AColourPageIsChunkyRgbWithItsResolution) {
    const Raster r = Pattern(37, 5, 24);
    const std::vector<uint8_t> f = TiffBytes(r);
    std::map<uint32_t, TiffEntry> t = Directory(f);
    EXPECT_EQ(t[256].value, 37u);
    EXPECT_EQ(t[257].value, 5u);
    EXPECT_EQ(t[258].count, 3u);
    EXPECT_EQ(Get16(f, t[258].value), 8u);
    EXPECT_EQ(Get16(f, t[258].value + 4), 8u);
    EXPECT_EQ(t[259].value, 1u) << "uncompressed";
    EXPECT_EQ(t[262].value, 2u) << "RGB";
    EXPECT_EQ(t[277].value, 3u);
    EXPECT_EQ(t[284].value, 1u) << "chunky";
    EXPECT_EQ(t[296].value, 2u) << "inches";
    EXPECT_EQ(Get32(f, t[282].value) / Get32(f, t[282].value + 4), 300u);
    EXPECT_EQ(Get32(f, t[283].value) / Get32(f, t[283].value + 4), 150u);
    EXPECT_EQ(TiffPixels(f), r.rows);
}

TEST(TwacquireTiff, ALargePageIsCutIntoStripsThatHoldEveryRow) {
    const Raster r = Pattern(1000, 301, 8);  // 301,000 bytes: four strips of 65 rows and one of 41
    const std::vector<uint8_t> f = TiffBytes(r);
    std::map<uint32_t, TiffEntry> t = Directory(f);
    EXPECT_EQ(t[278].value, 65u);
    EXPECT_EQ(t[273].count, 5u);
    EXPECT_EQ(t[279].count, 5u);
    EXPECT_EQ(TiffPixels(f), r.rows);
    EXPECT_EQ(t[262].value, 1u) << "grey with black at 0";
}

TEST(TwacquireTiff, BilevelPagesSayWhichValueIsWhite) {
    Raster r = Pattern(20, 3, 1);
    EXPECT_EQ(Directory(TiffBytes(r))[262].value, 1u);
    r.whiteIsZero = true;
    std::map<uint32_t, TiffEntry> t = Directory(TiffBytes(r));
    EXPECT_EQ(t[262].value, 0u);
    EXPECT_EQ(t[258].value, 1u);
    EXPECT_EQ(TiffPixels(TiffBytes(r)), r.rows);
}

TEST(TwacquireTiff, WithoutAResolutionTheTagsAreLeftOut) {
    Raster r = Pattern(4, 4, 8);
    r.xDpi = r.yDpi = 0;
    std::map<uint32_t, TiffEntry> t = Directory(TiffBytes(r));
    EXPECT_EQ(t.count(282), 0u);
    EXPECT_EQ(t.count(296), 0u);
    EXPECT_EQ(TiffPixels(TiffBytes(r)), r.rows);
}

TEST(TwacquireBmp, AColourPageIsBottomUpBlueGreenRedWithPaddedRows) {
    const Raster r = Pattern(5, 3, 24);  // 15 bytes a row, 16 in the file
    const std::vector<uint8_t> f = BmpBytes(r);
    ASSERT_EQ(f.size(), 54u + 16 * 3);
    EXPECT_EQ(f[0], 'B');
    EXPECT_EQ(Get32(f, 2), f.size());
    EXPECT_EQ(Get32(f, 10), 54u);
    EXPECT_EQ(Get32(f, 18), 5u);
    EXPECT_EQ(Get32(f, 22), 3u);
    EXPECT_EQ(Get16(f, 28), 24u);
    EXPECT_EQ(Get32(f, 38), 11811u) << "300 dpi in pixels per metre";
    for (uint32_t y = 0; y < 3; ++y)
        for (uint32_t x = 0; x < 5; ++x)
            for (int c = 0; c < 3; ++c)
                EXPECT_EQ(f[54 + (2 - y) * 16 + 3 * x + (2 - c)], r.rows[y * 15 + 3 * x + c]);
}

TEST(TwacquireBmp, GreyAndBilevelPagesHaveTheirPalettes) {
    Raster grey = Pattern(3, 2, 8);
    std::vector<uint8_t> f = BmpBytes(grey);
    EXPECT_EQ(Get32(f, 10), 54u + 1024);
    EXPECT_EQ(Get32(f, 46), 256u);
    EXPECT_EQ(Get32(f, 54 + 4 * 200), 0xC8C8C8u);
    EXPECT_EQ(f[54 + 1024 + 4 + 1], grey.rows[1]) << "the top row is stored last";

    Raster bits = Pattern(9, 2, 1);
    bits.whiteIsZero = true;
    f = BmpBytes(bits);
    EXPECT_EQ(Get32(f, 46), 2u);
    EXPECT_EQ(Get32(f, 54), 0xFFFFFFu) << "0 is white";
    EXPECT_EQ(Get32(f, 58), 0u);
    EXPECT_EQ(f.size(), 62u + 4 * 2);
}
