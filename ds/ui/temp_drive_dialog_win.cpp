#include "ds/ui/temp_drive_dialog.h"

#include "ds/settings/profile_win.h"
#include "ds/twain/message_text.h"
#include "ds/twain/messages.h"
#include "ds/twain/session.h"
#include "ds/twain/strings.h"
#include "common/dialog_paint.h"
#include "ds/ui/setup_rules.h"
#include "ds/ui/temp_drive_rules.h"

#include <algorithm>
#include <cstring>
#include <string>

int32_t g_tempDialogResult = 0;
int32_t g_tempDirectoryAccepted = 0;

namespace {

constexpr int kCurrentDirectory = 10;
constexpr int kNewDirectory = 7;
constexpr int kOk = 8;
constexpr int kCancel = 9;

HBRUSH g_brush = nullptr;
std::string g_keptName;  // backslash and file name of the working file
std::string g_typed;     // the directory as last typed
uint64_t g_required = 0;

void EnableOk(HWND dialog, bool enabled) { EnableWindow(GetDlgItem(dialog, kOk), enabled); }

std::string TypedDirectory(HWND dialog) {
    char text[kWorkingPathLimit + 1] = {};
    GetDlgItemTextA(dialog, kNewDirectory, text, sizeof text);
    return text;
}

BOOL OnInitDialog(HWND dialog) {
    g_brush = CreateSolidBrush(kDialogGrey);
    const std::string title = MessageCaption(ReadZebInfoBrand(), LoadDsString(10));
    SetWindowTextA(dialog, title.c_str());
    const WorkingPathParts parts = SplitWorkingPath(g_session.defaultFileSetup.FileName);
    SetDlgItemTextA(dialog, kCurrentDirectory, parts.directory.c_str());
    g_keptName = parts.name;
    g_typed.clear();
    EnableOk(dialog, false);
    return FALSE;
}

void EndTempDriveDialog(HWND dialog, bool accepted) {
    if (g_brush) DeleteObject(g_brush);
    g_brush = nullptr;
    g_tempDialogResult = 0;
    g_tempDirectoryAccepted = accepted ? 1 : 0;
    EndDialog(dialog, 0);
}

// The working file moves; a host that never named a file of its own gets
// its transfer file in the same place.
void MoveWorkingFile(const std::string& path) {
    TW_SETUPFILEXFER& working = g_session.defaultFileSetup;
    TW_SETUPFILEXFER& current = g_session.currentFileSetup;
    const bool hostUsesWorkingFile =
        std::strncmp(current.FileName, working.FileName, sizeof working.FileName) == 0;
    std::memset(working.FileName, 0, sizeof working.FileName);
    std::memcpy(working.FileName, path.data(), std::min(path.size(), sizeof working.FileName - 1));
    if (hostUsesWorkingFile) std::memcpy(current.FileName, working.FileName, sizeof current.FileName);
}

void OnOk(HWND dialog) {
    const std::string path = JoinWorkingPath(g_typed, g_keptName);
    uint64_t available = 0;
    const std::string directory = FreeSpaceQueryPath(g_typed);
    const DWORD attributes = GetFileAttributesA(directory.c_str());
    const bool reachable = attributes != INVALID_FILE_ATTRIBUTES &&
                           (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
                           QueryFreeBytes(directory.c_str(), available);
    if (path.empty() || !reachable) {
        const std::string text = LoadDsString(123) + g_typed;
        const std::string caption = MessageCaption(ReadZebInfoBrand(), LoadDsString(11));
        MessageBoxA(GetActiveWindow(), text.c_str(), caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
    } else if (available < g_required) {
        ShowDiskSpaceMessage(GetActiveWindow(), available, g_required);
    } else {
        MoveWorkingFile(path);
        EndTempDriveDialog(dialog, true);
        return;
    }
    g_typed = TypedDirectory(dialog);
    EnableOk(dialog, false);
}

BOOL OnCommand(HWND dialog, int id, int notification) {
    switch (id) {
    case kNewDirectory:
        if (notification == EN_CHANGE) {
            g_typed = TypedDirectory(dialog);
            EnableOk(dialog, true);
        }
        return TRUE;
    case kOk: OnOk(dialog); return TRUE;
    case kCancel:
    case IDCANCEL: EndTempDriveDialog(dialog, false); return TRUE;
    default: return TRUE;
    }
}

}  // namespace

extern "C" __declspec(dllexport) INT_PTR CALLBACK ChgTmpDrvProc(HWND dialog, UINT message,
                                                                WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog);
    case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        SetBkColor(reinterpret_cast<HDC>(wParam), kDialogGrey);
        return reinterpret_cast<INT_PTR>(g_brush);
    case WM_CLOSE: EndTempDriveDialog(dialog, false); return TRUE;
    default: (void)lParam; return FALSE;
    }
}

bool RunTempDriveDialog(HWND owner, uint64_t requiredBytes) {
    if (g_tempDialogResult != 0) return false;
    g_required = requiredBytes;
    g_tempDirectoryAccepted = 0;
    g_tempDialogResult = static_cast<int32_t>(DialogBoxParamA(
        g_instance, LanguageTemplate("CHGTMPDRV", g_languageIndex).c_str(), owner, ChgTmpDrvProc,
        0));
    return g_tempDirectoryAccepted == 1;
}

bool QueryFreeBytes(const char* directory, uint64_t& freeBytes) {
    ULARGE_INTEGER available{};
    if (!GetDiskFreeSpaceExA(directory && *directory ? directory : nullptr, &available, nullptr,
                             nullptr))
        return false;
    freeBytes = available.QuadPart;
    return true;
}
