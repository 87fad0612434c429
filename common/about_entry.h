// About.dll's entry as the setup window calls it: AboutDiag(owner,
// modelCode, firmware, version, language), the firmware the scanner's four
// inquiry characters and the version at most five characters.
#pragma once

#include "common/preview_image.h"

#include <cstdint>

using AboutDiagProc = void(PAVO_PREVIEW_CALL*)(void* owner, uint16_t modelCode, const char* firmware,
                                               const char* version, uint16_t language);
