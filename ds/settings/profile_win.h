// The configuration on the real Windows profile: WIN.INI through the
// system's profile-string functions, and setting files through the private
// profile functions. The procedures without a profile argument work on
// WIN.INI and on the module-wide `g_settings`.
#pragma once

#include "ds/settings/model_config.h"

#include <array>
#include <cstdint>
#include <string>

// WIN.INI (GetProfileStringA / WriteProfileStringA).
ProfileAccess WinIniProfile();
// WIN.INI with one section read whole at once: reads of that section are
// answered from the copy taken here (as GetProfileStringA would answer
// them), other sections and every write go to WIN.INI itself.
ProfileAccess WinIniSectionProfile(const std::string& section);
// A profile-format file at `path` (GetPrivateProfileStringA /
// WritePrivateProfileStringA).
ProfileAccess FileProfile(const std::string& path);

// Loads `g_settings` from the named section of WIN.INI ("" loads defaults).
void LoadModelSettings(const std::string& section);
// Loads `g_settings` from the WIN.INI section of its current model.
void LoadCurrentModelSettings();
// Saves `g_settings` into the WIN.INI section of its current model, with
// the setup dialog's frame rectangle (preview pixels).
void SaveModelSettings(const std::array<int32_t, 4>& frameRect);
// Records a prescan's paper length and prescan mode in WIN.INI.
void SavePrescanKeys(uint16_t modelCode, long paperLength, long prescanMode);

// The Windows directory, without a trailing backslash.
std::string WindowsDirectoryPath();

// ZEBINFO values from WIN.INI.
std::string ReadZebInfoBrand();       // with one blank appended
std::string ReadZebInfoDriverName();  // DRIVER
std::string ReadZebInfoDriverPath();  // Windows directory + product folder + DRIVER
std::string ReadZebInfoVersion();
int ReadZebInfoLanguageIndex();
std::string ReadZebInfoDsLanguage();
std::string ReadZebInfoSlowSpeedVersion();
