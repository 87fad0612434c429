// prescan.dll: PreScan_Image scans the whole glass at 36 dpi through the
// scanner driver, keeps the picture as QZLG0000.BMP / QZLC0000.BMP in the
// product folder and renders it into a PreviewImage for the setup window.
#include "common/module_runtime.h"
#include <windows.h>

#include "common/driver_request.h"
#include "common/preview_image.h"
#include "common/preview_render.h"
#include "common/preview_render_bmp.h"
#include "common/preview_render_win.h"
#include "common/product.h"
#include "prescan/prescan_rules.h"

#include <cstring>
#include <string>

namespace {

HINSTANCE g_instance = nullptr;

// Waits between colour passes and for lines to arrive are measured in
// ticks of a thread timer of the module's own.
constexpr UINT kTickMilliseconds = 200;
// The ready test and the refused-start retry before a later pass give up
// once more than this many ticks have passed.
constexpr unsigned kPassWaitTicks = 10;
// A pass whose driver keeps reporting no lines ready gives up after this.
constexpr unsigned kLineStallTicks = 50;
// Pause between two polls of the driver while waiting.
constexpr DWORD kPollMilliseconds = 50;

enum class Outcome { Done, Failed, Cancelled };

struct PrescanCall {
    HWND owner = nullptr;
    uint16_t language = 0;
    std::wstring brand;

    HMODULE driver = nullptr;
    SpiCallProc spi = nullptr;
    bool scanning = false;  // a Start was accepted and its pass is not read to the end

    HANDLE file = INVALID_HANDLE_VALUE;
    std::string filePath;

    HGLOBAL lineBlock = nullptr, imageBlock = nullptr, toneBlock = nullptr;
    uint8_t* line = nullptr;
    uint8_t* image = nullptr;
    uint8_t* tones = nullptr;

    UINT_PTR timer = 0;
    unsigned ticks = 0;
    bool cancelled = false;
    bool quitSeen = false;
    WPARAM quitCode = 0;

    PrescanProgress* progress = nullptr;
    PrescanProgressProc progressProc = nullptr;
    int32_t total = 0;
};

// ---- Texts and message boxes ----

std::wstring Text(uint16_t language, uint16_t n) {
    wchar_t buf[512];
    int len = LoadStringW(g_instance, prescan::MessageId(language, n), buf, 512);
    return std::wstring(buf, len > 0 ? static_cast<size_t>(len) : 0);
}

std::wstring Brand() {
    wchar_t buf[256];
    GetProfileStringW(L"ZEBINFO", L"BRAND", L"Tavlen", buf, 256);
    return std::wstring(buf) + L" ";
}

void ShowMessage(PrescanCall& c, uint16_t n) {
    if (c.brand.empty()) c.brand = Brand();
    if (prescan::IsChecklistMessage(n)) {
        std::wstring text;
        for (uint16_t i = prescan::kMsgChecklistFirst; i <= prescan::kMsgChecklistLast; ++i)
            text += Text(c.language, i);
        std::wstring title = c.brand + Text(c.language, n);
        MessageBoxW(c.owner, text.c_str(), title.c_str(), MB_OK | MB_ICONINFORMATION);
    } else {
        std::wstring title = c.brand + Text(c.language, prescan::kMsgFlatbedScanner);
        MessageBoxW(c.owner, Text(c.language, n).c_str(), title.c_str(), MB_OK | MB_SYSTEMMODAL | MB_ICONSTOP);
    }
}

// ---- The message queue ----

// Dispatches every queued message of the thread. Escape (any key message
// of virtual key 27) cancels; a quit message cancels too and is posted
// again when the call ends, so the caller's loop still sees it.
void Pump(PrescanCall& c) {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (m.message == WM_QUIT) {
            c.quitSeen = true;
            c.quitCode = m.wParam;
            c.cancelled = true;
            continue;
        }
        if (m.message == WM_TIMER && m.hwnd == nullptr && c.timer != 0 && m.wParam == c.timer) {
            ++c.ticks;
            continue;
        }
        if (m.message >= 0x100 && m.message <= 0x108 && m.wParam == VK_ESCAPE) c.cancelled = true;
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
}

// Sleeps until a message arrives or a poll interval has passed.
void Pause() { MsgWaitForMultipleObjects(0, nullptr, FALSE, kPollMilliseconds, QS_ALLINPUT); }

// ---- Driver requests ----

uint16_t Inquire(PrescanCall& c, InquiryRequest& r) {
    std::memset(&r, 0, sizeof r);
    c.spi(&r, 0, kDriverInquire);
    return r.Header.Status;
}

uint16_t Start(PrescanCall& c, ScanParameterBlock& block) {
    block.Header.Status = 0;
    c.spi(&block, 0, kDriverStart);
    if (block.Header.Status == 0) c.scanning = true;
    return block.Header.Status;
}

ScanStatusRequest ScanStatus(PrescanCall& c) {
    ScanStatusRequest r;
    std::memset(&r, 0, sizeof r);
    c.spi(&r, 0, kDriverScanStatus);
    return r;
}

void Stop(PrescanCall& c) {
    StopRequest r;
    std::memset(&r, 0, sizeof r);
    c.spi(&r, 0, kDriverStop);
    c.scanning = false;
}

Outcome Cancel(PrescanCall& c) {
    Stop(c);
    return Outcome::Cancelled;
}

// A failure the user must see: the scanner is stopped first (when a pass
// is under way), then the message is shown.
Outcome Fail(PrescanCall& c, uint16_t n) {
    if (c.scanning) Stop(c);
    ShowMessage(c, n);
    return Outcome::Failed;
}

// ---- Memory ----

uint8_t* AllocateLocked(size_t size, HGLOBAL& block) {
    block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!block) return nullptr;
    return static_cast<uint8_t*>(GlobalLock(block));
}

void FreeLocked(HGLOBAL& block, uint8_t*& address) {
    if (block) {
        if (address) GlobalUnlock(block);
        GlobalFree(block);
    }
    block = nullptr;
    address = nullptr;
}

// ---- Files ----

bool WriteAll(HANDLE file, const void* data, size_t size) {
    const uint8_t* p = static_cast<const uint8_t*>(data);
    while (size > 0) {
        DWORD chunk = size > 0x100000 ? 0x100000 : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(file, p, chunk, &written, nullptr) || written != chunk) return false;
        p += chunk;
        size -= chunk;
    }
    return true;
}

bool SeekTo(HANDLE file, uint32_t offset) {
    LARGE_INTEGER at;
    at.QuadPart = offset;
    return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) != 0;
}

// Free bytes available to the caller on the drive of a path (null: the
// current drive); the largest value when the figure cannot be had.
uint64_t FreeBytes(const char* path) {
    ULARGE_INTEGER available;
    if (!GetDiskFreeSpaceExA(path, &available, nullptr, nullptr)) return UINT64_MAX;
    return available.QuadPart;
}

std::string ProductFolder() {
    char windows[MAX_PATH];
    UINT n = GetWindowsDirectoryA(windows, MAX_PATH);
    std::string dir(windows, n < MAX_PATH ? n : 0);
    if (!dir.empty() && dir.back() == '\\') dir.pop_back();
    return dir + kProductFolder;
}

// ---- The scan ----

// Inquiry until ready before a later pass, bounded by the module's timer.
Outcome WaitReady(PrescanCall& c) {
    const unsigned begin = c.ticks;
    for (;;) {
        InquiryRequest r;
        uint16_t status = Inquire(c, r);
        if (status == 0) return Outcome::Done;
        Pump(c);
        if (c.cancelled) return Cancel(c);
        if (c.ticks - begin > kPassWaitTicks) {
            return Fail(c, prescan::MessageForStatus(status));
        }
        Pause();
    }
}

// The Start of a later pass, retried while refused, bounded by the timer.
Outcome StartLaterPass(PrescanCall& c, ScanParameterBlock& block, uint16_t passWord) {
    block.PassNumber = passWord;
    const unsigned begin = c.ticks;
    for (;;) {
        Pump(c);
        if (c.cancelled) return Cancel(c);
        uint16_t status = Start(c, block);
        if (status == 0) return Outcome::Done;
        if (c.ticks - begin > kPassWaitTicks) {
            return Fail(c, prescan::MessageForStatus(status));
        }
        Pause();
    }
}

void ReportProgress(PrescanCall& c) {
    if (c.progress && c.progressProc) c.progressProc(c.progress, c.total);
}

struct Geometry {
    uint16_t width = 0;   // W: pixels (bytes) per line of a pass
    uint16_t lines = 0;   // H
    uint32_t stride = 0;  // S
};

// Reads the lines of one pass into the picture, bottom row first.
Outcome ReadPass(PrescanCall& c, const Geometry& g, bool colour, int pass, uint32_t lineBufferSize) {
    const auto gamma = preview::DisplayGammaTable();
    TransferBuffer buffer{};
    buffer.Size = lineBufferSize;
    buffer.Capacity = prescan::LineCapacity(lineBufferSize, g.width);
    buffer.Memory = c.line;
    uint16_t done = 0;
    unsigned lastLineTick = c.ticks;
    while (done < g.lines) {
        Pump(c);
        if (c.cancelled) return Cancel(c);
        ScanStatusRequest status = ScanStatus(c);
        if (status.Header.Status != 0) {
            return Fail(c, prescan::MessageForStatus(status.Header.Status));
        }
        uint16_t now = prescan::LinesNow(status.LinesRemaining, buffer.Capacity, g.lines, done);
        if (now == 0) {
            // Nothing ready yet: ask again, but not for ever.
            if (c.ticks - lastLineTick > kLineStallTicks) {
                return Fail(c, prescan::kMsgNotReady);
            }
            Pause();
            continue;
        }
        ReadRequest read;
        std::memset(&read, 0, sizeof read);
        read.Zero = 0;
        read.BytesPerLine = g.width;
        read.LinesToRead = now;
        read.LinesDelivered = done;
        read.DescriptorCount = 1;
        read.Buffer = &buffer;
        c.spi(&read, 0, kDriverRead);
        if (read.Header.Status != 0) {
            return Fail(c, prescan::MessageForStatus(read.Header.Status));
        }
        // Line n of the pass goes to row H - 1 - n: the picture is stored
        // bottom-up.
        for (uint16_t i = 0; i < now; ++i) {
            const size_t row = static_cast<size_t>(g.lines - 1 - (done + i));
            prescan::StoreLine(c.line + static_cast<size_t>(i) * g.width, g.width, colour, pass, gamma.data(),
                               c.image + row * g.stride);
        }
        done = static_cast<uint16_t>(done + now);
        if (c.progress) c.progress->linesDone = static_cast<uint16_t>(c.progress->linesDone + now);
        ReportProgress(c);
        lastLineTick = c.ticks;
    }
    c.scanning = false;
    return Outcome::Done;
}

// The geometry the driver reports for the pass just started; nothing when
// it is unusable (no lines, no pixels, rows beyond 16 bits).
bool PassGeometry(PrescanCall& c, bool colour, Geometry& g) {
    ScanStatusRequest s = ScanStatus(c);
    if (s.Header.Status != 0 || s.BytesPerLine == 0 || s.LinesRemaining == 0 || s.LinesRemaining > 0xFFFF)
        return false;
    g.width = s.BytesPerLine;
    g.lines = static_cast<uint16_t>(s.LinesRemaining);
    g.stride = preview::PreviewStride(g.width, colour);
    return g.stride <= 0xFFFF;
}

Outcome Prescan(PrescanCall& c, const RECT& imageRect, const RECT& bedRect, bool colour, uint32_t film,
                uint16_t source, PreviewImage& result) {
    // 1. Bind the driver and identify the scanner.
    char driverName[256];
    GetProfileStringA("ZEBINFO", "DRIVER", "PAVO_SP.IOB", driverName, sizeof driverName);
    const std::string folder = ProductFolder();
    c.driver = LoadLibraryA((folder + driverName).c_str());
    if (!c.driver) return Outcome::Failed;
    c.spi = reinterpret_cast<SpiCallProc>(reinterpret_cast<void*>(GetProcAddress(c.driver, "SPI_CALL")));
    if (!c.spi) return Outcome::Failed;
    InquiryRequest inquiry;
    if (uint16_t status = Inquire(c, inquiry); status != 0) {
        return Fail(c, prescan::MessageForInquiry(status));
    }
    const auto model = prescan::ModelFromNumber(prescan::ModelNumber(inquiry.Data + kInquiryModelOffset));
    if (!model) return Outcome::Failed;

    // 2. Start the first pass.
    const auto length = prescan::PrescanLength(model->baseResolution, imageRect.bottom - imageRect.top,
                                               bedRect.bottom - bedRect.top);
    if (!length) return Outcome::Failed;
    ScanParameterBlock block;
    prescan::FillStartBlock(block, *model, *length, colour, film, source);
    if (uint16_t status = Start(c, block); status != 0) {
        return Fail(c, prescan::MessageForStatus(status));
    }

    // 3. The pass geometry.
    Geometry g;
    if (!PassGeometry(c, colour, g)) return Outcome::Failed;
    const uint32_t pictureBytes = g.stride * g.lines;

    // 4. The preview file with its headers.
    c.filePath = folder + (colour ? preview::kColourPreviewFile : preview::kGreyPreviewFile);
    c.file = CreateFileA(c.filePath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
    if (c.file == INVALID_HANDLE_VALUE) {
        return Fail(c, prescan::kMsgWriteError);
    }
    const auto header = preview::PreviewFileHeader(g.width, g.lines, colour);
    if (!WriteAll(c.file, header.data(), header.size()) ||
        !SeekTo(c.file, preview::PreviewFileSize(g.width, g.lines, colour))) {
        return Fail(c, prescan::kMsgWriteError);
    }

    // 5. Buffers and disk space: the current drive and the preview folder's.
    c.line = AllocateLocked(pictureBytes, c.lineBlock);
    if (!c.line) return Outcome::Failed;
    const uint64_t needed = prescan::DiskSpaceNeeded(g.stride, g.lines);
    if (FreeBytes(nullptr) < needed || FreeBytes(folder.c_str()) < needed) {
        return Fail(c, prescan::kMsgDiskSpace);
    }
    c.image = AllocateLocked(pictureBytes, c.imageBlock);
    if (!c.image) return Outcome::Failed;

    // 6. Progress.
    c.total = colour ? 3 * g.lines : g.lines;
    if (c.progress) c.progress->linesDone = 0;
    ReportProgress(c);

    // 7, 8. The passes.
    c.timer = SetTimer(nullptr, 0, kTickMilliseconds, nullptr);
    const int passes = colour ? 3 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        if (pass > 0) {
            if (Outcome o = WaitReady(c); o != Outcome::Done) return o;
            if (Outcome o = StartLaterPass(c, block, static_cast<uint16_t>(pass + 1)); o != Outcome::Done) return o;
            Geometry next;
            // Every pass must fit the picture of the first.
            if (!PassGeometry(c, colour, next) || next.width != g.width || next.lines != g.lines)
                return Outcome::Failed;
        }
        if (Outcome o = ReadPass(c, g, colour, pass, pictureBytes); o != Outcome::Done) return o;
    }
    // An Escape pressed while the last lines were read still cancels.
    Pump(c);
    if (c.cancelled) return Cancel(c);

    // 9. The pixels behind the headers.
    if (!SeekTo(c.file, static_cast<uint32_t>(header.size())) || !WriteAll(c.file, c.image, pictureBytes)) {
        return Fail(c, prescan::kMsgWriteError);
    }

    // 10. Render with identity tone tables.
    c.tones = AllocateLocked(preview::kToneTablesSize, c.toneBlock);
    if (!c.tones) return Outcome::Failed;
    const auto identity = preview::IdentityToneTables();
    std::memcpy(c.tones, identity.data(), identity.size());
    result = preview::RenderPreview(c.owner, imageRect, colour ? preview::kModeColour : preview::kModeGrey, c.image,
                                    g.width, g.lines, c.tones);
    return result.viewDC ? Outcome::Done : Outcome::Failed;
}

void Cleanup(PrescanCall& c, bool succeeded) {
    if (c.timer) KillTimer(nullptr, c.timer);
    c.timer = 0;
    // A scan that fails stops the scanner (a cancel has stopped it already).
    if (!succeeded && c.scanning && c.spi) Stop(c);
    if (c.driver) FreeLibrary(c.driver);
    c.driver = nullptr;
    c.spi = nullptr;
    FreeLocked(c.lineBlock, c.line);
    FreeLocked(c.imageBlock, c.image);
    FreeLocked(c.toneBlock, c.tones);
    if (c.file != INVALID_HANDLE_VALUE) {
        CloseHandle(c.file);
        c.file = INVALID_HANDLE_VALUE;
        if (!succeeded) DeleteFileA(c.filePath.c_str());
    }
    if (c.quitSeen) PostQuitMessage(static_cast<int>(c.quitCode));
}

}  // namespace

extern "C" PreviewImage WINAPI PreScan_Image(HWND owner, const RECT* imageRect, const RECT* bedRect,
                                             uint16_t prescanMode, uint32_t film, uint16_t source,
                                             PrescanProgress* progress, PrescanProgressProc progressProc,
                                             uint16_t language) {
    PreviewImage result{};
    if (!imageRect || !bedRect) return result;
    PrescanCall c;
    c.owner = owner;
    c.language = language;
    c.progress = progress;
    c.progressProc = progressProc;
    Outcome outcome = Prescan(c, *imageRect, *bedRect, prescanMode != 0, film, source, result);
    if (outcome != Outcome::Done) preview::FreePreview(result);
    Cleanup(c, outcome == Outcome::Done);
    return result;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_instance = instance;
        DisableThreadLibraryCalls(instance);
    }
    ReleaseRuntimeAtUnload(reason, reserved);
    return TRUE;
}
