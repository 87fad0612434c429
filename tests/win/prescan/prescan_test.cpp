// PreScan_Image called the way the setup window calls it, against the
// virtual scanner installed as PAVO_SP.IOB: what it asks the scanner, the
// file it leaves, the progress it reports, the pictures it returns, and
// every way it can fail.
#include "common/driver_request.h"
#include "common/preview_image.h"
#include "tests/support/message_box_watcher.h"
#include "tests/support/wine_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

using namespace wintest;

namespace {

const char kSection[] = "VirtualScanner";
const char kGreyFile[] = "QZLG0000.BMP";
const char kColourFile[] = "QZLC0000.BMP";

// The display gamma written out independently: 255 (i/255)^(1/1.8), rounded.
uint8_t Gamma(uint8_t v) { return static_cast<uint8_t>(std::floor(255.0 * std::pow(v / 255.0, 1 / 1.8) + 0.5)); }

uint32_t U32(const std::vector<unsigned char>& v, size_t at) {
    return v[at] | (v[at + 1] << 8) | (v[at + 2] << 16) | (static_cast<uint32_t>(v[at + 3]) << 24);
}

std::vector<std::string> Requests(const std::vector<std::string>& log, const char* prefix) {
    std::vector<std::string> out;
    for (const auto& l : log)
        if (l.rfind(prefix, 0) == 0) out.push_back(l);
    return out;
}

// A 24-bit BMP of width x height whose pixel (x, y from the top) is f(x, y).
void WritePicture(const std::string& path, int width, int height,
                  const std::function<COLORREF(int, int)>& f) {
    const int stride = (3 * width + 3) & ~3;
    std::vector<unsigned char> file(54 + static_cast<size_t>(stride) * height, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) file[at + i] = static_cast<unsigned char>(v >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<uint32_t>(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, width);
    put32(22, height);
    file[26] = 1;
    file[28] = 24;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            COLORREF c = f(x, y);
            unsigned char* p = &file[54 + static_cast<size_t>(height - 1 - y) * stride + 3 * x];
            p[0] = GetBValue(c);
            p[1] = GetGValue(c);
            p[2] = GetRValue(c);
        }
    FILE* out = std::fopen(path.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    std::fwrite(file.data(), 1, file.size(), out);
    std::fclose(out);
}

// Progress as the caller's routine sees it.
std::vector<std::pair<int, int>> g_progress;
int32_t PAVO_PREVIEW_CALL RecordProgress(PrescanProgress* p, int32_t total) {
    g_progress.emplace_back(p->linesDone, total);
    return 0;
}

// A file of the product folder as it was before the test, put back after.
class KeptFile {
public:
    explicit KeptFile(std::string name) : path_(ProductFile(name)), existed_(FileExists(path_)) {
        if (existed_) bytes_ = ReadWholeFile(path_);
    }
    ~KeptFile() {
        DeleteFileA(path_.c_str());
        if (existed_) {
            FILE* f = std::fopen(path_.c_str(), "wb");
            if (f) {
                std::fwrite(bytes_.data(), 1, bytes_.size(), f);
                std::fclose(f);
            }
        }
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
    bool existed_;
    std::vector<unsigned char> bytes_;
};

struct SectionGuard {
    SectionGuard() { existed = Present(); }
    ~SectionGuard() {
        if (!existed && !Present()) WriteProfileStringA(kSection, nullptr, nullptr);
    }
    static bool Present() {
        char buf[16];
        return GetProfileSectionA(kSection, buf, sizeof buf) != 0;
    }
    bool existed;
};

bool IsEmpty(const PreviewImage& p) {
    return !p.viewBitmap && !p.viewDC && !p.zoomBitmap && !p.zoomDC && !p.paletteBlock && !p.paletteEntries;
}

void Free(PreviewImage& p) {
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

SIZE BitmapSize(void* bitmap) {
    BITMAP bm{};
    GetObjectA(static_cast<HBITMAP>(bitmap), sizeof bm, &bm);
    return {bm.bmWidth, bm.bmHeight};
}

class Prescan : public ::testing::Test {
protected:
    Prescan() : log_(TempPath("prescan_log")), grey_(kGreyFile), colour_(kColourFile) {
        for (const char* key : {"Model", "Adapter", "Feeder", "ColourWithFeeder", "Pages", "Picture",
                                "LineDelay", "InquiryStatus", "NotReadyPolls", "NotReadyAfter",
                                "StartFaultPass", "StartFaultStatus", "StartRefusals", "StartRefusalStatus",
                                "ReadFaultLine", "ReadFaultStatus", "ReadFaultPass", "ReadFaultCount",
                                "ZeroLineCount", "EscapeAfterLines"})
            keys_.Remove(kSection, key);
        keys_.Set(kSection, "Log", log_.path());
        keys_.Set(kSection, "Model", "6000");  // base resolution 300
        keys_.Remove("ZEBINFO", "DRIVER");
        keys_.Remove("ZEBINFO", "BRAND");
        module_ = LoadLibraryA(ProductFile("prescan.dll").c_str());
        if (module_)
            entry_ = reinterpret_cast<PreScanImageProc>(
                reinterpret_cast<void*>(GetProcAddress(module_, "PreScan_Image")));
        g_progress.clear();
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    ~Prescan() override {
        if (module_) FreeLibrary(module_);
    }

    void Set(const char* key, const std::string& value) { keys_.Set(kSection, key, value); }

    // The setup window's call: the preview rectangle (doubled), the glass
    // rectangle of the same height unless told otherwise.
    PreviewImage Run(bool colour, uint16_t source = 0, uint32_t film = 0, uint16_t language = 0,
                     RECT image = {0, 0, 306, 504}, RECT bed = {0, 0, 306, 504}) {
        progress_ = PrescanProgress{nullptr, 0xBEEF};
        PreviewRect i{image.left, image.top, image.right, image.bottom};
        PreviewRect b{bed.left, bed.top, bed.right, bed.bottom};
        return entry_(nullptr, &i, &b, colour ? 1 : 0, film, source, &progress_, RecordProgress, language);
    }
    std::vector<std::string> Log() const { return LogLines(log_.path()); }

    SectionGuard section_;
    WinIniKeys keys_;
    TempFile log_;
    KeptFile grey_, colour_;
    HMODULE module_ = nullptr;
    PreScanImageProc entry_ = nullptr;
    PrescanProgress progress_{};
};

}  // namespace

TEST_F(Prescan, TheModuleExportsItsSingleEntry) {
    ASSERT_NE(module_, nullptr);
    EXPECT_NE(entry_, nullptr);
}

TEST_F(Prescan, GreyMakesOneStartAndOnePassAndAnEightBitFile) {
    ASSERT_NE(entry_, nullptr);
    MessageBoxWatcher boxes;
    PreviewImage p = Run(false);
    ASSERT_NE(p.viewDC, nullptr);
    EXPECT_TRUE(boxes.Boxes().empty());

    const auto log = Log();
    const auto starts = Requests(log, "5 Start");
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(Field(starts[0], "pass"), "0");
    EXPECT_EQ(Field(starts[0], "res"), "36");
    EXPECT_EQ(Field(starts[0], "frame"), "0,0,2550,4200");  // 14 inches of 300 dpi units
    EXPECT_EQ(Field(starts[0], "source"), "0");
    EXPECT_EQ(Field(starts[0], "velocity"), "0x0001");
    EXPECT_EQ(Field(starts[0], "model"), "600");
    EXPECT_TRUE(Requests(log, "7 Stop").empty());

    const auto file = ReadWholeFile(grey_.path());
    ASSERT_EQ(file.size(), 504u * 308u + 1024u + 54u);
    EXPECT_EQ(U32(file, 18), 306u);
    EXPECT_EQ(U32(file, 22), 504u);
    EXPECT_EQ(file[28], 8);
    EXPECT_EQ(U32(file, 46), 256u);
    for (unsigned i = 0; i < 256; i += 51) {
        EXPECT_EQ(file[54 + 4 * i], i);
        EXPECT_EQ(file[56 + 4 * i], i);
    }
    EXPECT_FALSE(FileExists(colour_.path()));

    ASSERT_FALSE(g_progress.empty());
    EXPECT_EQ(g_progress.front(), std::make_pair(0, 504));
    EXPECT_EQ(g_progress.back(), std::make_pair(504, 504));
    for (auto& [count, total] : g_progress) EXPECT_EQ(total, 504);
    EXPECT_EQ(progress_.linesDone, 504);
    Free(p);
}

TEST_F(Prescan, ColourMakesThreePassesAndCountsToThreeTimesTheLines) {
    ASSERT_NE(entry_, nullptr);
    MessageBoxWatcher boxes;
    PreviewImage p = Run(true);
    ASSERT_NE(p.viewDC, nullptr);
    EXPECT_TRUE(boxes.Boxes().empty());
    const auto starts = Requests(Log(), "5 Start");
    ASSERT_EQ(starts.size(), 3u);
    EXPECT_EQ(Field(starts[0], "pass"), "1");
    EXPECT_EQ(Field(starts[1], "pass"), "2");
    EXPECT_EQ(Field(starts[2], "pass"), "3");
    const auto file = ReadWholeFile(colour_.path());
    ASSERT_EQ(file.size(), 504u * 920u + 54u);
    EXPECT_EQ(file[28], 24);
    EXPECT_EQ(U32(file, 10), 54u);
    EXPECT_FALSE(FileExists(grey_.path()));
    ASSERT_FALSE(g_progress.empty());
    EXPECT_EQ(g_progress.front(), std::make_pair(0, 1512));
    EXPECT_EQ(g_progress.back(), std::make_pair(1512, 1512));
    int previous = 0;
    for (auto& [count, total] : g_progress) {
        EXPECT_EQ(total, 1512);
        EXPECT_GE(count, previous);
        previous = count;
    }
    Free(p);
}

TEST_F(Prescan, StoredLevelsAreTheScannersSamplesThroughTheDisplayGamma) {
    ASSERT_NE(entry_, nullptr);
    // Stripes of the listed sample values across a picture of exactly the
    // prescan's size, so that every scanned pixel is one picture pixel.
    const int samples[7] = {0, 1, 2, 64, 128, 192, 255};
    const int levels[7] = {0, 12, 17, 118, 174, 218, 255};
    TempFile picture(TempPath("prescan_picture") + ".bmp");
    WritePicture(picture.path(), 306, 504, [&](int x, int) {
        int v = x < 280 ? samples[x / 40] : 255;
        return RGB(v, v, v);
    });
    Set("Picture", picture.path());
    PreviewImage p = Run(false);
    ASSERT_NE(p.viewDC, nullptr);
    const auto file = ReadWholeFile(grey_.path());
    ASSERT_EQ(file.size(), 504u * 308u + 1078u);
    for (int row : {0, 250, 503})
        for (int k = 0; k < 7; ++k)
            EXPECT_EQ(file[1078 + row * 308 + k * 40 + 20], levels[k]) << "row " << row << " stripe " << k;
    Free(p);
}

TEST_F(Prescan, ChartLinesLandBottomUpThroughTheGammaInEveryColourByte) {
    ASSERT_NE(entry_, nullptr);
    PreviewImage p = Run(true);
    ASSERT_NE(p.viewDC, nullptr);
    const auto file = ReadWholeFile(colour_.path());
    ASSERT_EQ(file.size(), 504u * 920u + 54u);

    // The same three passes read straight from the scanner.
    HMODULE driver = LoadLibraryA(ProductFile("PAVO.DLL").c_str());
    ASSERT_NE(driver, nullptr);
    auto spi = reinterpret_cast<SpiCallProc>(reinterpret_cast<void*>(GetProcAddress(driver, "SPI_CALL")));
    ASSERT_NE(spi, nullptr);
    InquiryRequest inq{};
    spi(&inq, 0, kDriverInquire);
    ASSERT_EQ(inq.Header.Status, 0);
    std::vector<uint8_t> lines(306 * 504);
    size_t mismatches = 0;
    for (int pass = 1; pass <= 3; ++pass) {
        ScanParameterBlock b;
        std::memset(&b, 0, sizeof b);
        b.LengthUnit = b.FrameUnit = b.BackgroundUnit = 1;
        b.PaperLength = 4200;
        b.Frame[2] = 2550;
        b.Frame[3] = 4200;
        b.ContrastCode = b.BrightnessCode = 12;
        b.ModelCode = 600;
        b.ScanRes = 36;
        b.Velocity = 1;
        b.PassNumber = static_cast<uint16_t>(pass);
        b.Gamma = 1;
        b.HighlightLevel = 255;
        do {
            std::memset(&inq, 0, sizeof inq);
            spi(&inq, 0, kDriverInquire);
        } while (inq.Header.Status != 0);
        spi(&b, 0, kDriverStart);
        ASSERT_EQ(b.Header.Status, 0);
        TransferBuffer buffer{static_cast<uint32_t>(lines.size()), 504, 0, lines.data()};
        ReadRequest r{};
        r.BytesPerLine = 306;
        r.LinesToRead = 504;
        r.DescriptorCount = 1;
        r.Buffer = &buffer;
        spi(&r, 0, kDriverRead);
        ASSERT_EQ(r.Header.Status, 0);
        const int byte = 3 - pass;  // red in byte 2, green 1, blue 0
        for (int line = 0; line < 504; ++line)
            for (int x = 0; x < 306; ++x) {
                const uint8_t stored = file[54 + static_cast<size_t>(503 - line) * 920 + 3 * x + byte];
                if (stored != Gamma(lines[static_cast<size_t>(line) * 306 + x])) ++mismatches;
            }
    }
    FreeLibrary(driver);
    EXPECT_EQ(mismatches, 0u);
    Free(p);
}

TEST_F(Prescan, BitmapsAreHalfAndFullSizeAndShowTheStoredPicture) {
    ASSERT_NE(entry_, nullptr);
    HDC screen = GetDC(nullptr);
    const int depth = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    if (depth <= 8) GTEST_SKIP() << "needs a true-colour screen";
    PreviewImage p = Run(true);
    ASSERT_NE(p.viewDC, nullptr);
    EXPECT_EQ(BitmapSize(p.zoomBitmap).cx, 306);
    EXPECT_EQ(BitmapSize(p.zoomBitmap).cy, 504);
    EXPECT_EQ(BitmapSize(p.viewBitmap).cx, 153);
    EXPECT_EQ(BitmapSize(p.viewBitmap).cy, 252);
    EXPECT_EQ(p.paletteBlock, nullptr);  // a true-colour screen needs none
    EXPECT_EQ(p.paletteEntries, nullptr);
    const auto file = ReadWholeFile(colour_.path());
    ASSERT_EQ(file.size(), 504u * 920u + 54u);
    // The zoom bitmap is the file one to one, top row first.
    for (auto [x, y] : {std::pair{0, 0}, {20, 60}, {150, 100}, {300, 250}, {77, 400}, {305, 503}}) {
        const unsigned char* px = &file[54 + static_cast<size_t>(503 - y) * 920 + 3 * x];
        EXPECT_EQ(GetPixel(static_cast<HDC>(p.zoomDC), x, y), RGB(px[2], px[1], px[0])) << x << "," << y;
    }
    Free(p);
}

TEST_F(Prescan, GreyBitmapsShowTheLevelsAndCarryTheGreyPalette) {
    ASSERT_NE(entry_, nullptr);
    TempFile picture(TempPath("prescan_picture") + ".bmp");
    WritePicture(picture.path(), 306, 504, [](int x, int y) {
        int v = (x < 153) == (y < 252) ? 64 : 192;  // four quarters
        return RGB(v, v, v);
    });
    Set("Picture", picture.path());
    // A preview area of 200 x 300 (doubled) on a glass rectangle of 300.
    PreviewImage p = Run(false, 0, 0, 0, RECT{10, 20, 210, 320}, RECT{0, 0, 100, 300});
    ASSERT_NE(p.viewDC, nullptr);
    EXPECT_EQ(BitmapSize(p.zoomBitmap).cx, 200);
    EXPECT_EQ(BitmapSize(p.zoomBitmap).cy, 300);
    EXPECT_EQ(BitmapSize(p.viewBitmap).cx, 100);
    EXPECT_EQ(BitmapSize(p.viewBitmap).cy, 150);
    ASSERT_NE(p.paletteEntries, nullptr);
    auto* palette = static_cast<PreviewPalette*>(p.paletteEntries);
    EXPECT_EQ(palette->version, 0x300);
    EXPECT_EQ(palette->count, 256);
    EXPECT_EQ(palette->entries[118].red, 118);
    EXPECT_EQ(palette->entries[118].blue, 118);
    // Quarters: top left dark (64 -> 118), top right light (192 -> 218).
    HDC zoom = static_cast<HDC>(p.zoomDC), view = static_cast<HDC>(p.viewDC);
    EXPECT_EQ(GetPixel(zoom, 20, 20), RGB(118, 118, 118));
    EXPECT_EQ(GetPixel(zoom, 180, 20), RGB(218, 218, 218));
    EXPECT_EQ(GetPixel(view, 10, 10), RGB(118, 118, 118));
    EXPECT_EQ(GetPixel(view, 90, 10), RGB(218, 218, 218));
    Free(p);
}

TEST_F(Prescan, TransparencyAdapterScansTheFilmAreaWithTheFilmBits) {
    ASSERT_NE(entry_, nullptr);
    Set("Adapter", "1");
    PreviewImage p = Run(false, 1, 0x00010003);  // negative film
    ASSERT_NE(p.viewDC, nullptr);
    const auto starts = Requests(Log(), "5 Start");
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(Field(starts[0], "frame"), "9,0,2409,4200");  // left 9, right 8 x 300 + 9
    EXPECT_EQ(Field(starts[0], "source"), "1");
    EXPECT_EQ(Field(starts[0], "velocity"), "0x00B1");
    Free(p);
}

TEST_F(Prescan, FeederSourcePrescansTheGlass) {
    ASSERT_NE(entry_, nullptr);
    Set("Feeder", "1");
    PreviewImage p = Run(false, 2, 0x00010003);
    ASSERT_NE(p.viewDC, nullptr);
    const auto starts = Requests(Log(), "5 Start");
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(Field(starts[0], "frame"), "0,0,2550,4200");
    EXPECT_EQ(Field(starts[0], "source"), "0");
    EXPECT_EQ(Field(starts[0], "velocity"), "0x0001");
    Free(p);
}

TEST_F(Prescan, PaperLengthFollowsTheHeightRatioInTheModelsUnits) {
    ASSERT_NE(entry_, nullptr);
    Set("Model", "12000");  // 600 dpi units
    PreviewImage p = Run(false, 0, 0, 0, RECT{0, 0, 306, 252}, RECT{0, 0, 306, 504});
    ASSERT_NE(p.viewDC, nullptr);
    const auto starts = Requests(Log(), "5 Start");
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(Field(starts[0], "frame"), "0,0,5100,4200");  // 7 of 14 inches
    EXPECT_EQ(Field(starts[0], "model"), "1200");
    EXPECT_EQ(g_progress.back().second, 252);
    Free(p);
}

TEST_F(Prescan, AfterSuccessTheFileIsClosedAndTheDriverUnloaded) {
    ASSERT_NE(entry_, nullptr);
    PreviewImage p = Run(false);
    ASSERT_NE(p.viewDC, nullptr);
    EXPECT_EQ(GetModuleHandleA("PAVO_SP.IOB"), nullptr);
    HANDLE h = CreateFileA(grey_.path().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(h, INVALID_HANDLE_VALUE) << "the module still holds the preview file";
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    Free(p);
}

TEST_F(Prescan, TheStoredPreviewReopensInTheViewerAsTheSamePicture) {
    ASSERT_NE(entry_, nullptr);
    PreviewImage scanned = Run(true);
    ASSERT_NE(scanned.viewDC, nullptr);
    // What the setup window does at its next start: open the stored file
    // with the viewer and render it at the same size through identity tables.
    HMODULE viewer = LoadLibraryA(ProductFile("bitview.dll").c_str());
    ASSERT_NE(viewer, nullptr);
    auto open = reinterpret_cast<BitviewProc>(reinterpret_cast<void*>(GetProcAddress(viewer, "Bitview")));
    auto show = reinterpret_cast<ShowBitviewProc>(reinterpret_cast<void*>(GetProcAddress(viewer, "ShowBitview")));
    ASSERT_NE(open, nullptr);
    ASSERT_NE(show, nullptr);
    OpenedBitmap previous{};
    OpenedBitmap opened = open(nullptr, colour_.path().c_str(), 1, &previous);
    ASSERT_NE(opened.pixels, nullptr);
    EXPECT_EQ(OpenedWidth(opened), 306);
    EXPECT_EQ(OpenedHeight(opened), 504);
    std::vector<uint8_t> identity(3072);
    for (size_t i = 0; i < identity.size(); ++i) identity[i] = static_cast<uint8_t>(i & 0xFF);
    ToneTablesRef tones{nullptr, identity.data()};
    PreviewRect zoom{0, 0, 306, 504};
    PreviewImage shown = show(nullptr, &zoom, 3, opened.pixels, &opened, &tones);
    ASSERT_NE(shown.viewDC, nullptr);
    for (auto [x, y] : {std::pair{3, 3}, {100, 80}, {200, 300}, {305, 503}}) {
        EXPECT_EQ(GetPixel(static_cast<HDC>(shown.zoomDC), x, y), GetPixel(static_cast<HDC>(scanned.zoomDC), x, y))
            << x << "," << y;
        EXPECT_EQ(GetPixel(static_cast<HDC>(shown.viewDC), x / 2, y / 2),
                  GetPixel(static_cast<HDC>(scanned.viewDC), x / 2, y / 2))
            << x << "," << y;
    }
    Free(shown);
    GlobalUnlock(static_cast<HGLOBAL>(opened.memory));
    GlobalFree(static_cast<HGLOBAL>(opened.memory));
    FreeLibrary(viewer);
    Free(scanned);
}

// Run by the test prescan_palette_screen on a display of 256 colours.
TEST_F(Prescan, OnAPaletteScreenAColourPreviewCarriesTheCubePalette) {
    ASSERT_NE(entry_, nullptr);
    HDC screen = GetDC(nullptr);
    const int depth = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    if (depth > 8) GTEST_SKIP() << "needs a screen of 256 colours or fewer";
    PreviewImage p = Run(true);
    ASSERT_NE(p.viewDC, nullptr);
    ASSERT_NE(p.paletteBlock, nullptr);
    ASSERT_EQ(p.paletteEntries, GlobalLock(static_cast<HGLOBAL>(p.paletteBlock)));
    GlobalUnlock(static_cast<HGLOBAL>(p.paletteBlock));
    const auto* palette = static_cast<const PreviewPalette*>(p.paletteEntries);
    EXPECT_EQ(palette->version, 0x300);
    EXPECT_EQ(palette->count, 256);
    // The 3-3-2 cube through identity tables: cell centres.
    EXPECT_EQ(palette->entries[0x00].red, 16);
    EXPECT_EQ(palette->entries[0x00].blue, 32);
    EXPECT_EQ(palette->entries[0xFF].red, 240);
    EXPECT_EQ(palette->entries[0xFF].green, 240);
    EXPECT_EQ(palette->entries[0xFF].blue, 224);
    EXPECT_EQ(BitmapSize(p.zoomBitmap).cx, 306);
    EXPECT_EQ(BitmapSize(p.viewBitmap).cy, 252);
    Free(p);
}

// ---- Failures: each ends with the empty record, no file, the driver gone ----

class PrescanFailure : public Prescan {
protected:
    void ExpectCleanFailure(const PreviewImage& p, bool colour = false) {
        EXPECT_TRUE(IsEmpty(p));
        EXPECT_FALSE(FileExists(colour ? colour_.path() : grey_.path())) << "preview file left behind";
        EXPECT_EQ(GetModuleHandleA("PAVO_SP.IOB"), nullptr) << "driver left loaded";
    }
};

TEST_F(PrescanFailure, EscapeBetweenPassesStopsTheScanWithoutAMessage) {
    ASSERT_NE(entry_, nullptr);
    Set("EscapeAfterLines", "504");  // posted when the red pass is read
    MessageBoxWatcher boxes;
    PreviewImage p = Run(true);
    ExpectCleanFailure(p, true);
    const auto log = Log();
    EXPECT_EQ(Requests(log, "5 Start").size(), 1u);
    EXPECT_EQ(Requests(log, "7 Stop").size(), 1u);
    EXPECT_EQ(log.back().rfind("7 Stop", 0), 0u) << log.back();
    Sleep(200);
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(g_progress.back().first, 504);
}

TEST_F(PrescanFailure, EscapeWhileTheOnlyPassIsReadCancelsToo) {
    ASSERT_NE(entry_, nullptr);
    Set("EscapeAfterLines", "40");  // posted in the middle of the one Read
    MessageBoxWatcher boxes;
    PreviewImage p = Run(false);
    ExpectCleanFailure(p);
    EXPECT_EQ(Requests(Log(), "7 Stop").size(), 1u);
    Sleep(200);
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(PrescanFailure, ALaterStartRefusedForMoreThanTenTicksShowsItsMessageOnce) {
    ASSERT_NE(entry_, nullptr);
    Set("StartRefusals", "100000");
    Set("StartRefusalStatus", "0x8414");
    MessageBoxWatcher boxes;
    const DWORD began = GetTickCount();
    PreviewImage p = Run(true);
    const DWORD took = GetTickCount() - began;
    ExpectCleanFailure(p, true);
    ASSERT_TRUE(boxes.WaitFor(1));
    const auto shown = boxes.Boxes();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, " Slide Scanner Cover not Closed!");
    EXPECT_EQ(shown[0].caption, "Tavlen Flatbed Scanner");
    EXPECT_EQ(shown[0].icon, BoxIcon::Stop);
    // Retried for more than ten ticks of 200 ms, and not for ever.
    EXPECT_GE(took, 2000u);
    EXPECT_LT(took, 15000u);
    const auto starts = Requests(Log(), "5 Start");
    EXPECT_GT(starts.size(), 3u);
    for (size_t i = 1; i < starts.size(); ++i) EXPECT_EQ(Field(starts[i], "pass"), "2");
}

TEST_F(PrescanFailure, AFewRefusalsOfALaterStartAreRiddenOut) {
    ASSERT_NE(entry_, nullptr);
    Set("StartRefusals", "3");
    Set("NotReadyPolls", "2");  // and the scanner is briefly not ready after each Start
    MessageBoxWatcher boxes;
    PreviewImage p = Run(true);
    ASSERT_NE(p.viewDC, nullptr);
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(g_progress.back(), std::make_pair(1512, 1512));
    Free(p);
}

TEST_F(PrescanFailure, AScannerThatNeverBecomesReadyBetweenPassesIsGivenUp) {
    ASSERT_NE(entry_, nullptr);
    Set("NotReadyPolls", "100000");
    MessageBoxWatcher boxes;
    PreviewImage p = Run(true);
    ExpectCleanFailure(p, true);
    ASSERT_TRUE(boxes.WaitFor(1));
    EXPECT_EQ(boxes.Boxes()[0].caption, "Tavlen Flatbed Scanner not ready.");
}

TEST_F(PrescanFailure, AReadFailureShowsTheMessageOfItsStatus) {
    ASSERT_NE(entry_, nullptr);
    Set("ReadFaultLine", "100");
    Set("ReadFaultStatus", "0x8217");
    MessageBoxWatcher boxes;
    PreviewImage p = Run(false);
    ExpectCleanFailure(p);
    ASSERT_TRUE(boxes.WaitFor(1));
    const auto shown = boxes.Boxes();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, " Paper Jammed in Automatic Document Feeder");
    EXPECT_EQ(shown[0].caption, "Tavlen Flatbed Scanner");
    EXPECT_EQ(Requests(Log(), "7 Stop").size(), 1u) << "a failed scan stops the scanner";
}

TEST_F(PrescanFailure, ARefusedFirstStartShowsTheMessageOfItsStatus) {
    ASSERT_NE(entry_, nullptr);
    Set("StartFaultPass", "0");
    Set("StartFaultStatus", "0x8321");
    MessageBoxWatcher boxes;
    PreviewImage p = Run(false);
    ExpectCleanFailure(p);
    ASSERT_TRUE(boxes.WaitFor(1));
    EXPECT_EQ(boxes.Boxes()[0].text, " No Paper in Automatic Document Feeder");
}

TEST_F(PrescanFailure, ScannerNotReadyOrNotFoundShowTheChecklist) {
    ASSERT_NE(entry_, nullptr);
    const std::string checklist =
        " Please make sure : 1. The Scanner is turned on. 2. The cables are connected."
        " 3. The Scanner is set up correctly and card address does not conflict with other devices.";
    {
        Set("InquiryStatus", "0x00FF");
        MessageBoxWatcher boxes;
        PreviewImage p = Run(false);
        ExpectCleanFailure(p);
        ASSERT_TRUE(boxes.WaitFor(1));
        EXPECT_EQ(boxes.Boxes()[0].caption, "Tavlen Flatbed Scanner not ready.");
        EXPECT_EQ(boxes.Boxes()[0].text, checklist);
        EXPECT_EQ(boxes.Boxes()[0].icon, BoxIcon::Information);
    }
    {
        Set("InquiryStatus", "0x0002");
        keys_.Set("ZEBINFO", "BRAND", "Acme");
        MessageBoxWatcher boxes;
        PreviewImage p = Run(false);
        ExpectCleanFailure(p);
        ASSERT_TRUE(boxes.WaitFor(1));
        EXPECT_EQ(boxes.Boxes()[0].caption, "Acme Flatbed Scanner not found.");
    }
}

TEST_F(PrescanFailure, MessagesFollowTheLanguageAndFallBackToEnglish) {
    ASSERT_NE(entry_, nullptr);
    Set("InquiryStatus", "0x00FF");
    {
        MessageBoxWatcher boxes;
        PreviewImage p = Run(false, 0, 0, 1);
        ExpectCleanFailure(p);
        ASSERT_TRUE(boxes.WaitFor(1));
        EXPECT_EQ(boxes.Boxes()[0].caption, "Tavlen Der Flachbettscanner ist nicht bereit.");
    }
    {
        MessageBoxWatcher boxes;
        ExpectCleanFailure(Run(false, 0, 0, 2));
        ASSERT_TRUE(boxes.WaitFor(1));
        EXPECT_EQ(boxes.Boxes()[0].text.rfind(" Veuillez", 0), 0u) << boxes.Boxes()[0].text;
    }
    {
        MessageBoxWatcher boxes;
        ExpectCleanFailure(Run(false, 0, 0, 4));  // Spanish: no texts of its own
        ASSERT_TRUE(boxes.WaitFor(1));
        EXPECT_EQ(boxes.Boxes()[0].caption, "Tavlen Flatbed Scanner not ready.");
    }
}

TEST_F(PrescanFailure, UnknownModelOrMissingDriverEndQuietly) {
    ASSERT_NE(entry_, nullptr);
    MessageBoxWatcher boxes;
    Set("Model", "9000");
    ExpectCleanFailure(Run(false));
    keys_.Set("ZEBINFO", "DRIVER", "NOSUCH.DLL");
    ExpectCleanFailure(Run(false));
    keys_.Set("ZEBINFO", "DRIVER", "PAVO.DLL");  // a driver under another name works as well
    Set("Model", "8000");
    PreviewImage p = Run(false);
    EXPECT_NE(p.viewDC, nullptr);
    Free(p);
    Sleep(200);
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(PrescanFailure, ANoLinesPassEndsQuietly) {
    ASSERT_NE(entry_, nullptr);
    Set("ZeroLineCount", "1");
    MessageBoxWatcher boxes;
    ExpectCleanFailure(Run(false));
    Sleep(200);
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(PrescanFailure, UnusableRectanglesEndQuietly) {
    ASSERT_NE(entry_, nullptr);
    MessageBoxWatcher boxes;
    ExpectCleanFailure(Run(false, 0, 0, 0, RECT{0, 0, 306, 504}, RECT{0, 0, 306, 0}));
    ExpectCleanFailure(Run(false, 0, 0, 0, RECT{0, 0, 306, 0}, RECT{0, 0, 306, 504}));
    PreviewRect r{0, 0, 306, 504};
    EXPECT_TRUE(IsEmpty(entry_(nullptr, nullptr, &r, 0, 0, 0, &progress_, RecordProgress, 0)));
    EXPECT_TRUE(Requests(Log(), "5 Start").empty());
    Sleep(200);
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(PrescanFailure, AFileThatCannotBeCreatedShowsTheWriteError) {
    ASSERT_NE(entry_, nullptr);
    // A folder in the way of the file.
    ASSERT_TRUE(CreateDirectoryA(grey_.path().c_str(), nullptr));
    MessageBoxWatcher boxes;
    PreviewImage p = Run(false);
    EXPECT_TRUE(IsEmpty(p));
    RemoveDirectoryA(grey_.path().c_str());
    ASSERT_TRUE(boxes.WaitFor(1));
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, "WRITE disk file error.");
    EXPECT_EQ(boxes.Boxes()[0].caption, "Tavlen Flatbed Scanner");
    EXPECT_EQ(Requests(Log(), "7 Stop").size(), 1u);
}

TEST_F(PrescanFailure, AFullDiskShowsTheSpaceMessage) {
    ASSERT_NE(entry_, nullptr);
    // Drive P: is a window on a file system without free blocks (made by
    // the test set-up); with it current the prescan finds no room.
    ULARGE_INTEGER available{};
    if (!GetDiskFreeSpaceExA("P:\\", &available, nullptr, nullptr) || available.QuadPart != 0)
        GTEST_SKIP() << "no full drive P: in this prefix";
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA("P:\\"));
    MessageBoxWatcher boxes;
    PreviewImage p = Run(false);
    SetCurrentDirectoryA(previous);
    ExpectCleanFailure(p);
    ASSERT_TRUE(boxes.WaitFor(1));
    EXPECT_EQ(boxes.Boxes()[0].text, "Disk space not enough.");
    EXPECT_EQ(boxes.Boxes()[0].icon, BoxIcon::Stop);
}

TEST(PrescanTexts, EveryMessageIsThereInEnglishGermanAndFrench) {
    HMODULE m = LoadLibraryExA(ProductFile("prescan.dll").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(m, nullptr);
    for (int language = 0; language < 3; ++language)
        for (int n = 1; n <= 17; ++n) {
            if (n == 2) continue;  // no text of that number
            wchar_t buf[256];
            EXPECT_GT(LoadStringW(m, 20 * language + n, buf, 256), 0) << "language " << language << " n " << n;
        }
    wchar_t german[256], english[256];
    LoadStringW(m, 34, german, 256);
    LoadStringW(m, 14, english, 256);
    EXPECT_STRNE(german, english);
    FreeLibrary(m);
}
