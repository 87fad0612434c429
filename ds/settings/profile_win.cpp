#include "ds/settings/profile_win.h"

#include <windows.h>

#include <algorithm>
#include <optional>
#include <vector>

namespace {

// The buffers of the configuration are small (at most 769 bytes); this
// bound only guards the allocation against a caller's mistake.
constexpr size_t kLargestBuffer = 64 * 1024;

std::string ReadWith(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& defaultText, size_t bufferSize) {
    bufferSize = std::min(bufferSize, kLargestBuffer);
    if (bufferSize == 0) return {};
    std::vector<char> buffer(bufferSize, '\0');
    const DWORD n =
        file.empty()
            ? GetProfileStringA(section.c_str(), key.c_str(), defaultText.c_str(), buffer.data(),
                                static_cast<DWORD>(bufferSize))
            : GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultText.c_str(),
                                       buffer.data(), static_cast<DWORD>(bufferSize), file.c_str());
    return std::string(buffer.data(), std::min<size_t>(n, bufferSize - 1));
}

// The keys of a WIN.INI section in one call, or nothing when the section
// does not fit the largest list the call gives (its keys are then read one
// by one). An absent section is an empty list.
std::optional<SectionKeys> ReadWinIniSection(const std::string& section) {
    constexpr DWORD kListSize = 32767;
    std::vector<char> list(kListSize, '\0');
    const DWORD n = GetProfileSectionA(section.c_str(), list.data(), kListSize);
    if (n >= kListSize - 2) return std::nullopt;
    return ParseSectionList(std::string_view(list.data(), n));
}

}  // namespace

ProfileAccess WinIniProfile() {
    ProfileAccess p;
    p.Read = [](const std::string& section, const std::string& key, const std::string& def,
                size_t size) { return ReadWith({}, section, key, def, size); };
    p.Write = [](const std::string& section, const std::string& key, const std::string& value) {
        return WriteProfileStringA(section.c_str(), key.c_str(), value.c_str()) != FALSE;
    };
    return p;
}

ProfileAccess FileProfile(const std::string& path) {
    ProfileAccess p;
    p.Read = [path](const std::string& section, const std::string& key, const std::string& def,
                    size_t size) { return ReadWith(path, section, key, def, size); };
    p.Write = [path](const std::string& section, const std::string& key, const std::string& value) {
        return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                          path.c_str()) != FALSE;
    };
    return p;
}

ProfileAccess WinIniSectionProfile(const std::string& section) {
    if (section.empty()) return WinIniProfile();
    std::optional<SectionKeys> keys = ReadWinIniSection(section);
    if (!keys) return WinIniProfile();
    ProfileAccess p = WinIniProfile();
    p.Read = [section, keys = std::move(*keys)](const std::string& s, const std::string& key,
                                                const std::string& def, size_t size) {
        if (!SameProfileName(s, section)) return ReadWith({}, s, key, def, size);
        const std::optional<std::string> value = FindSectionKey(keys, key);
        return CutToBuffer(value ? *value : def, size);
    };
    return p;
}

void LoadModelSettings(const std::string& section) {
    // Some thirty keys: the section is read once rather than key by key.
    LoadModelSettings(WinIniSectionProfile(section), section, g_settings);
}

void LoadCurrentModelSettings() { LoadModelSettings(ModelSectionName(g_settings.ModelCode)); }

void SaveModelSettings(const std::array<int32_t, 4>& frameRect) {
    SaveModelSettings(WinIniProfile(), g_settings, frameRect);
}

void SavePrescanKeys(uint16_t modelCode, long paperLength, long prescanMode) {
    SavePrescanKeys(WinIniProfile(), modelCode, paperLength, prescanMode);
}

std::string WindowsDirectoryPath() {
    char buffer[MAX_PATH + 1];
    const UINT n = GetWindowsDirectoryA(buffer, sizeof buffer);
    if (n == 0 || n >= sizeof buffer) return {};
    std::string dir(buffer, n);
    if (!dir.empty() && dir.back() == '\\') dir.pop_back();
    return dir;
}

std::string ReadZebInfoBrand() { return ReadZebInfoBrand(WinIniProfile()); }
std::string ReadZebInfoDriverName() { return ReadZebInfoDriverName(WinIniProfile()); }
std::string ReadZebInfoDriverPath() {
    return ReadZebInfoDriverPath(WinIniProfile(), WindowsDirectoryPath());
}
std::string ReadZebInfoVersion() { return ReadZebInfoVersion(WinIniProfile()); }
int ReadZebInfoLanguageIndex() { return ReadZebInfoLanguageIndex(WinIniProfile()); }
std::string ReadZebInfoDsLanguage() { return ReadZebInfoDsLanguage(WinIniProfile()); }
std::string ReadZebInfoSlowSpeedVersion() { return ReadZebInfoSlowSpeedVersion(WinIniProfile()); }
