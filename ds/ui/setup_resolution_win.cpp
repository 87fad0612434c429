// Resolution and scaling in the setup window: the two scroll bars, the
// typed resolution, the presets, the size read-out and the settings reset.
#include "ds/acquire/scan_job.h"
#include "ds/acquire/tone_tables.h"
#include "ds/settings/config_text.h"
#include "ds/settings/profile_win.h"
#include "ds/twain/acquisition.h"
#include "ds/twain/scan_settings.h"
#include "ds/twain/strings.h"
#include "ds/ui/setup_commands.h"
#include "ds/ui/setup_state.h"
#include "ds/ui/size_readout.h"

namespace {

HWND Item(int id) { return GetDlgItem(g_setup.window, id); }

void SetResolutionText(const std::string& text) {
    // The window's own writes are no typing.
    g_setup.settingResolutionText = true;
    SetControlText(1025, text);
    g_setup.settingResolutionText = false;
}

void SetScanEnabled(bool enabled) {
    // Nothing typed can start a second scan over a running one.
    if (enabled && SetupBusy()) return;
    EnableWindow(Item(1001), enabled);
}

// The engine scans at half the resolution above the optical one of the
// models that interpolate.
void TakeInterpolation() {
    const uint16_t ceiling = ModelResolutionCeiling(g_settings.ModelCode);
    if (ceiling != 0) g_job.Interpolate = g_settings.Block.ScanRes > ceiling;
}

// Rulers in pixels count the delivered image's pixels: they follow the
// output resolution.
void RedrawPixelRulers() {
    if (g_settings.UnitFlag == kUnitPixels) RedrawRulers();
}

ScrollAction ActionOf(int code) {
    switch (code) {
    case SB_LINELEFT: return ScrollAction::LineLeft;
    case SB_LINERIGHT: return ScrollAction::LineRight;
    case SB_PAGELEFT: return ScrollAction::PageLeft;
    case SB_PAGERIGHT: return ScrollAction::PageRight;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: return ScrollAction::Thumb;
    case SB_LEFT: return ScrollAction::Leftmost;
    case SB_RIGHT: return ScrollAction::Rightmost;
    default: return ScrollAction::None;
    }
}

void ScrollResolution(ScrollAction action, int thumb) {
    g_settings.Resolution =
        ScrolledResolution(g_settings.ModelCode, g_settings.Resolution, action, thumb, g_setup.limits);
    g_settings.Block.ScanRes = g_settings.Resolution;
    TakeInterpolation();
    ShowResolution();
    RedrawPixelRulers();
    ShowScaling();
    UpdateSizeDisplay();
}

void ScrollScaling(ScrollAction action, int thumb) {
    const ScalingLimits limits = ScalingLimitsFor(g_settings.Resolution, g_setup.limits);
    g_settings.Scaling = ScrolledScaling(g_settings.ModelCode, g_settings.Resolution,
                                         g_settings.Scaling, action, thumb, limits);
    ShowScaling();
    RedrawPixelRulers();
    UpdateSizeDisplay();
}

}  // namespace

SizeTexts ReadoutTexts() {
    SizeTexts t;
    t.inches = LoadDsString(650);
    t.pixels = LoadDsString(651);
    t.cm = LoadDsString(652);
    t.mm = LoadDsString(653);
    t.bytes = LoadDsString(654);
    t.kilobytes = LoadDsString(655);
    return t;
}

void SetControlText(int id, const std::string& text) {
    char shown[256] = {};
    GetDlgItemTextA(g_setup.window, id, shown, sizeof shown);
    if (text != shown) SetDlgItemTextA(g_setup.window, id, text.c_str());
}

void OnHScroll(HWND bar, int code, int thumb) {
    if (SetupBusy()) return;
    const bool scalingBar = bar == Item(1030);
    if (!scalingBar && bar != Item(1024)) return;
    const ScrollAction action = ActionOf(code);
    if (action == ScrollAction::None) return;
    if (scalingBar && g_settings.DpiScale >= 2 && g_settings.DpiScale <= 4) {
        // An enhanced resolution is not scaled.
        g_settings.Scaling = 100;
        ShowScaling();
        return;
    }
    g_settings.DpiScale = 0;
    if (scalingBar)
        ScrollScaling(action, thumb);
    else
        ScrollResolution(action, thumb);
}

void ShowResolution() {
    SetResolutionText(ResolutionText(g_settings.Resolution));
    // A valid resolution is shown: whatever was typed before is gone.
    SetScanEnabled(true);
    SetScrollRange(Item(1024), SB_CTL, g_setup.limits.minimum, g_setup.limits.maximum, FALSE);
    SetScrollPos(Item(1024), SB_CTL, g_settings.Resolution, TRUE);
}

void ShowScaling() {
    const ScalingLimits limits = ScalingLimitsFor(g_settings.Resolution, g_setup.limits);
    SetScrollRange(Item(1030), SB_CTL, limits.minimum, limits.maximum, FALSE);
    SetScrollPos(Item(1030), SB_CTL, g_settings.Scaling, TRUE);
    SetControlText(1029, DecimalText(g_settings.Scaling) + "%");
}

void SelectModeInList() {
    SendMessageA(Item(1022), CB_SETCURSEL, g_settings.ScanMode - kModeLineArt, 0);
}

void SelectUnitInList() { SendMessageA(Item(1037), CB_SETCURSEL, g_settings.UnitFlag, 0); }

void UpdateSizeDisplay() {
    SizeInputs in{};
    in.resolution = g_settings.Resolution;
    in.scaling = g_settings.Scaling;
    in.dpiScale = g_settings.DpiScale;
    in.modelCode = g_settings.ModelCode;
    in.scanMode = g_settings.ScanMode;
    in.unit = g_settings.UnitFlag;
    in.feederMode = FeederMode();
    in.paperCode = g_setup.paperCode;
    in.frameWidth = g_setup.FrameRect.Width();
    in.frameHeight = g_setup.FrameRect.Height();
    in.inchesPerPixelX = g_setup.InchesPerPixelX;
    in.previewHeight = g_setup.previewHeight;
    in.zoomed = g_setup.ZoomMode == kZoomMagnified;
    const SizeReadout out = ComputeSizeReadout(in, g_setup.sizeTexts);
    SetControlText(1042, out.width);
    SetControlText(1044, out.length);
    SetControlText(1046, out.size);
    g_expectedImageSize = out.bytes;
}

void TypedResolutionChanged() {
    char text[32] = {};
    GetDlgItemTextA(g_setup.window, 1025, text, sizeof text);
    TakeInterpolation();
    const TypedResolution t = TypeResolution(text, g_settings.ModelCode, g_settings.Resolution,
                                             g_settings.DpiScale, g_setup.limits);
    g_settings.Resolution = t.resolution;
    g_settings.DpiScale = t.dpiScale;
    switch (t.kind) {
    case TypedResolution::NotANumber:
        SetScanEnabled(false);
        return;
    case TypedResolution::OutOfLimits:
        if (!t.scanEnabled) SetScanEnabled(false);
        return;
    case TypedResolution::PresetKept:
    case TypedResolution::Accepted:
        SetScanEnabled(true);
        // The bar and the read-out follow every resolution that is taken.
        SetScrollRange(Item(1024), SB_CTL, g_setup.limits.minimum, g_setup.limits.maximum, FALSE);
        SetScrollPos(Item(1024), SB_CTL, g_settings.Resolution, TRUE);
        ShowScaling();
        RedrawPixelRulers();
        UpdateSizeDisplay();
        return;
    }
}

void ApplyPreset(int id) {
    PresetChoice choice;
    if (!ChoosePreset(id, g_settings.ModelCode, choice)) return;
    // The feeder scans at 600 dpi at most.
    if (FeederMode() && choice.resolution > g_setup.limits.maximum) return;
    g_settings.DpiScale = choice.dpiScale;
    g_settings.Resolution = choice.resolution;
    g_settings.Scaling = 100;
    SetResolutionText(DecimalText(choice.shownResolution));
    SetScrollPos(Item(1024), SB_CTL, g_settings.Resolution, TRUE);
    ShowScaling();
    SetScanEnabled(true);
    RedrawPixelRulers();
    UpdateSizeDisplay();
}

void ResetSetupSettings() {
    LoadModelSettings(std::string());
    g_tone.LevelsApplied = false;
    const uint16_t* f = g_settings.Block.Frame;
    g_setup.FrameRect = {f[0], f[1], f[2], f[3]};
    for (ScanRegion& r : g_setup.ScanRegions) r = ScanRegion{};
    g_setup.nextRegion = 0;
    ChooseDisplayUnit(g_settings, kUnitInches);
    g_speedIndicator = 1;
    if (FeederMode()) {
        g_settings.Block.ScanSource = kSourceFeeder;
        g_setup.paperCode = kPaperA4;
        g_settings.Resolution = g_settings.Block.ScanRes = 300;
        g_setup.limits = ResolutionLimitsFor(g_settings.ModelCode, false, true);
        ChooseScanMode(g_settings, kModeLineArt);
    } else {
        // Factory settings: the resolution shown is the one scanned.
        g_settings.Resolution = g_settings.Block.ScanRes;
        g_setup.limits = g_setup.initialLimits;
    }
    ShowResolution();
    SelectModeInList();
    SelectUnitInList();
    g_settings.Scaling = 100;
    ShowScaling();
    RedrawRulers();
}

void ShowLoadedSettings() {
    g_settings.Resolution = g_settings.Block.ScanRes;
    ShowResolution();
    SelectModeInList();
    SelectUnitInList();
    ShowScaling();
    // The paper line at the loaded length in whole inches, and the frame
    // kept on the picture above it; the regions belonged to the old frame.
    g_setup.paperPosition = g_setup.previewHeight * (g_settings.Block.PaperLength / 8) / 14;
    g_setup.PreviewArea.bottom = g_setup.PreviewArea.top + g_setup.paperPosition;
    const uint16_t* f = g_settings.Block.Frame;
    g_setup.FrameRect = ClipIntoArea({f[0], f[1], f[2], f[3]}, g_setup.PreviewArea);
    for (ScanRegion& r : g_setup.ScanRegions) r = ScanRegion{};
    g_setup.nextRegion = 0;
    UpdateSizeDisplay();
    RedrawRulers();
    RedrawPreview();
}
