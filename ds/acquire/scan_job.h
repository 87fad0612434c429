// The running scan: pass position, abort flag, strip position, progress and
// the geometry the scanner reported for the pass. One module-wide instance.
#pragma once

#include "ds/acquire/line_assembly.h"

#include <cstddef>
#include <cstdint>

struct ScanJob {
    int PassIndex = -1;          // -1 before the first transfer; 0..2 Color passes
    uint16_t PassColour = 0;     // 1 red, 2 green, 3 blue; 0 one-pass
    bool NewPass = true;         // the next transfer call begins a pass
    bool AbortRequested = false;
    bool Started = false;        // a Start was accepted and its image is not yet delivered
    bool ChunkPending = false;   // the transfer buffer holds undelivered lines
    uint32_t StripOffset = 0;    // rows of the image or plane delivered so far
    uint32_t ProgressCount = 0;

    // Geometry of the pass from the scanner's reply to Scan status.
    uint16_t LineCount = 0;
    uint16_t PassLineBytes = 0;
    uint32_t LineBytes = 0;      // bytes per image line: three passes side by side for Color
    uint32_t PixelsPerLine = 0;
    uint32_t PaddedLineBytes = 0;

    bool Interpolate = false;    // scanning at half the output resolution
    int InterpolationFactor = 1;
};

extern ScanJob g_job;

// Takes the geometry of a pass that the scanner reported. False (nothing
// taken) when it does not fit the job's 16-bit counts.
bool TakePassGeometry(ScanJob& job, const PassGeometry& geometry);
// The job's geometry in the form line assembly takes it.
PassGeometry JobGeometry(const ScanJob& job);

// Factor by which interpolation multiplies lines and pixels: 1 without it,
// otherwise 2 for DpiScale 0 or 1, 4, 6, 8 for DpiScale 2, 3, 4.
int InterpolationFactorFor(bool interpolate, uint16_t dpiScale);

// Size of the buffer the driver reads lines into: the pass's bytes, kept
// between 32 KB and 2 MB, grown to the next 32 KB step above the product.
uint32_t TransferBufferSize(uint32_t lineCount, uint32_t passLineBytes);

// The job's state at the end of a transfer (or before the first one).
void ResetJob(ScanJob& job, bool color);
