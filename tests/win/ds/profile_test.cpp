// The configuration on the real WIN.INI of the Wine prefix. Every key the
// tests set or the code writes is put back afterwards.
#include "ds/settings/profile_win.h"

#include "tests/support/wine_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

const char* const kModelKeys[] = {"Length Unit",
                                  "PaperLength",
                                  "Frame Unit",
                                  "Frame",
                                  "Background Code",
                                  "Background Unit",
                                  "Background Win_Num",
                                  "Brightness",
                                  "Contrast",
                                  "ScanMode",
                                  "ScanRes",
                                  "Scaling",
                                  "DpiScale",
                                  "Velocity",
                                  "PrescanMode",
                                  "UnitFlag",
                                  "IsInvert",
                                  "ScanSource",
                                  "Shadow",
                                  "Hilight",
                                  "Midtone",
                                  "Ratio",
                                  "Grain Built in",
                                  "Grain",
                                  "GrainCode",
                                  "Gamma",
                                  "Gamma Size",
                                  "Gamma code"};

const char* const kInfoKeys[] = {"DRIVER",   "BRAND",      "VERSION",
                                 "LANGUAGE", "DSLANGUAGE", "SLOWSPEEDVER"};

// Removes the named WIN.INI sections when they hold no key any more, so that
// putting the keys back leaves no empty section header behind.
class EmptySectionSweep {
public:
    EmptySectionSweep(const EmptySectionSweep&) = delete;
    EmptySectionSweep& operator=(const EmptySectionSweep&) = delete;
    EmptySectionSweep() = default;
    ~EmptySectionSweep() {
        for (const char* section : kSections) {
            char buffer[4];
            if (GetProfileSectionA(section, buffer, sizeof buffer) == 0)
                WriteProfileStringA(section, nullptr, nullptr);
        }
    }

private:
    static constexpr const char* kSections[] = {"ZEB-B200CX", "ZEB-C300CX", "ZEB-A100CX",
                                                "ZEBINFO"};
};

// Keeps the module record and the touched WIN.INI keys as they were.
class WinIniConfig : public ::testing::Test {
protected:
    void SetUp() override { saved_ = g_settings; }
    void TearDown() override { g_settings = saved_; }

    void ClearSection(const std::string& section) {
        for (const char* key : kModelKeys) keys_.Remove(section, key);
    }
    void KeepSection(const std::string& section) {
        for (const char* key : kModelKeys) keys_.Keep(section, key);
    }

    EmptySectionSweep sweep_;  // runs after keys_ has put the keys back
    wintest::WinIniKeys keys_;

private:
    ScanSettings saved_{};
};

}  // namespace

TEST_F(WinIniConfig, AMissingModelSectionLoadsTheDefaults) {
    ClearSection("ZEB-C300CX");
    ChooseScanMode(g_settings, kModeColor);
    g_settings.Block.ScanRes = 1600;
    g_settings.Block.Frame[0] = 1;
    g_settings.Hilight[2] = 3;
    LoadModelSettings("ZEB-C300CX");
    const ScanSettings& s = g_settings;
    EXPECT_EQ(s.ScanMode, kModeGray);
    EXPECT_EQ(s.Block.ScanRes, 300);
    EXPECT_EQ(s.Block.GrainCode[63], '0');
    EXPECT_EQ(s.Hilight[2], 255);
    // The right-aligned default frame survives the profile's handling of blanks.
    EXPECT_EQ(s.Block.Frame[0], 78);
    EXPECT_EQ(s.Block.Frame[1], 81);
    EXPECT_EQ(s.Block.Frame[2], 150);
    EXPECT_EQ(s.Block.Frame[3], 145);
}

TEST_F(WinIniConfig, SavedSettingsComeBackFromWinIni) {
    KeepSection("ZEB-B200CX");
    keys_.Keep("ZEB-B200CX", "hilight");
    ScanSettings& s = g_settings;
    s.ModelCode = 600;
    ChooseScanMode(s, kModeLineArt);
    s.Resolution = 1200;
    s.Brightness[0] = -10;
    s.Brightness[1] = 5;
    s.Brightness[3] = 12;
    s.Hilight[3] = 200;
    SaveModelSettings({78, 81, 150, 145});

    EXPECT_EQ(wintest::ReadWinIni("ZEB-B200CX", "Frame"), "78  81  150 145");
    EXPECT_EQ(wintest::ReadWinIni("ZEB-B200CX", "Brightness"), "-105  0  12");
    EXPECT_EQ(wintest::ReadWinIni("ZEB-B200CX", "Hilight"), "255255255200");
    EXPECT_EQ(wintest::ReadWinIni("ZEB-B200CX", "ScanRes"), "1200");

    ResetScanSettings(s);
    s.ModelCode = 600;
    LoadCurrentModelSettings();
    EXPECT_EQ(s.ScanMode, kModeLineArt);
    EXPECT_EQ(s.Block.ScanRes, 1200);
    EXPECT_EQ(s.Brightness[0], -10);
    EXPECT_EQ(s.Brightness[1], 5);
    EXPECT_EQ(s.Brightness[3], 12);
    EXPECT_EQ(s.Hilight[3], 200);
    EXPECT_EQ(s.Block.Frame[2], 150);
}

TEST_F(WinIniConfig, ASectionReadWholeAnswersEveryKeyAsWinIniDoes) {
    ClearSection("ZEB-A100CX");
    for (const char* key : {"Quoted", "Blank", "Empty"}) keys_.Remove("ZEB-A100CX", key);
    keys_.Set("ZEB-A100CX", "ScanRes", "600");
    keys_.Set("ZEB-A100CX", "Frame", "  78  81 150 145");
    keys_.Set("ZEB-A100CX", "Quoted", "\"1013\"");
    keys_.Set("ZEB-A100CX", "Blank", "  12  ");
    keys_.Set("ZEB-A100CX", "Empty", "");
    keys_.Set("ZEB-A100CX", "Gamma code", std::string(300, '7'));
    const ProfileAccess whole = WinIniSectionProfile("zeb-a100cx");
    const ProfileAccess single = WinIniProfile();
    for (const char* key : {"ScanRes", "scanres", "Frame", "Quoted", "Blank", "Empty",
                            "Gamma code", "Absent"})
        for (size_t buffer : {size_t{1}, size_t{3}, size_t{17}, size_t{769}})
            EXPECT_EQ(whole.Read("ZEB-A100CX", key, "def", buffer),
                      single.Read("ZEB-A100CX", key, "def", buffer))
                << key << " with a buffer of " << buffer;
    // Other sections are still read from WIN.INI itself.
    keys_.Set("ZEB-B200CX", "ScanRes", "1200");
    EXPECT_EQ(whole.Read("ZEB-B200CX", "ScanRes", "0", 5), "1200");
}

TEST_F(WinIniConfig, LongValuesAreCutAsTheirBuffersCutThem) {
    ClearSection("ZEB-A100CX");
    keys_.Set("ZEB-A100CX", "ScanRes", "123456");
    keys_.Set("ZEB-A100CX", "Brightness", "1  2  3  4  5  6  7");
    keys_.Set("ZEB-A100CX", "Gamma Size", "999");
    std::string code;  // 300 three-digit entries 000, 001, ..., 255, 000, ...
    for (int i = 0; i < 300; ++i) {
        char field[8];
        std::snprintf(field, sizeof field, "%03d", i % 256);
        code += field;
    }
    keys_.Set("ZEB-A100CX", "Gamma code", code);
    LoadModelSettings("ZEB-A100CX");
    EXPECT_EQ(g_settings.Block.ScanRes, 1234);
    EXPECT_EQ(g_settings.Brightness[3], 4);
    EXPECT_EQ(g_settings.Block.GammaSize, 256);
    EXPECT_EQ(g_settings.Block.GammaCode[17], 17);
    EXPECT_EQ(g_settings.Block.GammaCode[255], 255);
}

TEST_F(WinIniConfig, ZebInfoValuesAndTheirDefaults) {
    for (const char* key : kInfoKeys) keys_.Remove("ZEBINFO", key);
    EXPECT_EQ(ReadZebInfoBrand(), "Tavlen ");
    EXPECT_EQ(ReadZebInfoDriverPath(), wintest::ProductFile("PAVO.DLL"));
    EXPECT_EQ(ReadZebInfoVersion(), "V1.0");
    EXPECT_EQ(ReadZebInfoLanguageIndex(), 0);
    EXPECT_EQ(ReadZebInfoDsLanguage(), "None");
    EXPECT_EQ(ReadZebInfoSlowSpeedVersion(), "No");

    keys_.Set("ZEBINFO", "BRAND", "Acme");
    keys_.Set("ZEBINFO", "DRIVER", "VSCAN.DLL");
    keys_.Set("ZEBINFO", "LANGUAGE", "Dutch");
    keys_.Set("ZEBINFO", "VERSION", "V2.0 " + std::string(40, 'x'));
    EXPECT_EQ(ReadZebInfoBrand(), "Acme ");
    EXPECT_EQ(ReadZebInfoDriverPath(), wintest::ProductFile("VSCAN.DLL"));
    EXPECT_EQ(ReadZebInfoLanguageIndex(), 5);
    EXPECT_EQ(ReadZebInfoVersion(), "V2.0 " + std::string(28, 'x'));
}

TEST_F(WinIniConfig, SettingFilesUseTheirOwnSectionAndDefaults) {
    wintest::TempFile file(wintest::TempPath("settings") + ".PAR");
    const ProfileAccess profile = FileProfile(file.path());
    ScanSettings s = DefaultScanSettings();
    s.Scaling = 150;
    s.DpiScale = 3;
    WriteSettingsKeys(profile, "ZEB-D400CX", s, {1, 2, 3, 4}, 112);
    ASSERT_TRUE(wintest::FileExists(file.path()));

    ScanSettings loaded = DefaultScanSettings();
    ReadSettingsKeys(profile, "ZEB-D400CX", loaded, "1");
    EXPECT_EQ(loaded.Scaling, 150);
    EXPECT_EQ(loaded.DpiScale, 3);
    EXPECT_EQ(loaded.Block.PaperLength, 112);
    EXPECT_EQ(loaded.Block.Frame[3], 4);

    // Another model finds no section of its own: defaults, "DpiScale" 1.
    ReadSettingsKeys(profile, "ZEB-C300CX", loaded, "1");
    EXPECT_EQ(loaded.Scaling, 100);
    EXPECT_EQ(loaded.DpiScale, 1);
}
