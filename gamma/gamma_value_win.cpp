// The "GammaValue" dialog: a gamma value typed as text, accepted by OK
// only while it reads as a number from 0.1 to below 8.0.
#include "common/module_names.h"
#include "gamma/gamma_dialog.h"

namespace {

constexpr int kEdit = 2004, kValueOk = 2045, kValueCancel = 2046, kLabel = 2047;
constexpr int kTextLimit = 4;

std::string* g_text = nullptr;

std::string EditText(HWND dialog) {
    char text[kTextLimit + 2] = {};
    GetDlgItemTextA(dialog, kEdit, text, sizeof text);
    return text;
}

void EnableOk(HWND dialog) {
    EnableWindow(GetDlgItem(dialog, kValueOk), IsAcceptedGammaValue(EditText(dialog)));
}

BOOL OnInitDialog(HWND dialog) {
    SetDlgItemTextA(dialog, kLabel, Text(22).c_str());
    SetDlgItemTextA(dialog, kValueOk, Text(23).c_str());
    SetDlgItemTextA(dialog, kValueCancel, Text(24).c_str());
    SendDlgItemMessageA(dialog, kEdit, EM_LIMITTEXT, kTextLimit, 0);
    SetDlgItemTextA(dialog, kEdit, g_text->c_str());
    EnableOk(dialog);
    tone::CentreOnScreen(dialog);
    SetFocus(GetDlgItem(dialog, kEdit));
    SendDlgItemMessageA(dialog, kEdit, EM_SETSEL, 0, -1);
    return FALSE;
}

// Both buttons keep the text as typed.
void Close(HWND dialog) {
    *g_text = EditText(dialog);
    EndDialog(dialog, 0);
}

BOOL OnCommand(HWND dialog, int id, int notification) {
    switch (id) {
    case kEdit:
        if (notification == EN_CHANGE) EnableOk(dialog);
        break;
    case kValueOk:
    case IDOK:
        // Enter with an unaccepted value does what the greyed button does.
        if (IsWindowEnabled(GetDlgItem(dialog, kValueOk))) Close(dialog);
        break;
    case kValueCancel:
    case IDCANCEL: Close(dialog); break;
    default: break;
    }
    return TRUE;
}

INT_PTR CALLBACK GammaValueProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog);
    case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return tone::GreyBackground(wParam, g.brush);
    case WM_CLOSE: Close(dialog); return TRUE;
    default: return FALSE;
    }
}

}  // namespace

void RunGammaValueDialog(HWND owner, std::string& text) {
    g_text = &text;
    DialogBoxParamA(g_module, LanguageTemplate("GammaValue", g.language).c_str(), owner,
                    GammaValueProc, 0);
    g_text = nullptr;
}
