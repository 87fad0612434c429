#include "ds/ui/setting_dialogs.h"

#include "ds/acquire/image_files.h"
#include "ds/settings/profile_win.h"
#include "ds/twain/scan_settings.h"
#include "ds/twain/session.h"
#include "ds/twain/strings.h"
#include "ds/ui/dialog_paint.h"
#include "ds/ui/setting_file_rules.h"
#include "ds/ui/setup_state.h"

#include <string>

int g_settingsLoaded = 0;

namespace {

// The controls of the two dialogs.
struct SettingDialogIds {
    int edit, directory, extension, files, directories, action, cancel;
    int frames[3];
};
constexpr SettingDialogIds kOpenIds{508, 509, 512, 505, 506, 510, 511, {513, 514, 515}};
constexpr SettingDialogIds kSaveIds{608, 609, 612, 605, 606, 610, 611, {613, 614, 615}};

// One dialog is open at a time.
HBRUSH g_brush = nullptr;
std::string g_callerDirectory;  // the process's current directory before the dialog
PixelRect g_previewArea;
int32_t g_previewHeight = 0;
PixelRect g_frameRect;

std::string ItemText(HWND dialog, int id) {
    char text[kSettingTextLimit + 1] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

void ShowProblem(HWND dialog, int stringId, const std::string& subject) {
    const std::string text = LoadDsString(stringId) + subject;
    const std::string caption = ReadZebInfoBrand() + " " + LoadDsString(11);
    MessageBoxA(dialog, text.c_str(), caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

// Lists the subdirectories and drives of the directory `place` (a path
// ending in a backslash, or a drive "c:"), which becomes the current one,
// and shows it in the directory text.
void ListDirectories(HWND dialog, const SettingDialogIds& ids, const std::string& place) {
    std::string buffer = place + "*.*";
    buffer.resize(MAX_PATH + 1);
    DlgDirListA(dialog, buffer.data(), ids.directories, ids.directory,
                DDL_DIRECTORY | DDL_DRIVES | DDL_EXCLUSIVE);
}

// The name field and the extension text start again from the pattern, and
// the files list shows the setting files of the current directory.
void ListSettingFiles(HWND dialog, const SettingDialogIds& ids) {
    SetDlgItemTextA(dialog, ids.extension, kSettingPattern);
    SetDlgItemTextA(dialog, ids.edit, kSettingPattern);
    char pattern[] = "*.PAR";
    DlgDirListA(dialog, pattern, ids.files, 0, DDL_ARCHIVE | DDL_EXCLUSIVE);
}

// The folder the dialogs open in; made when it is not there yet.
std::string SettingFolder() {
    const std::string twain = WindowsDirectoryPath() + "\\TWAIN";
    CreateDirectoryA(twain.c_str(), nullptr);
    const std::string folder = WindowsDirectoryPath() + kSettingFolder;
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

BOOL OnInitDialog(HWND dialog, const SettingDialogIds& ids) {
    SetFocus(dialog);
    g_brush = CreateSolidBrush(kDialogGrey);
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof current, current);
    g_callerDirectory = current;
    ListDirectories(dialog, ids, SettingFolder() + "\\");
    ListSettingFiles(dialog, ids);
    for (int id : ids.frames) ShowWindow(GetDlgItem(dialog, id), SW_HIDE);
    return FALSE;
}

void EndSettingDialog(HWND dialog) {
    // The listing moved the process into the folders the user looked at;
    // the host gets its own current directory back.
    if (!g_callerDirectory.empty()) SetCurrentDirectoryA(g_callerDirectory.c_str());
    if (g_brush) DeleteObject(g_brush);
    g_brush = nullptr;
    EndDialog(dialog, 0);
}

void TakeSelectedFile(HWND dialog, const SettingDialogIds& ids) {
    char name[kSettingTextLimit + 1] = {};
    // A directory entry is not a file; only a file's name goes into the field.
    if (!DlgDirSelectExA(dialog, name, sizeof name, ids.files) && name[0])
        SetDlgItemTextA(dialog, ids.edit, name);
}

void ChangeDirectory(HWND dialog, const SettingDialogIds& ids) {
    char place[kSettingTextLimit + 1] = {};
    if (!DlgDirSelectExA(dialog, place, sizeof place, ids.directories)) return;
    ListDirectories(dialog, ids, place);
    ListSettingFiles(dialog, ids);
}

bool LoadOrSave(HWND dialog, bool load) {
    return load ? LoadSettingFile(dialog) : SaveSettingFile(dialog);
}

BOOL OnCommand(HWND dialog, const SettingDialogIds& ids, bool load, int id, int notification) {
    if (id == ids.files && notification == LBN_SELCHANGE) {
        TakeSelectedFile(dialog, ids);
    } else if (id == ids.files && notification == LBN_DBLCLK) {
        TakeSelectedFile(dialog, ids);
        if (LoadOrSave(dialog, load)) EndSettingDialog(dialog);
    } else if (id == ids.directories && notification == LBN_DBLCLK) {
        ChangeDirectory(dialog, ids);
    } else if (id == ids.action || id == IDOK) {
        if (LoadOrSave(dialog, load)) EndSettingDialog(dialog);
    } else if (id == ids.cancel || id == IDCANCEL) {
        if (load) g_settingsLoaded = 0;
        EndSettingDialog(dialog);
    }
    return TRUE;
}

void OnPaint(HWND dialog, const SettingDialogIds& ids) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(dialog, &ps);
    for (int i = 0; i < 3; ++i)
        DrawSunkenFrame(dc, DialogControlRect(dialog, ids.frames[i]), i == 2 ? 1 : 0);
    EndPaint(dialog, &ps);
}

INT_PTR SettingDialog(const SettingDialogIds& ids, bool load, HWND dialog, UINT message,
                      WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        if (load) g_settingsLoaded = 1;
        return OnInitDialog(dialog, ids);
    case WM_COMMAND: return OnCommand(dialog, ids, load, LOWORD(wParam), HIWORD(wParam));
    case WM_PAINT: OnPaint(dialog, ids); return TRUE;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        SetBkColor(reinterpret_cast<HDC>(wParam), kDialogGrey);
        return reinterpret_cast<INT_PTR>(g_brush);
    case WM_CLOSE: EndSettingDialog(dialog); return TRUE;
    default: (void)lParam; return FALSE;
    }
}

// The name typed into the dialog as a path; empty (the user told) when the
// name cannot be a file.
std::string TypedPath(HWND dialog, const SettingDialogIds& ids) {
    const std::string name = ItemText(dialog, ids.edit);
    if (!IsUsableFileName(name)) {
        ShowProblem(dialog, 120, name);
        SetFocus(GetDlgItem(dialog, ids.edit));
        SendDlgItemMessageA(dialog, ids.edit, EM_SETSEL, 0, -1);
        return {};
    }
    return SettingFilePath(ItemText(dialog, ids.directory), name);
}

bool IsFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsReadOnly(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

// Writes the settings into a copy of the file beside it and puts the copy
// in the file's place only when every key was written: a save that fails
// (a full disk, a read-only file, a missing folder) leaves the file as it
// was, and the other sections a file may hold are kept.
bool WriteSettingFile(const std::string& path, const std::string& section,
                      const std::array<int32_t, 4>& frame, long paperLength) {
    // A file the user made read-only is not replaced.
    if (IsReadOnly(path)) return false;
    std::string folder(FileFolder(path));
    if (folder.empty()) folder = ".";
    char copy[MAX_PATH] = {};
    if (!GetTempFileNameA(folder.c_str(), "par", 0, copy)) return false;
    bool written = !IsFile(path) || CopyFileA(path.c_str(), copy, FALSE);
    if (written) {
        SetFileAttributesA(copy, FILE_ATTRIBUTE_NORMAL);
        written = WriteSettingsKeys(FileProfile(copy), section, g_settings, frame, paperLength);
    }
    if (written) written = MoveFileExA(copy, path.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
    if (!written) DeleteFileA(copy);
    return written;
}

}  // namespace

void SetSettingPreviewArea(const PixelRect& area, int32_t previewHeight) {
    g_previewArea = area;
    g_previewHeight = previewHeight;
}

void SetSettingFrameRect(const PixelRect& frame) { g_frameRect = frame; }

INT_PTR CALLBACK LoadSettingDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return SettingDialog(kOpenIds, true, dialog, message, wParam, lParam);
}

INT_PTR CALLBACK SaveSettingDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return SettingDialog(kSaveIds, false, dialog, message, wParam, lParam);
}

bool LoadSettingFile(HWND dialog) {
    const std::string path = TypedPath(dialog, kOpenIds);
    if (path.empty()) return false;
    if (!IsFile(path)) {
        ShowProblem(dialog, 121, path);
        return false;
    }
    // The source stays the one the window has chosen; the file gives the
    // rest, each value checked.
    ScanSettings loaded = g_settings;
    ReadSettingsKeys(FileProfile(path), ModelSectionName(g_settings.ModelCode), loaded, "1");
    loaded.Block.ScanSource = g_settings.Block.ScanSource;
    loaded.FeederEnabled = g_settings.FeederEnabled;
    loaded.FeederSelected = g_settings.FeederSelected;
    KeepLoadedSettingsUsable(loaded, g_setup.limits);
    g_settings = loaded;
    g_settingsLoaded = 1;
    return true;
}

bool SaveSettingFile(HWND dialog) {
    const std::string path = TypedPath(dialog, kSaveIds);
    if (path.empty()) return false;
    const PixelRect& f = g_frameRect;
    const long paperLength = PaperLengthEighths(g_previewArea.Height(), g_previewHeight);
    if (!WriteSettingFile(path, ModelSectionName(g_settings.ModelCode),
                          {f.left, f.top, f.right, f.bottom}, paperLength)) {
        ShowProblem(dialog, 122, path);
        return false;
    }
    return true;
}

void RunLoadSettingDialog(HWND owner) {
    g_settingsLoaded = 0;
    DialogBoxParamA(g_instance, LanguageTemplate("LOAD_SET", g_languageIndex).c_str(), owner,
                    LoadSettingDialog, 0);
}

void RunSaveSettingDialog(HWND owner) {
    DialogBoxParamA(g_instance, LanguageTemplate("SAVE_SET", g_languageIndex).c_str(), owner,
                    SaveSettingDialog, 0);
}
