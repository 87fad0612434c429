// The renderer's arithmetic: display gamma, palettes through the tone
// tables, the 3-3-2 ordered dither and the colour mapping.
#include "common/preview_render.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

using namespace preview;

namespace {

// Tone tables whose four sets differ, so a lookup in the wrong set shows.
std::array<uint8_t, kToneTablesSize> DistinctTables() {
    std::array<uint8_t, kToneTablesSize> t{};
    for (int i = 0; i < 256; ++i) {
        t[kBlueTable + i] = static_cast<uint8_t>(255 - i);     // inverted
        t[kGreenTable + i] = static_cast<uint8_t>(i / 2);      // halved
        t[kRedTable + i] = static_cast<uint8_t>(i ^ 0x0F);     // low bits flipped
        t[kGreyTable + i] = static_cast<uint8_t>(i | 0x80);    // lifted
    }
    return t;
}

}  // namespace

TEST(DisplayGamma, TheListedEntriesOfAGammaOf18) {
    const auto g = DisplayGammaTable();
    EXPECT_EQ(g[0], 0);
    EXPECT_EQ(g[1], 12);
    EXPECT_EQ(g[2], 17);
    EXPECT_EQ(g[64], 118);
    EXPECT_EQ(g[128], 174);
    EXPECT_EQ(g[192], 218);
    EXPECT_EQ(g[255], 255);
}

TEST(DisplayGamma, BrightensEveryMidToneAndNeverDecreases) {
    const auto g = DisplayGammaTable();
    for (int i = 1; i < 256; ++i) {
        EXPECT_GE(g[i], g[i - 1]) << i;
        EXPECT_GE(g[i], i) << i;
    }
    // Strictly brighter across the mid tones (near white it rounds back).
    for (int i = 1; i <= 250; ++i) EXPECT_GT(g[i], i) << i;
}

TEST(ToneTables, IdentityHoldsItsIndexInAllFourSets) {
    const auto t = IdentityToneTables();
    for (size_t set : {kBlueTable, kGreenTable, kRedTable, kGreyTable})
        for (int i = 0; i < 256; ++i) ASSERT_EQ(t[set + i], i);
}

TEST(GreyPalette, EveryEntryIsTheGreyTableInAllThreeComponents) {
    const auto t = DistinctTables();
    PreviewPalette p{};
    FillGreyPalette(t.data(), p);
    EXPECT_EQ(p.version, 0x300);
    EXPECT_EQ(p.count, 256);
    for (unsigned i = 0; i < 256; ++i) {
        const uint8_t v = static_cast<uint8_t>(i | 0x80);
        EXPECT_EQ(p.entries[i].red, v);
        EXPECT_EQ(p.entries[i].green, v);
        EXPECT_EQ(p.entries[i].blue, v);
        EXPECT_EQ(p.entries[i].flags, 0);
    }
}

TEST(CubePalette, IdentityTablesGiveTheCentresOfTheCells) {
    const auto t = IdentityToneTables();
    EXPECT_EQ(CubePaletteEntry(t.data(), 0x00), (Rgb{16, 16, 32}));
    EXPECT_EQ(CubePaletteEntry(t.data(), 0xFF), (Rgb{240, 240, 224}));
    // red in bits 7-5, green in bits 4-2, blue in bits 1-0
    EXPECT_EQ(CubePaletteEntry(t.data(), 0xA0), (Rgb{5 * 32 + 16, 16, 32}));
    EXPECT_EQ(CubePaletteEntry(t.data(), 0x0C), (Rgb{16, 3 * 32 + 16, 32}));
    EXPECT_EQ(CubePaletteEntry(t.data(), 0x02), (Rgb{16, 16, 2 * 64 + 32}));
}

TEST(CubePalette, EachComponentGoesThroughItsOwnTable) {
    const auto t = DistinctTables();
    PreviewPalette p{};
    FillCubePalette(t.data(), p);
    EXPECT_EQ(p.count, 256);
    for (unsigned d = 0; d < 256; ++d) {
        const unsigned r = (d & 0xE0) + 16, g = ((d >> 2) & 7) * 32 + 16, b = (d & 3) * 64 + 32;
        EXPECT_EQ(p.entries[d].red, r ^ 0x0F) << d;
        EXPECT_EQ(p.entries[d].green, g / 2) << d;
        EXPECT_EQ(p.entries[d].blue, 255 - b) << d;
    }
}

TEST(Dither, MatrixRowsAsDesigned) {
    const uint8_t first[8] = {2, 130, 34, 162, 10, 138, 42, 98};
    const uint8_t last[8] = {254, 126, 222, 94, 246, 118, 214, 86};
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(kDitherMatrix[0][x], first[x]);
        EXPECT_EQ(kDitherMatrix[7][x], last[x]);
    }
    EXPECT_EQ(kDitherMatrix[3][4], 250);
    EXPECT_EQ(kDitherMatrix[5][0], 206);
}

TEST(Dither, BlackAndWhiteStayPureAtEveryThreshold) {
    for (int t = 0; t < 256; ++t) {
        EXPECT_EQ(DitherPixel(0, 0, 0, static_cast<uint8_t>(t)), 0) << t;
        EXPECT_EQ(DitherPixel(255, 255, 255, static_cast<uint8_t>(t)), 0xFF) << t;
    }
}

TEST(Dither, OnePixelWorkedThrough) {
    // blue (100+34+42)/85=2 -> 170-34=136 -> 0x80 -> 2
    // green (150+34+18)/36=5 -> 180-34=146 -> 0x80 -> 0x10
    // red (200+34+18)/36=7 -> 252-34=218 -> 0xC0
    EXPECT_EQ(DitherPixel(100, 150, 200, 34), 0xD2);
    // Clamping: green and red stop at 252, blue at 255.
    // blue (250+2+42)/85=3 -> 253 -> 0xC0 -> 3; green (250+2+18)/36=7 -> 250 -> 0xE0 -> 0x1C
    EXPECT_EQ(DitherPixel(250, 250, 0, 2), 0x1F);
}

TEST(Dither, AFlatFieldAveragesCloseToItsColourThroughThePalette) {
    // The point of the dither: an 8 x 8 tile of one colour, shown through
    // the cube palette, looks like that colour on average.
    const auto tables = IdentityToneTables();
    for (int v : {40, 96, 128, 180, 220}) {
        const uint32_t width = 8, height = 8, stride = PaddedRow(3 * width);
        std::vector<uint8_t> src(stride * height);
        for (uint32_t y = 0; y < height; ++y)
            for (uint32_t x = 0; x < width; ++x) src[y * stride + 3 * x] = src[y * stride + 3 * x + 1] =
                src[y * stride + 3 * x + 2] = static_cast<uint8_t>(v);
        std::vector<uint8_t> dst(PaddedRow(width) * height);
        DitherPicture(src.data(), stride, width, height, dst.data());
        double red = 0, green = 0, blue = 0;
        for (uint32_t y = 0; y < height; ++y)
            for (uint32_t x = 0; x < width; ++x) {
                Rgb c = CubePaletteEntry(tables.data(), dst[y * PaddedRow(width) + x]);
                red += c.red;
                green += c.green;
                blue += c.blue;
            }
        EXPECT_NEAR(red / 64, v, 24) << v;
        EXPECT_NEAR(green / 64, v, 24) << v;
        EXPECT_NEAR(blue / 64, v, 48) << v;  // four blue levels only
    }
}

TEST(Dither, ThresholdRowFollowsMemoryRowsAndRepeatsEveryEight) {
    const uint32_t width = 9, height = 9, stride = PaddedRow(3 * width);
    std::vector<uint8_t> src(stride * height, 0);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            src[y * stride + 3 * x] = 90;
            src[y * stride + 3 * x + 1] = 100;
            src[y * stride + 3 * x + 2] = 110;
        }
    std::vector<uint8_t> dst(PaddedRow(width) * height, 0xEE);
    DitherPicture(src.data(), stride, width, height, dst.data());
    const uint32_t ds = PaddedRow(width);
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x)
            EXPECT_EQ(dst[y * ds + x], DitherPixel(90, 100, 110, kDitherMatrix[y % 8][x % 8])) << y << "," << x;
        for (uint32_t x = width; x < ds; ++x) EXPECT_EQ(dst[y * ds + x], 0) << "pad";
    }
    // Row 8 repeats row 0.
    for (uint32_t x = 0; x < width; ++x) EXPECT_EQ(dst[8 * ds + x], dst[x]);
}

TEST(ColourMapping, EachSampleThroughItsComponentsTable) {
    const auto t = DistinctTables();
    const uint32_t width = 2, height = 2, stride = PaddedRow(3 * width);  // 8: two pad bytes
    std::vector<uint8_t> src = {10, 20, 30, 40, 50, 60, 0xAA, 0xBB,
                                70, 80, 90, 100, 110, 120, 0xCC, 0xDD};
    std::vector<uint8_t> dst(stride * height, 0);
    MapColourPicture(src.data(), stride, width, height, t.data(), dst.data());
    EXPECT_EQ(dst[0], 255 - 10);    // blue through the blue table
    EXPECT_EQ(dst[1], 20 / 2);      // green through the green table
    EXPECT_EQ(dst[2], 30 ^ 0x0F);   // red through the red table
    EXPECT_EQ(dst[11], 255 - 100);  // second row, second pixel
    EXPECT_EQ(dst[13], 120 ^ 0x0F);
    EXPECT_EQ(dst[6], 0xAA);        // padding copied as it is
    EXPECT_EQ(dst[15], 0xDD);
}

TEST(Sizes, RowsPadToFourAndTheViewIsHalfTheZoom) {
    EXPECT_EQ(PaddedRow(306), 308u);
    EXPECT_EQ(PaddedRow(918), 920u);
    EXPECT_EQ(PaddedRow(4), 4u);
    EXPECT_EQ(HalfSize(613), 306);
    EXPECT_EQ(HalfSize(1), 1);
}
