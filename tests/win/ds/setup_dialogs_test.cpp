// A user at the setup window's own dialogs: saving and loading setting
// files, names that cannot be files and saves that fail, the information
// dialog, and the temporary-drive dialog of a scan that lacks disk space.
#include "tests/support/dialog_watcher.h"
#include "tests/win/ds/setup_fixture.h"

#include "ds/settings/profile_win.h"
#include "ds/twain/acquisition.h"
#include "ds/twain/strings.h"
#include "ds/ui/setting_dialogs.h"
#include "ds/ui/setting_file_rules.h"
#include "ds/ui/temp_drive_dialog.h"

#include <functional>

using namespace wintest;

namespace {

constexpr int kSaveButton = 610, kSaveName = 608;
constexpr int kLoadButton = 510, kLoadName = 508, kLoadFiles = 505;

std::string SettingFolder() { return WindowsDirectoryPath() + kSettingFolder; }

std::string Key(const std::string& path, const char* section, const char* key) {
    char value[256] = {};
    GetPrivateProfileStringA(section, key, "(none)", value, sizeof value, path.c_str());
    return value;
}

void WriteFileText(const std::string& path, const std::string& text) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(f);
}

}  // namespace

class SetupDialogsTest : public SetupWindowTest {
protected:
    void TearDown() override {
        for (const std::string& path : files_) {
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
        }
        SetupWindowTest::TearDown();
    }
    // A setting file of this test in the folder the dialogs open in.
    std::string SettingFile(const std::string& name) {
        CreateDirectoryA((WindowsDirectoryPath() + "\\TWAIN").c_str(), nullptr);
        CreateDirectoryA(SettingFolder().c_str(), nullptr);
        files_.push_back(SettingFolder() + "\\" + name);
        return files_.back();
    }
    // Saves under `name` through the Save dialog.
    void SaveAs(const std::string& name) {
        DialogWatcher save(kSaveButton, [&](HWND d) {
            EXPECT_EQ(ControlText(d, kSaveName), "*.PAR");
            EXPECT_EQ(ControlText(d, 612), "*.PAR");
            TypeInto(d, kSaveName, name);
            PressButton(d, kSaveButton);
        });
        Command(1088);
        EXPECT_EQ(save.Handled(), 1);
    }
    // Loads `name` by choosing it in the Open dialog's list of files.
    void LoadByChoosing(const std::string& name, bool doubleClick) {
        DialogWatcher load(kLoadButton, [&](HWND d) {
            ASSERT_TRUE(ChooseEntry(d, kLoadFiles, name, doubleClick)) << name << " is not listed";
            if (doubleClick) return;  // the double click has loaded the file
            EXPECT_EQ(ControlText(d, kLoadName), name);
            PressButton(d, kLoadButton);
        });
        Command(1087);
        EXPECT_EQ(load.Handled(), 1);
    }
    std::vector<std::string> files_;
};

TEST_F(SetupDialogsTest, SettingsSavedToAFileComeBackAfterAResetWhenLoaded) {
    ASSERT_TRUE(OpenWindow());
    const std::string path = SettingFile("roundtrip.par");
    Choose(1022, 3);  // Color
    Choose(1037, 2);  // cm
    Type("400");
    Scroll(1030, SB_LINERIGHT);
    Command(1064);  // invert
    Command(1063);  // colour prescans
    Command(1067);  // medium speed
    const int32_t brightness[4] = {-10, 5, 0, 12}, shadow[4] = {3, 4, 5, 6};
    for (int c = 0; c < 4; ++c) {
        g_settings.Brightness[c] = brightness[c];
        g_settings.Contrast[c] = -brightness[c];
        g_settings.Shadow[c] = shadow[c];
        g_settings.Hilight[c] = 250 - c;
        g_settings.Midtone[c] = 120 + c;
        g_settings.Ratio[c] = static_cast<uint16_t>(40 + c);
    }
    g_setup.FrameRect = ClipIntoArea({g_setup.PreviewArea.left + 10, g_setup.PreviewArea.top + 20,
                                      g_setup.PreviewArea.left + 90, g_setup.PreviewArea.top + 150},
                                     g_setup.PreviewArea);
    const ScanSettings saved = g_settings;
    const PixelRect savedFrame = g_setup.FrameRect;
    const int paperLength = PaperLengthEighths(g_setup.PreviewArea.Height(), g_setup.previewHeight);
    SaveAs("roundtrip.par");

    const char* section = ModelSectionName(g_settings.ModelCode);
    EXPECT_EQ(Key(path, section, "PaperLength"), std::to_string(paperLength));
    EXPECT_EQ(Key(path, section, "Brightness"), "-105  0  12");
    EXPECT_EQ(Key(path, section, "hilight"), "250249248247");
    std::string frame = FormatFourValues(
        {savedFrame.left, savedFrame.top, savedFrame.right, savedFrame.bottom}, kFrameFieldWidth);
    frame.erase(frame.find_last_not_of(' ') + 1);  // the profile drops trailing blanks
    EXPECT_EQ(Key(path, section, "Frame"), frame);
    EXPECT_EQ(Key(path, section, "Grain"), "(none)") << "the halftone cell is not written";

    Command(1004);  // Reset
    ASSERT_EQ(g_settings.ScanMode, kModeGray);
    LoadByChoosing("roundtrip.par", false);

    const ScanSettings& s = g_settings;
    EXPECT_EQ(s.ScanMode, kModeColor);
    EXPECT_EQ(s.Resolution, saved.Resolution);
    EXPECT_EQ(s.Scaling, saved.Scaling);
    EXPECT_EQ(s.DpiScale, saved.DpiScale);
    EXPECT_EQ(s.Block.Velocity, saved.Block.Velocity);
    EXPECT_EQ(s.PrescanMode, 1);
    EXPECT_EQ(s.UnitFlag, kUnitCm);
    EXPECT_EQ(s.IsInvert, 1u);
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(s.Brightness[c], saved.Brightness[c]) << c;
        EXPECT_EQ(s.Contrast[c], saved.Contrast[c]) << c;
        EXPECT_EQ(s.Shadow[c], saved.Shadow[c]) << c;
        EXPECT_EQ(s.Hilight[c], saved.Hilight[c]) << c;
        EXPECT_EQ(s.Midtone[c], saved.Midtone[c]) << c;
        EXPECT_EQ(s.Ratio[c], saved.Ratio[c]) << c;
    }
    EXPECT_EQ(g_setup.FrameRect, savedFrame);
    // The window shows what was loaded.
    EXPECT_EQ(Chosen(1022), 3);
    EXPECT_EQ(Chosen(1037), 2);
    EXPECT_EQ(Text(1025), ResolutionText(saved.Resolution));
    EXPECT_EQ(GetScrollPos(Item(1024), SB_CTL), saved.Resolution);
    EXPECT_EQ(Text(1029), std::to_string(saved.Scaling) + "%");
    EXPECT_EQ(g_setup.PreviewArea.Height(), g_setup.previewHeight * (paperLength / 8) / 14)
        << "the paper line at the saved length in whole inches";
}

TEST_F(SetupDialogsTest, FilesThatAreDamagedOrForAnotherModelLoadWhatCanBeRead) {
    ASSERT_TRUE(OpenWindow());
    const std::string own = std::string("[") + ModelSectionName(g_settings.ModelCode) + "]\r\n";
    struct Case {
        const char* what;
        std::string text;
        std::function<void(const ScanSettings&)> check;
    } cases[] = {
        {"another model's file", "[ZEB-B200CX]\r\nScanRes=600\r\nScanMode=1014\r\nDpiScale=3\r\n",
         [](const ScanSettings& s) {
             EXPECT_EQ(s.Block.ScanRes, 300);
             EXPECT_EQ(s.ScanMode, kModeGray);
             EXPECT_EQ(s.DpiScale, 1) << "a setting file's default";
         }},
        {"no halftone cell", own + "ScanRes=600\r\n",
         [](const ScanSettings& s) {
             EXPECT_EQ(s.Block.ScanRes, 600);
             EXPECT_EQ(s.Block.Grain, 2);
         }},
        {"garbage values", own + "ScanRes=abc\r\nScaling=-5\r\nBrightness=zz9 99-99\r\nUnitFlag=7\r\n" +
                               "Frame=" + std::string(5000, '9') + "\r\nScanMode=1014\r\n",
         [](const ScanSettings& s) {
             EXPECT_EQ(s.Block.ScanRes, 300);
             EXPECT_EQ(s.Scaling, 100);
             EXPECT_EQ(s.Brightness[0], 0);
             EXPECT_EQ(s.Brightness[2], 0) << "99 is beyond the brightness range";
             EXPECT_EQ(s.UnitFlag, kUnitInches);
             EXPECT_EQ(s.ScanMode, kModeColor) << "a line after an overlong one is read";
         }},
        {"cut short", own + "ScanRes=150\r\nScanMode=101",
         [](const ScanSettings& s) {
             EXPECT_EQ(s.Block.ScanRes, 150);
             EXPECT_EQ(s.ScanMode, kModeGray) << "an unknown mode keeps the current one";
         }},
        {"binary", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR[\xff\xfe]\n=\n", 25) + own.substr(0, 5),
         [](const ScanSettings& s) { EXPECT_EQ(s.ScanMode, kModeGray); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = SettingFile("damaged.par");
        WriteFileText(path, c.text);
        Choose(1022, 2);  // Gray
        g_settings.Block.Grain = 5;
        LoadByChoosing("damaged.par", true);
        c.check(g_settings);
        EXPECT_TRUE(Enabled(1001)) << "the window works on";
    }
}

TEST_F(SetupDialogsTest, ANameThatCannotBeAFileOrASaveThatFailsIsToldAndChangesNothing) {
    ASSERT_TRUE(OpenWindow());
    const std::string locked = SettingFile("locked.par");
    WriteFileText(locked, "[keep]\r\nmine=1\r\n");
    SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY);
    struct Case {
        const char* name;
        int message;
    } cases[] = {{"*.PAR", 120}, {"scan?.par", 120}, {"nofolder\\x.par", 122}, {"locked.par", 122}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MessageBoxWatcher boxes;
        bool stayedOpen = false;
        DialogWatcher save(kSaveButton, [&](HWND d) {
            TypeInto(d, kSaveName, c.name);
            PressButton(d, kSaveButton);
            stayedOpen = IsWindowVisible(d) != FALSE;
            PressButton(d, 611);
        });
        Command(1088);
        EXPECT_TRUE(stayedOpen);
        ASSERT_EQ(boxes.Boxes().size(), 1u);
        EXPECT_EQ(boxes.Boxes()[0].text.rfind(LoadDsString(c.message), 0), 0u) << boxes.Boxes()[0].text;
    }
    EXPECT_EQ(Key(locked, "keep", "mine"), "1");
    EXPECT_EQ(Key(locked, ModelSectionName(g_settings.ModelCode), "ScanRes"), "(none)");
    WIN32_FIND_DATAA found;
    HANDLE leftovers = FindFirstFileA((SettingFolder() + "\\par*.tmp").c_str(), &found);
    EXPECT_EQ(leftovers, INVALID_HANDLE_VALUE) << "no copy of a failed save is left";
    if (leftovers != INVALID_HANDLE_VALUE) FindClose(leftovers);
}

TEST(SettingFileSave, APictureOfTheWholeGlassIsFourteenInchesOfPaper) {
    HMODULE resources = LoadLibraryExA(ProductFile("pavo.ds").c_str(), nullptr,
                                       LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(resources, nullptr);
    g_instance = reinterpret_cast<HINSTANCE>(resources);
    g_settings = DefaultScanSettings();
    g_settings.ModelCode = 1200;
    SetSettingPreviewArea({0, 0, 189, 504}, 504);
    SetSettingFrameRect({10, 20, 100, 200});
    TempFile file(SettingFolder() + "\\whole.par");
    DialogWatcher save(kSaveButton, [](HWND d) {
        TypeInto(d, kSaveName, "whole.par");
        PressButton(d, kSaveButton);
    });
    RunSaveSettingDialog(nullptr);
    EXPECT_EQ(Key(file.path(), "ZEB-A100CX", "PaperLength"), "112");
    EXPECT_EQ(Key(file.path(), "ZEB-A100CX", "Frame"), "10  20  100 200");
    g_instance = nullptr;
    FreeLibrary(resources);
}

TEST_F(SetupDialogsTest, TheInformationDialogShowsTheSettingsOneOrThreeValuesPerToneField) {
    ASSERT_TRUE(OpenWindow());
    for (int c = 0; c < 4; ++c) {
        g_settings.Brightness[c] = c - 2;
        g_settings.Contrast[c] = 2 * c;
        g_settings.Shadow[c] = 10 + c;
        g_settings.Hilight[c] = 200 + c;
    }
    Command(1068);  // speed 4
    struct Case {
        int mode;  // list position
        bool color;
    } cases[] = {{3, true}, {2, false}, {0, false}};
    for (const Case& c : cases) {
        Choose(1022, c.mode);
        g_settings.Block.Gamma = 9;
        SCOPED_TRACE(g_settings.ScanMode);
        DialogWatcher info(856, [&](HWND d) {
            EXPECT_EQ(ControlText(d, 821), LoadDsString(857 + c.mode));
            EXPECT_EQ(ControlText(d, 822), std::to_string(g_settings.Resolution));
            EXPECT_EQ(ControlText(d, 823), std::to_string(g_settings.Scaling) + " % ");
            EXPECT_EQ(ControlText(d, 824), "FALSE");
            EXPECT_EQ(ControlText(d, 825), LoadDsString(613));
            EXPECT_EQ(ControlText(d, 828), "LaserJet - Lighten Midtones");
            EXPECT_EQ(ControlText(d, 831), LoadDsString(861));
            const int single[4] = {826, 827, 829, 830};
            const int red[4] = {844, 845, 850, 851}, blue[4] = {848, 849, 854, 855};
            const int32_t* values[4] = {g_settings.Brightness, g_settings.Contrast,
                                        g_settings.Shadow, g_settings.Hilight};
            for (int f = 0; f < 4; ++f) {
                EXPECT_EQ(ControlShown(d, single[f]), !c.color) << single[f];
                EXPECT_EQ(ControlShown(d, red[f]), c.color) << red[f];
                EXPECT_EQ(ControlShown(d, blue[f]), c.color) << blue[f];
                if (c.color) {
                    EXPECT_EQ(ControlText(d, red[f]), std::to_string(values[f][0]));
                    EXPECT_EQ(ControlText(d, blue[f]), std::to_string(values[f][2]));
                } else {
                    EXPECT_EQ(ControlText(d, single[f]), std::to_string(values[f][3]));
                }
            }
            EXPECT_FALSE(ControlShown(d, 101));
            PressButton(d, 856);
        });
        Command(1005);
        EXPECT_EQ(info.Handled(), 1);
    }
}

// A scan whose working folder has no free space: the folder of the working
// file lies on a file system that reports none.
class TempDriveTest : public SetupDialogsTest {
protected:
    void SetUp() override {
        SetupDialogsTest::SetUp();
        room_ = TempPath("room");
        CreateDirectoryA(room_.c_str(), nullptr);
    }
    void TearDown() override {
        RemoveDirectoryA(room_.c_str());
        SetupDialogsTest::TearDown();
    }
    void PutWorkingFileOnAFullDisk() {
        std::strcpy(g_session.defaultFileSetup.FileName, "Z:\\proc\\TAVLEN1.TIF");
        g_session.currentFileSetup = g_session.defaultFileSetup;
    }
    std::string room_;
};

TEST_F(TempDriveTest, AScanWithoutRoomMovesToTheDirectoryTheUserNames) {
    // Colour in chunky strips goes through pass files.
    ASSERT_TRUE(OpenWindow(TWSX_MEMORY, TWPC_CHUNKY));
    PutWorkingFileOnAFullDisk();
    Choose(1022, 3);  // Color: pass files
    MessageBoxWatcher boxes;
    DialogWatcher tempDrive(10, [&](HWND d) {
        EXPECT_EQ(ControlText(d, 10), "Z:\\PROC");
        EXPECT_FALSE(ControlEnabled(d, 8));
        TypeInto(d, 7, "Z:\\proc\\");
        EXPECT_TRUE(ControlEnabled(d, 8));
        PressButton(d, 8);  // still no room: told again, the dialog stays
        EXPECT_FALSE(ControlEnabled(d, 8));
        EXPECT_TRUE(IsWindowVisible(d));
        TypeInto(d, 7, room_ + "\\");
        PressButton(d, 8);
    });
    Command(1001);
    ASSERT_EQ(tempDrive.Handled(), 1);
    EXPECT_EQ(boxes.Boxes().size(), 2u) << "the scan start's message and the dialog's";
    ASSERT_EQ(g_session.state, kState6XferReady);
    EXPECT_EQ(std::string(g_session.defaultFileSetup.FileName), room_ + "\\TAVLEN1.TIF");

    std::vector<uint8_t> buffer(4096);
    TW_IMAGEMEMXFER xfer{};
    xfer.Memory = {TWMF_APPOWNS | TWMF_POINTER, static_cast<TW_UINT32>(buffer.size()), buffer.data()};
    ASSERT_EQ(Call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &xfer), TWRC_SUCCESS);
    WIN32_FIND_DATAA found;
    HANDLE pass = FindFirstFileA((room_ + "\\tQk*.R").c_str(), &found);
    EXPECT_NE(pass, INVALID_HANDLE_VALUE) << "the red pass file is in the named directory";
    if (pass != INVALID_HANDLE_VALUE) FindClose(pass);
    std::vector<uint8_t> image;
    EXPECT_EQ(TakeMemory(image), TWRC_XFERDONE);
    EXPECT_EQ(EndTransfer(), TWRC_SUCCESS);
    pass = FindFirstFileA((room_ + "\\*.*").c_str(), &found);
    int entries = 0;
    for (BOOL more = pass != INVALID_HANDLE_VALUE; more; more = FindNextFileA(pass, &found)) ++entries;
    if (pass != INVALID_HANDLE_VALUE) FindClose(pass);
    EXPECT_EQ(entries, 2) << "only . and .. are left";
}

TEST_F(TempDriveTest, ACancelledChoiceFailsTheScanAndTheWindowWorksOn) {
    ASSERT_TRUE(OpenWindow());
    PutWorkingFileOnAFullDisk();
    MessageBoxWatcher boxes;
    {
        DialogWatcher tempDrive(10, [](HWND d) { PressButton(d, 9); });
        Command(1001);
        ASSERT_EQ(tempDrive.Handled(), 1);
    }
    EXPECT_EQ(g_session.state, kState5Enabled);
    EXPECT_EQ(g_tempDialogResult, 0);
    EXPECT_EQ(g_tempDirectoryAccepted, 0);
    EXPECT_EQ(std::string(g_session.defaultFileSetup.FileName), "Z:\\proc\\TAVLEN1.TIF");
    EXPECT_TRUE(Enabled(1001));

    std::strcpy(g_session.defaultFileSetup.FileName, (room_ + "\\TAVLEN1.TIF").c_str());
    Command(1001);
    EXPECT_EQ(g_session.state, kState6XferReady) << "a scan with room starts";
    std::vector<uint8_t> image;
    EXPECT_EQ(TakeMemory(image), TWRC_XFERDONE);
    EXPECT_EQ(EndTransfer(), TWRC_SUCCESS);
}

TEST_F(TempDriveTest, AWorkingDriveThatCannotBeAskedIsNotCheckedAndTheScanRuns) {
    ASSERT_TRUE(OpenWindow());
    std::strcpy(g_session.defaultFileSetup.FileName, "Q:\\nowhere\\TAVLEN1.TIF");
    MessageBoxWatcher boxes;
    DialogWatcher tempDrive(10, [](HWND d) { PressButton(d, 9); });
    Command(1001);
    EXPECT_EQ(tempDrive.Handled(), 0) << "no temporary-drive dialog";
    EXPECT_TRUE(boxes.Boxes().empty()) << "no claim that the disk has 0 bytes";
    ASSERT_EQ(g_session.state, kState6XferReady);
    std::vector<uint8_t> image;
    EXPECT_EQ(TakeMemory(image), TWRC_XFERDONE) << "a grey memory scan writes no file";
    EXPECT_EQ(EndTransfer(), TWRC_SUCCESS);
}
