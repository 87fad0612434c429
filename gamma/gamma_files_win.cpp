// Curve files: the Open and Save dialogs over the product folder, and the
// reading and writing of a file. A file that cannot be read or written is
// reported with string 1 and leaves the curve as it was.
#include "common/file_list_dialog_win.h"
#include "common/file_names.h"
#include "common/module_names.h"
#include "common/product.h"
#include "gamma/gamma_dialog.h"

#include <vector>

namespace {

std::string TypedPath(HWND dialog, const filelist::Ids& ids) {
    const std::string name = filelist::ItemText(dialog, ids.edit);
    if (!IsUsableFileName(name)) return {};
    return TypedFilePath(filelist::ListedDirectory(dialog, ids), name);
}

bool LoadNamedCurve(HWND dialog) {
    const std::string path = TypedPath(dialog, filelist::kOpenIds);
    // Entries a short file does not reach keep the source curve's.
    GammaCurve curve = SourceCurve();
    if (path.empty() || !ReadCurveFileAt(path, curve)) {
        ShowStopText(dialog, 1);
        return false;
    }
    g.loaded = curve;
    return true;
}

bool SaveNamedCurve(HWND dialog) {
    const std::string path = TypedPath(dialog, filelist::kSaveIds);
    if (path.empty() || !WriteCurveFileAt(path, g.table)) {
        ShowStopText(dialog, 1);
        return false;
    }
    return true;
}

filelist::Behaviour CurveBehaviour(bool load) {
    filelist::Behaviour b{load ? filelist::kOpenIds : filelist::kSaveIds, "*.PAL",
                          tone::ProductPath("")};
    b.act = load ? LoadNamedCurve : SaveNamedCurve;
    return b;
}

}  // namespace

bool ReadCurveFileAt(const std::string& path, GammaCurve& curve) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    // More than a curve file can hold is never read.
    std::vector<uint8_t> data(kCurveFileLimit);
    DWORD got = 0;
    const BOOL read = ReadFile(file, data.data(), static_cast<DWORD>(data.size()), &got, nullptr);
    CloseHandle(file);
    if (!read) return false;
    GammaCurve result = curve;
    if (ReadCurveFile(data.data(), got, result) == 0) return false;
    curve = result;
    return true;
}

bool WriteCurveFileAt(const std::string& path, const GammaCurve& table) {
    const std::string text = CurveFileText(table);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
              written == text.size();
    // Overwritten in place: whatever a longer file held after the curve goes.
    ok = ok && SetEndOfFile(file);
    CloseHandle(file);
    return ok;
}

bool RunLoadCurveDialog(HWND owner) {
    const std::optional<GammaCurve> before = g.loaded;
    g.loaded.reset();
    filelist::Run(g_module, LanguageTemplate("LOAD", g.language), owner, CurveBehaviour(true));
    if (g.loaded) return true;
    g.loaded = before;
    return false;
}

void RunSaveCurveDialog(HWND owner) {
    filelist::Run(g_module, LanguageTemplate("SAVE", g.language), owner, CurveBehaviour(false));
}
