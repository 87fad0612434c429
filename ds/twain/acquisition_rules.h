// The arithmetic of starting an acquisition: the frame from the host's
// layout, the negotiated resolution, the speed rule, the temporary space
// needed and the image description of a ready scan.
#pragma once

#include "common/twain.h"
#include "ds/acquire/scan_job.h"
#include "ds/twain/scan_settings.h"

#include <array>
#include <span>
#include <cstdint>
#include <string>

// Frame in base-resolution pixels from the host's layout (inches). A layout
// without a right or bottom edge gives the default page of 8 to 216 mm across
// and 0 to 295 mm down. Edges are truncated toward zero and kept within what
// the block's 16-bit words can hold.
std::array<uint16_t, 4> FrameFromLayout(const TW_IMAGELAYOUT& layout, uint16_t baseResolution);

// Whether the scanner can scan a frame of base-resolution units: not empty,
// not inverted, and within the 216 x 356 mm the scanner reaches. A model
// without a base resolution is left to the scanner to judge.
bool FrameScannable(std::span<const uint16_t, 4> frame, uint16_t base);

// `Resolution` for a negotiated resolution position; the two fax hosts get
// 200 dpi where others get 300.
uint16_t ResolutionForPosition(uint16_t position, bool faxHost);

// Scan mode for a negotiated pixel type position (BW, GRAY, RGB, PALETTE).
uint16_t ScanModeForPixelType(uint16_t position);

struct SpeedChoice {
    uint16_t speedBits;  // low four bits of Velocity
    int indicator;       // shown by the information dialog
};
// The slow-speed rule: only a slow-speed installation of a non-English data
// source scans LineArt and Gray (not from the feeder) at speed 2.
SpeedChoice ChooseSpeed(const std::string& slowSpeedVersion, const std::string& dsLanguage,
                        uint16_t scanMode, uint16_t scanSource);

// Bytes a transfer file's header takes beyond the image data: TIFF and BMP;
// 0 for a format that cannot be written.
uint32_t HeaderAllowance(uint16_t fileFormatPosition);

// The image description of a scan that is ready, for the negotiated
// transfer mechanism (TWSX_*). Width and length are those of the image the
// host will receive: the scanned size for a native bitmap, which is never
// interpolated, and the scanned size times the interpolation factor for
// memory and file transfers. The resolution is the setup window's (its size
// read-out shows the scaled size at that resolution); without the window it
// is the one the pixels were sampled at.
TW_IMAGEINFO ImageInfoFor(const ScanSettings& settings, const ScanJob& job, uint16_t mechanism,
                          bool setupWindow);
