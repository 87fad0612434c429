// The setup window's commands, one function each, and the table that maps
// command ids to them.
#include "ds/ui/setup_commands.h"

#include "ds/acquire/driver.h"
#include "ds/acquire/status_line.h"
#include "ds/acquire/tone_tables.h"
#include "ds/settings/profile_win.h"
#include "ds/twain/acquisition.h"
#include "ds/twain/messages.h"
#include "ds/twain/operations.h"
#include "ds/twain/scan_settings.h"
#include "ds/twain/session.h"
#include "ds/twain/strings.h"
#include "ds/ui/info_dialog.h"
#include "ds/ui/module_binding.h"
#include "ds/ui/setting_dialogs.h"
#include "ds/ui/setup_menus.h"
#include "ds/ui/setup_state.h"

#include <array>

namespace {

HWND Item(int id) { return GetDlgItem(g_setup.window, id); }
bool Enabled(int id) { return IsWindowEnabled(Item(id)) != FALSE; }

// ---- Scan -------------------------------------------------------------------

PreviewGeometry Geometry() {
    PreviewGeometry g;
    g.area = g_setup.PreviewArea;
    g.previewHeight = g_setup.previewHeight;
    g.inchesPerPixelX = g_setup.InchesPerPixelX;
    g.unitResolution = ModelBaseResolution(g_settings.ModelCode);
    g.zoomed = g_setup.ZoomMode != kZoomNormal;
    g.zoomX = g_setup.zoomX;
    g.zoomY = g_setup.zoomY;
    return g;
}

// The frame, the regions in use and the line width of the coming scan.
struct ScanArea {
    std::array<uint16_t, 4> frame{};
    std::array<uint16_t, 16> regions{};
    unsigned regionCount = 0;
    double widthInches = 0;
};

ScanArea TakeScanArea() {
    ScanArea a;
    const uint16_t unit = ModelBaseResolution(g_settings.ModelCode);
    if (FeederMode()) {
        a.frame = FeederPageFrame(g_setup.paperCode, unit);
        a.widthInches = static_cast<double>(a.frame[2] - a.frame[0]) / unit;
        return a;
    }
    g_setup.FrameRect = FrameOnPicture(g_setup.FrameRect, g_setup.PreviewArea);
    const PreviewGeometry g = Geometry();
    a.frame = FrameInBaseUnits(g_setup.FrameRect, g, true);
    for (const ScanRegion& r : g_setup.ScanRegions) {
        if (!r.inUse) continue;
        const auto words = FrameInBaseUnits(r.rect, g, false);
        for (int i = 0; i < 4; ++i) a.regions[a.regionCount * 4 + i] = words[i];
        ++a.regionCount;
    }
    a.widthInches = std::abs(g_setup.FrameRect.Width()) * g_setup.InchesPerPixelX;
    return a;
}

void ReturnToIdleAfterRefusal() {
    g_setup.scanRequested = false;
    EnableScanButtons();
    ClearStatusLine(g_setup.window);
    ReactivateSetupWindow();
}

BOOL Scan(int) {
    KillTimer(g_setup.window, kOutlineTimer);
    g_setup.scanRequested = true;
    const ScanArea area = TakeScanArea();
    const uint16_t paperLength =
        PaperLengthEighths(g_setup.PreviewArea.Height(), g_setup.previewHeight);
    EnableWindow(Item(1001), FALSE);
    EnableWindow(Item(1002), FALSE);
    ShowStatusText(g_setup.window, LoadDsString(507));

    if (ScanLineTooLong(g_settings.Resolution, g_settings.ScanMode == kModeColor,
                        area.widthInches)) {
        ShowScannerMessage(g_setup.window, 109 + 1000 * g_languageIndex);
        ReturnToIdleAfterRefusal();
        return TRUE;
    }
    const FilmSelection film{g_setup.source.filmType, g_setup.source.negative};
    if (!StartAcquisition(g_setup.window, film, area.frame, area.regions, area.regionCount,
                          paperLength)) {
        ReturnToIdleAfterRefusal();
        return TRUE;
    }
    const PixelRect& f = g_setup.FrameRect;
    SaveModelSettings({f.left, f.top, f.right, f.bottom});
    return TRUE;
}

BOOL Prescan(int) { return RunPrescan() ? TRUE : FALSE; }

// Cancel and the close box ask the host to close the source, unless a scan
// or a prescan runs. The window's picture, brush and timers go when the
// host closes the source and the window is destroyed: a host that does not
// close leaves a window that still works.
BOOL Cancel(int) {
    if (!Enabled(1001) && !Enabled(1002)) return TRUE;
    if (SetupBusy()) return TRUE;
    NotifyCloseRequest();
    return TRUE;
}

BOOL Reset(int) {
    g_setup.source.filmType = 3;
    ResetSetupSettings();
    if (FeederMode()) {
        g_settings.Block.ScanSource = kSourceFeeder;
        g_setup.source.adapterInUse = 2;
        g_setup.paperCode = kPaperA4;
        UpdateSizeDisplay();
        return TRUE;
    }
    g_settings.Block.ScanSource = kSourceGlass;
    g_setup.source.adapterInUse = 0;
    g_settings.FeederSelected = g_settings.FeederEnabled = 0;
    g_setup.InchesPerPixelX = 8.5 / g_setup.previewWidth;
    DrawSourceButton();
    FreePreviewPicture();
    const bool viewer = LoadStoredPreview();
    g_setup.FrameRect = ClipIntoArea(g_setup.FrameRect, g_setup.PreviewArea);
    UpdateSizeDisplay();
    RedrawRulers();
    RedrawPreview();
    return viewer ? TRUE : FALSE;
}

BOOL Help(int) {
    const std::string path = ProductFilePath(HelpFileName(g_languageIndex));
    WinHelpA(g_setup.window, path.c_str(), HELP_CONTEXT, 1);
    return TRUE;
}

BOOL PaperSize(int id) {
    switch (id) {
    case 1007: g_setup.paperCode = kPaperA4; break;
    case 1008: g_setup.paperCode = kPaperLetter; break;
    case 1010: g_setup.paperCode = kPaperLegal; break;
    case 1009: g_setup.paperCode = kPaperA5; break;
    default: g_setup.paperCode = kPaperB5; break;
    }
    UpdateSizeDisplay();
    return TRUE;
}

// ---- Lists --------------------------------------------------------------------

BOOL ModeChosen(int) {
    const LRESULT position = SendMessageA(Item(1022), CB_GETCURSEL, 0, 0);
    if (position < 0 || position > 3) return TRUE;
    uint16_t mode = static_cast<uint16_t>(kModeLineArt + position);
    const bool colourWithFeeder =
        (LastInquiry().Data[kInquiryColourFeederByte] & kInquiryColourWithFeeder) != 0;
    if (FeederMode() && mode == kModeColor && !colourWithFeeder) mode = kModeLineArt;
    ChooseScanMode(g_settings, mode);
    SelectModeInList();
    g_setup.source.filmType = 3;
    g_setup.source.negative = 0;
    // A new mode starts from the glass.
    if (g_settings.AdapterPresent && g_setup.source.adapterInUse == 1) ChooseSource(1118);
    UpdateSizeDisplay();
    RedrawRulers();
    RedrawPreview();
    return TRUE;
}

BOOL UnitChosen(int) {
    const LRESULT position = SendMessageA(Item(1037), CB_GETCURSEL, 0, 0);
    if (position >= 0) ChooseDisplayUnit(g_settings, position);
    RedrawRulers();
    UpdateSizeDisplay();
    return TRUE;
}

BOOL ResolutionTyped(int) {
    if (!g_setup.settingResolutionText) TypedResolutionChanged();
    return TRUE;
}

// ---- Menus and their entries -------------------------------------------------

BOOL OptionMenu(int) {
    ShowOptionMenu();
    return TRUE;
}

BOOL SourceMenu(int) {
    ShowSourceMenu();
    return TRUE;
}

BOOL PresetMenu(int) {
    ShowPresetMenu();
    return TRUE;
}

BOOL PrescanModeChosen(int id) {
    g_settings.PrescanMode = id == 1063 ? 1 : 0;
    return TRUE;
}

BOOL InvertToggled(int) {
    g_settings.IsInvert = g_settings.IsInvert ? 0 : 1;
    return TRUE;
}

void SetSpeedBits(uint16_t speed) {
    uint16_t& v = g_settings.Block.Velocity;
    v = static_cast<uint16_t>((v & ~0x000Fu) | (speed & 0x0Fu));
}

BOOL SpeedChosen(int id) {
    const auto speed = static_cast<uint16_t>(id - 1064);
    SetSpeedBits(speed);
    g_speedIndicator = speed;
    return TRUE;
}

BOOL AutoSpeedChosen(int) {
    MEMORYSTATUSEX memory{};
    memory.dwLength = sizeof memory;
    GlobalMemoryStatusEx(&memory);
    SetSpeedBits(AutoSpeed(g_expectedImageSize / 1024, memory.ullTotalPageFile / 1024));
    g_speedIndicator = 6;
    return TRUE;
}

BOOL HalftoneCellChosen(int id) {
    g_settings.Block.Grain = static_cast<uint16_t>(id - 1071);
    g_settings.Block.GrainBuiltIn = 0;
    return TRUE;
}

BOOL DialogModuleCommand(int id) { return OpenDialogModule(g_setup.window, id) ? TRUE : FALSE; }

// ---- The window's own dialogs -------------------------------------------------

BOOL Info(int) {
    ShowNormalOnce();
    ShowInfoDialog(g_setup.window);
    return TRUE;
}

BOOL LoadSetting(int) {
    ShowNormalOnce();
    RunLoadSettingDialog(g_setup.window);
    if (g_settingsLoaded) ShowLoadedSettings();
    return TRUE;
}

BOOL SaveSetting(int) {
    ShowNormalOnce();
    SetSettingPreviewArea(g_setup.PreviewArea, g_setup.previewHeight);
    SetSettingFrameRect(g_setup.FrameRect);
    RunSaveSettingDialog(g_setup.window);
    return TRUE;
}

BOOL ZoomToolChanged(int) {
    RedrawRulers();
    return TRUE;
}

BOOL SourceChosen(int id) {
    ChooseSource(id);
    return TRUE;
}

BOOL FeederToggled(int) {
    ToggleFeeder();
    return TRUE;
}

BOOL PresetChosen(int id) {
    ApplyPreset(id);
    return TRUE;
}

// ---- The table ---------------------------------------------------------------

constexpr int kClick = -1;  // a button, a menu entry or an accelerator

struct CommandRow {
    int first, last;
    int notification;  // kClick, or the list's or edit's notification
    BOOL (*handler)(int id);
    bool whileBusy = false;  // may run while a scan or prescan runs
};

const CommandRow kCommands[] = {
    {1001, 1001, kClick, Scan},
    {1002, 1002, kClick, Prescan},
    {1003, 1003, kClick, Cancel, true},
    {1004, 1004, kClick, Reset},
    {1005, 1005, kClick, Info},
    {1006, 1006, kClick, Help, true},
    {1007, 1010, kClick, PaperSize},
    {1015, 1015, kClick, PaperSize},
    {1022, 1022, CBN_SELCHANGE, ModeChosen},
    {1025, 1025, EN_CHANGE, ResolutionTyped},
    {1037, 1037, CBN_SELCHANGE, UnitChosen},
    {1060, 1060, kClick, OptionMenu},
    {1062, 1063, kClick, PrescanModeChosen},
    {1064, 1064, kClick, InvertToggled},
    {1065, 1069, kClick, SpeedChosen},
    {1070, 1070, kClick, AutoSpeedChosen},
    {1071, 1082, kClick, HalftoneCellChosen},
    {1083, 1084, kClick, DialogModuleCommand},
    {1087, 1087, kClick, LoadSetting},
    {1088, 1088, kClick, SaveSetting},
    {1110, 1112, kClick, DialogModuleCommand},
    {1114, 1114, kClick, ZoomToolChanged},
    {1115, 1115, kClick, SourceMenu},
    {1116, 1118, kClick, SourceChosen},
    {1119, 1119, kClick, FeederToggled},
    {1218, 1218, kClick, PresetMenu},
    {1219, 1226, kClick, PresetChosen},
};

bool Matches(const CommandRow& row, int id, int notification) {
    if (id < row.first || id > row.last) return false;
    if (row.notification == kClick) return notification == BN_CLICKED || notification == 1;
    return notification == row.notification;
}

}  // namespace

BOOL OnCommand(int id, int notification) {
    for (const CommandRow& row : kCommands) {
        if (!Matches(row, id, notification)) continue;
        if (SetupBusy() && !row.whileBusy) return TRUE;
        return row.handler(id);
    }
    return TRUE;
}
