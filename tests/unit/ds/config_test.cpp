#include "common/product.h"
#include "ds/settings/config_text.h"
#include "ds/settings/model_config.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

// A profile held in memory. Key names match without regard to case, as in
// profile files; values are handed back whole, so that any cutting seen by
// the tests is done by the code under test. Every write is logged in order.
struct MemoryProfile {
    std::map<std::pair<std::string, std::string>, std::string> keys;
    std::vector<std::string> writes;  // "section|key=value"
    int reads = 0;

    static std::string Lower(std::string s) {
        std::transform(s.begin(), s.end(), s.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return s;
    }
    void Set(const std::string& section, const std::string& key, const std::string& value) {
        keys[{section, Lower(key)}] = value;
    }
    ProfileAccess Access() {
        ProfileAccess p;
        p.Read = [this](const std::string& section, const std::string& key, const std::string& def,
                        size_t) {
            ++reads;
            auto it = keys.find({section, Lower(key)});
            return it == keys.end() ? def : it->second;
        };
        p.Write = [this](const std::string& section, const std::string& key,
                         const std::string& value) {
            writes.push_back(section + "|" + key + "=" + value);
            Set(section, key, value);
            return true;
        };
        return p;
    }
};

template <typename T>
FourValues Four(const T (&values)[4]) {
    return {long(values[0]), long(values[1]), long(values[2]), long(values[3])};
}

constexpr char kSection[] = "ZEB-B200CX";
const std::array<int32_t, 4> kFrameRect{78, 81, 150, 145};

ScanSettings LoadedFrom(MemoryProfile& profile, const std::string& section = kSection) {
    ScanSettings s = DefaultScanSettings();
    LoadModelSettings(profile.Access(), section, s);
    return s;
}

}  // namespace

TEST(LeadingInteger, ReadsLikeTheCLibraryConversion) {
    EXPECT_EQ(LeadingInteger("  78"), 78);
    EXPECT_EQ(LeadingInteger("\t-10x"), -10);
    EXPECT_EQ(LeadingInteger("+5 "), 5);
    EXPECT_EQ(LeadingInteger("12 34"), 12);
    EXPECT_EQ(LeadingInteger(""), 0);
    EXPECT_EQ(LeadingInteger("-"), 0);
    EXPECT_EQ(LeadingInteger("abc"), 0);
    EXPECT_EQ(LeadingInteger("- 5"), 0);
    // Huge numbers are held to the 32-bit range.
    EXPECT_EQ(LeadingInteger("99999999999999999999"), 2147483647L);
    EXPECT_EQ(LeadingInteger("-99999999999999999999"), -2147483647L - 1);
    EXPECT_EQ(LeadingInteger("-2147483648"), -2147483647L - 1);
}

TEST(ListFields, LeftAlignedThreeCharacterFieldsReadBack) {
    const std::string text = FormatFourValues({-10, 5, 0, 12}, kListFieldWidth);
    EXPECT_EQ(text, "-105  0  12 ");
    EXPECT_EQ(ParseFourValues(text, kListFieldWidth), (FourValues{-10, 5, 0, 12}));
    // The profile drops the trailing blank; the fields still read the same.
    EXPECT_EQ(ParseFourValues("-105  0  12", kListFieldWidth), (FourValues{-10, 5, 0, 12}));
}

TEST(ListFields, FrameReadsLeftOrRightAlignedFourCharacterFields) {
    EXPECT_EQ(FormatFourValues({78, 81, 150, 145}, kFrameFieldWidth), "78  81  150 145 ");
    EXPECT_EQ(ParseFourValues("78  81  150 145", kFrameFieldWidth), (FourValues{78, 81, 150, 145}));
    EXPECT_EQ(ParseFourValues("  78  81 150 145", kFrameFieldWidth),
              (FourValues{78, 81, 150, 145}));
    // Missing fields read 0, characters after the fourth are ignored.
    EXPECT_EQ(ParseFourValues("1  2", kListFieldWidth), (FourValues{1, 2, 0, 0}));
    EXPECT_EQ(ParseFourValues("1  2  3  4  5", kListFieldWidth), (FourValues{1, 2, 3, 4}));
}

TEST(ListFields, AValueWiderThanItsFieldShiftsTheOthers) {
    // Not detected on purpose: the stored format has no separators.
    const std::string text = FormatFourValues({1000, 1, 2, 3}, kListFieldWidth);
    EXPECT_EQ(text, "10001  2  3  ");
    EXPECT_EQ(ParseFourValues(text, kListFieldWidth), (FourValues{100, 1, 2, 3}));
}

TEST(GammaTable, TwoEntriesOfThreeDigitsGiveTwoBytes) {
    uint8_t table[256];
    std::fill(std::begin(table), std::end(table), 0x55);
    ParseGammaCode("010200", 2, table);
    EXPECT_EQ(table[0], 10);
    EXPECT_EQ(table[1], 200);
    EXPECT_EQ(table[2], 0);  // past the stored size
    EXPECT_EQ(table[255], 0);
    // Fields past the text read 0; values keep their low byte.
    ParseGammaCode("300  7", 4, table);
    EXPECT_EQ(table[0], 44);  // 300 & 0xFF
    EXPECT_EQ(table[1], 7);
    EXPECT_EQ(table[2], 0);
    EXPECT_EQ(table[3], 0);
}

TEST(ModelSection, AnEmptyProfileLoadsTheDefaults) {
    MemoryProfile profile;
    ScanSettings s = DefaultScanSettings();
    ChooseScanMode(s, kModeColor);
    s.Block.ScanRes = 1200;
    s.Block.GammaSize = 5;
    s.Block.GammaCode[0] = 99;
    s.Block.GrainCode[5] = 'x';
    s.Midtone[2] = 1;
    LoadModelSettings(profile.Access(), kSection, s);

    EXPECT_EQ(s.Block.ScanRes, 300);
    EXPECT_EQ(s.Scaling, 100);
    EXPECT_EQ(s.Block.Velocity, 1);
    EXPECT_EQ(s.Block.Grain, 2);
    EXPECT_EQ(s.Block.PaperLength, 88);
    EXPECT_EQ(s.ScanMode, kModeGray);
    EXPECT_EQ(s.ColorPass, 0);
    EXPECT_EQ(s.DpiScale, 0);
    EXPECT_EQ(s.Block.Gamma, 1);
    EXPECT_EQ(s.Block.GammaSize, 0);
    EXPECT_EQ(s.Block.GammaCode[0], 0);
    EXPECT_EQ(s.Block.GrainCode[5], '0');
    EXPECT_EQ(Four(s.Block.Frame), (FourValues{78, 81, 150, 145}));
    EXPECT_EQ(Four(s.Midtone), (FourValues{128, 128, 128, 128}));
    EXPECT_EQ(Four(s.Hilight), (FourValues{255, 255, 255, 255}));
    EXPECT_EQ(Four(s.Ratio), (FourValues{50, 50, 50, 50}));
    EXPECT_EQ(Four(s.Brightness), (FourValues{0, 0, 0, 0}));
    EXPECT_GT(profile.reads, 0);
}

TEST(ModelSection, StoredScalingAndPresetAreHeldToWhatTheWindowCanSet) {
    // Model 600 scans 72 to 1200 dpi through the window.
    struct Case {
        const char* scanRes;
        const char* scaling;
        const char* dpiScale;
        uint16_t expectedScaling;
        uint16_t expectedDpiScale;
    } const cases[] = {
        {"72", "9999", "4", 1666, 4},  // at most 1200 dpi out
        {"72", "-1", "-1", 100, 0},    // at least 72 dpi out
        {"300", "9999", "9", 400, 5},
        {"300", "10", "5", 24, 5},
        {"300", "150", "0", 150, 0},
        {"0", "250", "2", 100, 2},     // no resolution to scale
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.scanRes) + " dpi, " + c.scaling + " %, preset " + c.dpiScale);
        MemoryProfile profile;
        profile.Set(kSection, "ScanRes", c.scanRes);
        profile.Set(kSection, "Scaling", c.scaling);
        profile.Set(kSection, "DpiScale", c.dpiScale);
        ScanSettings s = DefaultScanSettings();
        s.ModelCode = 600;
        LoadModelSettings(profile.Access(), kSection, s);
        EXPECT_EQ(s.Scaling, c.expectedScaling);
        EXPECT_EQ(s.DpiScale, c.expectedDpiScale);
    }
}

TEST(ModelSection, AnEmptySectionNameIsTheFactoryResetAndAsksNothing) {
    MemoryProfile profile;
    profile.Set("", "ScanRes", "600");
    const ScanSettings s = LoadedFrom(profile, "");
    EXPECT_EQ(s.Block.ScanRes, 300);
    EXPECT_EQ(profile.reads, 0);
}

TEST(ModelSection, SavedSettingsLoadBackTheSame) {
    MemoryProfile profile;
    ScanSettings saved = DefaultScanSettings();
    saved.ModelCode = 600;
    saved.FeederPresent = 1;
    ChooseScanMode(saved, kModeColor);
    ChooseDisplayUnit(saved, kUnitPixels);
    saved.Resolution = 1200;
    saved.Scaling = 75;
    saved.DpiScale = 5;
    saved.PrescanMode = 1;
    saved.IsInvert = 1;
    saved.Block.PaperLength = 112;
    saved.Block.Velocity = 0x92;
    saved.Block.ScanSource = kSourceFeeder;
    saved.Block.BackgroundWinNum = 3;
    for (int c = 0; c < 4; ++c) {
        saved.Brightness[c] = -10 + 7 * c;
        saved.Contrast[c] = 12 - 8 * c;
        saved.Shadow[c] = 10 + c;
        saved.Hilight[c] = 240 + c;
        saved.Midtone[c] = 100 + c;
        saved.Ratio[c] = static_cast<uint16_t>(c * 33);
    }
    SaveModelSettings(profile.Access(), saved, {-3, 7, 512, 9999});

    ScanSettings loaded = DefaultScanSettings();
    loaded.ModelCode = 600;  // the section is that model's
    loaded.FeederPresent = 1;
    LoadModelSettings(profile.Access(), kSection, loaded);
    EXPECT_EQ(loaded.ScanMode, kModeColor);
    EXPECT_EQ(loaded.ColorPass, 1);
    EXPECT_EQ(loaded.Block.ScanRes, 1200);  // from Resolution
    EXPECT_EQ(loaded.Scaling, 75);
    EXPECT_EQ(loaded.DpiScale, 5);
    EXPECT_EQ(loaded.PrescanMode, 1);
    EXPECT_EQ(loaded.IsInvert, 1u);
    EXPECT_EQ(loaded.UnitFlag, kUnitPixels);
    EXPECT_EQ(loaded.Block.LengthUnit + loaded.Block.FrameUnit + loaded.Block.BackgroundUnit, 3);
    EXPECT_EQ(loaded.Block.PaperLength, 112);
    EXPECT_EQ(loaded.Block.Velocity, 0x92);
    EXPECT_EQ(loaded.Block.ScanSource, kSourceFeeder);
    EXPECT_EQ(loaded.Block.BackgroundWinNum, 3);
    EXPECT_EQ(Four(loaded.Block.Frame), (FourValues{65533, 7, 512, 9999}));
    EXPECT_EQ(Four(loaded.Brightness), Four(saved.Brightness));
    EXPECT_EQ(Four(loaded.Contrast), Four(saved.Contrast));
    EXPECT_EQ(Four(loaded.Shadow), Four(saved.Shadow));
    EXPECT_EQ(Four(loaded.Hilight), Four(saved.Hilight));
    EXPECT_EQ(Four(loaded.Midtone), Four(saved.Midtone));
    EXPECT_EQ(Four(loaded.Ratio), Four(saved.Ratio));
}

TEST(ModelSection, WritesTheWrittenKeysInTableOrderWithTheirFormats) {
    MemoryProfile profile;
    ScanSettings s = DefaultScanSettings();
    s.ModelCode = 800;
    s.Resolution = 400;
    s.Block.ScanRes = 123;  // the block's value is not what is written
    s.IsInvert = 7;
    s.Brightness[0] = -10;
    s.Brightness[1] = 5;
    s.Brightness[3] = 12;
    SaveModelSettings(profile.Access(), s, kFrameRect);
    const std::string x = "ZEB-C300CX|";
    const std::vector<std::string> expected = {
        x + "Length Unit=0",
        x + "PaperLength=88",
        x + "Frame Unit=0",
        x + "Frame=78  81  150 145 ",
        x + "Background Code=0",
        x + "Background Unit=0",
        x + "Background Win_Num=0",
        x + "Brightness=-105  0  12 ",
        x + "Contrast=0  0  0  0  ",
        x + "ScanMode=1013",
        x + "ScanRes=400",
        x + "Scaling=100",
        x + "DpiScale=0",
        x + "Velocity=1",
        x + "PrescanMode=0",
        x + "UnitFlag=0",
        x + "IsInvert=1",
        x + "ScanSource=0",
        x + "Shadow=0  0  0  0  ",
        x + "hilight=255255255255",
        x + "Midtone=128128128128",
        x + "Ratio=50 50 50 50 ",
    };
    EXPECT_EQ(profile.writes, expected);

    // Without a known model there is no section to write to.
    s.ModelCode = 0;
    SaveModelSettings(profile.Access(), s, kFrameRect);
    EXPECT_EQ(profile.writes.size(), expected.size());
}

TEST(ModelSection, AStoredModeSetsModeAndPassButAnUnknownOneKeepsTheCurrentMode) {
    MemoryProfile profile;
    profile.Set(kSection, "ScanMode", "1015");
    ScanSettings s = DefaultScanSettings();
    ChooseScanMode(s, kModeColor);
    LoadModelSettings(profile.Access(), kSection, s);
    EXPECT_EQ(s.ScanMode, kModeColor);
    EXPECT_EQ(s.ColorPass, 1);

    // A valid one sets mode and pass; background and gamma come from their keys.
    profile.Set(kSection, "ScanMode", "1011");
    profile.Set(kSection, "Gamma", "39");
    LoadModelSettings(profile.Access(), kSection, s);
    EXPECT_EQ(s.ScanMode, kModeLineArt);
    EXPECT_EQ(s.ColorPass, 0);
    EXPECT_EQ(s.Block.BackgroundCode, 0);
    EXPECT_EQ(s.Block.Gamma, kGammaCurveSupplied);
}

TEST(ModelSection, AStoredFeederSourceWithoutAFeederLoadsAsTheGlass) {
    MemoryProfile profile;
    profile.Set(kSection, "ScanSource", "2");
    ScanSettings s = DefaultScanSettings();
    s.FeederEnabled = s.FeederSelected = 1;
    LoadModelSettings(profile.Access(), kSection, s);
    EXPECT_EQ(s.Block.ScanSource, kSourceGlass);
    EXPECT_EQ(s.FeederEnabled, 0u);
    EXPECT_EQ(s.FeederSelected, 0u);

    s.FeederPresent = 1;
    s.FeederEnabled = 1;
    LoadModelSettings(profile.Access(), kSection, s);
    EXPECT_EQ(s.Block.ScanSource, kSourceFeeder);
    EXPECT_EQ(s.FeederEnabled, 1u);
}

TEST(ModelSection, LongTextsAreCutToTheirBuffers) {
    MemoryProfile profile;
    profile.Set(kSection, "ScanRes", "123456");                  // buffer 5
    profile.Set(kSection, "PaperLength", "11200");               // buffer 4
    profile.Set(kSection, "Brightness", "1  2  3  4  5  6  7");  // buffer 17: 16 kept
    profile.Set(kSection, "Shadow", "1  2  3  45678");           // buffer 13: "1  2  3  456"
    profile.Set(kSection, "Background Win_Num", "9");            // held to the four regions
    const ScanSettings s = LoadedFrom(profile);
    EXPECT_EQ(s.Block.ScanRes, 1234);
    EXPECT_EQ(s.Block.PaperLength, 112);
    EXPECT_EQ(s.Brightness[3], 4);
    EXPECT_EQ(s.Shadow[3], 456);
    EXPECT_EQ(s.Block.BackgroundWinNum, 4);
}

TEST(ModelSection, StoredGammaTableAndHalftoneCell) {
    MemoryProfile profile;
    profile.Set(kSection, "Gamma", "39");
    profile.Set(kSection, "Gamma Size", "2");
    profile.Set(kSection, "Gamma code", "010200255");  // only two entries are read
    profile.Set(kSection, "Grain Built in", "1");
    profile.Set(kSection, "GrainCode", "10101");
    const ScanSettings s = LoadedFrom(profile);
    EXPECT_EQ(s.Block.Gamma, kGammaCurveSupplied);
    EXPECT_EQ(s.Block.GammaSize, 2);
    EXPECT_EQ(s.Block.GammaCode[0], 10);
    EXPECT_EQ(s.Block.GammaCode[1], 200);
    EXPECT_EQ(s.Block.GammaCode[2], 0);
    EXPECT_EQ(s.Block.GrainBuiltIn, 1);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(s.Block.GrainCode), 6),
              std::string("10101\0", 6));
}

TEST(ModelSection, AGammaSizeAboveTheTableIsCutTo256Entries) {
    MemoryProfile profile;
    std::string code;
    for (int i = 0; i < 300; ++i) code += FormatFourValues({i % 256, 0, 0, 0}, 3).substr(0, 3);
    profile.Set(kSection, "Gamma Size", "999");
    profile.Set(kSection, "Gamma code", code);
    const ScanSettings s = LoadedFrom(profile);
    EXPECT_EQ(s.Block.GammaSize, 256);
    EXPECT_EQ(s.Block.GammaCode[1], 1);
    EXPECT_EQ(s.Block.GammaCode[255], 255);
    EXPECT_EQ(s.Block.ShadowLevel, 0);  // nothing written past the table
    EXPECT_EQ(GammaSizeFromStored(-1), 0);
}

TEST(ModelSection, SettingFilesDefaultTheEnhancedResolutionToOne) {
    MemoryProfile profile;
    ScanSettings s = DefaultScanSettings();
    ReadSettingsKeys(profile.Access(), kSection, s, "1");
    EXPECT_EQ(s.DpiScale, 1);
}

TEST(PrescanKeys, GoToTheSectionsTheSetupDialogUses) {
    MemoryProfile profile;
    SavePrescanKeys(profile.Access(), 1200, 112, 1);
    SavePrescanKeys(profile.Access(), 606, 88, 0);
    SavePrescanKeys(profile.Access(), 0, 80, 1);  // unknown model: nothing
    const std::vector<std::string> expected = {
        "ZEB-A1000CX|PaperLength=112", "ZEB-A1000C|PrescanMode=1", "ZEB-D400CX|PaperLength=88",
        "ZEB-D400C|PrescanMode=0"};
    EXPECT_EQ(profile.writes, expected);
}

TEST(ZebInfo, DefaultsOfAnEmptyProfile) {
    MemoryProfile profile;
    const ProfileAccess p = profile.Access();
    EXPECT_EQ(ReadZebInfoBrand(p), "Tavlen ");
    EXPECT_EQ(ReadZebInfoDriverName(p), "PAVO.DLL");
    EXPECT_EQ(ReadZebInfoVersion(p), "V1.0");
    EXPECT_EQ(ReadZebInfoLanguageIndex(p), 0);
    EXPECT_EQ(ReadZebInfoDsLanguage(p), "None");
    EXPECT_EQ(ReadZebInfoSlowSpeedVersion(p), "No");
}

TEST(ZebInfo, SlowSpeedRuleNeedsAVersionOtherThanNoAndALanguageOtherThanEnglish) {
    EXPECT_FALSE(SlowSpeedRuleOn("No", "None"));
    EXPECT_FALSE(SlowSpeedRuleOn("NO", "German"));
    EXPECT_TRUE(SlowSpeedRuleOn("Yes", "None"));
    EXPECT_FALSE(SlowSpeedRuleOn("Yes", "english"));
}

TEST(ZebInfo, LanguagesAreComparedExactly) {
    MemoryProfile profile;
    const char* names[] = {"English", "German", "French", "Italian", "Spanish", "Dutch"};
    for (int i = 0; i < 6; ++i) {
        profile.Set("ZEBINFO", "LANGUAGE", names[i]);
        EXPECT_EQ(ReadZebInfoLanguageIndex(profile.Access()), i) << names[i];
    }
    for (const char* other : {"german", "Deutsch", ""}) {
        profile.Set("ZEBINFO", "LANGUAGE", other);
        EXPECT_EQ(ReadZebInfoLanguageIndex(profile.Access()), 0) << other;
    }
}

TEST(ZebInfo, BrandVersionAndDriverPath) {
    MemoryProfile profile;
    profile.Set("ZEBINFO", "BRAND", std::string(300, 'B'));
    profile.Set("ZEBINFO", "VERSION", "V2.10 build 1234567890123456789012345");
    profile.Set("ZEBINFO", "DRIVER", "VSCAN.DLL");
    const ProfileAccess p = profile.Access();
    EXPECT_EQ(ReadZebInfoBrand(p), std::string(255, 'B') + " ");
    EXPECT_EQ(ReadZebInfoVersion(p).size(), 33u);
    const std::string expected = std::string("C:\\windows") + kProductFolder + "VSCAN.DLL";
    EXPECT_EQ(ReadZebInfoDriverPath(p, "C:\\windows"), expected);
    EXPECT_EQ(ReadZebInfoDriverPath(p, "C:\\windows\\"), expected);
}

TEST(SectionList, AnswersKeysAsASingleKeyReadWould) {
    using namespace std::string_literals;
    const std::string list = "ScanRes=300\0Frame=  78  81 150 145  \0 Gamma Size = 256\0"
                             "Quoted=\"a b\"\0Single='x'\0Half=\"open\0Empty=\0Bare\0"
                             "scanres=600\0\0Ignored=1\0"s;
    const SectionKeys keys = ParseSectionList(list);
    EXPECT_EQ(FindSectionKey(keys, "ScanRes"), "300");  // the first of repeated keys
    EXPECT_EQ(FindSectionKey(keys, "SCANRES"), "300");
    EXPECT_EQ(FindSectionKey(keys, "Frame"), "78  81 150 145");
    EXPECT_EQ(FindSectionKey(keys, "gamma size"), "256");
    EXPECT_EQ(FindSectionKey(keys, "Quoted"), "a b");
    EXPECT_EQ(FindSectionKey(keys, "Single"), "x");
    EXPECT_EQ(FindSectionKey(keys, "Half"), "\"open");  // unmatched quote kept
    EXPECT_EQ(FindSectionKey(keys, "Empty"), "");
    EXPECT_EQ(FindSectionKey(keys, "Bare"), "");
    EXPECT_EQ(FindSectionKey(keys, "Ignored"), std::nullopt);  // after the list's end
    EXPECT_EQ(FindSectionKey(keys, "Absent"), std::nullopt);
}

TEST(SectionList, AnEmptyOrUnterminatedListHoldsWhatItHas) {
    EXPECT_TRUE(ParseSectionList("").empty());
    EXPECT_TRUE(ParseSectionList(std::string_view("\0\0", 2)).empty());
    const SectionKeys keys = ParseSectionList("Grain=2");  // no terminator at all
    EXPECT_EQ(FindSectionKey(keys, "Grain"), "2");
}
