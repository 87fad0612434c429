#include "tests/support/wine_support.h"

#include "common/product.h"

#include <algorithm>
#include <cstdio>

namespace wintest {

std::string WindowsDirectory() {
    char buf[MAX_PATH];
    UINT n = GetWindowsDirectoryA(buf, MAX_PATH);
    std::string dir(buf, n);
    if (!dir.empty() && dir.back() == '\\') dir.pop_back();
    return dir;
}

std::string ProductFolder() { return WindowsDirectory() + kProductFolder; }

std::string ProductFile(const std::string& name) { return ProductFolder() + name; }

std::optional<std::string> ReadWinIni(const std::string& section, const std::string& key) {
    // Two different defaults tell an absent key from one that holds either.
    char a[4096], b[4096];
    GetProfileStringA(section.c_str(), key.c_str(), "\x01", a, sizeof a);
    GetProfileStringA(section.c_str(), key.c_str(), "\x02", b, sizeof b);
    if (std::string(a) != std::string(b)) return std::nullopt;
    return std::string(a);
}

WinIniKeys::~WinIniKeys() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it)
        WriteProfileStringA(it->section.c_str(), it->key.c_str(),
                            it->value ? it->value->c_str() : nullptr);
}

void WinIniKeys::Remember(const std::string& section, const std::string& key) {
    for (const Saved& s : saved_)
        if (s.section == section && s.key == key) return;
    saved_.push_back({section, key, ReadWinIni(section, key)});
}

void WinIniKeys::Set(const std::string& section, const std::string& key,
                     const std::string& value) {
    Remember(section, key);
    WriteProfileStringA(section.c_str(), key.c_str(), value.c_str());
}

void WinIniKeys::Remove(const std::string& section, const std::string& key) {
    Remember(section, key);
    WriteProfileStringA(section.c_str(), key.c_str(), nullptr);
}

void WinIniKeys::Keep(const std::string& section, const std::string& key) {
    Remember(section, key);
}

std::string TempPath(const std::string& stem) {
    static unsigned counter = 0;
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    char name[MAX_PATH + 64];
    std::snprintf(name, sizeof name, "%s%s_%lu_%u", dir, stem.c_str(),
                  GetCurrentProcessId(), ++counter);
    return name;
}

std::vector<unsigned char> ReadWholeFile(const std::string& path) {
    std::vector<unsigned char> bytes;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return bytes;
    unsigned char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.insert(bytes.end(), buf, buf + n);
    std::fclose(f);
    return bytes;
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void PumpMessages(DWORD milliseconds) {
    const DWORD end = GetTickCount() + milliseconds;
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    } while (static_cast<int>(end - GetTickCount()) > 0);
}

}  // namespace wintest
