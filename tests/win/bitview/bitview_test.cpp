// The bitmap viewer as the setup window and the tone dialogs use it: open a
// stored picture, render it through the preview tables, and never trust a
// file: whatever is not a whole, valid BMP gives no picture.
#include "common/preview_image.h"
#include "tests/support/wine_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

using namespace wintest;

namespace {

void Put32(std::vector<unsigned char>& v, size_t at, uint32_t x) {
    for (int i = 0; i < 4; ++i) v[at + i] = static_cast<unsigned char>(x >> (8 * i));
}

// A BMP with the 40-byte header; rows given in stored order, unpadded.
std::vector<unsigned char> Bmp(int32_t width, int32_t height, uint16_t bits,
                               const std::vector<std::vector<unsigned char>>& palette,
                               const std::vector<std::vector<unsigned char>>& rows) {
    const size_t absWidth = static_cast<size_t>(width < 0 ? -width : width);
    const size_t rowBytes = (absWidth * bits + 31) / 32 * 4;
    const size_t offset = 54 + 4 * palette.size();
    std::vector<unsigned char> f(offset + rowBytes * rows.size(), 0);
    f[0] = 'B';
    f[1] = 'M';
    Put32(f, 2, static_cast<uint32_t>(f.size()));
    Put32(f, 10, static_cast<uint32_t>(offset));
    Put32(f, 14, 40);
    Put32(f, 18, static_cast<uint32_t>(width));
    Put32(f, 22, static_cast<uint32_t>(height));
    f[26] = 1;
    f[28] = static_cast<unsigned char>(bits);
    Put32(f, 46, static_cast<uint32_t>(palette.size()));
    for (size_t i = 0; i < palette.size(); ++i) std::memcpy(&f[54 + 4 * i], palette[i].data(), 3);
    for (size_t r = 0; r < rows.size(); ++r) std::memcpy(&f[offset + r * rowBytes], rows[r].data(), rows[r].size());
    return f;
}

void Write(const std::string& path, const std::vector<unsigned char>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

std::vector<std::vector<unsigned char>> GreyPalette() {
    std::vector<std::vector<unsigned char>> p;
    for (int i = 0; i < 256; ++i) p.push_back({static_cast<unsigned char>(i), static_cast<unsigned char>(i),
                                               static_cast<unsigned char>(i)});
    return p;
}

class Bitview : public ::testing::Test {
protected:
    Bitview() : file_(TempPath("bitview") + ".bmp") {
        module_ = LoadLibraryA(ProductFile("bitview.dll").c_str());
        if (module_) {
            open_ = reinterpret_cast<BitviewProc>(reinterpret_cast<void*>(GetProcAddress(module_, "Bitview")));
            show_ = reinterpret_cast<ShowBitviewProc>(
                reinterpret_cast<void*>(GetProcAddress(module_, "ShowBitview")));
        }
        tonesHandle_ = GlobalAlloc(GMEM_MOVEABLE, 3072);
        tones_.handle = tonesHandle_;
        tones_.address = static_cast<uint8_t*>(GlobalLock(tonesHandle_));
        for (int i = 0; i < 3072; ++i) tones_.address[i] = static_cast<uint8_t>(i & 0xFF);
    }
    ~Bitview() override {
        GlobalUnlock(tonesHandle_);
        GlobalFree(tonesHandle_);
        if (module_) FreeLibrary(module_);
    }

    OpenedBitmap Open(const std::vector<unsigned char>& bytes, bool colour) {
        Write(file_.path(), bytes);
        OpenedBitmap previous{};
        return open_(nullptr, file_.path().c_str(), colour ? 1 : 0, &previous);
    }
    static void Release(OpenedBitmap& b) {
        if (b.memory) {
            GlobalUnlock(static_cast<HGLOBAL>(b.memory));
            GlobalFree(static_cast<HGLOBAL>(b.memory));
        }
        b = OpenedBitmap{};
    }
    static void Free(PreviewImage& p) {
        if (p.viewDC) DeleteDC(static_cast<HDC>(p.viewDC));
        if (p.zoomDC) DeleteDC(static_cast<HDC>(p.zoomDC));
        if (p.viewBitmap) DeleteObject(static_cast<HBITMAP>(p.viewBitmap));
        if (p.zoomBitmap) DeleteObject(static_cast<HBITMAP>(p.zoomBitmap));
        if (p.paletteBlock) {
            GlobalUnlock(static_cast<HGLOBAL>(p.paletteBlock));
            GlobalFree(static_cast<HGLOBAL>(p.paletteBlock));
        }
        p = PreviewImage{};
    }
    static SIZE BitmapSize(void* bitmap) {
        BITMAP bm{};
        GetObjectA(static_cast<HBITMAP>(bitmap), sizeof bm, &bm);
        return {bm.bmWidth, bm.bmHeight};
    }

    TempFile file_;
    HMODULE module_ = nullptr;
    BitviewProc open_ = nullptr;
    ShowBitviewProc show_ = nullptr;
    HGLOBAL tonesHandle_ = nullptr;
    ToneTablesRef tones_{};
};

}  // namespace

TEST_F(Bitview, BothEntriesAreFound) {
    ASSERT_NE(module_, nullptr);
    EXPECT_NE(open_, nullptr);
    EXPECT_NE(show_, nullptr);
}

TEST_F(Bitview, AStoredGreyPreviewOpensAsItsLevels) {
    ASSERT_NE(open_, nullptr);
    // The prescan's grey file: 8 bits with the 256-entry grey palette.
    std::vector<std::vector<unsigned char>> rows;
    for (int y = 0; y < 3; ++y) rows.push_back({static_cast<unsigned char>(y * 10), 100, 200, 255, 7});
    OpenedBitmap b = Open(Bmp(5, 3, 8, GreyPalette(), rows), false);
    ASSERT_NE(b.pixels, nullptr);
    EXPECT_EQ(OpenedWidth(b), 5);
    EXPECT_EQ(OpenedHeight(b), 3);
    EXPECT_EQ(b.bitsPerPixel, 8u);
    ASSERT_NE(b.memory, nullptr);
    EXPECT_GE(GlobalSize(static_cast<HGLOBAL>(b.memory)), 8u * 3u);
    const auto* px = static_cast<const uint8_t*>(b.pixels);
    for (int y = 0; y < 3; ++y) {
        EXPECT_EQ(px[y * 8], y * 10);  // bottom row first, as stored
        EXPECT_EQ(px[y * 8 + 3], 255);
        EXPECT_EQ(px[y * 8 + 4], 7);
    }
    Release(b);
}

TEST_F(Bitview, ATopDownColourFileOpensBottomUp) {
    ASSERT_NE(open_, nullptr);
    OpenedBitmap b = Open(Bmp(2, -2, 24, {}, {{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}}), true);
    ASSERT_NE(b.pixels, nullptr);
    EXPECT_EQ(b.bitsPerPixel, 24u);
    const auto* px = static_cast<const uint8_t*>(b.pixels);
    EXPECT_EQ(px[0], 7);  // the file's second row is the picture's bottom row
    EXPECT_EQ(px[8], 1);
    Release(b);
}

TEST_F(Bitview, OneBitPicturesOpenInColourAndGrey) {
    ASSERT_NE(open_, nullptr);
    auto file = Bmp(3, 1, 1, {{0, 0, 0}, {0, 0, 255}}, {{0x40}});  // middle pixel red
    OpenedBitmap colour = Open(file, true);
    ASSERT_NE(colour.pixels, nullptr);
    const auto* c = static_cast<const uint8_t*>(colour.pixels);
    EXPECT_EQ(c[5], 255);
    EXPECT_EQ(c[2], 0);
    Release(colour);
    OpenedBitmap grey = Open(file, false);
    ASSERT_NE(grey.pixels, nullptr);
    EXPECT_EQ(static_cast<const uint8_t*>(grey.pixels)[1], 77 * 255 / 256);
    Release(grey);
}

TEST_F(Bitview, BadFilesGiveNoPicture) {
    ASSERT_NE(open_, nullptr);
    const auto good = Bmp(4, 4, 24, {}, std::vector<std::vector<unsigned char>>(4, std::vector<unsigned char>(12, 9)));
    auto truncated = good;
    truncated.resize(good.size() - 13);
    auto oversized = good;
    Put32(oversized, 18, 100000);
    auto tall = good;
    Put32(tall, 22, 5);
    auto rle = good;
    Put32(rle, 30, 1);
    auto sixteen = good;
    sixteen[28] = 16;
    for (const auto* bytes : {&truncated, &oversized, &tall, &rle, &sixteen}) {
        OpenedBitmap b = Open(*bytes, true);
        EXPECT_EQ(b.pixels, nullptr);
        EXPECT_EQ(b.memory, nullptr);
    }
    OpenedBitmap empty = Open({}, false);
    EXPECT_EQ(empty.pixels, nullptr);
    OpenedBitmap previous{};
    OpenedBitmap missing = open_(nullptr, (file_.path() + ".none").c_str(), 0, &previous);
    EXPECT_EQ(missing.pixels, nullptr);
    EXPECT_EQ(open_(nullptr, nullptr, 0, &previous).pixels, nullptr);
    OpenedBitmap fine = Open(good, true);
    EXPECT_NE(fine.pixels, nullptr);
    Release(fine);
}

TEST_F(Bitview, MangledFilesNeverBringItDown) {
    ASSERT_NE(open_, nullptr);
    const auto good = Bmp(7, 5, 8, GreyPalette(), std::vector<std::vector<unsigned char>>(5, std::vector<unsigned char>(7, 3)));
    std::mt19937 random(20261207);
    int opened = 0;
    for (int round = 0; round < 300; ++round) {
        auto bytes = good;
        const int changes = 1 + static_cast<int>(random() % 6);
        for (int i = 0; i < changes; ++i) bytes[random() % 60] = static_cast<unsigned char>(random());
        if (random() % 4 == 0) bytes.resize(random() % bytes.size());
        OpenedBitmap b = Open(bytes, random() % 2 == 0);
        if (b.pixels) {
            ++opened;
            const size_t need = static_cast<size_t>(OpenedHeight(b)) *
                                ((OpenedWidth(b) * (b.bitsPerPixel / 8) + 3) & ~3u);
            EXPECT_GE(GlobalSize(static_cast<HGLOBAL>(b.memory)), need);
        }
        Release(b);
    }
    EXPECT_GT(opened, 0);  // some survive a change in a field that does not matter
}

TEST_F(Bitview, GreyRendersThroughTheGreyTableAtBothSizes) {
    ASSERT_NE(show_, nullptr);
    for (int i = 0; i < 256; ++i) tones_.address[768 + i] = static_cast<uint8_t>(255 - i);  // inverted grey
    std::vector<std::vector<unsigned char>> rows(4, std::vector<unsigned char>{10, 10, 200, 200});
    OpenedBitmap b = Open(Bmp(4, 4, 8, GreyPalette(), rows), false);
    ASSERT_NE(b.pixels, nullptr);
    PreviewRect zoom{0, 0, 40, 20};
    PreviewImage p = show_(nullptr, &zoom, 2, b.pixels, &b, &tones_);
    ASSERT_NE(p.viewDC, nullptr);
    EXPECT_EQ(BitmapSize(p.zoomBitmap).cx, 40);
    EXPECT_EQ(BitmapSize(p.zoomBitmap).cy, 20);
    EXPECT_EQ(BitmapSize(p.viewBitmap).cx, 20);
    EXPECT_EQ(BitmapSize(p.viewBitmap).cy, 10);
    EXPECT_EQ(GetPixel(static_cast<HDC>(p.zoomDC), 5, 5), RGB(245, 245, 245));
    EXPECT_EQ(GetPixel(static_cast<HDC>(p.zoomDC), 35, 15), RGB(55, 55, 55));
    EXPECT_EQ(GetPixel(static_cast<HDC>(p.viewDC), 2, 2), RGB(245, 245, 245));
    ASSERT_NE(p.paletteEntries, nullptr);
    EXPECT_EQ(static_cast<PreviewPalette*>(p.paletteEntries)->entries[10].red, 245);
    Free(p);
    Release(b);
}

TEST_F(Bitview, ColourRendersEachComponentThroughItsTable) {
    ASSERT_NE(show_, nullptr);
    HDC screen = GetDC(nullptr);
    const int depth = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    if (depth <= 8) GTEST_SKIP() << "needs a true-colour screen";
    for (int i = 0; i < 256; ++i) {
        tones_.address[i] = static_cast<uint8_t>(i / 2);          // blue halved
        tones_.address[256 + i] = static_cast<uint8_t>(255 - i);  // green inverted
        tones_.address[512 + i] = static_cast<uint8_t>(i);        // red as it is
    }
    // One pixel of blue 200, green 50, red 120 everywhere.
    std::vector<std::vector<unsigned char>> rows(2, std::vector<unsigned char>{200, 50, 120, 200, 50, 120});
    OpenedBitmap b = Open(Bmp(2, 2, 24, {}, rows), true);
    ASSERT_NE(b.pixels, nullptr);
    PreviewRect zoom{5, 5, 25, 25};
    PreviewImage p = show_(nullptr, &zoom, 3, b.pixels, &b, &tones_);
    ASSERT_NE(p.viewDC, nullptr);
    EXPECT_EQ(p.paletteBlock, nullptr);
    EXPECT_EQ(GetPixel(static_cast<HDC>(p.zoomDC), 10, 10), RGB(120, 205, 100));
    EXPECT_EQ(GetPixel(static_cast<HDC>(p.viewDC), 5, 5), RGB(120, 205, 100));
    Free(p);
    Release(b);
}

TEST_F(Bitview, NothingToRenderGivesTheEmptyRecord) {
    ASSERT_NE(show_, nullptr);
    OpenedBitmap none{};
    PreviewRect zoom{0, 0, 10, 10};
    PreviewImage p = show_(nullptr, &zoom, 2, nullptr, &none, &tones_);
    EXPECT_EQ(p.viewDC, nullptr);
    EXPECT_EQ(p.zoomBitmap, nullptr);
    std::vector<std::vector<unsigned char>> rows(1, std::vector<unsigned char>{1, 2, 3, 4});
    OpenedBitmap b = Open(Bmp(4, 1, 8, GreyPalette(), rows), false);
    ASSERT_NE(b.pixels, nullptr);
    EXPECT_EQ(show_(nullptr, &zoom, 2, b.pixels, &b, nullptr).viewDC, nullptr);
    PreviewRect flat{0, 0, 10, 0};
    EXPECT_EQ(show_(nullptr, &flat, 2, b.pixels, &b, &tones_).viewDC, nullptr);
    // A mode that disagrees with the opened layout reads the pixels as laid out.
    PreviewImage asColour = show_(nullptr, &zoom, 3, b.pixels, &b, &tones_);
    EXPECT_NE(asColour.viewDC, nullptr);
    Free(asColour);
    Release(b);
}

// Run by the test bitview_palette_screen on a display of 256 colours.
TEST_F(Bitview, OnAPaletteScreenColourIsDitheredIntoTheToneMappedCube) {
    ASSERT_NE(show_, nullptr);
    HDC screen = GetDC(nullptr);
    const int depth = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    if (depth > 8) GTEST_SKIP() << "needs a screen of 256 colours or fewer";
    for (int i = 0; i < 256; ++i) tones_.address[512 + i] = static_cast<uint8_t>(255 - i);  // red inverted
    // A flat field of pure white: every dithered index is 0xFF.
    std::vector<std::vector<unsigned char>> rows(8, std::vector<unsigned char>(24, 255));
    OpenedBitmap b = Open(Bmp(8, 8, 24, {}, rows), true);
    ASSERT_NE(b.pixels, nullptr);
    PreviewRect zoom{0, 0, 8, 8};
    PreviewImage p = show_(nullptr, &zoom, 3, b.pixels, &b, &tones_);
    ASSERT_NE(p.viewDC, nullptr);
    ASSERT_NE(p.paletteEntries, nullptr);
    const auto* palette = static_cast<const PreviewPalette*>(p.paletteEntries);
    EXPECT_EQ(palette->count, 256);
    // Entry 0xFF: red table[240] (inverted: 15), green table[240], blue table[224].
    EXPECT_EQ(palette->entries[0xFF].red, 15);
    EXPECT_EQ(palette->entries[0xFF].green, 240);
    EXPECT_EQ(palette->entries[0xFF].blue, 224);
    EXPECT_EQ(palette->entries[0x00].red, 255 - 16);
    // The bitmap shows that entry as closely as the screen's colours allow
    // (a memory context realises its palette in the background): the
    // inverted red table turns white into a cyan.
    const COLORREF shown = GetPixel(static_cast<HDC>(p.zoomDC), 3, 3);
    EXPECT_LT(GetRValue(shown), 64) << std::hex << shown;
    EXPECT_GT(GetGValue(shown), 192) << std::hex << shown;
    EXPECT_GT(GetBValue(shown), 192) << std::hex << shown;
    Free(p);
    Release(b);
}
