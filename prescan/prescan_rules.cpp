#include "prescan/prescan_rules.h"

#include <cmath>
#include <cstring>

namespace prescan {

namespace {
constexpr uint16_t kLanguagesCarried = 3;  // English, German, French
constexpr uint16_t kLanguageStride = 20;
}  // namespace

uint16_t MessageId(uint16_t language, uint16_t n) {
    if (language >= kLanguagesCarried) language = 0;
    return static_cast<uint16_t>(kLanguageStride * language + n);
}

uint16_t MessageForStatus(uint16_t status) {
    switch (status) {
    case kStatusPaperJam: return kMsgPaperJam;
    case kStatusNoPaper: return kMsgNoPaper;
    case kStatusCoverOpen: return kMsgCoverOpen;
    default: return kMsgNotReady;
    }
}

uint16_t MessageForInquiry(uint16_t status) {
    return status == kStatusNotReady ? kMsgNotReady : kMsgNotFound;
}

bool IsChecklistMessage(uint16_t n) { return n == kMsgNotReady || n == kMsgNotFound; }

int32_t ModelNumber(const uint8_t* c) {
    size_t i = 0;
    while (i < 5 && (c[i] == ' ' || c[i] == '\t')) ++i;
    bool negative = false;
    if (i < 5 && (c[i] == '+' || c[i] == '-')) negative = c[i++] == '-';
    int32_t value = 0;
    while (i < 5 && c[i] >= '0' && c[i] <= '9') value = value * 10 + (c[i++] - '0');
    return negative ? -value : value;
}

std::optional<PrescanModel> ModelFromNumber(int32_t number) {
    switch (number) {
    case 6000: return PrescanModel{600, 300, 600};
    case 6060: return PrescanModel{606, 600, 1200};
    case 8000: return PrescanModel{800, 400, 800};
    case 12000: return PrescanModel{1200, 600, 1200};
    default: return std::nullopt;
    }
}

std::optional<uint16_t> PrescanLength(uint16_t baseResolution, int32_t imageHeight, int32_t bedHeight) {
    if (imageHeight <= 0 || bedHeight <= 0) return std::nullopt;
    double length = baseResolution * (504.0 * imageHeight) / bedHeight / 36.0;
    double whole = std::floor(length);
    if (whole < 1.0 || whole > 65535.0) return std::nullopt;
    return static_cast<uint16_t>(whole);
}

void FillStartBlock(ScanParameterBlock& b, const PrescanModel& model, uint16_t paperLength,
                    bool colour, uint32_t film, uint16_t source) {
    std::memset(&b, 0, sizeof b);
    const bool adapter = source == 1;
    const uint16_t margin = adapter ? 9 : 0;
    const double width = adapter ? 8.0 : 8.5;
    b.LengthUnit = 1;
    b.PaperLength = paperLength;
    b.FrameUnit = 1;
    b.Frame[0] = margin;
    b.Frame[1] = 0;
    b.Frame[2] = static_cast<uint16_t>(static_cast<uint32_t>(std::floor(model.baseResolution * width)) + margin);
    b.Frame[3] = paperLength;
    b.BackgroundCode = 0;
    b.BackgroundUnit = 1;
    b.BackgroundWinNum = 0;
    b.ContrastCode = 12;
    b.BrightnessCode = 12;
    b.ModelCode = model.codeSent;
    b.ScanRes = kPrescanResolution;
    uint32_t velocity = 1;
    if (adapter) velocity |= ((film & 0xFFFFu) << 4) | ((film >> 16) << 7);
    b.Velocity = static_cast<uint16_t>(velocity);
    b.PassNumber = colour ? 1 : 0;
    b.GrainBuiltIn = 0;
    b.Grain = 0;
    b.Gamma = 1;
    b.GammaSize = 0;
    b.ShadowLevel = 0;
    b.HighlightLevel = 255;
    b.ScanSource = adapter ? 1 : 0;
}

uint16_t LinesNow(uint32_t linesReady, uint16_t capacity, uint16_t lineCount, uint16_t linesDone) {
    uint32_t n = linesReady;
    if (n > capacity) n = capacity;
    uint32_t left = linesDone < lineCount ? lineCount - linesDone : 0;
    if (n > left) n = left;
    return static_cast<uint16_t>(n);
}

uint16_t LineCapacity(uint32_t size, uint16_t width) {
    if (width == 0) return 0;
    uint32_t lines = size / width;
    return static_cast<uint16_t>(lines > 0xFFFF ? 0xFFFF : lines);
}

uint64_t DiskSpaceNeeded(uint32_t stride, uint16_t lineCount) {
    return static_cast<uint64_t>(stride) * lineCount + 1078;
}

void StoreLine(const uint8_t* samples, uint16_t width, bool colour, int pass, const uint8_t* gamma,
               uint8_t* row) {
    if (!colour) {
        for (uint16_t x = 0; x < width; ++x) row[x] = gamma[samples[x]];
        return;
    }
    const int component = 2 - pass;
    for (uint16_t x = 0; x < width; ++x) row[3 * x + component] = gamma[samples[x]];
}

}  // namespace prescan
