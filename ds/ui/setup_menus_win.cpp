#include "ds/ui/setup_menus.h"

#include "ds/twain/scan_settings.h"
#include "ds/twain/strings.h"
#include "ds/ui/setup_state.h"

namespace {

void Add(HMENU menu, int id, const std::string& text, bool checked = false, bool grayed = false) {
    UINT flags = MF_STRING;
    if (checked) flags |= MF_CHECKED;
    if (grayed) flags |= MF_GRAYED;
    AppendMenuA(menu, flags, static_cast<UINT_PTR>(id), text.c_str());
}

void AddText(HMENU menu, int id, int stringId, bool checked = false, bool grayed = false) {
    Add(menu, id, LoadDsString(stringId), checked, grayed);
}

void Separator(HMENU menu) { AppendMenuA(menu, MF_SEPARATOR, 0, nullptr); }

void AddSubMenu(HMENU menu, HMENU sub, int stringId, bool grayed = false) {
    AppendMenuA(menu, MF_POPUP | (grayed ? MF_GRAYED : 0u), reinterpret_cast<UINT_PTR>(sub),
                LoadDsString(stringId).c_str());
}

// Shows the menu with its top left corner at a point of the dialog and
// destroys it when the user has chosen (or not).
void Track(HMENU menu, POINT at) {
    ClientToScreen(g_setup.window, &at);
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, at.x, at.y, 0,
                   g_setup.window, nullptr);
    DestroyMenu(menu);
}

POINT BelowControl(int id) {
    const PixelRect r = ControlRect(id);
    return {r.left, r.bottom};
}

}  // namespace

void ShowOptionMenu() {
    HMENU menu = CreatePopupMenu();
    HMENU prescan = CreatePopupMenu();
    AddText(prescan, 1062, 606, g_settings.PrescanMode == 0);
    AddText(prescan, 1063, 607, g_settings.PrescanMode != 0);
    AddSubMenu(menu, prescan, 605);
    Separator(menu);
    AddText(menu, 1064, 608, g_settings.IsInvert != 0);
    Separator(menu);
    HMENU cells = CreatePopupMenu();
    const ScanParameterBlock& b = g_settings.Block;
    for (int i = 0; i < 12; ++i) AddText(cells, 1071 + i, 617 + i, !b.GrainBuiltIn && b.Grain == i);
    AddText(cells, 1083, 629, b.GrainBuiltIn != 0);
    AddSubMenu(menu, cells, 616, g_settings.ScanMode != kModeHalftone);
    Separator(menu);
    AddText(menu, 1087, 633);
    AddText(menu, 1088, 634);
    Separator(menu);
    AddText(menu, 1084, 632);
    Track(menu, BelowControl(1060));
}

void ShowSourceMenu() {
    const SourceSelection& s = g_setup.source;
    const bool glass = s.adapterInUse != 1;
    HMENU menu = CreatePopupMenu();
    AddText(menu, 1118, 636, glass);
    AddText(menu, 1116, 637, !glass && !s.negative);
    AddText(menu, 1117, 638, !glass && s.negative);
    const PixelRect r = ControlRect(1115);
    Track(menu, {r.left, r.top});
}

void ShowPresetMenu() {
    HMENU menu = CreatePopupMenu();
    for (const MenuEntry& e : PresetMenuEntries(g_settings.ModelCode, g_settings.Resolution, FeederMode())) {
        if (e.id == 0)
            Separator(menu);
        else
            Add(menu, e.id, e.text, e.checked, e.grayed);
    }
    Track(menu, BelowControl(1218));
}
