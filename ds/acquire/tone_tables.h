// The tone tables shared with the dialog modules: twelve 256-byte curves in
// three sets of four (blue, green, red, grey) - the brightness/contrast
// preview tables, the gamma curves, the level curves - and the codes that say
// which of them a scan applies.
#pragma once

#include <windows.h>

#include <cstdint>

struct ToneState {
    HGLOBAL handle = nullptr;    // 3072-byte movable block, locked while held
    uint8_t* address = nullptr;
    uint16_t GammaChannel = 2011;  // 2007 each pass its own .. 2011 grey on every pass
    uint16_t LevelChannel = 7018;  // 7014 each pass its own .. 7018 grey on every pass
    bool LevelsApplied = false;
};

extern ToneState g_tone;

// The tables' address, creating them holding twelve identity ramps when
// there are none yet; null only when memory is exhausted.
uint8_t* ToneTablesAddress();
// Frees the tables (module unload, or before new ones replace them).
void FreeToneTables();
