#include "host/dsm/source_catalog.h"

#include "common/product.h"
#include "host/dsm/source_order.h"

#include <windows.h>

namespace dsm {

namespace {

// The manager's own identity, the origin of the identity question it asks
// each source while listing them.
TW_IDENTITY ManagerIdentity() {
    TW_IDENTITY id{};
    id.Version.MajorNum = 1;
    id.Version.MinorNum = 0;
    id.Version.Language = TWLG_USA;
    id.Version.Country = TWCY_USA;
    lstrcpynA(id.Version.Info, "Source Manager", sizeof id.Version.Info);
    id.ProtocolMajor = TWON_PROTOCOLMAJOR;
    id.ProtocolMinor = TWON_PROTOCOLMINOR;
    id.SupportedGroups = DG_CONTROL | DG_IMAGE;
    lstrcpynA(id.Manufacturer, "Pavo", sizeof id.Manufacturer);
    lstrcpynA(id.ProductFamily, "TWAIN", sizeof id.ProductFamily);
    lstrcpynA(id.ProductName, "Source Manager", sizeof id.ProductName);
    return id;
}

bool HasDsSuffix(const char* name) {
    const size_t length = lstrlenA(name);
    return length > 3 && lstrcmpiA(name + length - 3, ".ds") == 0;
}

// Adds the path of every *.ds file in `folder` and its subfolders.
void CollectSourceFiles(const std::string& folder, std::vector<std::string>& paths) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        const std::string path = folder + "\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            CollectSourceFiles(path, paths);
        else if (HasDsSuffix(found.cFileName))
            paths.push_back(path);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

std::string SourcesFolder() {
    char windows[MAX_PATH];
    UINT length = GetWindowsDirectoryA(windows, MAX_PATH);
    std::string folder(windows, length);
    if (!folder.empty() && folder.back() == '\\') folder.pop_back();
    return folder + kSourcesFolder;
}

}  // namespace

bool ReadSourceIdentity(const std::string& path, TW_IDENTITY& identity) {
    // A broken file must not bring up a system error box.
    DWORD oldMode = 0;
    SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &oldMode);
    HMODULE module = LoadLibraryA(path.c_str());
    SetThreadErrorMode(oldMode, nullptr);
    if (!module) return false;

    bool answered = false;
    auto entry = reinterpret_cast<DSENTRYPROC>(
        reinterpret_cast<void*>(GetProcAddress(module, "DS_Entry")));
    if (entry) {
        TW_IDENTITY manager = ManagerIdentity();
        TW_IDENTITY reported{};
        if (entry(&manager, DG_CONTROL, DAT_IDENTITY, MSG_GET, &reported) == TWRC_SUCCESS) {
            identity = reported;
            identity.Id = 0;
            answered = true;
        }
    }
    FreeLibrary(module);
    return answered;
}

std::vector<CatalogEntry> FindSources() {
    std::vector<std::string> paths;
    CollectSourceFiles(SourcesFolder(), paths);
    SortSourcePaths(paths);

    std::vector<CatalogEntry> catalog;
    for (const std::string& path : paths) {
        CatalogEntry entry{path, {}};
        if (ReadSourceIdentity(path, entry.identity)) catalog.push_back(entry);
    }
    return catalog;
}

std::optional<size_t> DefaultSource(const std::vector<CatalogEntry>& catalog) {
    char preferred[256] = "";
    GetProfileStringA(kDefaultSourceSection, kDefaultSourceKey, "", preferred, sizeof preferred);
    std::vector<std::string> names;
    for (const CatalogEntry& entry : catalog)
        names.push_back(FieldText(entry.identity.ProductName, sizeof entry.identity.ProductName));
    return DefaultSourceIndex(names, preferred);
}

}  // namespace dsm
