#include "ds/acquire/native_transfer.h"

#include "ds/acquire/dib.h"
#include "ds/acquire/job_driver.h"
#include "ds/acquire/line_assembly.h"
#include "ds/acquire/pixel_kind.h"
#include "ds/acquire/scan_job.h"
#include "ds/acquire/status_line.h"
#include "ds/acquire/tone_tables.h"
#include "ds/twain/scan_settings.h"
#include "ds/twain/session.h"

namespace {

uint16_t BitsPerPixel() {
    switch (g_settings.ScanMode) {
    case kModeColor: return 24;
    case kModeGray: return 8;
    default: return 1;
    }
}

// Reads one pass into the rows of the bitmap.
bool ReadPassIntoRows(JobBuffer& buffer, uint8_t* rows, int passIndex) {
    const LineTransform transform = PassLineTransform(passIndex, Delivery::Native);
    const PassGeometry geometry = JobGeometry(g_job);
    size_t line = 0;
    return ReadPass(buffer, true, [&](const uint8_t* raw, uint32_t lines) {
        line += AssembleNativeChunk(transform, geometry, passIndex, rows, line, raw, lines);
    });
}

}  // namespace

HGLOBAL NativeTransfer() {
    // A page of a feeder batch whose scan was not started yet starts now.
    if (!g_job.Started && !StartFirstPass()) {
        g_session.returnCode = TWRC_CANCEL;
        return nullptr;
    }
    g_job.ProgressCount = 0;
    ShowJobProgress(500);

    JobBuffer buffer;
    if (!AllocateJobBuffer(buffer)) {
        FailJob(109, TWCC_LOWMEMORY);
        return nullptr;
    }
    const uint16_t bits = BitsPerPixel();
    const uint64_t size = DibBlockSize(bits, g_job.PaddedLineBytes, g_job.LineCount);
    HGLOBAL block = size ? GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size) : nullptr;
    auto* bytes = block ? static_cast<uint8_t*>(GlobalLock(block)) : nullptr;
    if (!bytes) {
        if (block) GlobalFree(block);
        FreeJobBuffer(buffer);
        FailJob(109, TWCC_LOWMEMORY);
        return nullptr;
    }
    uint8_t* rows = bytes + WriteDibHeader(bytes, static_cast<int32_t>(g_job.PixelsPerLine),
                                           g_job.LineCount, bits);

    bool ok;
    if (g_settings.ScanMode != kModeColor) {
        ok = ReadPassIntoRows(buffer, rows, -1);
    } else {
        ok = true;
        for (int pass = 0; pass < 3 && ok; ++pass) {
            g_job.PassIndex = pass;
            g_job.PassColour = static_cast<uint16_t>(pass + 1);
            g_settings.ColorPass = g_job.PassColour;
            if (pass > 0) ok = StartNextPass();
            if (ok) ok = ReadPassIntoRows(buffer, rows, pass);
        }
    }
    FreeJobBuffer(buffer);
    GlobalUnlock(block);
    if (!ok) {
        // The host must not use the image of a cancelled transfer: it gets none.
        GlobalFree(block);
        if (g_session.returnCode != TWRC_FAILURE) g_session.returnCode = TWRC_CANCEL;
        return nullptr;
    }
    return block;
}
