#include "ds/ui/info_fields.h"

int ModeNameString(uint16_t scanMode) {
    return scanMode >= 1011 && scanMode <= 1014 ? 857 + (scanMode - 1011) : 0;
}

int UnitNameString(uint32_t unitFlag) { return unitFlag <= 3 ? 861 + static_cast<int>(unitFlag) : 0; }

int SpeedNameString(int speedSelection) {
    return speedSelection >= 1 && speedSelection <= 6 ? 609 + speedSelection : 0;
}

int GammaNameString(uint16_t gamma) {
    if (gamma >= 1 && gamma <= 10) return 799 + gamma;
    if (gamma >= 11 && gamma <= 19) return 800 + gamma;
    if (gamma == 39) return 820;
    return 0;
}
