#include "ds/settings/model_config.h"

#include "common/product.h"
#include "ds/ui/setup_rules.h"

#include <algorithm>
#include <cstring>

namespace {

// A list key: the default element, how many times it is repeated to make
// the default text, and the read buffer.
struct ListKey {
    const char* Key;
    const char* DefaultElement;
    size_t Repeat;
    size_t Buffer;
};

constexpr ListKey kBrightnessKey{"Brightness", "0", 17, 17};
constexpr ListKey kContrastKey{"Contrast", "0", 17, 17};
constexpr ListKey kShadowKey{"Shadow", "0", 13, 13};
constexpr ListKey kHilightKey{"Hilight", "255", 13, 13};
constexpr ListKey kMidtoneKey{"Midtone", "128", 13, 13};
constexpr ListKey kRatioKey{"Ratio", "050", 13, 13};

// The right-aligned default of "Frame": 78, 81, 150, 145.
constexpr char kFrameDefault[] = "  78  81 150 145";
constexpr size_t kFrameBuffer = 17;

FourValues ReadList(const ProfileAccess& p, const std::string& section, const ListKey& k) {
    return ParseFourValues(
        ReadKeyText(p, section, k.Key, RepeatText(k.DefaultElement, k.Repeat), k.Buffer),
        kListFieldWidth);
}

template <typename T>
void StoreFour(T (&field)[4], const FourValues& values) {
    for (size_t i = 0; i < 4; ++i) field[i] = static_cast<T>(values[i]);
}

template <typename T>
FourValues FourOf(const T (&field)[4]) {
    return {static_cast<long>(field[0]), static_cast<long>(field[1]), static_cast<long>(field[2]),
            static_cast<long>(field[3])};
}

uint16_t Word(long value) { return static_cast<uint16_t>(value); }

}  // namespace

void ReadSettingsKeys(const ProfileAccess& p, const std::string& section, ScanSettings& s,
                      const std::string& dpiScaleDefault) {
    ScanParameterBlock& b = s.Block;
    b.LengthUnit = Word(ReadKeyNumber(p, section, "Length Unit", "0", 2));
    b.PaperLength = Word(ReadKeyNumber(p, section, "PaperLength", "88", 4));
    b.FrameUnit = Word(ReadKeyNumber(p, section, "Frame Unit", "0", 2));
    StoreFour(b.Frame,
              ParseFourValues(ReadKeyText(p, section, "Frame", kFrameDefault, kFrameBuffer),
                              kFrameFieldWidth));
    b.BackgroundCode = Word(ReadKeyNumber(p, section, "Background Code", "0", 3));
    b.BackgroundUnit = Word(ReadKeyNumber(p, section, "Background Unit", "0", 2));
    // The block has room for four regions; a larger stored count is held to it.
    b.BackgroundWinNum =
        Word(std::clamp<long>(ReadKeyNumber(p, section, "Background Win_Num", "0", 2), 0, 4));
    StoreFour(s.Brightness, ReadList(p, section, kBrightnessKey));
    StoreFour(s.Contrast, ReadList(p, section, kContrastKey));
    TakeStoredScanMode(s, ReadKeyNumber(p, section, "ScanMode", "1013", 5));
    b.ScanRes = Word(ReadKeyNumber(p, section, "ScanRes", "300", 5));
    s.Scaling = Word(ReadKeyNumber(p, section, "Scaling", "100", 5));
    s.DpiScale = Word(ReadKeyNumber(p, section, "DpiScale", dpiScaleDefault, 5));
    b.Velocity = Word(ReadKeyNumber(p, section, "Velocity", "1", 4));
    s.PrescanMode = Word(ReadKeyNumber(p, section, "PrescanMode", "0", 2));
    s.UnitFlag = static_cast<uint32_t>(ReadKeyNumber(p, section, "UnitFlag", "0", 2));
    s.IsInvert = static_cast<uint32_t>(ReadKeyNumber(p, section, "IsInvert", "0", 2));
    b.ScanSource = Word(ReadKeyNumber(p, section, "ScanSource", "0", 2));
    if (b.ScanSource == kSourceFeeder && !s.FeederPresent) {
        b.ScanSource = kSourceGlass;
        s.FeederEnabled = 0;
        s.FeederSelected = 0;
    }
    StoreFour(s.Shadow, ReadList(p, section, kShadowKey));
    StoreFour(s.Hilight, ReadList(p, section, kHilightKey));
    StoreFour(s.Midtone, ReadList(p, section, kMidtoneKey));
    StoreFour(s.Ratio, ReadList(p, section, kRatioKey));

    b.GrainBuiltIn = Word(ReadKeyNumber(p, section, "Grain Built in", "0", 2));
    b.Grain = Word(ReadKeyNumber(p, section, "Grain", "2", 4));
    // The cell is kept as the characters themselves; a shorter text leaves
    // zero bytes after it.
    const std::string cell =
        ReadKeyText(p, section, "GrainCode", RepeatText("0", 64), sizeof b.GrainCode + 1);
    std::memset(b.GrainCode, 0, sizeof b.GrainCode);
    std::memcpy(b.GrainCode, cell.data(), std::min(cell.size(), sizeof b.GrainCode));
    b.Gamma = Word(ReadKeyNumber(p, section, "Gamma", "1", 3));
    b.GammaSize = GammaSizeFromStored(ReadKeyNumber(p, section, "Gamma Size", "0", 4));
    ParseGammaCode(ReadKeyText(p, section, "Gamma code", RepeatText("0", b.GammaSize),
                               GammaCodeBufferSize(b.GammaSize)),
                   b.GammaSize, b.GammaCode);
}

bool WriteSettingsKeys(const ProfileAccess& p, const std::string& section, const ScanSettings& s,
                       const std::array<int32_t, 4>& frameRect, long paperLength) {
    if (section.empty()) return true;
    const ScanParameterBlock& b = s.Block;
    bool written = true;
    auto number = [&](const char* key, long value) {
        written = written && WriteKeyText(p, section, key, DecimalText(value));
    };
    auto list = [&](const char* key, const FourValues& values, size_t width) {
        written = written && WriteKeyText(p, section, key, FormatFourValues(values, width));
    };
    number("Length Unit", b.LengthUnit);
    number("PaperLength", paperLength);
    number("Frame Unit", b.FrameUnit);
    list("Frame", {frameRect[0], frameRect[1], frameRect[2], frameRect[3]}, kFrameFieldWidth);
    number("Background Code", b.BackgroundCode);
    number("Background Unit", b.BackgroundUnit);
    number("Background Win_Num", b.BackgroundWinNum);
    list("Brightness", FourOf(s.Brightness), kListFieldWidth);
    list("Contrast", FourOf(s.Contrast), kListFieldWidth);
    number("ScanMode", s.ScanMode);
    number("ScanRes", s.Resolution);
    number("Scaling", s.Scaling);
    number("DpiScale", s.DpiScale);
    number("Velocity", b.Velocity);
    number("PrescanMode", s.PrescanMode);
    number("UnitFlag", static_cast<long>(s.UnitFlag));
    number("IsInvert", s.IsInvert ? 1 : 0);
    number("ScanSource", b.ScanSource);
    list("Shadow", FourOf(s.Shadow), kListFieldWidth);
    list("hilight", FourOf(s.Hilight), kListFieldWidth);
    list("Midtone", FourOf(s.Midtone), kListFieldWidth);
    list("Ratio", FourOf(s.Ratio), kListFieldWidth);
    return written;
}

void LoadModelSettings(const ProfileAccess& profile, const std::string& section,
                       ScanSettings& settings) {
    ReadSettingsKeys(profile, section, settings, "0");
    // Scaling and the resolution preset are held to what the setup window
    // can set: the scaling that keeps the output resolution within the
    // model's range at the stored resolution, and presets 0 to 5 (a value
    // read as a word: -1 is 65535).
    settings.Scaling = HeldScaling(static_cast<int16_t>(settings.Scaling), settings.Block.ScanRes,
                                   ResolutionLimitsFor(settings.ModelCode, false, false));
    const long preset = static_cast<int16_t>(settings.DpiScale);
    settings.DpiScale = static_cast<uint16_t>(std::clamp<long>(preset, 0, 5));
}

void SaveModelSettings(const ProfileAccess& profile, const ScanSettings& settings,
                       const std::array<int32_t, 4>& frameRect) {
    WriteSettingsKeys(profile, ModelSectionName(settings.ModelCode), settings, frameRect,
                      settings.Block.PaperLength);
}

namespace {

// The sections of the prescan keys, per model: paper length, prescan mode.
struct PrescanSections {
    uint16_t ModelCode;
    const char* PaperLength;
    const char* PrescanMode;
};
constexpr PrescanSections kPrescanSections[] = {
    {600, "ZEB-B200CX", "ZEB-B200C"},
    {606, "ZEB-D400CX", "ZEB-D400C"},
    {800, "ZEB-C300CX", "ZEB-C300C"},
    {1200, "ZEB-A1000CX", "ZEB-A1000C"},
};

const PrescanSections* FindPrescanSections(uint16_t modelCode) {
    for (const PrescanSections& p : kPrescanSections)
        if (p.ModelCode == modelCode) return &p;
    return nullptr;
}

}  // namespace

std::string PrescanPaperLengthSection(uint16_t modelCode) {
    const PrescanSections* p = FindPrescanSections(modelCode);
    return p ? p->PaperLength : "";
}

std::string PrescanModeSection(uint16_t modelCode) {
    const PrescanSections* p = FindPrescanSections(modelCode);
    return p ? p->PrescanMode : "";
}

void SavePrescanKeys(const ProfileAccess& profile, uint16_t modelCode, long paperLength,
                     long prescanMode) {
    WriteKeyText(profile, PrescanPaperLengthSection(modelCode), "PaperLength",
                 DecimalText(paperLength));
    WriteKeyText(profile, PrescanModeSection(modelCode), "PrescanMode", DecimalText(prescanMode));
}

std::string ReadZebInfoBrand(const ProfileAccess& profile) {
    return ReadKeyText(profile, kInfoSection, "BRAND", "Tavlen", 256) + " ";
}

std::string ReadZebInfoDriverName(const ProfileAccess& profile) {
    return ReadKeyText(profile, kInfoSection, "DRIVER", "PAVO.DLL", 256);
}

std::string ReadZebInfoDriverPath(const ProfileAccess& profile,
                                  const std::string& windowsDirectory) {
    std::string dir = windowsDirectory;
    // The product folder starts with its own separator.
    if (!dir.empty() && (dir.back() == '\\' || dir.back() == '/')) dir.pop_back();
    return dir + kProductFolder + ReadZebInfoDriverName(profile);
}

std::string ReadZebInfoVersion(const ProfileAccess& profile) {
    return ReadKeyText(profile, kInfoSection, "VERSION", "V1.0", 34);
}

int ReadZebInfoLanguageIndex(const ProfileAccess& profile) {
    return LanguageIndexFromText(ReadKeyText(profile, kInfoSection, "LANGUAGE", "English", 256));
}

std::string ReadZebInfoDsLanguage(const ProfileAccess& profile) {
    return ReadKeyText(profile, kInfoSection, "DSLANGUAGE", "None", 34);
}

std::string ReadZebInfoSlowSpeedVersion(const ProfileAccess& profile) {
    return ReadKeyText(profile, kInfoSection, "SLOWSPEEDVER", "No", 34);
}
