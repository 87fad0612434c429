#include "ds/acquire/scan_job.h"

ScanJob g_job;

bool TakePassGeometry(ScanJob& job, const PassGeometry& geometry) {
    if (geometry.LineCount == 0 || geometry.LineCount > 0xFFFF || geometry.PassLineBytes == 0 ||
        geometry.PassLineBytes > 0xFFFF)
        return false;
    job.LineCount = static_cast<uint16_t>(geometry.LineCount);
    job.PassLineBytes = static_cast<uint16_t>(geometry.PassLineBytes);
    job.LineBytes = geometry.LineBytes;
    job.PixelsPerLine = geometry.PixelsPerLine;
    job.PaddedLineBytes = geometry.PaddedLineBytes;
    return true;
}

PassGeometry JobGeometry(const ScanJob& job) {
    PassGeometry g;
    g.LineCount = job.LineCount;
    g.PassLineBytes = job.PassLineBytes;
    g.LineBytes = job.LineBytes;
    g.PixelsPerLine = job.PixelsPerLine;
    g.PaddedLineBytes = job.PaddedLineBytes;
    return g;
}

int InterpolationFactorFor(bool interpolate, uint16_t dpiScale) {
    if (!interpolate) return 1;
    switch (dpiScale) {
    case 2: return 4;
    case 3: return 6;
    case 4: return 8;
    default: return 2;
    }
}

uint32_t TransferBufferSize(uint32_t lineCount, uint32_t passLineBytes) {
    constexpr uint64_t kStep = 32768;
    constexpr uint64_t kMax = 0x200000;
    uint64_t size = static_cast<uint64_t>(lineCount) * passLineBytes;
    if (size > kStep) size = (size + kStep) / kStep * kStep;
    if (size < kStep) size = kStep;
    if (size > kMax) size = kMax;
    return static_cast<uint32_t>(size);
}

void ResetJob(ScanJob& job, bool color) {
    job.ProgressCount = 0;
    job.NewPass = true;
    job.ChunkPending = true;
    job.StripOffset = 0;
    job.AbortRequested = false;
    job.Started = false;
    job.PassIndex = -1;
    job.PassColour = color ? 1 : 0;
}
