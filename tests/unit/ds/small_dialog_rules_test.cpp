// The rules behind the setup window's small dialogs: setting-file names and
// paths, the values a loaded file may bring, the working path the
// temporary-drive dialog moves, and the names the information dialog shows.
#include "ds/ui/info_fields.h"
#include "ds/ui/setting_file_rules.h"
#include "ds/ui/temp_drive_rules.h"

#include <gtest/gtest.h>

TEST(SettingFileNames, OnlyNamesThatCanBeFilesAreTaken) {
    struct Case {
        const char* name;
        bool usable;
    } cases[] = {
        {"*.PAR", false},       {"scan?.par", false},    {"", false},
        {"   ", false},         {"..", false},           {"a<b.par", false},
        {"a|b.par", false},     {"\"x\".par", false},    {"tab\there", false},
        {"sub\\*.par", false},  {"sub\\", false},        {"photo.par", true},
        {"MY SCANS.PAR", true}, {"noextension", true},   {"sub\\photo.par", true},
        {"D:\\keep\\a.par", true},
    };
    for (const Case& c : cases) EXPECT_EQ(IsUsableFileName(c.name), c.usable) << c.name;
}

TEST(SettingFileNames, AreJoinedToTheListedDirectory) {
    struct Case {
        const char* directory;
        const char* name;
        const char* path;
    } cases[] = {
        {"C:\\windows\\TWAIN\\PAVO", "photo.par", "C:\\windows\\TWAIN\\PAVO\\photo.par"},
        {"C:\\", "photo.par", "C:\\photo.par"},
        {"C:\\windows", "sub\\a.par", "C:\\windows\\sub\\a.par"},
        {"C:\\windows", "D:\\keep\\a.par", "D:\\keep\\a.par"},
        {"C:\\windows", "\\root.par", "\\root.par"},
        {"C:\\windows", "noextension", "C:\\windows\\noextension"},
    };
    for (const Case& c : cases) EXPECT_EQ(TypedFilePath(c.directory, c.name), c.path) << c.name;
}

TEST(LoadedSettings, UnusableValuesTakeTheirKeysDefaults) {
    ScanSettings s = DefaultScanSettings();
    s.Block.ScanRes = 0;
    s.Scaling = 9999;
    s.DpiScale = 77;
    s.Brightness[0] = -13;
    s.Brightness[1] = 12;
    s.Contrast[3] = 400;
    s.Shadow[2] = -1;
    s.Midtone[0] = 256;
    s.Hilight[1] = 300;
    s.Ratio[2] = 101;
    s.UnitFlag = 4;
    s.PrescanMode = 2;
    s.Block.ScanSource = 9;
    s.Block.PaperLength = 7;
    s.Block.Velocity = 0x3F;
    s.Block.Grain = 12;
    s.Block.Gamma = 20;
    KeepLoadedSettingsUsable(s, {72, 1200});
    EXPECT_EQ(s.Block.ScanRes, 300);
    EXPECT_EQ(s.Scaling, 100);
    EXPECT_EQ(s.DpiScale, 1);
    EXPECT_EQ(s.Brightness[0], 0);
    EXPECT_EQ(s.Brightness[1], 12) << "a value at the end of its range is kept";
    EXPECT_EQ(s.Contrast[3], 0);
    EXPECT_EQ(s.Shadow[2], 0);
    EXPECT_EQ(s.Midtone[0], 128);
    EXPECT_EQ(s.Hilight[1], 255);
    EXPECT_EQ(s.Ratio[2], 50);
    EXPECT_EQ(s.UnitFlag, kUnitInches);
    EXPECT_EQ(s.PrescanMode, 0);
    EXPECT_EQ(s.Block.ScanSource, kSourceGlass);
    EXPECT_EQ(s.Block.PaperLength, 88);
    EXPECT_EQ(s.Block.Velocity, 0x31) << "film bits kept, speed back to Fast";
    EXPECT_EQ(s.Block.Grain, 2);
    EXPECT_EQ(s.Block.Gamma, 1);

    ScanSettings good = DefaultScanSettings();
    good.Block.ScanRes = 1200;
    good.Scaling = 50;
    good.Block.Gamma = 39;
    good.Block.PaperLength = 112;
    const ScanSettings before = good;
    KeepLoadedSettingsUsable(good, {72, 1200});
    EXPECT_EQ(good, before) << "usable values stay as read";
}

TEST(WorkingPath, MovesToTheTypedDirectoryWithOrWithoutItsBackslash) {
    const WorkingPathParts parts = SplitWorkingPath("c:\\users\\me\\Temp\\TAV1A2B.TIF");
    EXPECT_EQ(parts.directory, "C:\\USERS\\ME\\TEMP");
    EXPECT_EQ(parts.name, "\\TAV1A2B.TIF");
    EXPECT_EQ(JoinWorkingPath("D:\\scratch", parts.name), "D:\\scratch\\TAV1A2B.TIF");
    EXPECT_EQ(JoinWorkingPath("D:\\scratch\\", parts.name), "D:\\scratch\\TAV1A2B.TIF");
    EXPECT_EQ(JoinWorkingPath("D:\\", parts.name), "D:\\TAV1A2B.TIF");
    EXPECT_EQ(FreeSpaceQueryPath("D:\\scratch"), "D:\\scratch\\");
    EXPECT_EQ(FreeSpaceQueryPath("D:\\scratch\\"), "D:\\scratch\\");

    EXPECT_EQ(SplitWorkingPath("C:\\t\\averyveryverylongname.tif").name.size(), kWorkingNameLimit);
    EXPECT_EQ(JoinWorkingPath(std::string(kWorkingPathLimit, 'd'), "\\x.tif"), "")
        << "a path the working file cannot hold is not taken";
}

TEST(InfoFields, NameEverySettingTheDialogShows) {
    struct Case {
        int (*name)(int);
        int value, string;
    } cases[] = {
        {[](int v) { return ModeNameString(static_cast<uint16_t>(v)); }, 1011, 857},
        {[](int v) { return ModeNameString(static_cast<uint16_t>(v)); }, 1014, 860},
        {[](int v) { return ModeNameString(static_cast<uint16_t>(v)); }, 1015, 0},
        {[](int v) { return UnitNameString(static_cast<uint32_t>(v)); }, 0, 861},
        {[](int v) { return UnitNameString(static_cast<uint32_t>(v)); }, 3, 864},
        {[](int v) { return UnitNameString(static_cast<uint32_t>(v)); }, 4, 0},
        {SpeedNameString, 1, 610},
        {SpeedNameString, 6, 615},
        {SpeedNameString, 0, 0},
        {[](int v) { return GammaNameString(static_cast<uint16_t>(v)); }, 1, 800},
        {[](int v) { return GammaNameString(static_cast<uint16_t>(v)); }, 10, 809},
        {[](int v) { return GammaNameString(static_cast<uint16_t>(v)); }, 11, 811},
        {[](int v) { return GammaNameString(static_cast<uint16_t>(v)); }, 19, 819},
        {[](int v) { return GammaNameString(static_cast<uint16_t>(v)); }, 39, 820},
        {[](int v) { return GammaNameString(static_cast<uint16_t>(v)); }, 20, 0},
        {[](int v) { return GammaNameString(static_cast<uint16_t>(v)); }, 0, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(c.name(c.value), c.string) << c.value;
}
