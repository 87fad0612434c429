// The current scan parameters of the data source: one module-wide record,
// edited by the setup dialog and capability negotiation, loaded from and
// saved to the configuration, and turned into the scanner's parameter block
// before every scan and every pass.
//
// Pure computation: no Windows header.
#pragma once

#include "common/driver_request.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

// Scan mode codes (`ScanMode`); list position of a mode = code - 1011.
constexpr uint16_t kModeLineArt = 1011;
constexpr uint16_t kModeHalftone = 1012;
constexpr uint16_t kModeGray = 1013;
constexpr uint16_t kModeColor = 1014;

// Display units (`UnitFlag`); list position = value.
constexpr uint32_t kUnitInches = 0;
constexpr uint32_t kUnitPixels = 1;
constexpr uint32_t kUnitCm = 2;
constexpr uint32_t kUnitMm = 3;

// Scan sources (`ScanSource` of the block).
constexpr uint16_t kSourceGlass = 0;
constexpr uint16_t kSourceAdapter = 1;
constexpr uint16_t kSourceFeeder = 2;

// Channel index of the per-channel tone values: 0, 1, 2 for the three passes
// of a Color scan, 3 for the single pass of the other modes.
constexpr int kChannelCount = 4;
constexpr int kSingleChannel = 3;

// Size of the tone table block and where its gamma curves start.
constexpr size_t kToneStoreSize = 3072;
constexpr size_t kToneStoreGammaOffset = 1024;
constexpr size_t kToneCurveSize = 256;

// Byte-for-byte equality of two parameter blocks (the block has no padding).
inline bool operator==(const ScanParameterBlock& a, const ScanParameterBlock& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

struct ScanSettings {
    ScanParameterBlock Block;
    uint16_t ScanMode;
    uint16_t ColorPass;    // 0 one pass; 1, 2, 3 during the passes of Color
    uint16_t Resolution;   // output resolution, dpi
    uint16_t Scaling;      // percent
    uint16_t DpiScale;     // 0 and 5 none; 1 to 4 enhanced resolution
    uint16_t PrescanMode;  // 0 grey preview, 1 colour preview
    uint32_t UnitFlag;
    uint32_t IsInvert;
    int32_t Brightness[kChannelCount];
    int32_t Contrast[kChannelCount];
    int32_t Shadow[kChannelCount];
    int32_t Midtone[kChannelCount];
    int32_t Hilight[kChannelCount];
    uint16_t Ratio[kChannelCount];
    uint16_t ModelCode;
    uint32_t FeederPresent;
    uint32_t FeederEnabled;
    uint32_t FeederSelected;
    uint32_t AdapterPresent;
    uint32_t ChunkyPixels;  // 1 components side by side, 0 one plane after another

    bool operator==(const ScanSettings&) const = default;
};

// The record in its start state: zero except for the fields with a start value.
constexpr ScanSettings DefaultScanSettings() {
    ScanSettings s{};
    s.Block.PaperLength = 88;
    s.Block.Frame[0] = 78;
    s.Block.Frame[1] = 81;
    s.Block.Frame[2] = 150;
    s.Block.Frame[3] = 145;
    s.Block.ScanRes = 300;
    s.Block.Velocity = 1;
    s.Block.Grain = 2;
    for (uint8_t& c : s.Block.GrainCode) c = '0';
    s.Block.Gamma = 1;
    s.ScanMode = kModeGray;
    s.Resolution = 300;
    s.Scaling = 100;
    for (int i = 0; i < kChannelCount; ++i) {
        s.Midtone[i] = 128;
        s.Hilight[i] = 255;
        s.Ratio[i] = 50;
    }
    s.ChunkyPixels = 1;
    return s;
}

// The one instance of the module. Starts in the start state.
extern ScanSettings g_settings;

// Puts a record back into its start state (model and detection included).
void ResetScanSettings(ScanSettings& settings);

// ---- Scanner models ------------------------------------------------------

struct ScannerModel {
    uint16_t ReportedNumber;  // model number in the inquiry data
    uint16_t ModelCode;
    const char* SectionName;     // configuration section of the model
    uint16_t BaseResolution;     // unit of the frame coordinates, dpi
    uint16_t ResolutionCeiling;  // highest resolution sent to the scanner; 0 none
    uint16_t CodeSent;           // `ModelCode` word of the parameter block
};

// The model of a number reported by the scanner, or null for an unknown one.
const ScannerModel* FindModelByReportedNumber(long reportedNumber);
// The model of a `ModelCode`, or null for 0 and unknown codes.
const ScannerModel* FindModelByCode(uint16_t modelCode);

// Section name of a model; "" for an unknown model (reads as no section).
const char* ModelSectionName(uint16_t modelCode);
// Base resolution of a model. An unknown model gives 300, the smallest base,
// so that callers never divide by zero before a scanner has been detected.
uint16_t ModelBaseResolution(uint16_t modelCode);
// Resolution ceiling of a model; 0 when it has none (or is unknown).
uint16_t ModelResolutionCeiling(uint16_t modelCode);

// The model number in the five characters at kInquiryModelOffset of the
// inquiry data, read as a decimal number (the field has no terminator).
long ReportedModelNumber(std::span<const uint8_t, 96> inquiryData);
// Sets `ModelCode` from a reported number; an unknown number leaves it.
void TakeReportedModel(ScanSettings& settings, long reportedNumber);

// ---- Detection -----------------------------------------------------------

// What scanner detection found: the adapter and feeder bits of the first
// inquiry, and the paper bit of the second one (read only with a feeder).
void TakeDetectedOptions(ScanSettings& settings, bool adapterFitted, bool feederFitted,
                         bool paperInFeeder);

// ---- Mode and unit -------------------------------------------------------

// Chooses a scan mode: sets `ScanMode`, `ColorPass`, `BackgroundCode` and,
// for Gray and Color, `Gamma` = 1. A code other than 1011 to 1014 changes
// nothing and gives false.
bool ChooseScanMode(ScanSettings& settings, long mode);
// Takes a mode read from storage: only `ScanMode` and `ColorPass` change.
// A code other than 1011 to 1014 changes nothing and gives false.
bool TakeStoredScanMode(ScanSettings& settings, long mode);

// Chooses the display unit. Inches and pixels also set the three unit words
// of the block to 0 or 1; cm and mm leave them. An unknown unit changes
// nothing and gives false.
bool ChooseDisplayUnit(ScanSettings& settings, long unit);

// ---- Preparing the block -------------------------------------------------

// Prepares the block for a scan. `frame` is left, top, right, bottom in
// base-resolution pixels; the first `regionCount` regions of `regions` (four
// words each) are the additional regions, a count above 4 is taken as 4.
// `interpolate` is the engine's half-resolution flag: set or cleared here for
// a non-native transfer, kept for a native one; while it is set the scanner
// scans at half the output resolution.
void PrepareBlockForScan(ScanSettings& settings, std::span<const uint16_t, 4> frame,
                         std::span<const uint16_t, 16> regions, unsigned regionCount,
                         uint16_t paperLength, bool nativeTransfer, bool& interpolate);

// The channel index of the coming pass, or -1 when a Color scan's
// `ColorPass` is not 1, 2 or 3.
int PassChannel(const ScanSettings& settings);

// Prepares the block for the coming pass: pass number, brightness and
// contrast codes, shadow and highlight levels, the gamma curve of the
// channel taken from `toneStore` (the kToneStoreSize-byte tone table block;
// null leaves the curve as it is), and the gamma reset of LineArt and
// Halftone. Gives false, changing nothing, when the pass has no channel.
bool PrepareBlockForPass(ScanSettings& settings, const uint8_t* toneStore);
