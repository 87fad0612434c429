#include "ds/twain/scan_settings.h"

#include "ds/settings/config_text.h"

#include <algorithm>
#include <cstring>
#include <string_view>

constinit ScanSettings g_settings = DefaultScanSettings();

void ResetScanSettings(ScanSettings& settings) { settings = DefaultScanSettings(); }

namespace {

constexpr ScannerModel kModels[] = {
    {6000, 600, "ZEB-B200CX", 300, 600, 600},
    {6060, 606, "ZEB-D400CX", 600, 0, 1200},
    {8000, 800, "ZEB-C300CX", 400, 800, 800},
    {12000, 1200, "ZEB-A100CX", 600, 1200, 1200},
};

// Background codes the scanner expects per mode, in mode order.
constexpr uint16_t kModeBackground[] = {kBackgroundLineArt, kBackgroundHalftone, 0, 0};

bool IsScanMode(long mode) { return mode >= kModeLineArt && mode <= kModeColor; }

}  // namespace

const ScannerModel* FindModelByReportedNumber(long reportedNumber) {
    for (const ScannerModel& m : kModels)
        if (m.ReportedNumber == reportedNumber) return &m;
    return nullptr;
}

const ScannerModel* FindModelByCode(uint16_t modelCode) {
    for (const ScannerModel& m : kModels)
        if (m.ModelCode == modelCode) return &m;
    return nullptr;
}

const char* ModelSectionName(uint16_t modelCode) {
    const ScannerModel* m = FindModelByCode(modelCode);
    return m ? m->SectionName : "";
}

uint16_t ModelBaseResolution(uint16_t modelCode) {
    const ScannerModel* m = FindModelByCode(modelCode);
    return m ? m->BaseResolution : 300;
}

uint16_t ModelResolutionCeiling(uint16_t modelCode) {
    const ScannerModel* m = FindModelByCode(modelCode);
    return m ? m->ResolutionCeiling : 0;
}

long ReportedModelNumber(std::span<const uint8_t, 96> inquiryData) {
    std::string_view field(reinterpret_cast<const char*>(inquiryData.data()) + kInquiryModelOffset,
                           kInquiryModelLength);
    // A terminator inside the field ends the number, as it would in a string.
    field = field.substr(0, field.find('\0'));
    return LeadingInteger(field);
}

void TakeReportedModel(ScanSettings& settings, long reportedNumber) {
    if (const ScannerModel* m = FindModelByReportedNumber(reportedNumber))
        settings.ModelCode = m->ModelCode;
}

void TakeDetectedOptions(ScanSettings& settings, bool adapterFitted, bool feederFitted,
                         bool paperInFeeder) {
    settings.AdapterPresent = adapterFitted ? 1 : 0;
    settings.FeederPresent = feederFitted ? 1 : 0;
    const bool feedFromFeeder = feederFitted && paperInFeeder;
    settings.FeederEnabled = feedFromFeeder ? 1 : 0;
    settings.FeederSelected = feedFromFeeder ? 1 : 0;
    if (feedFromFeeder) {
        settings.Block.ScanSource = kSourceFeeder;
    } else if (feederFitted || settings.Block.ScanSource == kSourceFeeder) {
        // No paper, or no feeder at all: the feeder cannot be the source.
        settings.Block.ScanSource = kSourceGlass;
    }
}

bool TakeStoredScanMode(ScanSettings& settings, long mode) {
    if (!IsScanMode(mode)) return false;
    settings.ScanMode = static_cast<uint16_t>(mode);
    settings.ColorPass = mode == kModeColor ? 1 : 0;
    return true;
}

bool ChooseScanMode(ScanSettings& settings, long mode) {
    if (!TakeStoredScanMode(settings, mode)) return false;
    settings.Block.BackgroundCode = kModeBackground[mode - kModeLineArt];
    if (mode == kModeGray || mode == kModeColor) settings.Block.Gamma = 1;
    return true;
}

bool ChooseDisplayUnit(ScanSettings& settings, long unit) {
    if (unit < 0 || unit > static_cast<long>(kUnitMm)) return false;
    const uint32_t flag = static_cast<uint32_t>(unit);
    settings.UnitFlag = flag;
    if (flag == kUnitInches || flag == kUnitPixels) {
        const uint16_t word = flag == kUnitPixels ? 1 : 0;
        settings.Block.LengthUnit = word;
        settings.Block.FrameUnit = word;
        settings.Block.BackgroundUnit = word;
    }
    return true;
}

void PrepareBlockForScan(ScanSettings& settings, std::span<const uint16_t, 4> frame,
                         std::span<const uint16_t, 16> regions, unsigned regionCount,
                         uint16_t paperLength, bool nativeTransfer, bool& interpolate) {
    ScanParameterBlock& b = settings.Block;
    b.LengthUnit = 1;
    b.FrameUnit = 1;
    b.PaperLength = paperLength;
    std::copy(frame.begin(), frame.end(), b.Frame);
    // The block has room for four regions; a larger count would make the
    // scanner read past them.
    const unsigned count = std::min(regionCount, 4u);
    b.BackgroundWinNum = static_cast<uint16_t>(count);
    for (unsigned r = 0; r < count; ++r)
        for (unsigned e = 0; e < 4; ++e) b.RegionList[r][e] = regions[r * 4 + e];

    const ScannerModel* model = FindModelByCode(settings.ModelCode);
    b.ModelCode = model ? model->CodeSent : settings.ModelCode;
    const uint32_t ceiling = model ? model->ResolutionCeiling : 0;

    uint32_t scanRes = uint32_t{settings.Resolution} * settings.Scaling / 100;
    if (!nativeTransfer) interpolate = ceiling != 0 && scanRes > ceiling;
    if (interpolate) scanRes = settings.Resolution / 2u;
    if (ceiling != 0) scanRes = std::min(scanRes, ceiling);
    b.ScanRes = static_cast<uint16_t>(std::min<uint32_t>(scanRes, 0xFFFF));
}

int PassChannel(const ScanSettings& settings) {
    if (settings.ScanMode != kModeColor) return kSingleChannel;
    if (settings.ColorPass < 1 || settings.ColorPass > 3) return -1;
    return settings.ColorPass - 1;
}

bool PrepareBlockForPass(ScanSettings& settings, const uint8_t* toneStore) {
    const int channel = PassChannel(settings);
    if (channel < 0) return false;
    ScanParameterBlock& b = settings.Block;
    b.PassNumber = settings.ColorPass;
    // Unsigned sums: the codes keep only the low byte, whatever the value.
    b.BrightnessCode =
        static_cast<uint16_t>((static_cast<uint32_t>(settings.Brightness[channel]) + 12u) & 0xFF);
    b.ContrastCode =
        static_cast<uint16_t>((static_cast<uint32_t>(settings.Contrast[channel]) + 12u) & 0xFF);

    const bool oneBit = settings.ScanMode == kModeLineArt || settings.ScanMode == kModeHalftone;
    if (settings.ScanMode == kModeGray || settings.ScanMode == kModeColor) {
        b.ShadowLevel = static_cast<uint16_t>(settings.Shadow[channel]);
        b.HighlightLevel = static_cast<uint16_t>(settings.Hilight[channel]);
    }
    if (b.Gamma == kGammaCurveSupplied && toneStore) {
        // The store keeps the curves blue, green, red, grey: channel 0 (the
        // first pass) is the third curve, the single channel the fourth.
        const size_t curve = channel == kSingleChannel ? 3 : static_cast<size_t>(2 - channel);
        std::memcpy(b.GammaCode, toneStore + kToneStoreGammaOffset + kToneCurveSize * curve,
                    kToneCurveSize);
    }
    if (oneBit) {
        b.Gamma = 0;
        b.GammaSize = 0;
    }
    return true;
}
