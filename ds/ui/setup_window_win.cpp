// The setup window: its dialog procedure, the initialisation, activation,
// timers, colours and the return to idle after a transfer.
#include "ds/ui/setup_window.h"

#include "ds/acquire/driver.h"
#include "ds/acquire/scan_job.h"
#include "ds/acquire/status_line.h"
#include "ds/acquire/tone_tables.h"
#include "ds/settings/profile_win.h"
#include "ds/twain/acquisition.h"
#include "ds/twain/scan_settings.h"
#include "ds/twain/session.h"
#include "ds/twain/strings.h"
#include "ds/ui/setup_commands.h"
#include "ds/ui/setup_state.h"

#include <cstring>
#include <span>

SetupDialogState g_setup;

namespace {

constexpr COLORREF kGrey = RGB(192, 192, 192);

// Controls whose places the window paints itself.
constexpr int kDrawnOver[] = {1050, 1051, 1052, 1053, 1054, 1055, 1056, 1057, 1058, 1059,
                              1089, 1090, 1110, 1111, 1112, 1114, 1115, 1119};
constexpr int kPageSizeControls[] = {1120, 1007, 1008, 1010, 1009, 1015};

void CentreOnScreen(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    SetWindowPos(window, nullptr, (GetSystemMetrics(SM_CXSCREEN) - w) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - h) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void SetTitle(HWND window) {
    const std::string title =
        SetupWindowTitle(ReadZebInfoBrand(), LoadDsString(10), ReadZebInfoVersion());
    SetWindowTextA(window, title.c_str());
}

void FillList(int id, int firstString, int count) {
    HWND list = GetDlgItem(g_setup.window, id);
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < count; ++i)
        SendMessageA(list, CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(LoadDsString(firstString + i).c_str()));
}

// The source of the coming scan as the loaded settings and the fitted
// options give it. Bits 4 to 7 of `Velocity` hold the film selection only
// until it has been taken here.
void DeriveSourceSelection() {
    ScanParameterBlock& block = g_settings.Block;
    SourceSelection& s = g_setup.source;
    if (g_settings.AdapterPresent) {
        block.ScanSource = kSourceAdapter;
        s.adapterInUse = 1;
        s.filmType = (block.Velocity >> 4) & 7;
        s.negative = (block.Velocity >> 7) & 1;
    } else {
        s.filmType = s.negative = 0;
        const bool feeder = g_settings.FeederEnabled != 0;
        block.ScanSource = feeder ? kSourceFeeder : kSourceGlass;
        s.adapterInUse = feeder ? 2 : 0;
        g_settings.FeederSelected = feeder ? 1 : 0;
    }
    block.Velocity &= static_cast<uint16_t>(~0x00F0u);
}

bool HostIs(int stringId) {
    return LoadDsString(stringId) ==
           std::string(g_session.appIdentity.ProductName,
                       strnlen(g_session.appIdentity.ProductName,
                               sizeof g_session.appIdentity.ProductName));
}

void EnterFeederMode() {
    ScanParameterBlock& block = g_settings.Block;
    g_settings.FeederSelected = 1;
    block.ScanSource = kSourceFeeder;
    g_setup.source.adapterInUse = 2;
    g_settings.Resolution = block.ScanRes = (HostIs(407) || HostIs(412)) ? 200 : 300;
    g_setup.limits = ResolutionLimitsFor(g_settings.ModelCode, false, true);
    g_settings.Scaling = 100;
    ChooseScanMode(g_settings, kModeLineArt);
    g_settings.ColorPass = 0;
}

BOOL OnInitDialog(HWND window) {
    g_setup = SetupDialogState{};
    g_setup.window = window;
    g_setup.greyBrush = CreateSolidBrush(kGrey);
    LoadButtonBitmaps();
    LoadCursors();
    g_setup.sizeTexts = ReadoutTexts();
    TakeReportedModel(g_settings,
                      ReportedModelNumber(std::span<const uint8_t, 96>(LastInquiry().Data)));
    SetTitle(window);

    CentreOnScreen(window);
    for (int id : kDrawnOver) ShowWindow(GetDlgItem(window, id), SW_HIDE);
    ApplyFeederVisibility();

    g_setup.previewControl = ControlRect(1057);
    g_setup.previewWidth = g_setup.previewControl.Width();
    g_setup.previewHeight = g_setup.previewControl.Height();
    LoadCurrentModelSettings();
    DeriveSourceSelection();
    // The width of the picture follows the source the window opens with.
    g_setup.InchesPerPixelX =
        (g_setup.source.adapterInUse == 1 ? 8.0 : 8.5) / g_setup.previewWidth;
    g_setup.InchesPerPixelY = 14.0 / g_setup.previewHeight;

    g_settings.Resolution = g_settings.Block.ScanRes;
    const bool native = g_session.caps.xferMech == TWSX_NATIVE;
    g_setup.limits = ResolutionLimitsFor(g_settings.ModelCode, native, false);
    g_setup.initialLimits = g_setup.limits;
    // A stored scaling the bar could not set is held to the bar's range.
    g_settings.Scaling = HeldScaling(g_settings.Scaling, g_settings.Resolution, g_setup.limits);
    g_setup.initialResolution = g_settings.Resolution;

    FillList(1037, 643, 4);
    FillList(1022, 639, 4);
    if (g_settings.ScanMode < kModeLineArt || g_settings.ScanMode > kModeColor) return FALSE;
    g_tone.GammaChannel = g_settings.ScanMode == kModeColor ? 2007 : 2011;

    for (ScanRegion& r : g_setup.ScanRegions) r = ScanRegion{};
    g_settings.Block.BackgroundWinNum = 0;
    std::memset(g_settings.Block.RegionList, 0, sizeof g_settings.Block.RegionList);
    g_setup.DragMode = 0;

    // A missing viewer leaves the preview grey; the window works without it.
    LoadStoredPreview();

    if (FeederMode()) EnterFeederMode();
    ShowResolution();
    ShowScaling();
    SelectUnitInList();
    SelectModeInList();

    const uint16_t* f = g_settings.Block.Frame;
    g_setup.FrameRect = ClipIntoArea({f[0], f[1], f[2], f[3]}, g_setup.PreviewArea);
    UpdateSizeDisplay();
    const int speed = g_settings.Block.Velocity & 0x0F;
    g_speedIndicator = speed >= 1 && speed <= 5 ? speed : 1;
    return FALSE;
}

void OnActivate(WPARAM wParam) {
    if (LOWORD(wParam) == WA_INACTIVE)
        KillTimer(g_setup.window, kOutlineTimer);
    else
        SetTimer(g_setup.window, kOutlineTimer, kTimerMillis, nullptr);
}

void OnTimer(WPARAM id) {
    if (id == kPanTimer) {
        OnPanTimer();
        return;
    }
    if (id != kOutlineTimer || FeederMode()) return;
    g_setup.framePhase ^= 1;
    HDC dc = GetDC(g_setup.window);
    DrawFrameOutline(dc);
    ReleaseDC(g_setup.window, dc);
}

INT_PTR OnCtlColor(HDC dc) {
    SetBkColor(dc, kGrey);
    return reinterpret_cast<INT_PTR>(g_setup.greyBrush);
}

void OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(g_setup.window, &ps);
    PaintSetupWindow(dc);
    EndPaint(g_setup.window, &ps);
}

POINT MousePoint(LPARAM lParam) {
    return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

// The window goes away: everything it holds goes with it.
void OnDestroy() {
    KillTimer(g_setup.window, kOutlineTimer);
    KillTimer(g_setup.window, kPanTimer);
    FreePreviewPicture();
    FreeButtonBitmaps();
    if (g_setup.rulerFont) DeleteObject(g_setup.rulerFont);
    g_setup.rulerFont = nullptr;
    if (g_setup.greyBrush) DeleteObject(g_setup.greyBrush);
    g_setup.greyBrush = nullptr;
    g_setup.window = nullptr;
}

}  // namespace

extern "C" __declspec(dllexport) INT_PTR CALLBACK SetupDlgProc(HWND window, UINT message,
                                                               WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(window);
    case WM_COMMAND: return OnCommand(LOWORD(wParam), HIWORD(wParam));
    case WM_HSCROLL: OnHScroll(reinterpret_cast<HWND>(lParam), LOWORD(wParam), HIWORD(wParam)); return TRUE;
    case WM_TIMER: OnTimer(wParam); return TRUE;
    case WM_ACTIVATE: OnActivate(wParam); return TRUE;
    case WM_PAINT: OnPaint(); return TRUE;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC: return OnCtlColor(reinterpret_cast<HDC>(wParam));
    case WM_MOUSEMOVE: OnMouseMove(MousePoint(lParam)); return TRUE;
    case WM_LBUTTONDOWN: OnLeftButtonDown(MousePoint(lParam)); return TRUE;
    case WM_LBUTTONUP: OnLeftButtonUp(); return TRUE;
    case WM_RBUTTONDOWN: OnRightButtonDown(MousePoint(lParam)); return TRUE;
    case WM_RBUTTONUP: OnRightButtonUp(); return TRUE;
    case WM_SETCURSOR: return OnSetCursor() ? TRUE : FALSE;
    case WM_CLOSE: return OnCommand(1003, BN_CLICKED);
    case WM_DESTROY: OnDestroy(); return FALSE;
    default: return FALSE;
    }
}

HWND CreateSetupWindow() {
    return CreateDialogParamA(g_instance, LanguageTemplate("SCANNER", g_languageIndex).c_str(),
                              nullptr, SetupDlgProc, 0);
}

// ---- Shared with the window's other files ----------------------------------

bool FeederMode() { return g_settings.FeederPresent && g_settings.FeederEnabled; }

bool SetupBusy() {
    return g_setup.scanRequested || g_setup.prescanning || g_session.state >= kState6XferReady;
}

PixelRect ControlRect(int id) {
    RECT r{};
    GetWindowRect(GetDlgItem(g_setup.window, id), &r);
    MapWindowPoints(nullptr, g_setup.window, reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right, r.bottom};
}

RECT ToRect(const PixelRect& r) { return {r.left, r.top, r.right, r.bottom}; }

void ReactivateSetupWindow() {
    if (!g_setup.window) return;  // never a thread timer in place of the window's
    SetTimer(g_setup.window, kOutlineTimer, kTimerMillis, nullptr);
    SetActiveWindow(g_setup.window);
}

void EnableScanButtons() {
    EnableWindow(GetDlgItem(g_setup.window, 1001), TRUE);
    EnableWindow(GetDlgItem(g_setup.window, 1002), !FeederMode());
}

void ApplyFeederVisibility() {
    const bool feeder = FeederMode();
    for (int id : kPageSizeControls) ShowWindow(GetDlgItem(g_setup.window, id), feeder ? SW_SHOW : SW_HIDE);
    EnableWindow(GetDlgItem(g_setup.window, 1002), !feeder);
    EnableWindow(GetDlgItem(g_setup.window, 1037), !feeder);
}

void ShowSettingsInControls() {
    // What a user did to the controls while a scan or prescan ran had no
    // effect: they show the settings again.
    ShowResolution();
    ShowScaling();
    SelectModeInList();
    SelectUnitInList();
    UpdateSizeDisplay();
}

void ReturnSetupWindowToIdle() {
    HWND window = g_session.setupWindow;
    if (!window || window != g_setup.window || !g_setup.scanRequested) return;
    g_setup.scanRequested = false;
    ShowSettingsInControls();
    EnableScanButtons();
    ClearStatusLine(window);
    if (IsWindowVisible(window)) ReactivateSetupWindow();
}
