#include "common/file_list_dialog_win.h"

#include "common/dialog_paint.h"

namespace filelist {
namespace {

// One dialog is open at a time.
const Behaviour* g_behaviour = nullptr;
HBRUSH g_brush = nullptr;
std::string g_callerDirectory;  // the process's current directory before the dialog

// Lists the subdirectories and drives of the directory `place` (a path
// ending in a backslash, or a drive "c:"), which becomes the current one,
// and shows it in the directory text.
void ListDirectories(HWND dialog, const Ids& ids, const std::string& place) {
    std::string buffer = place + "*.*";
    buffer.resize(MAX_PATH + 1);
    DlgDirListA(dialog, buffer.data(), ids.directories, ids.directory,
                DDL_DIRECTORY | DDL_DRIVES | DDL_EXCLUSIVE);
}

// The name field and the extension text start again from the pattern, and
// the files list shows the matching files of the current directory.
void ListFiles(HWND dialog, const Behaviour& b) {
    SetDlgItemTextA(dialog, b.ids.extension, b.pattern);
    SetDlgItemTextA(dialog, b.ids.edit, b.pattern);
    std::string pattern = b.pattern;
    pattern.resize(MAX_PATH + 1);
    DlgDirListA(dialog, pattern.data(), b.ids.files, 0, DDL_ARCHIVE | DDL_EXCLUSIVE);
}

void MakeFolder(const std::string& folder) {
    // Each level of the path, so that a fresh Windows directory works too.
    for (size_t at = folder.find('\\', 3); at != std::string::npos; at = folder.find('\\', at + 1))
        CreateDirectoryA(folder.substr(0, at).c_str(), nullptr);
    CreateDirectoryA(folder.c_str(), nullptr);
}

BOOL OnInitDialog(HWND dialog, const Behaviour& b) {
    SetFocus(dialog);
    g_brush = CreateSolidBrush(kDialogGrey);
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof current, current);
    g_callerDirectory = current;
    std::string folder = b.folder;
    while (!folder.empty() && folder.back() == '\\') folder.pop_back();
    MakeFolder(folder);
    ListDirectories(dialog, b.ids, folder + "\\");
    ListFiles(dialog, b);
    for (int id : b.ids.frames) ShowWindow(GetDlgItem(dialog, id), SW_HIDE);
    return FALSE;
}

void End(HWND dialog) {
    // The listing moved the process into the folders the user looked at;
    // the caller gets its own current directory back.
    if (!g_callerDirectory.empty()) SetCurrentDirectoryA(g_callerDirectory.c_str());
    if (g_brush) DeleteObject(g_brush);
    g_brush = nullptr;
    EndDialog(dialog, 0);
}

void TakeSelectedFile(HWND dialog, const Ids& ids) {
    char name[MAX_PATH] = {};
    // A directory entry is not a file; only a file's name goes into the field.
    if (!DlgDirSelectExA(dialog, name, sizeof name, ids.files) && name[0])
        SetDlgItemTextA(dialog, ids.edit, name);
}

void ChangeDirectory(HWND dialog, const Behaviour& b) {
    char place[MAX_PATH] = {};
    if (!DlgDirSelectExA(dialog, place, sizeof place, b.ids.directories)) return;
    ListDirectories(dialog, b.ids, place);
    ListFiles(dialog, b);
}

void Act(HWND dialog, const Behaviour& b) {
    if (b.act && b.act(dialog)) End(dialog);
}

BOOL OnCommand(HWND dialog, const Behaviour& b, int id, int notification) {
    const Ids& ids = b.ids;
    if (id == ids.files && notification == LBN_SELCHANGE) {
        TakeSelectedFile(dialog, ids);
    } else if (id == ids.files && notification == LBN_DBLCLK) {
        TakeSelectedFile(dialog, ids);
        Act(dialog, b);
    } else if (id == ids.directories && notification == LBN_DBLCLK) {
        ChangeDirectory(dialog, b);
    } else if (id == ids.action || id == IDOK) {
        Act(dialog, b);
    } else if (id == ids.cancel || id == IDCANCEL) {
        if (b.cancelled) b.cancelled();
        End(dialog);
    }
    return TRUE;
}

void OnPaint(HWND dialog, const Ids& ids) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(dialog, &ps);
    for (int i = 0; i < 3; ++i)
        DrawSunkenFrame(dc, DialogControlRect(dialog, ids.frames[i]), i == 2 ? 1 : 0);
    EndPaint(dialog, &ps);
}

INT_PTR CALLBACK FileListProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (!g_behaviour) return FALSE;
    const Behaviour& b = *g_behaviour;
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog, b);
    case WM_COMMAND: return OnCommand(dialog, b, LOWORD(wParam), HIWORD(wParam));
    case WM_PAINT: OnPaint(dialog, b.ids); return TRUE;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        SetBkColor(reinterpret_cast<HDC>(wParam), kDialogGrey);
        return reinterpret_cast<INT_PTR>(g_brush);
    case WM_CLOSE: End(dialog); return TRUE;
    default: return FALSE;
    }
}

}  // namespace

void Run(HINSTANCE module, const std::string& templateName, HWND owner, const Behaviour& behaviour) {
    const Behaviour* outer = g_behaviour;
    g_behaviour = &behaviour;
    DialogBoxParamA(module, templateName.c_str(), owner, FileListProc, 0);
    g_behaviour = outer;
}

std::string ListedDirectory(HWND dialog, const Ids& ids) {
    // Listing a directory makes it the current one.
    char current[MAX_PATH] = {};
    const DWORD n = GetCurrentDirectoryA(sizeof current, current);
    if (n > 0 && n < sizeof current) return current;
    return ItemText(dialog, ids.directory);
}

std::string ItemText(HWND dialog, int id, size_t limit) {
    std::string text(limit + 1, '\0');
    GetDlgItemTextA(dialog, id, text.data(), static_cast<int>(text.size()));
    text.resize(std::char_traits<char>::length(text.c_str()));
    return text;
}

}  // namespace filelist
