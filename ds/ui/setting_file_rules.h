// Setting files: where they are kept, how the name the user typed becomes a
// path, which names can be files at all, and how the values of a loaded
// file are kept within what the window and the scanner can use.
//
// Pure computation: no Windows header.
#pragma once

#include "common/file_names.h"
#include "ds/twain/scan_settings.h"
#include "ds/ui/setup_rules.h"

#include <string>

// The folder under the Windows directory that the dialogs open in, and the
// pattern of the names they list.
inline constexpr char kSettingFolder[] = "\\TWAIN\\PAVO";
inline constexpr char kSettingPattern[] = "*.PAR";
// Longest directory text and name the dialogs take (a buffer of 130 bytes).
inline constexpr size_t kSettingTextLimit = 129;

// Values a damaged or hand-edited file may hold that nothing can use are
// replaced by the defaults of their keys: a resolution outside `limits`,
// a scaling outside what that resolution allows, tone values outside their
// ranges, an unknown unit, prescan mode, source, speed, halftone cell or
// gamma curve, a paper length under an inch or beyond the glass. Everything else stays as
// read.
void KeepLoadedSettingsUsable(ScanSettings& settings, const ResolutionLimits& limits);
