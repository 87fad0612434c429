#include "tests/win/twacquire/twacquire_run.h"

#include <algorithm>
#include <cstring>

namespace twtest {

namespace {

uint32_t Get16(const std::vector<unsigned char>& b, size_t at) { return b[at] | b[at + 1] << 8; }
uint32_t Get32(const std::vector<unsigned char>& b, size_t at) {
    return Get16(b, at) | Get16(b, at + 2) << 16;
}

}  // namespace

ProgramRun RunTwacquire(const std::string& arguments, const std::function<void()>& whileRunning) {
    return wintest::RunProgram(wintest::WindowsPathOf(PAVO_TWACQUIRE_FILE), arguments, 60000,
                               whileRunning);
}

ImageHeader ReadImageHeader(const std::string& path) {
    ImageHeader h;
    const std::vector<unsigned char> f = wintest::ReadWholeFile(path);
    if (f.size() >= 54 && f[0] == 'B' && f[1] == 'M') {
        h.format = "BMP";
        h.width = Get32(f, 18);
        h.height = Get32(f, 22);
        h.bitsPerPixel = static_cast<int>(Get16(f, 28));
    } else if (f.size() >= 8 && f[0] == 'I' && f[1] == 'I' && Get16(f, 2) == 42) {
        h.format = "TIFF";
        const uint32_t dir = Get32(f, 4);
        int bits = 0, samples = 1;
        for (uint32_t i = 0; dir + 2 + 12 * (i + 1) <= f.size() && i < Get16(f, dir); ++i) {
            const size_t at = dir + 2 + 12 * i;
            const uint32_t tag = Get16(f, at), type = Get16(f, at + 2), count = Get32(f, at + 4);
            const uint32_t value = type == 3 ? Get16(f, at + 8) : Get32(f, at + 8);
            if (tag == 256) h.width = value;
            if (tag == 257) h.height = value;
            if (tag == 258) bits = count == 1 ? static_cast<int>(value) : static_cast<int>(Get16(f, Get32(f, at + 8)));
            if (tag == 277) samples = static_cast<int>(value);
        }
        h.bitsPerPixel = bits * samples;
        for (uint32_t at = dir; at != 0 && at + 2 <= f.size() && h.pages < 100; ++h.pages) {
            const size_t next = at + 2 + 12 * size_t{Get16(f, at)};
            at = next + 4 <= f.size() ? Get32(f, next) : 0;
        }
    } else if (f.size() >= 33 && std::memcmp(f.data(), "\x89PNG\r\n\x1a\n", 8) == 0) {
        h.format = "PNG";
        auto big32 = [&](size_t at) { return uint32_t{f[at]} << 24 | f[at + 1] << 16 | f[at + 2] << 8 | f[at + 3]; };
        h.width = big32(16);
        h.height = big32(20);
        const int channels = f[25] == 2 ? 3 : 1;  // colour type 2 is RGB, 0 grey
        h.bitsPerPixel = f[24] * channels;
    } else if (f.size() >= 4 && f[0] == 0xFF && f[1] == 0xD8 && f[f.size() - 2] == 0xFF &&
               f[f.size() - 1] == 0xD9) {
        h.format = "JPEG";
    } else if (f.size() >= 5 && std::memcmp(f.data(), "%PDF-", 5) == 0) {
        h.format = "PDF";
    }
    return h;
}

void TwacquireTest::SetUp() {
    folder_ = wintest::TempPath("twacquire");
    ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr)) << folder_;
    // The virtual scanner's defaults: a flatbed with the test chart.
    for (const char* key : {"Model", "Feeder", "Pages", "Adapter", "Picture", "LineDelay", "Log",
                            "InquiryStatus", "NotReadyPolls", "StartFaultPass", "StartFaultStatus",
                            "StartRefusals", "ReadFaultLine", "ReadFaultStatus", "ReadFaultPass",
                            "ReadFaultCount", "ReadFaultPage", "ZeroLineCount", "EscapeAfterLines"})
        ini_.Remove(kScanner, key);
    // The last settings the data source keeps for the scanner model.
    for (const char* section : {"ZEB-A100CX", "ZEB-B200CX", "ZEB-C300CX", "ZEB-D400CX"})
        for (const char* key : {"ScanMode", "ScanRes", "Scaling", "IsInvert", "DpiScale"})
            ini_.Keep(section, key);
}

void TwacquireTest::TearDown() {
    for (const std::string& name : Files()) DeleteFileA(Out(name).c_str());
    EXPECT_TRUE(RemoveDirectoryA(folder_.c_str())) << folder_;
}

std::vector<std::string> TwacquireTest::Files() const {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder_ + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace twtest
