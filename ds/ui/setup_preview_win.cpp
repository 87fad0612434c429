// The picture of the glass on the setup window: the stored preview that the
// bitmap viewer opens at start and at Reset, and the prescan.
#include "common/preview_render_win.h"
#include "ds/acquire/status_line.h"
#include "ds/acquire/tone_tables.h"
#include "ds/settings/profile_win.h"
#include "ds/twain/scan_settings.h"
#include "ds/twain/session.h"
#include "ds/twain/strings.h"
#include "ds/ui/module_binding.h"
#include "ds/ui/setup_state.h"

namespace {

const char* StoredPreviewName() {
    return g_settings.PrescanMode ? "QZLC0000.BMP" : "QZLG0000.BMP";
}

// The picture rectangle at twice its size, as the modules render the
// magnified copy from it.
PreviewRect Doubled(const PixelRect& r) {
    return {r.left, r.top, r.left + 2 * r.Width(), r.top + 2 * r.Height()};
}

void ReleaseOpenedBitmap() {
    OpenedBitmap& b = g_setup.opened;
    if (b.memory) {
        GlobalUnlock(static_cast<HGLOBAL>(b.memory));
        GlobalFree(static_cast<HGLOBAL>(b.memory));
    }
    b.memory = nullptr;
    b.pixels = nullptr;
}

// The picture covers the preview's width, down to `bottom`.
void SetPreviewArea(int32_t bottom) {
    const PixelRect& c = g_setup.previewControl;
    g_setup.PreviewArea = {c.left, c.top, c.right, bottom};
    g_setup.paperPosition = g_setup.PreviewArea.Height();
}

}  // namespace

void FreePreviewPicture() { preview::FreePreview(g_setup.picture); }

void AdoptPreviewPicture(const PreviewImage& picture) {
    if (!picture.viewDC) return;
    FreePreviewPicture();
    g_setup.picture = picture;
}

bool LoadStoredPreview() {
    const PixelRect& c = g_setup.previewControl;
    HMODULE viewer = LoadProductModule("bitview.dll");
    auto open = reinterpret_cast<BitviewProc>(FindModuleEntry(viewer, "Bitview"));
    auto show = open ? reinterpret_cast<ShowBitviewProc>(FindModuleEntry(viewer, "ShowBitview"))
                     : nullptr;
    if (!open || !show) {
        // No viewer: a grey preview of 10 of the 14 inches.
        g_settings.Block.PaperLength = 80;
        SetPreviewArea(StoredPreviewBottom(c.top, g_setup.previewHeight, 0));
        return false;
    }
    ReleaseOpenedBitmap();
    FreeToneTables();
    OpenedBitmap opened{};
    if (ToneTablesAddress()) {
        const std::string path = ProductFilePath(StoredPreviewName());
        opened = open(g_setup.window, path.c_str(), g_settings.PrescanMode != 0 ? 1 : 0,
                      &g_setup.opened);
    }
    g_setup.opened = opened;
    const bool picture = opened.pixels != nullptr;
    if (!picture) g_settings.Block.PaperLength = 80;
    SetPreviewArea(
        StoredPreviewBottom(c.top, g_setup.previewHeight, picture ? OpenedHeight(opened) : 0));
    if (picture) {
        const PreviewRect zoom = Doubled(g_setup.PreviewArea);
        const ToneTablesRef tones{g_tone.handle, g_tone.address};
        AdoptPreviewPicture(show(g_setup.window, &zoom, g_settings.PrescanMode ? 3 : 2,
                                 opened.pixels, &g_setup.opened, &tones));
    }
    FreeLibrary(viewer);
    ReleaseOpenedBitmap();
    return true;
}

bool RunPrescan() {
    HWND window = g_setup.window;
    KillTimer(window, kOutlineTimer);
    ClearStatusLine(window);
    SetCapture(window);
    HCURSOR cursor = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    ShowStatusText(window, LoadDsString(635));

    HMODULE module = LoadProductModule("prescan.dll");
    auto prescan = reinterpret_cast<PreScanImageProc>(FindModuleEntry(module, "PreScan_Image"));
    if (!prescan) {
        SetCursor(cursor);
        ReleaseCapture();
        ClearStatusLine(window);
        ReactivateSetupWindow();
        return false;
    }
    const PixelRect saved = g_setup.PreviewArea;
    const PreviewRect area = Doubled(saved);
    const PreviewRect bed = Doubled(g_setup.previewControl);
    PrescanProgress progress{window, 0};
    g_setup.prescanning = true;
    EnableWindow(GetDlgItem(window, 1001), FALSE);
    EnableWindow(GetDlgItem(window, 1002), FALSE);
    const SourceSelection& s = g_setup.source;
    const PreviewImage picture =
        prescan(window, &area, &bed, g_settings.PrescanMode,
                static_cast<uint32_t>(s.filmType) | (static_cast<uint32_t>(s.negative) << 16),
                s.adapterInUse, &progress, PrescanProgressRoutine,
                static_cast<uint16_t>(g_languageIndex));
    g_setup.prescanning = false;
    FreeLibrary(module);
    if (!IsWindow(window) || g_setup.window != window) {
        // The host closed the source while the prescan ran: the picture has
        // no window to go to.
        PreviewImage unused = picture;
        preview::FreePreview(unused);
        return true;
    }
    EnableScanButtons();
    ShowSettingsInControls();
    g_setup.PreviewArea = saved;
    g_setup.previewControl = ControlRect(1057);
    SetCursor(cursor);
    ReleaseCapture();

    AdoptPreviewPicture(picture);
    g_setup.paperPosition = g_setup.PreviewArea.Height();
    ClearStatusLine(window);
    RedrawPreview();
    // The paper length of the picture, in eighths of an inch as the
    // configuration reads it back.
    SavePrescanKeys(g_settings.ModelCode,
                    PaperLengthEighths(g_setup.PreviewArea.Height(), g_setup.previewHeight),
                    g_settings.PrescanMode);
    ReactivateSetupWindow();
    return true;
}
