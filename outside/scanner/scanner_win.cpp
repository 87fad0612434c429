// PAVO.DLL: the Windows face of the virtual scanner. SPI_CALL hands every
// request to the scanner; the configuration comes from the scanner's own
// WIN.INI section, read at the first request after the module is loaded;
// the request log is appended to the file it names; ESC reaches the calling
// thread the way a key press would.
#include "common/module_runtime.h"
#include <windows.h>

#include "outside/scanner/virtual_scanner.h"

#include <string>

namespace {

scanner::VirtualScanner* g_scanner = nullptr;
std::string g_logPath;

std::optional<std::string> ReadKey(const char* key) {
    // Two different defaults tell an absent key from one holding either.
    char a[1024], b[1024];
    GetProfileStringA(scanner::kConfigSection, key, "\x01", a, sizeof a);
    GetProfileStringA(scanner::kConfigSection, key, "\x02", b, sizeof b);
    if (std::string(a) != std::string(b)) return std::nullopt;
    return std::string(a);
}

void AppendLog(const std::string& line) {
    if (g_logPath.empty()) return;
    HANDLE file = CreateFileA(g_logPath.c_str(), FILE_APPEND_DATA,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    std::string text = line + "\r\n";
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

// A key press goes to the window with the keyboard focus; a thread without
// one finds the key in its queue all the same.
void PostEscape() {
    const LPARAM firstPress = 0x00010001;
    // Makes sure the thread has a message queue to post to.
    MSG peek;
    PeekMessageA(&peek, nullptr, WM_NULL, WM_NULL, PM_NOREMOVE);
    HWND focus = GetFocus();
    if (focus)
        PostMessageA(focus, WM_KEYDOWN, VK_ESCAPE, firstPress);
    else
        PostThreadMessageA(GetCurrentThreadId(), WM_KEYDOWN, VK_ESCAPE, firstPress);
}

scanner::VirtualScanner& Scanner() {
    if (!g_scanner) {
        scanner::ScannerConfig config = scanner::ConfigFromLookup(ReadKey);
        g_logPath = config.logPath;
        scanner::ScannerHooks hooks;
        hooks.log = AppendLog;
        hooks.escape = PostEscape;
        hooks.sleep = [](unsigned ms) { Sleep(ms); };
        g_scanner = new scanner::VirtualScanner(std::move(config), std::move(hooks));
    }
    return *g_scanner;
}

}  // namespace

extern "C" __declspec(dllexport) void WINAPI SPI_CALL(void* block, uint16_t zero, uint16_t code) {
    (void)zero;
    Scanner().Call(block, code);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    // At process exit (reserved non-null) the memory goes with the process.
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        delete g_scanner;
        g_scanner = nullptr;
    }
    ReleaseRuntimeAtUnload(reason, reserved);
    return TRUE;
}
