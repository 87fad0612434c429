// Helpers for Windows tests that run under Wine against the installed
// product: where things are, and WIN.INI keys that are put back afterwards.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace wintest {

// The Windows directory, without a trailing backslash.
std::string WindowsDirectory();
// Windows directory + product folder, ending in a backslash.
std::string ProductFolder();
// ProductFolder() + name.
std::string ProductFile(const std::string& name);

// The value of a WIN.INI key, or nothing when the key is absent.
std::optional<std::string> ReadWinIni(const std::string& section, const std::string& key);

// Sets WIN.INI keys for the life of the object and puts every touched key
// back as it was (absent keys are removed again) when it goes away.
class WinIniKeys {
public:
    WinIniKeys() = default;
    WinIniKeys(const WinIniKeys&) = delete;
    WinIniKeys& operator=(const WinIniKeys&) = delete;
    ~WinIniKeys();

    void Set(const std::string& section, const std::string& key, const std::string& value);
    void Remove(const std::string& section, const std::string& key);
    // Remembers the present value of a key that the code under test may
    // write, so that it is put back too.
    void Keep(const std::string& section, const std::string& key);
    // Keeps every key of the model sections that the setup window, its
    // scans and prescans may write, and the version it stores.
    void KeepSetupWindowKeys();

private:
    struct Saved {
        std::string section, key;
        std::optional<std::string> value;
    };
    void Remember(const std::string& section, const std::string& key);
    std::vector<Saved> saved_;
};

// A file that is deleted when the object goes away.
class TempFile {
public:
    explicit TempFile(std::string path) : path_(std::move(path)) {}
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile() { DeleteFileA(path_.c_str()); }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// A unique path in the Windows temporary folder (the file is not created).
std::string TempPath(const std::string& stem);

// Bytes of a whole file; empty when it cannot be read.
std::vector<unsigned char> ReadWholeFile(const std::string& path);
bool FileExists(const std::string& path);

// The lines of a text file such as the virtual scanner's request log,
// without their line ends.
std::vector<std::string> LogLines(const std::string& path);
// The value of "name=value" in a log line; empty when the line has none.
std::string Field(const std::string& line, const std::string& name);

// Runs the thread's message queue for a while (for posted notifications).
void PumpMessages(DWORD milliseconds);

// The Windows name of a path of the build machine's file system: Wine shows
// its root as drive Z:.
std::string WindowsPathOf(const std::string& hostPath);

// What a program run by RunProgram printed and how it ended.
struct ProgramRun {
    DWORD exitCode = 0xFFFFFFFF;
    std::string out;  // with plain \n line ends
    std::string err;
};

// Runs `program` with `arguments`, reading its standard output and error
// through pipes, and waits for it to end; a program still running after
// `timeoutMs` is a test failure and is ended. `whileRunning`, when given,
// runs once the program has started (a user at its windows).
ProgramRun RunProgram(const std::string& program, const std::string& arguments,
                      DWORD timeoutMs = 60000, const std::function<void()>& whileRunning = {});

}  // namespace wintest
