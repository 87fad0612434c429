// The arithmetic of a prescan: which scanner it is, the Start block of the
// whole glass at 36 dpi, how many lines to ask for, where the samples of a
// pass go in the picture, how much disk it needs, and which message a
// driver status calls for. No Windows header.
#pragma once

#include "common/driver_request.h"

#include <cstdint>
#include <optional>

namespace prescan {

constexpr uint16_t kPrescanResolution = 36;

// Message numbers of the module's string table (id = base + n).
enum Message : uint16_t {
    kMsgWriteError = 1,
    kMsgDiskSpace = 3,
    kMsgNotReady = 4,
    kMsgNotFound = 5,
    kMsgChecklistFirst = 6,
    kMsgChecklistLast = 11,
    kMsgFlatbedScanner = 14,
    kMsgPaperJam = 15,
    kMsgNoPaper = 16,
    kMsgCoverOpen = 17,
};

// String id of message n in a language: 20 per language, English, German
// and French carried; any other language index reads the English text.
uint16_t MessageId(uint16_t language, uint16_t n);

// The message for a nonzero driver status of a Start or Read.
uint16_t MessageForStatus(uint16_t status);
// The message for a nonzero inquiry status when the driver is bound.
uint16_t MessageForInquiry(uint16_t status);
// Messages 4 and 5 come with the checklist and the information icon.
bool IsChecklistMessage(uint16_t n);

struct PrescanModel {
    uint16_t modelCode;       // 600, 606, 800, 1200
    uint16_t baseResolution;  // U: 300, 600, 400, 600
    uint16_t codeSent;        // in the Start block: 1200 for 606
};

// Leading-integer conversion of the five model characters of the inquiry
// data (blanks skipped, optional sign, digits up to the first non-digit).
int32_t ModelNumber(const uint8_t* fiveCharacters);
// The model reported by number (6000, 6060, 8000, 12000); nothing for others.
std::optional<PrescanModel> ModelFromNumber(int32_t number);

// PaperLength of the prescan: floor(U * 504 * imageHeight / bedHeight / 36),
// nothing when a height is not positive or the length leaves 1..65535.
std::optional<uint16_t> PrescanLength(uint16_t baseResolution, int32_t imageHeight, int32_t bedHeight);

// The Start block of the first pass. `film`: low half film type, high half
// negative flag (used with the transparency adapter, source 1 only).
void FillStartBlock(ScanParameterBlock& block, const PrescanModel& model, uint16_t paperLength,
                    bool colour, uint32_t film, uint16_t source);

// Lines to read now: what the driver has ready, within the buffer's
// capacity and never past the pass's line count.
uint16_t LinesNow(uint32_t linesReady, uint16_t capacity, uint16_t lineCount, uint16_t linesDone);

// Capacity in lines of a line buffer of `size` bytes for lines of `width`.
uint16_t LineCapacity(uint32_t size, uint16_t width);

// Free bytes the picture needs on disk: S * H + 1078.
uint64_t DiskSpaceNeeded(uint32_t stride, uint16_t lineCount);

// The samples of a line of the given pass, through the display gamma, into
// a row of the picture: grey fills bytes 0..W-1; a colour pass p (0 red,
// 1 green, 2 blue) fills byte 3x + (2 - p) of each pixel.
void StoreLine(const uint8_t* samples, uint16_t width, bool colour, int pass, const uint8_t* gamma,
               uint8_t* row);

}  // namespace prescan
