#include "ds/ui/setup_window.h"

#include "ds/twain/session.h"

// The setup window's dialog procedure. It handles only the creation of the
// window so far; its controls are served as they are added.
extern "C" __declspec(dllexport) INT_PTR CALLBACK SetupDlgProc(HWND, UINT message, WPARAM,
                                                               LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

HWND CreateSetupWindow() {
    static const char* const kTemplates[] = {"SCANNER",   "SCANNER_G", "SCANNER_F",
                                             "SCANNER_I", "SCANNER_S", "SCANNER_D"};
    const int language = g_languageIndex >= 0 && g_languageIndex < 6 ? g_languageIndex : 0;
    return CreateDialogParamA(g_instance, kTemplates[language], nullptr, SetupDlgProc, 0);
}
