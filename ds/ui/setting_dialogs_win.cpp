#include "ds/ui/setting_dialogs.h"

#include "common/file_list_dialog_win.h"
#include "common/module_names.h"
#include "ds/acquire/image_files.h"
#include "ds/settings/profile_win.h"
#include "ds/twain/scan_settings.h"
#include "ds/twain/session.h"
#include "ds/twain/strings.h"
#include "ds/ui/setting_file_rules.h"
#include "ds/ui/setup_state.h"

#include <string>

int g_settingsLoaded = 0;

namespace {

PixelRect g_previewArea;
int32_t g_previewHeight = 0;
PixelRect g_frameRect;

using filelist::ItemText;
using filelist::kOpenIds;
using filelist::kSaveIds;

void ShowProblem(HWND dialog, int stringId, const std::string& subject) {
    const std::string text = LoadDsString(stringId) + subject;
    const std::string caption = ReadZebInfoBrand() + " " + LoadDsString(11);
    MessageBoxA(dialog, text.c_str(), caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

// The name typed into the dialog as a path; empty (the user told) when the
// name cannot be a file.
std::string TypedPath(HWND dialog, const filelist::Ids& ids) {
    const std::string name = ItemText(dialog, ids.edit, kSettingTextLimit);
    if (!IsUsableFileName(name)) {
        ShowProblem(dialog, 120, name);
        SetFocus(GetDlgItem(dialog, ids.edit));
        SendDlgItemMessageA(dialog, ids.edit, EM_SETSEL, 0, -1);
        return {};
    }
    return TypedFilePath(filelist::ListedDirectory(dialog, ids), name);
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

// The setting files live in a folder of their own under the Windows
// directory.
filelist::Behaviour SettingBehaviour(bool load) {
    filelist::Behaviour b{load ? kOpenIds : kSaveIds, kSettingPattern,
                          WindowsDirectoryPath() + kSettingFolder};
    b.act = load ? LoadSettingFile : SaveSettingFile;
    if (load) b.cancelled = [] { g_settingsLoaded = 0; };
    return b;
}

void RunLoadSettingDialog(HWND owner) {
    // Set from the moment the dialog opens; its Cancel clears it.
    g_settingsLoaded = 1;
    filelist::Run(g_instance, LanguageTemplate("LOAD_SET", g_languageIndex), owner,
                  SettingBehaviour(true));
}

void RunSaveSettingDialog(HWND owner) {
    filelist::Run(g_instance, LanguageTemplate("SAVE_SET", g_languageIndex), owner,
                  SettingBehaviour(false));
}
