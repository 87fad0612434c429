// Starting an acquisition: the scan start shared by the setup dialog's Scan
// command and the enable-without-dialog path.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>

struct FilmSelection {
    uint16_t filmType = 0;  // bits 4-6 of Velocity, the driver's own codes
    uint16_t negative = 0;
};

// Size in bytes of the image the setup dialog's size display last computed;
// 0 when it has computed none.
extern uint64_t g_expectedImageSize;
// The speed selection, 1 to 6 ("Fast" to "Auto"): taken from the settings
// when the setup window opens, set by its speed commands and by every scan
// start (1, or 2 under the slow-speed rule); the information dialog shows it.
extern int g_speedIndicator;

// Checks the temporary space, applies the speed rule and the film
// selection, prepares the block and starts the scan. On success the host has
// been told that a transfer is ready (state 6) and the image information is
// known. `owner` receives the messages (the setup window, or none).
bool StartAcquisition(HWND owner, const FilmSelection& film, const std::array<uint16_t, 4>& frame,
                      const std::array<uint16_t, 16>& regions, unsigned regionCount,
                      uint16_t paperLength);

// The scan of an enable request without the setup window, also started for
// the next page of an automatic feeder batch. A failed start asks the host
// to close the source.
void ScanWithoutDialog();
