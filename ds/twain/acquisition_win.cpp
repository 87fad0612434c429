#include "ds/twain/acquisition.h"

#include "ds/acquire/driver.h"
#include "ds/acquire/job_driver.h"
#include "ds/acquire/scan_job.h"
#include "ds/settings/profile_win.h"
#include "ds/twain/acquisition_rules.h"
#include "ds/twain/messages.h"
#include "ds/twain/operations.h"
#include "ds/twain/scan_settings.h"
#include "ds/twain/session.h"
#include "ds/twain/strings.h"
#include "ds/ui/setup_rules.h"
#include "ds/ui/temp_drive_dialog.h"

#include <cstring>
#include <optional>
#include <string>

uint64_t g_expectedImageSize = 0;
int g_speedIndicator = 1;

namespace {

// Free bytes on the drive of the working folder, where the scan's temporary
// files go; nothing when the drive cannot be asked.
std::optional<uint64_t> FreeBytesOfWorkingDrive() {
    std::string folder = g_session.defaultFileSetup.FileName;
    const size_t slash = folder.find_last_of('\\');
    folder = slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
    uint64_t available = 0;
    if (!QueryFreeBytes(folder.c_str(), available)) return std::nullopt;
    return available;
}

bool HostIs(int stringId) {
    return std::strncmp(g_session.appIdentity.ProductName, LoadDsString(stringId).c_str(),
                        sizeof g_session.appIdentity.ProductName) == 0;
}

}  // namespace

bool StartAcquisition(HWND owner, const FilmSelection& film, const std::array<uint16_t, 4>& frame,
                      const std::array<uint16_t, 16>& regions, unsigned regionCount,
                      uint16_t paperLength) {
    // A frame the scanner cannot scan is refused before anything starts.
    if (!FrameScannable(frame, ModelBaseResolution(g_settings.ModelCode))) {
        ShowScannerMessage(owner, 211 + 1000 * g_languageIndex);
        return false;
    }
    // Temporary space for the transfer file and the pass files.
    const uint32_t allowance = HeaderAllowance(g_session.caps.fileFormat);
    if (allowance == 0) return false;
    const uint64_t required = allowance + g_expectedImageSize;
    // A drive that cannot say how much room it has is not checked: the
    // files the scan writes there report their own failures.
    const std::optional<uint64_t> free = FreeBytesOfWorkingDrive();
    if (free && *free < required) {
        const uint64_t available = *free;
        ShowDiskSpaceMessage(owner, available, required - 1);
        // The user may name a directory with room; the working file and the
        // pass files then go there.
        if (!RunTempDriveDialog(owner, required)) return false;
    }

    ScanParameterBlock& block = g_settings.Block;
    // Both keys from one read of the ZEBINFO section.
    const ProfileAccess info = WinIniSectionProfile(kInfoSection);
    const SpeedChoice speed = ChooseSpeed(ReadZebInfoSlowSpeedVersion(info),
                                          ReadZebInfoDsLanguage(info), g_settings.ScanMode,
                                          block.ScanSource);
    block.Velocity = static_cast<uint16_t>((block.Velocity & ~0x000Fu) | speed.speedBits);
    g_speedIndicator = speed.indicator;

    if (g_settings.AdapterPresent) {
        block.Velocity = static_cast<uint16_t>((block.Velocity & ~0x00F0u) |
                                               ((film.filmType & 7u) << 4) |
                                               ((film.negative ? 1u : 0u) << 7));
    }

    const bool native = g_session.caps.xferMech == TWSX_NATIVE;
    PrepareBlockForScan(g_settings, std::span<const uint16_t, 4>(frame),
                        std::span<const uint16_t, 16>(regions), regionCount, paperLength, native,
                        g_job.Interpolate);
    g_job.InterpolationFactor = InterpolationFactorFor(g_job.Interpolate, g_settings.DpiScale);
    ResetJob(g_job, g_settings.ScanMode == kModeColor);
    if (g_settings.ScanMode == kModeColor) g_settings.ColorPass = 1;
    if (!StartFirstPass()) return false;

    // The image is described before the host hears of it: a host may ask
    // for the description from inside the notification.
    static constexpr uint16_t kMechanisms[] = {TWSX_NATIVE, TWSX_FILE, TWSX_MEMORY};
    g_session.imageInfo =
        ImageInfoFor(g_settings, g_job, kMechanisms[g_session.caps.xferMech % 3],
                     g_session.showUI != 0);
    NotifyXferReady();
    return true;
}

void ScanWithoutDialog() {
    TakeReportedModel(g_settings,
                      ReportedModelNumber(std::span<const uint8_t, 96>(LastInquiry().Data)));
    LoadCurrentModelSettings();
    const uint16_t base = ModelBaseResolution(g_settings.ModelCode);
    const std::array<uint16_t, 4> frame = FrameFromLayout(g_session.currentLayout, base);

    const bool faxHost = HostIs(407) || HostIs(412);
    g_settings.Resolution = ResolutionForPosition(g_session.caps.resolution, faxHost);
    if (g_session.caps.resolution == 2 && faxHost) g_settings.Block.ScanRes = 200;

    FilmSelection film;
    ScanParameterBlock& block = g_settings.Block;
    if (g_settings.AdapterPresent) {
        film.filmType = (block.Velocity >> 4) & 7;
        film.negative = (block.Velocity >> 7) & 1;
    }
    block.Velocity &= static_cast<uint16_t>(~0x00F0u);
    const bool feeder = g_settings.FeederPresent != 0;
    g_settings.FeederEnabled = g_settings.FeederSelected = feeder ? 1 : 0;
    block.ScanSource = feeder ? kSourceFeeder : kSourceGlass;

    ChooseScanMode(g_settings, ScanModeForPixelType(g_session.caps.pixelType));

    // A stored scaling is held to the limits the setup window would give
    // it at the host's resolution, so the output resolution stays within
    // what the model scans.
    g_settings.Scaling = HeldScaling(
        g_settings.Scaling, g_settings.Resolution,
        ResolutionLimitsFor(g_settings.ModelCode, g_session.caps.xferMech == TWSX_NATIVE, feeder));

    const std::array<uint16_t, 16> regions{};
    // Only "no page size" has a length of its own: the whole 14-inch glass.
    const uint16_t paperLength = g_session.caps.supportedSize == 0 ? 112 : block.PaperLength;
    if (!StartAcquisition(nullptr, film, frame, regions, 0, paperLength)) NotifyCloseRequest();
}
