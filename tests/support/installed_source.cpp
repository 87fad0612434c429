#include "tests/support/installed_source.h"

#include "tests/support/one_value.h"
#include "tests/support/wine_support.h"

#include <cstring>

namespace wintest {

namespace {

BOOL CALLBACK FindSetupWindow(HWND window, LPARAM param) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::strcmp(name, "#32770") == 0 && GetDlgItem(window, 1057)) {
        *reinterpret_cast<HWND*>(param) = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

InstalledSource::InstalledSource(const char* hostName) {
    module_ = LoadLibraryA(ProductFile("pavo.ds").c_str());
    if (!module_) return;
    entry_ = reinterpret_cast<DSENTRYPROC>(
        reinterpret_cast<void*>(GetProcAddress(module_, "DS_Entry")));
    app_.Id = 0x1234;
    std::strncpy(app_.ProductName, hostName, sizeof app_.ProductName - 1);
    app_.ProtocolMajor = 1;
    app_.ProtocolMinor = 5;
    app_.SupportedGroups = DG_CONTROL | DG_IMAGE;
    if (entry_) Call(DG_CONTROL, DAT_IDENTITY, MSG_GET, &identity_);
    identity_.Id = 77;
}

InstalledSource::~InstalledSource() {
    Close();
    if (module_) FreeLibrary(module_);
}

TW_UINT16 InstalledSource::Call(TW_UINT32 group, TW_UINT16 dat, TW_UINT16 msg, void* data) {
    return entry_ ? entry_(&app_, group, dat, msg, data) : TWRC_FAILURE;
}

TW_UINT16 InstalledSource::Open() {
    TW_IDENTITY source = identity_;
    const TW_UINT16 rc = Call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &source);
    open_ = rc == TWRC_SUCCESS;
    return rc;
}

TW_UINT16 InstalledSource::SetCap(TW_UINT16 cap, TW_UINT16 itemType, TW_UINT32 value) {
    return SetOneValue([this](TW_CAPABILITY* c) { return Call(DG_CONTROL, DAT_CAPABILITY, MSG_SET, c); },
                       cap, itemType, value);
}

TW_UINT16 InstalledSource::Enable(bool showUi) {
    TW_USERINTERFACE ui{static_cast<TW_BOOL>(showUi ? 1 : 0), 0, nullptr};
    return Call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui);
}

void InstalledSource::Close() {
    if (!open_) return;
    TW_USERINTERFACE ui{0, 0, nullptr};
    Call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui);
    Call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &identity_);
    open_ = false;
}

TW_UINT16 InstalledSource::Condition() {
    TW_STATUS status{};
    Call(DG_CONTROL, DAT_STATUS, MSG_GET, &status);
    return status.ConditionCode;
}

HWND InstalledSource::SetupWindow() const {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindSetupWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

void InstalledSource::Pump(DWORD milliseconds) {
    const DWORD end = GetTickCount() + milliseconds;
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TW_EVENT event{&msg, MSG_NULL};
            if (Call(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event) != TWRC_DSEVENT) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
        Sleep(5);
    } while (static_cast<int>(end - GetTickCount()) > 0);
}

}  // namespace wintest
