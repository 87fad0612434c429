#include "ds/acquire/job_driver.h"

#include "ds/acquire/buffered_transfer.h"
#include "ds/acquire/driver.h"
#include "ds/acquire/pixel_kind.h"
#include "ds/acquire/scan_job.h"
#include "ds/acquire/status_line.h"
#include "ds/acquire/tone_tables.h"
#include "ds/twain/messages.h"
#include "ds/twain/scan_settings.h"
#include "ds/twain/session.h"
#include "ds/ui/setup_window.h"

#include <algorithm>

namespace {

constexpr UINT_PTR kPassRetryTimer = 1;
constexpr UINT kPassRetryMillis = 5000;
// How long a later pass whose start the scanner refuses is tried again. A
// scanner that is only busy (moving its lamp back, say) answers within a few
// seconds; one that still refuses after this has a real fault.
constexpr ULONGLONG kPassRetryLimitMillis = 30000;
// How long the scanner may answer "not ready" before a Start; after that the
// wait counts as the user's abort so that a dead scanner cannot hang the host.
constexpr DWORD kReadyWaitMillis = 30000;

// Polls Inquire until the scanner is ready, pumping messages meanwhile.
bool WaitUntilReady() {
    const DWORD start = GetTickCount();
    for (;;) {
        InquiryRequest inquiry{};
        if (DriverInquire(inquiry) == 0) return true;
        PumpJobMessages();
        if (g_job.AbortRequested || GetTickCount() - start > kReadyWaitMillis) {
            g_job.AbortRequested = true;
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

bool TakeGeometry() {
    ScanStatusRequest status{};
    if (DriverScanStatus(status) != 0) return false;
    const std::optional<PassGeometry> geometry = GeometryFromScanStatus(g_settings.ScanMode, status);
    return geometry && TakePassGeometry(g_job, *geometry);
}

void PreparePass() { PrepareBlockForPass(g_settings, ToneTablesAddress()); }

void Cancel() {
    DriverStop();
    g_job.AbortRequested = true;
    g_session.returnCode = TWRC_CANCEL;
}

}  // namespace

HWND JobOwner() { return g_session.setupWindow; }

void PumpJobMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // The application is quitting: the scan ends, and the quit
            // message goes back for the application's own loop.
            g_job.AbortRequested = true;
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (msg.message >= WM_KEYFIRST && msg.message <= 0x108 && msg.wParam == VK_ESCAPE)
            g_job.AbortRequested = true;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

bool AllocateJobBuffer(JobBuffer& buffer) {
    constexpr uint32_t kStep = 32768;
    // Lines are never split across reads: the buffer holds at least one.
    uint32_t size = std::max(TransferBufferSize(g_job.LineCount, g_job.PassLineBytes),
                             static_cast<uint32_t>(g_job.PassLineBytes));
    HGLOBAL handle;
    while (!(handle = GlobalAlloc(GMEM_FIXED | GMEM_SHARE, size))) {
        if (size < 2 * kStep || size - kStep < g_job.PassLineBytes) return false;
        size -= kStep;
    }
    buffer.handle = handle;
    buffer.memory = static_cast<uint8_t*>(GlobalLock(handle));
    buffer.size = size;
    buffer.capacity = static_cast<uint16_t>(std::min<uint32_t>(size / g_job.PassLineBytes, 0xFFFF));
    if (!buffer.memory) {
        FreeJobBuffer(buffer);
        return false;
    }
    return true;
}

void FreeJobBuffer(JobBuffer& buffer) {
    if (buffer.handle) {
        GlobalUnlock(buffer.handle);
        GlobalFree(buffer.handle);
    }
    buffer = JobBuffer{};
}

void FailJob(int stringId, uint16_t conditionCode) {
    if (stringId) ShowScannerMessage(JobOwner(), stringId + 1000 * g_languageIndex);
    g_session.conditionCode = conditionCode;
    Cancel();
}

namespace {

// The message for a status the scanner refused a start with.
int StartRefusalMessage(uint16_t status) {
    switch (status) {
    case kStatusPaperJam: return 208;
    case kStatusNoPaper: return 209;
    case kStatusCoverOpen: return 210;
    default: return 200;
    }
}

}  // namespace

bool StartFirstPass() {
    PreparePass();
    if (!WaitUntilReady()) {
        Cancel();
        return false;
    }
    const uint16_t status = DriverStart(g_settings.Block);
    if (status == 0) {
        if (TakeGeometry()) {
            g_job.Started = true;
            return true;
        }
        // A pass without lines cannot be delivered: the scanner is not ready.
        DriverStop();
        ShowScannerMessage(JobOwner(), 200 + 1000 * g_languageIndex);
        return false;
    }
    switch (status) {
    case kStatusPaperJam:
        FailJob(StartRefusalMessage(status), TWCC_OPERATIONERROR);
        break;
    case kStatusNoPaper:
        // After the first page of a batch an empty feeder simply ends it.
        FailJob(g_session.firstScanPending ? 209 : 0, TWCC_OPERATIONERROR);
        break;
    case kStatusCoverOpen:
        ShowScannerMessage(JobOwner(), 210 + 1000 * g_languageIndex);
        DriverStop();
        break;
    default:
        ShowScannerMessage(JobOwner(), 200 + 1000 * g_languageIndex);
        DriverStop();
        break;
    }
    return false;
}

bool StartNextPass() {
    const ScanJob first = g_job;
    PreparePass();
    HWND window = g_session.setupWindow;
    if (window) SetTimer(window, kPassRetryTimer, kPassRetryMillis, nullptr);
    bool started = false;
    uint16_t refusal = 0;
    const ULONGLONG since = GetTickCount64();
    for (;;) {
        PumpJobMessages();
        if (g_job.AbortRequested) break;
        if (!WaitUntilReady()) break;
        refusal = DriverStart(g_settings.Block);
        if (refusal == 0) {
            started = TakeGeometry();
            break;
        }
        if (GetTickCount64() - since > kPassRetryLimitMillis) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    if (window) KillTimer(window, kPassRetryTimer);
    if (!started) {
        if (g_job.AbortRequested) {
            Cancel();
        } else if (refusal != 0) {
            // Still refused: the scanner's own condition ends the job.
            FailJob(StartRefusalMessage(refusal), TWCC_OPERATIONERROR);
            g_session.returnCode = TWRC_FAILURE;
        } else {
            FailJob(200, TWCC_OPERATIONERROR);
        }
        return false;
    }
    if (g_job.LineCount != first.LineCount || g_job.PassLineBytes != first.PassLineBytes) {
        FailJob(200, TWCC_OPERATIONERROR);
        return false;
    }
    g_job.StripOffset = 0;
    return true;
}

long ReadNextChunk(JobBuffer& buffer, uint32_t& delivered, bool nativePath) {
    if (delivered >= g_job.LineCount) return 0;
    PumpJobMessages();
    if (g_job.AbortRequested) {
        Cancel();
        return -1;
    }
    TransferBuffer descriptor{};
    descriptor.Size = buffer.size;
    descriptor.Capacity = buffer.capacity;
    descriptor.Memory = buffer.memory;
    ReadRequest read{};
    read.BytesPerLine = g_job.PassLineBytes;
    read.DescriptorCount = 1;
    read.Buffer = &descriptor;

    ScanStatusRequest status{};
    uint16_t condition = DriverScanStatus(status);
    const uint32_t left = g_job.LineCount - delivered;
    const uint32_t lines =
        std::min({status.LinesRemaining, left, static_cast<uint32_t>(buffer.capacity)});
    if (condition == 0 && lines == 0) condition = kStatusNotReady;  // no progress possible
    if (condition == 0) {
        read.LinesToRead = lines;
        read.LinesDelivered = delivered;
        condition = DriverRead(read);
        // An empty feeder reported mid-read is a passing state: read once more.
        if (condition == kStatusNoPaper) {
            DriverRead(read);
            condition = 0;
        }
    }
    if (condition != 0) {
        int text = 200;
        if (!nativePath && condition == kStatusPaperJam) text = 208;
        if (!nativePath && condition == kStatusCoverOpen) text = 210;
        FailJob(text, TWCC_OPERATIONERROR);
        return -1;
    }
    delivered += lines;
    g_job.ProgressCount += lines;
    ShowJobProgress(500);
    return static_cast<long>(lines);
}

bool ReadPass(JobBuffer& buffer, bool nativePath,
              const std::function<void(const uint8_t*, uint32_t)>& consumer) {
    uint32_t delivered = 0;
    while (delivered < g_job.LineCount) {
        const long lines = ReadNextChunk(buffer, delivered, nativePath);
        if (lines < 0) return false;
        consumer(buffer.memory, static_cast<uint32_t>(lines));
    }
    return true;
}

void FinishScan() {
    const bool color = g_settings.ScanMode == kModeColor;
    ResetJob(g_job, color);
    if (color) g_settings.ColorPass = 1;
    ReturnSetupWindowToIdle();
}

void AbandonTransfer() {
    DriverStop();
    CleanUpBufferedJob(true);
    FinishScan();
}

LineTransform PassLineTransform(int passIndex, Delivery delivery) {
    LineOptions options;
    options.Invert = g_settings.IsInvert != 0;
    options.Mirror = g_settings.FeederSelected != 0;
    const PixelKind kind = PassPixelKind(g_settings.ScanMode).value_or(PixelKind::Bit);
    CurveSettings curves;
    if (kind != PixelKind::Bit) {
        curves.GammaChannel = g_tone.GammaChannel;
        curves.LevelChannel = g_tone.LevelChannel;
        curves.Gamma = g_settings.Block.Gamma;
        curves.LevelsApplied = g_tone.LevelsApplied;
    }
    return PassTransform(kind, delivery, options, curves, passIndex, ToneTablesAddress());
}
