// Where the coming scan comes from: the glass, the transparency adapter with
// positive or negative film, or the document feeder.
#include "ds/twain/scan_settings.h"
#include "ds/ui/setup_state.h"

namespace {

constexpr int kPositive = 1116;
constexpr int kNegative = 1117;
constexpr int kReflective = 1118;

// The picture covers the glass down to `inches` of the 14.
void SetPaperLine(int inches) {
    g_setup.paperPosition = g_setup.previewHeight * inches / 14;
    g_setup.PreviewArea.bottom = g_setup.PreviewArea.top + g_setup.paperPosition;
}

}  // namespace

void ChooseSource(int id) {
    if (!g_settings.AdapterPresent) return;
    const uint16_t before = g_setup.source.adapterInUse;
    ScanParameterBlock& block = g_settings.Block;
    SourceSelection& s = g_setup.source;
    s.filmType = 3;
    s.negative = id == kNegative ? 1 : 0;
    s.adapterInUse = id == kReflective ? 0 : 1;
    block.ScanSource = id == kReflective ? kSourceGlass : kSourceAdapter;
    block.Velocity = static_cast<uint16_t>(block.Velocity | s.filmType * 16);
    if (id == kPositive) block.Velocity &= static_cast<uint16_t>(~0x80u);
    if (id == kNegative) block.Velocity |= 0x80u;
    g_setup.InchesPerPixelX = (id == kReflective ? 8.5 : 8.0) / g_setup.previewWidth;

    ShowNormalOnce();
    if (s.adapterInUse != before) {
        g_setup.PreviewArea.right = g_setup.PreviewArea.left + g_setup.previewWidth;
        if (!FeederMode()) SetPaperLine(id == kReflective ? 11 : 10);
        // The frame stays on the part of the glass that is scanned.
        g_setup.FrameRect = ClipIntoArea(g_setup.FrameRect, g_setup.PreviewArea);
        RedrawRulers();
        RedrawPreview();
    }
    DrawSourceButton();
    ReactivateSetupWindow();
    UpdateSizeDisplay();
}

void ToggleFeeder() {
    if (g_settings.FeederPresent) {
        const bool on = !g_settings.FeederEnabled;
        g_settings.FeederSelected = g_settings.FeederEnabled = on ? 1 : 0;
        g_settings.Block.ScanSource = on ? kSourceFeeder : kSourceGlass;
        g_setup.source.adapterInUse = on ? 2 : 0;
        DrawToolButton(1115, on ? "IDD_F" : "IDD_G");
        ApplyFeederVisibility();
        RedrawPreview();
    } else {
        g_settings.FeederSelected = g_settings.FeederEnabled = 0;
    }
    ResetSetupSettings();
    g_setup.FrameRect = ClipIntoArea(g_setup.FrameRect, g_setup.PreviewArea);
    UpdateSizeDisplay();
    RedrawPreview();
    ReactivateSetupWindow();
}
