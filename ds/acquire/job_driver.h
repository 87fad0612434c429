// Running a scan job against the scanner: starting passes, the read loop with
// its message pumping and ESC abort, failures and the end of a transfer.
#pragma once

#include <windows.h>

#include "ds/acquire/line_assembly.h"

#include <cstdint>
#include <functional>

// The transfer buffer the driver reads lines into, owned by the job.
struct JobBuffer {
    HGLOBAL handle = nullptr;
    uint8_t* memory = nullptr;
    uint32_t size = 0;
    uint16_t capacity = 0;  // whole lines
};

// Allocates the transfer buffer for the current pass geometry, stepping down
// 32 KB at a time while the system refuses. False when nothing fits.
bool AllocateJobBuffer(JobBuffer& buffer);
void FreeJobBuffer(JobBuffer& buffer);

// The owner of the job's message boxes: the setup window, or none.
HWND JobOwner();

// Prepares the block for the coming pass and sends Start with reporting
// (first pass): a refused Start is reported by its condition and the scanner
// stopped. True when the pass runs and its geometry is known.
bool StartFirstPass();

// Starts a later Color pass, retrying quietly until the scanner accepts or
// the user presses ESC (then Stop, TWRC_CANCEL). The geometry must match the
// first pass's, since the image was laid out for it.
bool StartNextPass();

// Reads the lines of the running pass into the buffer, a chunk at a time,
// handing each chunk (address, lines) to the consumer. Pumps the thread's
// messages between reads; ESC ends the pass (Stop, TWRC_CANCEL). A device
// condition fails the job with its message; `nativePath` reports every
// condition as "not ready".
bool ReadPass(JobBuffer& buffer, bool nativePath,
              const std::function<void(const uint8_t*, uint32_t)>& consumer);

// One step of the read loop: reads the next chunk of the running pass into
// the buffer and advances `delivered`. Gives the lines read (0 once the pass
// is complete), or -1 after ESC or a failure (TWRC_CANCEL set).
long ReadNextChunk(JobBuffer& buffer, uint32_t& delivered, bool nativePath);

// How the raw lines of a pass (passIndex -1 for one-pass modes, 0 to 2 for
// the colour passes) become rows on the given delivery path, from the
// current settings and tone tables. 1-bit lines take no tone curves: a
// curve would scramble their packed pixels.
LineTransform PassLineTransform(int passIndex, Delivery delivery);

// A job failure: message (string id without language offset; 0 for none),
// condition code, Stop, TWRC_CANCEL.
void FailJob(int stringId, uint16_t conditionCode);

// Pumps the thread's waiting messages; an ESC key sets AbortRequested.
void PumpJobMessages();

// The end of a transfer: the job back to its idle state.
void FinishScan();

// Ends a job the host gives up on (disable, close, reset of the pending
// transfers): the scanner is stopped and the job is reset.
void AbandonTransfer();
