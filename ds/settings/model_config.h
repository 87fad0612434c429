// The configuration of the data source: the installation values of the
// "ZEBINFO" section (read only) and the last settings of each scanner model,
// one section per model, loaded into and saved from `ScanSettings`. Setting
// files use the same keys, so the same procedures serve them.
//
// Pure computation over a ProfileAccess: no Windows header.
#pragma once

#include "ds/settings/config_text.h"
#include "ds/twain/scan_settings.h"

#include <array>
#include <cstdint>
#include <string>

// ---- Model sections ------------------------------------------------------

// Reads every key of the model-section table from `section` into
// `settings`, the default of each missing key included. An empty section
// name loads the defaults. `dpiScaleDefault` is the default of "DpiScale":
// "0" for the configuration, "1" for setting files.
void ReadSettingsKeys(const ProfileAccess& profile, const std::string& section,
                      ScanSettings& settings, const std::string& dpiScaleDefault);

// Writes the written keys of the model-section table into `section`, in
// table order. `frameRect` (left, top, right, bottom) is written as "Frame";
// `paperLength` as "PaperLength". Nothing is written under an empty name.
// False when a key could not be written (the keys after it are not tried).
bool WriteSettingsKeys(const ProfileAccess& profile, const std::string& section,
                       const ScanSettings& settings, const std::array<int32_t, 4>& frameRect,
                       long paperLength);

// Loads the model settings kept in `section` of the configuration.
void LoadModelSettings(const ProfileAccess& profile, const std::string& section,
                       ScanSettings& settings);
// Saves the settings into the section of the current model (none for an
// unknown model), with the setup dialog's frame rectangle in preview pixels.
void SaveModelSettings(const ProfileAccess& profile, const ScanSettings& settings,
                       const std::array<int32_t, 4>& frameRect);

// Sections into which the setup dialog records a prescan's paper length and
// prescan mode; "" for an unknown model.
std::string PrescanPaperLengthSection(uint16_t modelCode);
std::string PrescanModeSection(uint16_t modelCode);
// Records a prescan's paper length and prescan mode for the model.
void SavePrescanKeys(const ProfileAccess& profile, uint16_t modelCode, long paperLength,
                     long prescanMode);

// ---- ZEBINFO --------------------------------------------------------------

inline constexpr char kInfoSection[] = "ZEBINFO";

// "BRAND" with one blank appended ("Tavlen " by default).
std::string ReadZebInfoBrand(const ProfileAccess& profile);
// "DRIVER", the driver's file name ("PAVO.DLL" by default).
std::string ReadZebInfoDriverName(const ProfileAccess& profile);
// `windowsDirectory` + the product folder + "DRIVER".
std::string ReadZebInfoDriverPath(const ProfileAccess& profile,
                                  const std::string& windowsDirectory);
// "VERSION" ("V1.0" by default), as a 34-byte buffer holds it.
std::string ReadZebInfoVersion(const ProfileAccess& profile);
// `LanguageIndex` from "LANGUAGE".
int ReadZebInfoLanguageIndex(const ProfileAccess& profile);
// "DSLANGUAGE" ("None") and "SLOWSPEEDVER" ("No"), 34-byte buffers.
std::string ReadZebInfoDsLanguage(const ProfileAccess& profile);
std::string ReadZebInfoSlowSpeedVersion(const ProfileAccess& profile);
