#include "tests/support/wine_support.h"

#include "common/product.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <thread>

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
    // Only keys that changed are written back: every write rewrites the file.
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
        if (ReadWinIni(it->section, it->key) == it->value) continue;
        WriteProfileStringA(it->section.c_str(), it->key.c_str(),
                            it->value ? it->value->c_str() : nullptr);
    }
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

void WinIniKeys::KeepSetupWindowKeys() {
    for (const char* section : {"ZEB-A100CX", "ZEB-B200CX", "ZEB-C300CX", "ZEB-D400CX",
                                "ZEB-A1000CX", "ZEB-A1000C", "ZEB-B200C", "ZEB-C300C",
                                "ZEB-D400C"})
        for (const char* key :
             {"Length Unit", "PaperLength", "Frame Unit", "Frame", "Background Code",
              "Background Unit", "Background Win_Num", "Brightness", "Contrast", "ScanMode",
              "ScanRes", "Scaling", "DpiScale", "Velocity", "PrescanMode", "UnitFlag",
              "IsInvert", "ScanSource", "Shadow", "hilight", "Midtone", "Ratio"})
            Keep(section, key);
    Keep("ZEBINFO", "VERSION");
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

std::vector<std::string> LogLines(const std::string& path) {
    const auto bytes = ReadWholeFile(path);
    std::istringstream in(std::string(bytes.begin(), bytes.end()));
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::string Field(const std::string& line, const std::string& name) {
    auto at = line.find(" " + name + "=");
    if (at == std::string::npos) return {};
    at += name.size() + 2;
    return line.substr(at, line.find(' ', at) - at);
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

std::string WindowsPathOf(const std::string& hostPath) {
    std::string path = hostPath;
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

namespace {

// Everything a pipe delivers until its writer closes it, \r\n turned into \n.
std::string ReadLines(HANDLE pipe) {
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0)
        for (DWORD i = 0; i < got; ++i)
            if (buffer[i] != '\r') text += buffer[i];
    return text;
}

}  // namespace

ProgramRun RunProgram(const std::string& program, const std::string& arguments, DWORD timeoutMs,
                      const std::function<void()>& whileRunning) {
    ProgramRun run;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE outRead = nullptr, outWrite = nullptr, errRead = nullptr, errWrite = nullptr;
    if (!CreatePipe(&outRead, &outWrite, &inherit, 0) || !CreatePipe(&errRead, &errWrite, &inherit, 0)) {
        ADD_FAILURE() << "cannot create pipes";
        return run;
    }
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = outWrite;
    startup.hStdError = errWrite;
    std::string commandLine = "\"" + program + "\" " + arguments;
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                        0, nullptr, nullptr, &startup, &process);
    const DWORD startError = GetLastError();
    CloseHandle(outWrite);
    CloseHandle(errWrite);
    if (!started) {
        ADD_FAILURE() << "cannot start " << program << " (error " << startError << ")";
    } else {
        // Both pipes at once, so that a full one never stalls the program.
        std::thread errReader([&] { run.err = ReadLines(errRead); });
        std::thread outReader([&] { run.out = ReadLines(outRead); });
        if (whileRunning) whileRunning();
        if (WaitForSingleObject(process.hProcess, timeoutMs) != WAIT_OBJECT_0) {
            ADD_FAILURE() << program << " " << arguments << " did not end in time";
            TerminateProcess(process.hProcess, 99);
            WaitForSingleObject(process.hProcess, 5000);
        }
        errReader.join();
        outReader.join();
        GetExitCodeProcess(process.hProcess, &run.exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(outRead);
    CloseHandle(errRead);
    return run;
}

}  // namespace wintest
