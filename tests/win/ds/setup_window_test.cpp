// A user at the setup window: what it shows when it opens, the resolution
// and scaling bars, typed resolutions, presets, menus, modes, Reset, the
// document feeder and the transparency adapter.
#include "tests/support/dialog_watcher.h"
#include "tests/win/ds/setup_fixture.h"

#include "ds/acquire/driver.h"
#include "ds/acquire/inquiry.h"
#include "ds/settings/profile_win.h"

#include "ds/acquire/scan_job.h"
#include "ds/twain/acquisition.h"

using wintest::FindMenuItem;
using wintest::MenuItem;

namespace {

const char* Model(uint16_t code) {
    switch (code) {
    case 600: return "6000";
    case 606: return "6060";
    case 800: return "8000";
    default: return "12000";
    }
}

}  // namespace

TEST_F(SetupWindowTest, EnablingWithTheWindowShowsItInStateFiveUnderTheBrandAndVersion) {
    ini_.Set("ZEBINFO", "BRAND", "Acme");
    ini_.Set("ZEBINFO", "VERSION", "V2.345678");
    ASSERT_TRUE(OpenWindow());
    EXPECT_EQ(g_session.state, kState5Enabled);
    EXPECT_EQ(ui_.ModalUI, 1);
    EXPECT_TRUE(IsWindowVisible(window_));
    EXPECT_EQ(Title(), "Acme  Flatbed Scanner Setup V2.34");
    // The places the window paints itself are not controls a user sees.
    for (int id : {1057, 1058, 1059, 1089, 1090, 1111, 1114, 1119}) EXPECT_FALSE(Shown(id)) << id;
    for (int id : {1120, 1007, 1015}) EXPECT_FALSE(Shown(id)) << "page sizes only with a feeder";
    EXPECT_EQ(Text(1025), "300");
    EXPECT_EQ(Text(1029), "100%");
    EXPECT_EQ(Chosen(1022), 2) << "Gray";
    EXPECT_EQ(Chosen(1037), 0) << "inches";
    EXPECT_TRUE(Enabled(1001));
    EXPECT_TRUE(Enabled(1002));

    // Disabled and enabled again, the same window comes back.
    TW_USERINTERFACE ui{0, 0, nullptr};
    EXPECT_EQ(Call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui), TWRC_SUCCESS);
    EXPECT_FALSE(IsWindowVisible(window_));
    ui_ = TW_USERINTERFACE{1, 0, nullptr};
    EXPECT_EQ(Call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui_), TWRC_SUCCESS);
    EXPECT_EQ(g_session.setupWindow, window_);
    EXPECT_TRUE(IsWindowVisible(window_));
}

TEST_F(SetupWindowTest, TheWindowSpeaksTheConfiguredLanguage) {
    ini_.Set("ZEBINFO", "LANGUAGE", "German");
    ASSERT_TRUE(OpenWindow());
    EXPECT_EQ(Title(), "Tavlen  Flachbettscanner Einstellungen V1.0");
    EXPECT_EQ(Text(1001), "&Scannen");
    char item[64] = {};
    SendMessageA(Item(1022), CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(item));
    EXPECT_STREQ(item, "Strich");
    EXPECT_NE(Text(1042).find(" Zoll"), std::string::npos) << Text(1042);
}

struct ScrollCase {
    uint16_t model;
    const char* start;  // typed first
    int bar, code, thumb;
    uint16_t resolution, scaling;
    const char* shown;
};

TEST_F(SetupWindowTest, TheBarsStepByTheModelsTable) {
    const ScrollCase cases[] = {
        {600, "150", 1024, SB_LINERIGHT, 0, 153, 100, "153"},
        {600, "153", 1024, SB_PAGERIGHT, 0, 183, 100, "183"},
        {600, "300", 1024, SB_LINERIGHT, 0, 330, 100, "330"},
        {600, "600", 1024, SB_PAGELEFT, 0, 480, 100, "480"},
        {600, "300", 1024, SB_LEFT, 0, 1200, 100, "1200"},
        {600, "300", 1024, SB_RIGHT, 0, 72, 100, "72"},
        {1200, "300", 1024, SB_LINELEFT, 0, 294, 100, "294"},
        {1200, "600", 1024, SB_LINERIGHT, 0, 660, 100, "660"},
        {1200, "1200", 1024, SB_LINERIGHT, 0, 1320, 100, "1320"},
        {1200, "2400", 1024, SB_LINELEFT, 0, 2280, 100, "2280"},
        {1200, "300", 1024, SB_THUMBTRACK, 104, 102, 100, "100"},
        {1200, "300", 1024, SB_THUMBPOSITION, 199, 198, 100, "200"},
        {800, "400", 1024, SB_PAGERIGHT, 0, 480, 100, "480"},
        {606, "300", 1024, SB_PAGERIGHT, 0, 360, 100, "360"},
        {606, "300", 1024, SB_LEFT, 0, 600, 100, "600"},
        {1200, "300", 1030, SB_LINERIGHT, 0, 300, 102, "300"},
        {1200, "300", 1030, SB_PAGERIGHT, 0, 300, 120, "300"},
        {1200, "300", 1030, SB_LEFT, 0, 300, 800, "300"},
        {1200, "300", 1030, SB_RIGHT, 0, 300, 24, "300"},
        {600, "1200", 1030, SB_LINELEFT, 0, 1200, 95, "1200"},
    };
    uint16_t model = 0;
    for (const ScrollCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "model " << c.model << " from " << c.start << " bar "
                                        << c.bar << " code " << c.code);
        if (c.model != model) {
            if (model) Call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, nullptr);
            ini_.Set(kScanner, "Model", Model(c.model));
            ASSERT_TRUE(OpenWindow());
            model = c.model;
        }
        Type(c.start);
        g_settings.Scaling = 100;
        Scroll(c.bar, c.code, c.thumb);
        EXPECT_EQ(g_settings.Resolution, c.resolution);
        EXPECT_EQ(g_settings.Scaling, c.scaling);
        EXPECT_EQ(Text(1025), c.shown);
        EXPECT_EQ(Text(1029), std::to_string(c.scaling) + "%");
        EXPECT_EQ(GetScrollPos(Item(c.bar), SB_CTL), c.bar == 1024 ? c.resolution : c.scaling);
    }
}

TEST_F(SetupWindowTest, TheScalingBarSpansWhatKeepsTheOutputResolutionInRange) {
    ASSERT_TRUE(OpenWindow());
    Type("600");
    int low = 0, high = 0;
    GetScrollRange(Item(1030), SB_CTL, &low, &high);
    EXPECT_EQ(low, 12);
    EXPECT_EQ(high, 400);
    // A native transfer is never interpolated: the optical resolution is the top.
    Call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, nullptr);
    ASSERT_TRUE(OpenWindow(TWSX_NATIVE));
    GetScrollRange(Item(1024), SB_CTL, &low, &high);
    EXPECT_EQ(low, 72);
    EXPECT_EQ(high, 1200);
}

struct TypedCase {
    const char* text;
    uint16_t resolution;
    bool scanEnabled;
};

TEST_F(SetupWindowTest, ATypedResolutionIsTakenOnTheStepOrRefused) {
    ASSERT_TRUE(OpenWindow());
    const TypedCase cases[] = {
        {"100", 102, true},  {"200", 198, true},   {"601", 600, true},  {"2400", 2400, true},
        {"30x", 2400, false}, {"", 2400, false},   {"50", 2400, false}, {"2500", 2400, false},
        {"299", 294, true},  {"1250", 1200, true},
    };
    for (const TypedCase& c : cases) {
        SCOPED_TRACE(c.text);
        Type(c.text);
        EXPECT_EQ(g_settings.Resolution, c.resolution);
        EXPECT_EQ(Enabled(1001), c.scanEnabled);
        EXPECT_EQ(Text(1025), c.text) << "the user's own text stays";
        if (c.scanEnabled) {
            EXPECT_EQ(GetScrollPos(Item(1024), SB_CTL), c.resolution);
        }
    }
}

struct PresetCase {
    uint16_t model;
    int command;
    uint16_t resolution, dpiScale;
    const char* shown;
};

TEST_F(SetupWindowTest, PresetsSetTheResolutionAndTheEnhancedResolution) {
    const PresetCase cases[] = {
        {1200, 1219, 100, 5, "100"},  {1200, 1222, 600, 5, "600"},
        {1200, 1223, 2400, 1, "2400"}, {1200, 1224, 2400, 2, "4800"},
        {1200, 1226, 2400, 4, "9600"}, {600, 1224, 1200, 2, "2400"},
        {800, 1223, 1600, 1, "1600"},  {800, 1225, 1600, 3, "4800"},
    };
    uint16_t model = 0;
    for (const PresetCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "model " << c.model << " preset " << c.command);
        if (c.model != model) {
            if (model) Call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, nullptr);
            ini_.Set(kScanner, "Model", Model(c.model));
            ASSERT_TRUE(OpenWindow());
            model = c.model;
        }
        g_settings.Scaling = 150;
        Command(c.command);
        EXPECT_EQ(g_settings.Resolution, c.resolution);
        EXPECT_EQ(g_settings.DpiScale, c.dpiScale);
        EXPECT_EQ(g_settings.Scaling, 100);
        EXPECT_EQ(Text(1025), c.shown);
        EXPECT_TRUE(Enabled(1001));
    }
    // An enhanced resolution keeps its scaling at 100 %.
    Scroll(1030, SB_LINERIGHT);
    EXPECT_EQ(g_settings.Scaling, 100);
    EXPECT_EQ(g_settings.DpiScale, 3);
    // The resolution bar leaves it.
    Scroll(1024, SB_LINELEFT);
    EXPECT_EQ(g_settings.DpiScale, 0);
}

TEST_F(SetupWindowTest, ThePresetMenuMarksTheCurrentResolution) {
    ini_.Set(kScanner, "Model", "6000");
    ASSERT_TRUE(OpenWindow());
    const std::vector<MenuItem> menu = MenuOf(1218);
    ASSERT_EQ(menu.size(), 7u);
    const char* texts[] = {"100", "200", "300", "600", "1200", "", "2400"};
    for (size_t i = 0; i < menu.size(); ++i) EXPECT_EQ(menu[i].text, texts[i]) << i;
    EXPECT_TRUE(menu[2].checked) << "300 dpi is chosen";
    EXPECT_FALSE(menu[4].checked);
    EXPECT_TRUE(menu[5].separator);
    EXPECT_EQ(menu[6].id, 1224u);
}

TEST_F(SetupWindowTest, TheOptionMenuMarksTheCurrentChoices) {
    ASSERT_TRUE(OpenWindow());
    Command(1063);
    Command(1064);
    Command(1075);
    std::vector<MenuItem> menu = MenuOf(1060);
    ASSERT_NE(FindMenuItem(menu, 1063), nullptr);
    EXPECT_TRUE(FindMenuItem(menu, 1063)->checked) << "colour prescan";
    EXPECT_FALSE(FindMenuItem(menu, 1062)->checked);
    EXPECT_TRUE(FindMenuItem(menu, 1064)->checked) << "invert";
    EXPECT_TRUE(FindMenuItem(menu, 1075)->checked) << "6x6:Pattern";
    ASSERT_GE(menu.size(), 5u);
    EXPECT_EQ(menu[0].text, "Prescan Mode");
    EXPECT_EQ(menu[4].text, "Halftone Cell...");
    EXPECT_TRUE(menu[4].grayed) << "cells only for Halftone";
    EXPECT_EQ(g_settings.Block.Grain, 4);
    EXPECT_EQ(g_settings.IsInvert, 1u);

    Choose(1022, 1);
    menu = MenuOf(1060);
    EXPECT_FALSE(menu[4].grayed);
    EXPECT_EQ(menu.back().text, "About...");
    EXPECT_NE(FindMenuItem(menu, 1087), nullptr);
}

TEST_F(SetupWindowTest, AModeChangeSetsTheModeFieldsAndTheImageSize) {
    ASSERT_TRUE(OpenWindow());
    const std::string grey = Text(1046);
    Choose(1022, 0);
    EXPECT_EQ(g_settings.ScanMode, kModeLineArt);
    EXPECT_EQ(g_settings.Block.BackgroundCode, 84);
    Choose(1022, 1);
    EXPECT_EQ(g_settings.ScanMode, kModeHalftone);
    EXPECT_EQ(g_settings.Block.BackgroundCode, 72);
    g_settings.Block.Gamma = 39;
    Choose(1022, 3);
    EXPECT_EQ(g_settings.ScanMode, kModeColor);
    EXPECT_EQ(g_settings.ColorPass, 1);
    EXPECT_EQ(g_settings.Block.BackgroundCode, 0);
    EXPECT_EQ(g_settings.Block.Gamma, 1);
    EXPECT_NE(Text(1046), grey) << "the size read-out follows";
    Choose(1037, 1);
    EXPECT_EQ(g_settings.UnitFlag, kUnitPixels);
    EXPECT_EQ(g_settings.Block.FrameUnit, 1);
    EXPECT_NE(Text(1042).find(" pixels"), std::string::npos);
}

TEST_F(SetupWindowTest, ResetBringsBackTheFactorySettings) {
    ASSERT_TRUE(OpenWindow());
    Choose(1022, 3);
    Choose(1037, 3);
    Type("600");
    Scroll(1030, SB_LINERIGHT);
    g_setup.FrameRect = {g_setup.PreviewArea.left, g_setup.PreviewArea.top,
                         g_setup.PreviewArea.right, g_setup.PreviewArea.bottom};
    Command(1004);
    EXPECT_EQ(g_settings.ScanMode, kModeGray);
    EXPECT_EQ(Chosen(1022), 2);
    EXPECT_EQ(g_settings.UnitFlag, kUnitInches);
    EXPECT_EQ(Chosen(1037), 0);
    EXPECT_EQ(g_settings.Resolution, 300);
    EXPECT_EQ(Text(1025), "300");
    EXPECT_EQ(g_settings.Scaling, 100);
    EXPECT_EQ(Text(1029), "100%");
    EXPECT_EQ(g_setup.FrameRect, (PixelRect{78, 81, 150, 145}));
    EXPECT_EQ(g_setup.source.filmType, 3);
}

TEST_F(SetupWindowTest, AFeederOpensTheWindowForPageSizes) {
    ini_.Set(kScanner, "Feeder", "1");
    ini_.Set(kScanner, "Pages", "3");
    ASSERT_TRUE(OpenWindow());
    for (int id : {1120, 1007, 1008, 1010, 1009, 1015}) EXPECT_TRUE(Shown(id)) << id;
    EXPECT_FALSE(Enabled(1002)) << "no prescan from the feeder";
    EXPECT_FALSE(Enabled(1037));
    EXPECT_EQ(g_settings.ScanMode, kModeLineArt);
    EXPECT_EQ(Chosen(1022), 0);
    EXPECT_EQ(g_settings.Resolution, 300);
    EXPECT_EQ(g_settings.Block.ScanSource, kSourceFeeder);
    EXPECT_EQ(g_setup.source.adapterInUse, 2);
    EXPECT_EQ(Text(1042), " 8.3 inches") << "A4";
    Click(1009);
    EXPECT_EQ(g_setup.paperCode, 404);
    EXPECT_EQ(Text(1042), " 5.8 inches");
    EXPECT_EQ(Text(1044), " 8.3 inches");

    // The feeder button switches back to the glass.
    ClickDrawn(1115);
    EXPECT_EQ(g_settings.FeederEnabled, 0u);
    EXPECT_EQ(g_settings.Block.ScanSource, kSourceGlass);
    EXPECT_FALSE(Shown(1007));
    EXPECT_TRUE(Enabled(1002));
    EXPECT_EQ(g_settings.ScanMode, kModeGray) << "the settings are reset";
    ClickDrawn(1115);
    EXPECT_EQ(g_settings.FeederEnabled, 1u);
    EXPECT_EQ(g_settings.ScanMode, kModeLineArt);
    EXPECT_TRUE(Shown(1007));
}

TEST_F(SetupWindowTest, AFaxHostScansFromTheFeederAtTwoHundredDpi) {
    ini_.Set(kScanner, "Feeder", "1");
    app_ = MakeApp(0x1234, "WinFax PRO 3.0");
    ASSERT_TRUE(OpenWindow());
    EXPECT_EQ(g_settings.Resolution, 200);
    EXPECT_EQ(Text(1025), "200");
}

TEST_F(SetupWindowTest, ColourFromTheFeederNeedsTheScannersConsent) {
    ini_.Set(kScanner, "Feeder", "1");
    ini_.Set(kScanner, "ColourWithFeeder", "0");
    ASSERT_TRUE(OpenWindow());
    Choose(1022, 3);
    EXPECT_EQ(g_settings.ScanMode, kModeLineArt);
    EXPECT_EQ(Chosen(1022), 0);
}

TEST_F(SetupWindowTest, TheAdapterOffersPositiveNegativeAndReflective) {
    ini_.Set(kScanner, "Adapter", "1");
    ASSERT_TRUE(OpenWindow());
    const double w = g_setup.previewWidth;
    EXPECT_EQ(g_settings.Block.ScanSource, kSourceAdapter) << "an adapter is the source at start";
    EXPECT_DOUBLE_EQ(g_setup.InchesPerPixelX, 8.0 / w);

    std::vector<MenuItem> menu;
    {
        wintest::MenuWatcher watcher;
        ClickDrawn(1115);
        menu = watcher.Items();
    }
    ASSERT_EQ(menu.size(), 3u);
    EXPECT_EQ(menu[0].id, 1118u);
    EXPECT_EQ(menu[1].id, 1116u);
    EXPECT_TRUE(menu[1].checked) << "positive film";

    Command(1117);
    EXPECT_EQ(g_setup.source.negative, 1);
    EXPECT_EQ(g_setup.source.filmType, 3);
    EXPECT_EQ(g_settings.Block.Velocity & 0xF0, 0xB0);
    Command(1118);
    EXPECT_EQ(g_setup.source.adapterInUse, 0);
    EXPECT_EQ(g_settings.Block.ScanSource, kSourceGlass);
    EXPECT_DOUBLE_EQ(g_setup.InchesPerPixelX, 8.5 / w);
    EXPECT_EQ(g_setup.paperPosition, g_setup.previewHeight * 11 / 14);
    Command(1116);
    EXPECT_EQ(g_setup.source.adapterInUse, 1);
    EXPECT_EQ(g_setup.source.negative, 0);
    EXPECT_EQ(g_settings.Block.Velocity & 0x80, 0);
    EXPECT_EQ(g_setup.paperPosition, g_setup.previewHeight * 10 / 14);
    EXPECT_LE(g_setup.FrameRect.bottom, g_setup.PreviewArea.bottom);
}

TEST_F(SetupWindowTest, FilmChoicesWithoutAnAdapterChangeNothing) {
    ASSERT_TRUE(OpenWindow());
    const ScanSettings before = g_settings;
    const SourceSelection source = g_setup.source;
    Command(1116);
    Command(1117);
    EXPECT_EQ(g_settings, before);
    EXPECT_EQ(g_setup.source.adapterInUse, source.adapterInUse);
    EXPECT_EQ(g_setup.source.negative, source.negative);
}

TEST_F(SetupWindowTest, SpeedCommandsSetTheSpeedBitsOnly) {
    ASSERT_TRUE(OpenWindow());
    g_settings.Block.Velocity = 0x0031;
    Command(1068);
    EXPECT_EQ(g_settings.Block.Velocity, 0x0034);
    EXPECT_EQ(g_speedIndicator, 4);
    Command(1070);
    EXPECT_EQ(g_speedIndicator, 6);
    EXPECT_EQ(g_settings.Block.Velocity & 0xFFF0, 0x0030);
    EXPECT_GE(g_settings.Block.Velocity & 0x0F, 1);
    EXPECT_LE(g_settings.Block.Velocity & 0x0F, 5);
}

TEST_F(SetupWindowTest, AboutShowsThePassedTextsAndWithoutItsModuleEndsWithCodeFive) {
    ASSERT_TRUE(OpenWindow());
    std::vector<std::string> shown;
    {
        wintest::DialogWatcher about(101, [&](HWND d) {
            for (int id : {100, 101, 102, 103}) shown.push_back(wintest::ControlText(d, id));
            wintest::PressButton(d, IDOK);
        });
        Command(1084);
        EXPECT_EQ(about.Handled(), 1);
    }
    const std::string version = ReadZebInfoVersion().substr(0, 5);
    std::string brand = ReadZebInfoBrand();  // read with its blank
    if (!brand.empty() && brand.back() == ' ') brand.pop_back();
    EXPECT_EQ(shown, (std::vector<std::string>{brand, "ZEB-A100CX",
                                               InquiryFirmware(LastInquiry()), version}));
    {
        ProductFileAway module("About.dll");
        g_session.conditionCode = TWCC_SUCCESS;
        EXPECT_FALSE(Procedure(WM_COMMAND, MAKEWPARAM(1084, BN_CLICKED), 0));
        EXPECT_EQ(g_session.conditionCode, TWCC_OPERATIONERROR);
    }
    EXPECT_TRUE(Enabled(1001)) << "the window stays usable";
}
