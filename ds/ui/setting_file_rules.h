// Setting files: where they are kept, how the name the user typed becomes a
// path, which names can be files at all, and how the values of a loaded
// file are kept within what the window and the scanner can use.
//
// Pure computation: no Windows header.
#pragma once

#include "ds/twain/scan_settings.h"
#include "ds/ui/setup_rules.h"

#include <string>
#include <string_view>

// The folder under the Windows directory that the dialogs open in, and the
// pattern of the names they list.
inline constexpr char kSettingFolder[] = "\\TWAIN\\PAVO";
inline constexpr char kSettingPattern[] = "*.PAR";
// Longest directory text and name the dialogs take (a buffer of 130 bytes).
inline constexpr size_t kSettingTextLimit = 129;

// The directory, a backslash and the name as typed (no extension added).
// A directory that already ends in a backslash (a drive's root) gets no
// second one; a name that names its own drive ("D:\x.par") or starts at a
// root ("\x.par") stands for itself.
std::string SettingFilePath(std::string_view directory, std::string_view name);

// A name that can be a file on Windows: not empty, no wildcard (* ?), none
// of < > | " and no control character, and not only dots and blanks. The
// characters \ / : are allowed as parts of a path.
bool IsUsableFileName(std::string_view name);

// Values a damaged or hand-edited file may hold that nothing can use are
// replaced by the defaults of their keys: a resolution outside `limits`,
// a scaling outside what that resolution allows, tone values outside their
// ranges, an unknown unit, prescan mode, source, speed, halftone cell or
// gamma curve, a paper length under an inch or beyond the glass. Everything else stays as
// read.
void KeepLoadedSettingsUsable(ScanSettings& settings, const ResolutionLimits& limits);
