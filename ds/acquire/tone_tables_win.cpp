#include "ds/acquire/tone_tables.h"

#include "ds/twain/scan_settings.h"

ToneState g_tone;

uint8_t* ToneTablesAddress() {
    if (g_tone.address) return g_tone.address;
    g_tone.handle = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, kToneStoreSize);
    if (!g_tone.handle) return nullptr;
    g_tone.address = static_cast<uint8_t*>(GlobalLock(g_tone.handle));
    if (!g_tone.address) {
        GlobalFree(g_tone.handle);
        g_tone.handle = nullptr;
        return nullptr;
    }
    for (size_t i = 0; i < kToneStoreSize; ++i) g_tone.address[i] = static_cast<uint8_t>(i);
    return g_tone.address;
}

void FreeToneTables() {
    if (g_tone.handle) {
        GlobalUnlock(g_tone.handle);
        GlobalFree(g_tone.handle);
    }
    g_tone.handle = nullptr;
    g_tone.address = nullptr;
}
