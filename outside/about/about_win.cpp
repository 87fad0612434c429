// About.dll: the about box the setup window's "About..." opens. It shows
// the brand (the "BRAND" of ZEBINFO), the scanner model, the firmware text
// of the scanner and the version, in the language passed; OK closes it.
#include "common/module_runtime.h"
#include <windows.h>

#include "common/about_entry.h"
#include "common/module_names.h"

#include <cstdint>
#include <string>

namespace {

HINSTANCE g_module = nullptr;

struct AboutTexts {
    uint16_t model;
    std::string firmware, version;
    int language;
};

const char* ModelName(uint16_t code) {
    switch (code) {
    case 600: return "ZEB-B200CX";
    case 606: return "ZEB-D400CX";
    case 800: return "ZEB-C300CX";
    case 1200: return "ZEB-A100CX";
    default: return nullptr;
    }
}

std::string ModuleString(int id) {
    char text[256] = {};
    LoadStringA(g_module, static_cast<UINT>(id), text, sizeof text);
    return text;
}

BOOL OnInitDialog(HWND dialog, const AboutTexts& t) {
    char brand[257] = {};
    GetProfileStringA("ZEBINFO", "BRAND", "Tavlen", brand, sizeof brand);
    SetDlgItemTextA(dialog, 100, brand);
    SetDlgItemTextA(dialog, 104, ModuleString(10 * t.language).c_str());
    const char* name = ModelName(t.model);
    SetDlgItemTextA(dialog, 101, name ? name : std::to_string(t.model).c_str());
    SetDlgItemTextA(dialog, 102, t.firmware.c_str());
    SetDlgItemTextA(dialog, 103, t.version.c_str());
    RECT r{};
    GetWindowRect(dialog, &r);
    SetWindowPos(dialog, nullptr, (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
    return TRUE;
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog, *reinterpret_cast<const AboutTexts*>(lParam));
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, 0);
        return TRUE;
    case WM_CLOSE: EndDialog(dialog, 0); return TRUE;
    default: return FALSE;
    }
}

// At most `limit` characters of a text that may not be there at all.
std::string Bounded(const char* text, size_t limit) {
    std::string s;
    for (size_t i = 0; text && i < limit && text[i]; ++i) s += text[i];
    return s;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) g_module = instance;
    ReleaseRuntimeAtUnload(reason, reserved);
    return TRUE;
}

extern "C" void WINAPI AboutDiag(HWND owner, uint16_t modelCode, const char* firmware,
                                 const char* version, uint16_t language) {
    AboutTexts texts{modelCode, Bounded(firmware, 4), Bounded(version, 5), language < 6 ? language : 0};
    DialogBoxParamA(g_module, LanguageTemplate("ABOUT", texts.language).c_str(), owner, AboutProc,
                    reinterpret_cast<LPARAM>(&texts));
}
