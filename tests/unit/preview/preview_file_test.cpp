// The stored preview picture and the BMP reader of the bitmap viewer: the
// exact layout of QZLG0000.BMP / QZLC0000.BMP, and files of every kind the
// viewer may be handed, good and bad.
#include "common/preview_render_bmp.h"
#include "common/preview_render.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

using namespace preview;

namespace {

uint32_t U32(const std::vector<uint8_t>& v, size_t at) {
    return v[at] | (v[at + 1] << 8) | (v[at + 2] << 16) | (static_cast<uint32_t>(v[at + 3]) << 24);
}
uint16_t U16(const std::vector<uint8_t>& v, size_t at) { return static_cast<uint16_t>(v[at] | (v[at + 1] << 8)); }
void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
    for (int i = 0; i < 4; ++i) v[at + i] = static_cast<uint8_t>(x >> (8 * i));
}
void Put16(std::vector<uint8_t>& v, size_t at, uint32_t x) {
    v[at] = static_cast<uint8_t>(x);
    v[at + 1] = static_cast<uint8_t>(x >> 8);
}

// A BMP file built field by field, independently of the code under test.
struct BmpBuilder {
    uint32_t headerSize = 40;
    int32_t width = 3, height = 2;
    uint16_t planes = 1, bits = 24;
    uint32_t compression = 0, coloursUsed = 0;
    std::vector<std::array<uint8_t, 3>> palette;  // blue, green, red
    std::vector<std::vector<uint8_t>> rows;       // stored order, unpadded

    std::vector<uint8_t> Build() const {
        const bool core = headerSize == 12;
        const size_t entry = core ? 3 : 4;
        // Rows as the header describes them, but never shorter than the
        // bytes given (a header may lie about its rows).
        size_t rowBytes = ((static_cast<size_t>(width < 0 ? -static_cast<int64_t>(width) : width) * bits + 31) / 32) * 4;
        for (const auto& r : rows) rowBytes = std::max(rowBytes, (r.size() + 3) / 4 * 4);
        const size_t pixelOffset = 14 + headerSize + palette.size() * entry;
        std::vector<uint8_t> f(pixelOffset + rowBytes * rows.size(), 0);
        f[0] = 'B';
        f[1] = 'M';
        Put32(f, 2, static_cast<uint32_t>(f.size()));
        Put32(f, 10, static_cast<uint32_t>(pixelOffset));
        Put32(f, 14, headerSize);
        if (core) {
            Put16(f, 18, static_cast<uint32_t>(width));
            Put16(f, 20, static_cast<uint32_t>(height));
            Put16(f, 22, planes);
            Put16(f, 24, bits);
        } else {
            Put32(f, 18, static_cast<uint32_t>(width));
            Put32(f, 22, static_cast<uint32_t>(height));
            Put16(f, 26, planes);
            Put16(f, 28, bits);
            Put32(f, 30, compression);
            Put32(f, 46, coloursUsed);
        }
        for (size_t i = 0; i < palette.size(); ++i)
            for (int c = 0; c < 3; ++c) f[14 + headerSize + i * entry + c] = palette[i][c];
        for (size_t r = 0; r < rows.size(); ++r)
            std::memcpy(f.data() + pixelOffset + r * rowBytes, rows[r].data(), rows[r].size());
        return f;
    }
};

std::vector<uint8_t> Decode(const std::vector<uint8_t>& file, bool colour, BmpLayout* out = nullptr) {
    auto layout = ParseBmp(file.data(), file.size());
    if (!layout) return {};
    if (out) *out = *layout;
    std::vector<uint8_t> pixels(DecodedSize(*layout, colour), 0xEE);
    DecodeBmp(file.data(), *layout, colour, pixels.data());
    return pixels;
}

}  // namespace

TEST(PreviewFile, GreyHeaderFieldByField) {
    const auto h = PreviewFileHeader(306, 504, false);
    ASSERT_EQ(h.size(), 54u + 1024u);
    EXPECT_EQ(h[0], 'B');
    EXPECT_EQ(h[1], 'M');
    EXPECT_EQ(U32(h, 2), 504u * 308u + 1024u + 54u);
    EXPECT_EQ(U32(h, 6), 0u);
    EXPECT_EQ(U32(h, 10), 1078u);
    EXPECT_EQ(U32(h, 14), 40u);
    EXPECT_EQ(U32(h, 18), 306u);
    EXPECT_EQ(U32(h, 22), 504u);
    EXPECT_EQ(U16(h, 26), 1);
    EXPECT_EQ(U16(h, 28), 8);
    for (size_t at = 30; at < 46; ++at) EXPECT_EQ(h[at], 0) << at;
    EXPECT_EQ(U32(h, 46), 256u);
    EXPECT_EQ(U32(h, 50), 0u);
    for (unsigned i = 0; i < 256; ++i) {
        EXPECT_EQ(h[54 + 4 * i], i);
        EXPECT_EQ(h[55 + 4 * i], i);
        EXPECT_EQ(h[56 + 4 * i], i);
        EXPECT_EQ(h[57 + 4 * i], 0);
    }
    EXPECT_EQ(PreviewFileSize(306, 504, false), U32(h, 2));
}

TEST(PreviewFile, ColourHeaderHasNoPaletteAndPaddedTripleRows) {
    const auto h = PreviewFileHeader(101, 7, true);
    ASSERT_EQ(h.size(), 54u);
    EXPECT_EQ(PreviewStride(101, true), 304u);  // 303 rounded up
    EXPECT_EQ(U32(h, 2), 7u * 304u + 54u);
    EXPECT_EQ(U32(h, 10), 54u);
    EXPECT_EQ(U16(h, 28), 24);
    EXPECT_EQ(U32(h, 46), 0u);
}

TEST(PreviewFile, AStoredPictureReadsBackAsTheSameLevels) {
    const uint16_t w = 5, hgt = 3;
    auto file = PreviewFileHeader(w, hgt, false);
    const uint32_t s = PreviewStride(w, false);
    std::vector<uint8_t> pixels(s * hgt);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i * 13);
    file.insert(file.end(), pixels.begin(), pixels.end());
    BmpLayout layout;
    auto grey = Decode(file, false, &layout);
    ASSERT_FALSE(grey.empty());
    EXPECT_EQ(layout.width, w);
    EXPECT_EQ(layout.height, hgt);
    for (uint32_t y = 0; y < hgt; ++y)
        for (uint32_t x = 0; x < w; ++x) EXPECT_EQ(grey[y * s + x], pixels[y * s + x]);
}

TEST(BmpReader, TwentyFourBitsBottomUpAsStored) {
    BmpBuilder b;
    b.rows = {{1, 2, 3, 4, 5, 6, 7, 8, 9}, {10, 11, 12, 13, 14, 15, 16, 17, 18}};
    auto px = Decode(b.Build(), true);
    ASSERT_EQ(px.size(), 2u * 12u);
    EXPECT_EQ(px[0], 1);
    EXPECT_EQ(px[8], 9);
    EXPECT_EQ(px[12], 10);
    EXPECT_EQ(px[9], 0);  // padding zeroed
}

TEST(BmpReader, TopDownFileComesOutBottomUp) {
    BmpBuilder b;
    b.height = -2;
    b.rows = {{1, 2, 3, 4, 5, 6, 7, 8, 9}, {10, 11, 12, 13, 14, 15, 16, 17, 18}};
    auto px = Decode(b.Build(), true);
    ASSERT_FALSE(px.empty());
    EXPECT_EQ(px[0], 10);   // the file's last row is the bottom row
    EXPECT_EQ(px[12], 1);
}

TEST(BmpReader, EightBitsThroughThePaletteToColourOrGrey) {
    BmpBuilder b;
    b.bits = 8;
    b.width = 2;
    b.height = 1;
    b.palette = {{0, 0, 0}, {255, 0, 0}, {0, 0, 255}};  // black, blue, red
    b.coloursUsed = 3;
    b.rows = {{1, 2}};
    auto colour = Decode(b.Build(), true);
    ASSERT_FALSE(colour.empty());
    EXPECT_EQ(colour[0], 255);  // blue pixel: blue byte
    EXPECT_EQ(colour[2], 0);
    EXPECT_EQ(colour[5], 255);  // red pixel: red byte
    auto grey = Decode(b.Build(), false);
    ASSERT_FALSE(grey.empty());
    EXPECT_EQ(grey[0], 29 * 255 / 256);  // luminance of pure blue
    EXPECT_EQ(grey[1], 77 * 255 / 256);  // and of pure red
}

TEST(BmpReader, IndicesBeyondThePaletteAreBlack) {
    BmpBuilder b;
    b.bits = 8;
    b.width = 2;
    b.height = 1;
    b.palette = {{9, 9, 9}};
    b.coloursUsed = 1;
    b.rows = {{0, 200}};
    auto px = Decode(b.Build(), true);
    ASSERT_FALSE(px.empty());
    EXPECT_EQ(px[0], 9);
    EXPECT_EQ(px[3], 0);
    EXPECT_EQ(px[4], 0);
    EXPECT_EQ(px[5], 0);
}

TEST(BmpReader, OneBitLeftmostPixelInTheHighBit) {
    BmpBuilder b;
    b.bits = 1;
    b.width = 10;
    b.height = 1;
    b.palette = {{0, 0, 0}, {255, 255, 255}};
    b.rows = {{0xA0, 0x40}};  // pixels 0, 2 and 9 white
    auto px = Decode(b.Build(), false);
    ASSERT_FALSE(px.empty());
    for (int x = 0; x < 10; ++x) EXPECT_EQ(px[x], (x == 0 || x == 2 || x == 9) ? 255 : 0) << x;
}

TEST(BmpReader, CoreHeaderWithThreeBytePalette) {
    BmpBuilder b;
    b.headerSize = 12;
    b.bits = 8;
    b.width = 1;
    b.height = 1;
    b.palette.assign(256, {0, 0, 0});
    b.palette[7] = {10, 20, 30};
    b.rows = {{7}};
    auto px = Decode(b.Build(), true);
    ASSERT_FALSE(px.empty());
    EXPECT_EQ(px[0], 10);
    EXPECT_EQ(px[1], 20);
    EXPECT_EQ(px[2], 30);
}

TEST(BmpReader, LongerHeaderVersionsAreRead) {
    for (uint32_t size : {52u, 56u, 108u, 124u}) {
        BmpBuilder b;
        b.headerSize = size;
        b.width = 1;
        b.height = 1;
        b.rows = {{5, 6, 7}};
        auto px = Decode(b.Build(), true);
        ASSERT_FALSE(px.empty()) << size;
        EXPECT_EQ(px[2], 7) << size;
    }
}

TEST(BmpReader, EveryTruncationOfAValidFileIsRefused) {
    BmpBuilder b;
    b.bits = 8;
    b.width = 3;
    b.height = 3;
    b.palette.assign(256, {1, 2, 3});
    b.rows = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
    const auto file = b.Build();
    ASSERT_TRUE(ParseBmp(file.data(), file.size()));
    // The last row needs only its three pixel bytes, not its padding.
    const size_t shortest = file.size() - 1;
    EXPECT_TRUE(ParseBmp(file.data(), shortest));
    for (size_t n = 0; n < shortest - 1; ++n) EXPECT_FALSE(ParseBmp(file.data(), n)) << n;
}

TEST(BmpReader, MalformedHeadersGiveNoPicture) {
    auto refused = [](auto change) {
        BmpBuilder b;
        b.rows = {{1, 2, 3, 4, 5, 6, 7, 8, 9}, {10, 11, 12, 13, 14, 15, 16, 17, 18}};
        change(b);
        auto f = b.Build();
        return !ParseBmp(f.data(), f.size());
    };
    EXPECT_TRUE(refused([](BmpBuilder& b) { b.bits = 16; }));
    EXPECT_TRUE(refused([](BmpBuilder& b) { b.bits = 32; }));
    EXPECT_TRUE(refused([](BmpBuilder& b) { b.bits = 0; }));
    EXPECT_TRUE(refused([](BmpBuilder& b) { b.compression = 1; }));
    EXPECT_TRUE(refused([](BmpBuilder& b) { b.planes = 2; }));
    EXPECT_TRUE(refused([](BmpBuilder& b) { b.headerSize = 41; }));
    EXPECT_TRUE(refused([](BmpBuilder& b) { b.width = 0; }));
    EXPECT_TRUE(refused([](BmpBuilder& b) { b.width = -3; }));
    EXPECT_TRUE(refused([](BmpBuilder& b) { b.height = 0; }));
    EXPECT_TRUE(refused([](BmpBuilder& b) { b.height = INT32_MIN; }));
    EXPECT_TRUE(refused([](BmpBuilder& b) { b.height = 70000; }));   // more rows than stored
    EXPECT_TRUE(refused([](BmpBuilder& b) { b.width = 70000; }));    // rows longer than stored
    EXPECT_TRUE(refused([](BmpBuilder& b) { b.height = 3; }));       // one row missing
}

TEST(BmpReader, BadMagicOrPixelOffsetIsRefused) {
    BmpBuilder b;
    b.rows = {{1, 2, 3, 4, 5, 6, 7, 8, 9}, {10, 11, 12, 13, 14, 15, 16, 17, 18}};
    auto f = b.Build();
    auto g = f;
    g[0] = 'X';
    EXPECT_FALSE(ParseBmp(g.data(), g.size()));
    g = f;
    Put32(g, 10, static_cast<uint32_t>(g.size()));  // pixels start at the end
    EXPECT_FALSE(ParseBmp(g.data(), g.size()));
    g = f;
    Put32(g, 10, 0xFFFFFFF0u);
    EXPECT_FALSE(ParseBmp(g.data(), g.size()));
    g = f;
    Put32(g, 10, 20);  // inside the header
    EXPECT_FALSE(ParseBmp(g.data(), g.size()));
    EXPECT_FALSE(ParseBmp(nullptr, 100));
}

TEST(BmpReader, APaletteRunningPastTheFileIsRefused) {
    BmpBuilder b;
    b.bits = 8;
    b.width = 1;
    b.height = 1;
    b.palette = {{1, 1, 1}};
    b.coloursUsed = 1;
    b.rows = {{0}};
    auto f = b.Build();
    ASSERT_TRUE(ParseBmp(f.data(), f.size()));
    Put32(f, 46, 0);  // now claims all 256 entries, which the file lacks
    EXPECT_FALSE(ParseBmp(f.data(), f.size()));
}

TEST(BmpReader, ColoursUsedAboveWhatTheBitsAddressIsCut) {
    BmpBuilder b;
    b.bits = 1;
    b.width = 1;
    b.height = 1;
    b.palette = {{0, 0, 0}, {255, 255, 255}};
    b.coloursUsed = 1000;
    b.rows = {{0x80}};
    auto f = b.Build();
    auto layout = ParseBmp(f.data(), f.size());
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->paletteCount, 2u);
}

TEST(BmpReader, PicturesBeyondTheDecodeLimitAreRefused) {
    // 65535 x 400 at 24 bits decodes to about 78 MB, above the limit; the
    // header alone says so, whatever the file holds.
    BmpBuilder b;
    b.bits = 1;
    b.width = 65535;
    b.height = 400;
    b.palette = {{0, 0, 0}, {255, 255, 255}};
    b.rows.assign(400, std::vector<uint8_t>(8192, 0));
    auto f = b.Build();
    EXPECT_FALSE(ParseBmp(f.data(), f.size()));
}
