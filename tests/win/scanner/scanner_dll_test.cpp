// The installed scanner driver called through SPI_CALL, the way the data
// source and the prescan module call it: configuration from WIN.INI, the
// request log file, every fault, ESC in the caller's queue, and a picture
// on the glass.
#include "common/driver_request.h"
#include "tests/support/wine_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

using namespace wintest;

namespace {

const char kSection[] = "VirtualScanner";

SpiCallProc EntryOf(HMODULE module) {
    return reinterpret_cast<SpiCallProc>(reinterpret_cast<void*>(GetProcAddress(module, "SPI_CALL")));
}

// The driver module, loaded for the life of the object.
class Driver {
public:
    explicit Driver(const std::string& name = "PAVO.DLL") {
        module_ = LoadLibraryA(ProductFile(name).c_str());
        if (module_) call_ = EntryOf(module_);
    }
    ~Driver() {
        if (module_) FreeLibrary(module_);
    }
    bool bound() const { return call_ != nullptr; }

    InquiryRequest Inquire() {
        InquiryRequest r;
        std::memset(&r, 0, sizeof r);
        call_(&r, 0, kDriverInquire);
        return r;
    }
    uint16_t Start(ScanParameterBlock block) {
        call_(&block, 0, kDriverStart);
        return block.Header.Status;
    }
    ScanStatusRequest Status() {
        ScanStatusRequest r;
        std::memset(&r, 0, sizeof r);
        call_(&r, 0, kDriverScanStatus);
        return r;
    }
    uint16_t Read(unsigned bytesPerLine, unsigned lines, unsigned delivered, std::vector<uint8_t>& memory,
                  uint16_t capacity) {
        TransferBuffer buffer{static_cast<uint32_t>(memory.size()), capacity, 0, memory.data()};
        ReadRequest r;
        std::memset(&r, 0, sizeof r);
        r.BytesPerLine = static_cast<uint16_t>(bytesPerLine);
        r.LinesToRead = lines;
        r.LinesDelivered = delivered;
        r.DescriptorCount = 1;
        r.Buffer = &buffer;
        call_(&r, 0, kDriverRead);
        return r.Header.Status;
    }
    uint16_t Stop() {
        StopRequest r;
        std::memset(&r, 0, sizeof r);
        call_(&r, 0, kDriverStop);
        return r.Header.Status;
    }

private:
    HMODULE module_ = nullptr;
    SpiCallProc call_ = nullptr;
};

ScanParameterBlock Block(uint16_t modelSent, uint16_t res, uint16_t right, uint16_t bottom) {
    ScanParameterBlock b;
    std::memset(&b, 0, sizeof b);
    b.LengthUnit = b.FrameUnit = 1;
    b.Frame[2] = right;
    b.Frame[3] = bottom;
    b.ModelCode = modelSent;
    b.ScanRes = res;
    b.BrightnessCode = b.ContrastCode = 12;
    b.Velocity = 1;
    b.Gamma = 1;
    b.HighlightLevel = 255;
    return b;
}

// Removes the section header again when the section was not there before
// and no key is left in it.
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

// Every test gets a fresh section: the keys it sets, a log file, and the
// keys other runs might have left are removed for its duration.
class ScannerDll : public ::testing::Test {
protected:
    ScannerDll() : log_(TempPath("scanner_log")) {
        for (const char* key : {"Model", "Adapter", "Feeder", "ColourWithFeeder", "Pages", "Firmware",
                                "Picture", "LineDelay", "InquiryStatus", "NotReadyPolls",
                                "NotReadyAfter", "StartFaultPass", "StartFaultStatus", "StartRefusals",
                                "StartRefusalStatus", "ReadFaultLine", "ReadFaultStatus",
                                "ReadFaultPass", "ReadFaultCount", "ZeroLineCount", "EscapeAfterLines"})
            keys_.Remove(kSection, key);
        keys_.Set(kSection, "Log", log_.path());
    }
    void Set(const char* key, const std::string& value) { keys_.Set(kSection, key, value); }
    std::vector<std::string> Log() const { return LogLines(log_.path()); }

    SectionGuard section_;
    WinIniKeys keys_;
    TempFile log_;
};

void DrainQueue() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}

}  // namespace

TEST_F(ScannerDll, BothModuleNamesExportTheEntry) {
    Driver dll("PAVO.DLL"), iob("PAVO_SP.IOB");
    EXPECT_TRUE(dll.bound());
    EXPECT_TRUE(iob.bound());
}

TEST_F(ScannerDll, DetectionReportsTheConfiguredScanner) {
    Set("Model", "8000");
    Set("Firmware", "3.01");
    Set("Adapter", "1");
    Set("Feeder", "1");
    Set("Pages", "0");
    Driver driver;
    ASSERT_TRUE(driver.bound());
    InquiryRequest r = driver.Inquire();
    EXPECT_EQ(r.Header.Status, 0);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(r.Data + 20), 5), "08000");
    EXPECT_EQ(std::string(reinterpret_cast<char*>(r.Data + 32), 4), "3.01");
    EXPECT_EQ(r.Data[63], kInquiryAdapterFitted | kInquiryFeederFitted);
    EXPECT_EQ(Log(), std::vector<std::string>{"1 Inquire status=0x0000"});
}

TEST_F(ScannerDll, NotFoundAndNotReadyAtDetection) {
    Set("InquiryStatus", "0x00FF");
    {
        Driver driver;
        EXPECT_EQ(driver.Inquire().Header.Status, kStatusNotReady);
    }
    Set("InquiryStatus", "0x0101");
    {
        Driver driver;  // a fresh load reads the section again
        EXPECT_EQ(driver.Inquire().Header.Status, 0x0101);
    }
}

TEST_F(ScannerDll, ConfigurationIsReadOncePerLoad) {
    Driver driver;
    EXPECT_EQ(driver.Inquire().Header.Status, 0);
    Set("InquiryStatus", "0x00FF");
    EXPECT_EQ(driver.Inquire().Header.Status, 0);
}

TEST_F(ScannerDll, ScanWithPollsStatusReadsAndStopIsLoggedInOrder) {
    Set("NotReadyPolls", "2");
    Driver driver;
    ASSERT_EQ(driver.Inquire().Header.Status, 0);  // detection
    int polls = 1;
    while (driver.Inquire().Header.Status != 0) ++polls;
    EXPECT_EQ(polls, 3);
    // Model 12000 at 300 dpi over 2 x 1 inches.
    ASSERT_EQ(driver.Start(Block(1200, 300, 1200, 600)), 0);
    ScanStatusRequest s = driver.Status();
    ASSERT_EQ(s.BytesPerLine, 600);
    ASSERT_EQ(s.LinesRemaining, 300u);
    // A buffer of 100 whole lines plus a tail that must stay untouched.
    std::vector<uint8_t> buffer(600 * 100 + 64, 0xEE);
    unsigned done = 0;
    while (unsigned left = driver.Status().LinesRemaining) {
        unsigned now = std::min(left, 100u);
        ASSERT_EQ(driver.Read(600, now, done, buffer, 100), 0);
        done += now;
    }
    for (size_t k = 600 * 100; k < buffer.size(); ++k) ASSERT_EQ(buffer[k], 0xEE);
    EXPECT_EQ(driver.Stop(), 0);

    auto log = Log();
    std::vector<std::string> kinds;
    for (const auto& line : log) kinds.push_back(line.substr(0, line.find(' ', 2)));
    const std::vector<std::string> expected = {
        "1 Inquire", "1 Inquire", "1 Inquire", "1 Inquire", "5 Start", "8 ScanStatus",
        "8 ScanStatus", "6 Read", "8 ScanStatus", "6 Read", "8 ScanStatus", "6 Read",
        "8 ScanStatus", "7 Stop"};
    EXPECT_EQ(kinds, expected);
    EXPECT_EQ(Field(log[1], "status"), "0x00FF");
    EXPECT_EQ(Field(log[4], "frame"), "0,0,1200,600");
    EXPECT_EQ(Field(log[9], "delivered"), "100");
    EXPECT_EQ(Field(log[12], "lines"), "0");
}

TEST_F(ScannerDll, ImpossibleBlocksAndReadsAreRefusedNotCrashed) {
    Driver driver;
    auto block = Block(1200, 300, 1200, 600);
    block.Frame[0] = 1300;
    EXPECT_NE(driver.Start(block), 0);
    block = Block(1200, 0, 1200, 600);
    EXPECT_NE(driver.Start(block), 0);
    std::vector<uint8_t> small(10);
    EXPECT_NE(driver.Read(600, 1, 0, small, 1), 0) << "no pass";
    ASSERT_EQ(driver.Start(Block(1200, 300, 1200, 600)), 0);
    EXPECT_NE(driver.Read(600, 1, 0, small, 1), 0) << "buffer smaller than a line";
    uint16_t header[4] = {};
    SpiCallProc call = EntryOf(GetModuleHandleA("PAVO.DLL"));
    call(header, 0, 2);
    EXPECT_NE(header[1], 0) << "unknown operation";
    call(nullptr, 0, kDriverInquire);  // ignored
}

TEST_F(ScannerDll, StartFaultsAndRefusedLaterPasses) {
    Set("StartFaultPass", "1");
    Set("StartFaultStatus", "0x8217");
    Set("StartRefusals", "3");
    Driver driver;
    auto block = Block(1200, 100, 600, 600);
    block.PassNumber = 1;
    EXPECT_EQ(driver.Start(block), kStatusPaperJam);
    block.PassNumber = 2;
    int refused = 0;
    while (driver.Start(block) != 0) ++refused;
    EXPECT_EQ(refused, 3);
}

TEST_F(ScannerDll, ReadFaultAtALineOnceAndZeroLineCount) {
    Set("ReadFaultLine", "10");
    Set("ReadFaultStatus", "0x8321");
    Set("ReadFaultCount", "1");
    {
        Driver driver;
        ASSERT_EQ(driver.Start(Block(1200, 100, 600, 600)), 0);
        std::vector<uint8_t> buffer(100 * 100);
        EXPECT_EQ(driver.Read(100, 20, 0, buffer, 100), kStatusNoPaper);
        EXPECT_EQ(driver.Read(100, 20, 0, buffer, 100), 0);
        EXPECT_EQ(driver.Status().LinesRemaining, 80u);
    }
    Set("ZeroLineCount", "1");
    Driver driver;
    ASSERT_EQ(driver.Start(Block(1200, 100, 600, 600)), 0);
    EXPECT_EQ(driver.Status().LinesRemaining, 0u);
}

TEST_F(ScannerDll, FeederPagesFromTheConfiguration) {
    Set("Feeder", "1");
    Set("Pages", "1");
    Driver driver;
    EXPECT_TRUE(driver.Inquire().Data[63] & kInquiryPaperInFeeder);
    auto block = Block(1200, 100, 600, 600);
    block.ScanSource = 2;
    ASSERT_EQ(driver.Start(block), 0);
    EXPECT_EQ(driver.Stop(), 0);
    EXPECT_FALSE(driver.Inquire().Data[63] & kInquiryPaperInFeeder);
    EXPECT_EQ(driver.Start(block), kStatusNoPaper);
}

TEST_F(ScannerDll, EscapeArrivesInTheCallingThreadsQueue) {
    Set("EscapeAfterLines", "30");
    DrainQueue();
    Driver driver;
    ASSERT_EQ(driver.Start(Block(1200, 100, 600, 600)), 0);
    std::vector<uint8_t> buffer(100 * 100);
    ASSERT_EQ(driver.Read(100, 20, 0, buffer, 100), 0);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE));
    ASSERT_EQ(driver.Read(100, 20, 20, buffer, 100), 0);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>(VK_ESCAPE));
    ASSERT_EQ(driver.Read(100, 20, 40, buffer, 100), 0);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) << "only once";
}

TEST_F(ScannerDll, EscapeGoesToTheWindowWithTheFocus) {
    Set("EscapeAfterLines", "1");
    DrainQueue();
    HWND window = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(window);
    SetFocus(window);
    HWND focus = GetFocus();
    Driver driver;
    ASSERT_EQ(driver.Start(Block(1200, 100, 600, 600)), 0);
    std::vector<uint8_t> buffer(100 * 100);
    ASSERT_EQ(driver.Read(100, 5, 0, buffer, 100), 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>(VK_ESCAPE));
    EXPECT_EQ(msg.hwnd, focus);
    DestroyWindow(window);
}

TEST_F(ScannerDll, LineDelaySlowsTheReads) {
    Set("LineDelay", "5");
    Driver driver;
    ASSERT_EQ(driver.Start(Block(1200, 100, 600, 600)), 0);
    std::vector<uint8_t> buffer(100 * 100);
    DWORD before = GetTickCount();
    ASSERT_EQ(driver.Read(100, 40, 0, buffer, 100), 0);
    EXPECT_GE(GetTickCount() - before, 180u);
}

TEST_F(ScannerDll, PictureFromTheConfigurationIsScanned) {
    // A 24-bit 2 x 1 picture: red on the left half, blue on the right.
    TempFile picture(TempPath("scanner_picture") + ".bmp");
    const uint8_t bmp[] = {'B', 'M', 62, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,
                           40, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 1, 0, 24, 0,
                           0, 0, 0, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                           0, 0, 0, 0, 0, 0, 0, 0,
                           0, 0, 255, 255, 0, 0, 0, 0};
    FILE* f = std::fopen(picture.path().c_str(), "wb");
    ASSERT_TRUE(f);
    std::fwrite(bmp, 1, sizeof bmp, f);
    std::fclose(f);
    Set("Picture", picture.path());
    Driver driver;
    auto block = Block(600, 10, 2550, 300);  // 85 samples, 10 lines
    block.PassNumber = 1;
    ASSERT_EQ(driver.Start(block), 0);
    std::vector<uint8_t> buffer(85 * 10);
    ASSERT_EQ(driver.Read(85, 10, 0, buffer, 10), 0);
    EXPECT_EQ(buffer[5 * 85 + 10], 255) << "red half";
    EXPECT_EQ(buffer[5 * 85 + 70], 0) << "blue half";
}
