// pavo_keys.exe: run by the Windows Installer package.
//   install VERSION [MANAGER...]  writes the ZEBINFO keys WIN.INI does not
//       have yet and the version, and copies each source manager of the
//       product folder into the system folder where none is there yet;
//       Where the user has no default TWAIN source, the scanner becomes it;
//   remove  takes away the keys it added that still hold the value it
//       wrote (the default source too), and the source managers it copied.
// What it added is kept in the registry between the two. Exit code 0 on
// success.
#include <windows.h>

#include "installer/zebinfo_keys.h"

#include <optional>
#include <string>

namespace {

constexpr char kRecordKey[] = "Software\\PAVO TWAIN Data Source";
constexpr char kRecordValue[] = "AddedKeys";
constexpr char kCopiedValue[] = "CopiedFiles";
constexpr char kDefaultValue[] = "DefaultSource";
// Where source managers look for the source to offer first.
constexpr char kTwainSection[] = "TWAIN";
constexpr char kDefaultSourceKey[] = "Default Source";

ZebinfoValues ReadValues() {
    ZebinfoValues values;
    for (const ZebinfoKey& key : kZebinfoDefaults) {
        // A marker no value can hold tells a missing key from an empty one.
        char text[300] = {};
        GetProfileStringA(kZebinfoSection, key.name, "\x01", text, sizeof text);
        values[key.name] = std::string(text) == "\x01" ? std::nullopt : std::optional<std::string>(text);
    }
    return values;
}

std::string ReadRecord(const char* value) {
    char text[2048] = {};
    DWORD size = sizeof text - 1;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, kRecordKey, value, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
        return {};
    return text;
}

bool WriteRecord(const char* value, const std::string& record) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kRecordKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const LONG rc = RegSetValueExA(key, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(record.c_str()),
                                   static_cast<DWORD>(record.size() + 1));
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

std::string OwnFolder() {
    char path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder(path, n);
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

std::string SystemFolder() {
    char path[MAX_PATH] = {};
    GetSystemDirectoryA(path, sizeof path);
    return std::string(path) + "\\";
}

// A source manager already in the system folder (another maker's, or the
// system's own) is never replaced.
bool CopyManager(const std::string& name, std::string& copied) {
    const std::string target = SystemFolder() + name;
    if (GetFileAttributesA(target.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    if (!CopyFileA((OwnFolder() + name).c_str(), target.c_str(), TRUE)) return false;
    copied += name + "=1;";
    return true;
}

std::optional<std::string> DefaultSource() {
    char text[300] = {};
    GetProfileStringA(kTwainSection, kDefaultSourceKey, "\x01", text, sizeof text);
    if (std::string(text) == "\x01") return std::nullopt;
    return std::string(text);
}

// The source is named by its brand, the product name it reports.
bool BecomeDefaultSourceWhereNone() {
    if (DefaultSource()) return true;
    char brand[300] = {};
    GetProfileStringA(kZebinfoSection, "BRAND", "Tavlen", brand, sizeof brand);
    return WriteProfileStringA(kTwainSection, kDefaultSourceKey, brand) &&
           WriteRecord(kDefaultValue, brand);
}

int Install(int count, char** managers, const std::string& packageVersion) {
    const std::vector<KeyWrite> writes = KeysToWrite(ReadValues(), VersionText(packageVersion));
    for (const KeyWrite& w : writes)
        if (!WriteProfileStringA(kZebinfoSection, w.name.c_str(), w.value.c_str())) return 2;
    if (!WriteRecord(kRecordValue, RecordAdded(ReadRecord(kRecordValue), writes))) return 3;
    if (!BecomeDefaultSourceWhereNone()) return 2;
    std::string copied = ReadRecord(kCopiedValue);
    for (int i = 0; i < count; ++i)
        if (!CopyManager(managers[i], copied)) return 4;
    return WriteRecord(kCopiedValue, copied) ? 0 : 3;
}

int Remove() {
    for (const std::string& name : KeysToRemove(ReadValues(), ReadRecord(kRecordValue)))
        WriteProfileStringA(kZebinfoSection, name.c_str(), nullptr);
    const std::string ownDefault = ReadRecord(kDefaultValue);
    if (!ownDefault.empty() && DefaultSource() == ownDefault)
        WriteProfileStringA(kTwainSection, kDefaultSourceKey, nullptr);
    const std::string copied = ReadRecord(kCopiedValue);
    for (size_t start = 0; start < copied.size();) {
        size_t end = copied.find(';', start);
        if (end == std::string::npos) end = copied.size();
        const std::string entry = copied.substr(start, end - start);
        const std::string name = entry.substr(0, entry.find('='));
        if (!name.empty() && name.find_first_of("\\/:") == std::string::npos)
            DeleteFileA((SystemFolder() + name).c_str());
        start = end + 1;
    }
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kRecordKey);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "install" && argc > 2) return Install(argc - 3, argv + 3, argv[2]);
    if (command == "remove") return Remove();
    return 1;
}
