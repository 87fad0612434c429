#include "ds/ui/info_dialog.h"

#include "ds/settings/config_text.h"
#include "ds/twain/acquisition.h"
#include "ds/twain/scan_settings.h"
#include "ds/twain/session.h"
#include "ds/twain/strings.h"
#include "common/dialog_paint.h"
#include "ds/ui/info_fields.h"
#include "ds/ui/setup_rules.h"

#include <string>

namespace {

constexpr int kSeparator = 101;
HBRUSH g_brush = nullptr;

void SetText(HWND dialog, int id, const std::string& text) {
    SetDlgItemTextA(dialog, id, text.c_str());
}

// A named value: its string, or the number itself when it has no name.
std::string NameOr(int stringId, long value) {
    return stringId ? LoadDsString(stringId) : DecimalText(value);
}

void Show(HWND dialog, int id, bool shown) {
    ShowWindow(GetDlgItem(dialog, id), shown ? SW_SHOW : SW_HIDE);
}

// Brightness, contrast, shadow and highlight: one value per colour in
// Color, the grey channel's value otherwise.
void FillToneFields(HWND dialog) {
    const ScanSettings& s = g_settings;
    const bool color = s.ScanMode == kModeColor;
    const int32_t* values[4] = {s.Brightness, s.Contrast, s.Shadow, s.Hilight};
    for (int field = 0; field < 4; ++field) {
        const ToneFieldControls& c = kToneFields[field];
        Show(dialog, c.single, !color);
        SetText(dialog, c.single, DecimalText(values[field][kSingleChannel]));
        for (int channel = 0; channel < 3; ++channel) {
            Show(dialog, c.labels[channel], color);
            Show(dialog, c.values[channel], color);
            SetText(dialog, c.values[channel], DecimalText(values[field][channel]));
        }
    }
}

void FillFields(HWND dialog) {
    const ScanSettings& s = g_settings;
    SetText(dialog, 821, NameOr(ModeNameString(s.ScanMode), s.ScanMode));
    SetText(dialog, 822, DecimalText(s.Resolution));
    SetText(dialog, 823, DecimalText(s.Scaling) + " % ");
    SetText(dialog, 824, LoadDsString(s.IsInvert ? 865 : 866));
    SetText(dialog, 825, NameOr(SpeedNameString(g_speedIndicator), g_speedIndicator));
    SetText(dialog, 828, NameOr(GammaNameString(s.Block.Gamma), s.Block.Gamma));
    SetText(dialog, 831, NameOr(UnitNameString(s.UnitFlag), static_cast<long>(s.UnitFlag)));
    FillToneFields(dialog);
}

void CentreOnScreen(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    HDC screen = GetDC(nullptr);
    const int width = GetDeviceCaps(screen, HORZRES), height = GetDeviceCaps(screen, VERTRES);
    ReleaseDC(nullptr, screen);
    SetWindowPos(window, nullptr, (width - (r.right - r.left)) / 2,
                 (height - (r.bottom - r.top)) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

BOOL OnInitDialog(HWND dialog) {
    SetFocus(dialog);
    g_brush = CreateSolidBrush(kDialogGrey);
    Show(dialog, kSeparator, false);
    CentreOnScreen(dialog);
    // The settings cannot change while the dialog is open: the fields are
    // filled once.
    FillFields(dialog);
    return FALSE;
}

void OnPaint(HWND dialog) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(dialog, &ps);
    DrawSunkenLine(dc, DialogControlRect(dialog, kSeparator));
    EndPaint(dialog, &ps);
}

void EndInfoDialog(HWND dialog) {
    if (g_brush) DeleteObject(g_brush);
    g_brush = nullptr;
    EndDialog(dialog, 0);
}

}  // namespace

INT_PTR CALLBACK InfoDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog);
    case WM_PAINT: OnPaint(dialog); return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == 856 || LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK)
            EndInfoDialog(dialog);
        return TRUE;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        SetBkColor(reinterpret_cast<HDC>(wParam), kDialogGrey);
        return reinterpret_cast<INT_PTR>(g_brush);
    case WM_CLOSE: EndInfoDialog(dialog); return TRUE;
    default: (void)lParam; return FALSE;
    }
}

void ShowInfoDialog(HWND owner) {
    DialogBoxParamA(g_instance, LanguageTemplate("INFODLG", g_languageIndex).c_str(), owner,
                    InfoDialogProc, 0);
}
