// level.dll: the level dialog. LevelDiag runs it modally over the setup
// window; per channel the user drags the shadow, midtone and highlight
// markers under the picture's histogram (or lets Auto set them) while the
// picture, read and rendered by the module itself, follows. The levels go
// back in the module's own block, their tables into the level set of the
// tone tables.
#include "common/module_runtime.h"
#include "level/level_dialog.h"

#include "common/module_names.h"
#include "common/preview_render_bmp.h"
#include "common/preview_render_win.h"
#include "common/tone_dialog_win.h"
#include "common/tone_picture.h"

#include <windowsx.h>

#include <string>

HINSTANCE g_module = nullptr;
LevelDialog g;

namespace {

constexpr int kHelpContext = 5;
// What LevelDiag answers with; it lives as long as the module is loaded.
LevelBlock g_answer;

std::string Text(int n) { return tone::ModuleString(g_module, n + 20 * g.language); }

void ShowOpenFailure(HWND dialog) { tone::ShowStop(dialog, Text(0), Text(1)); }

// ---- The picture ----------------------------------------------------------------

// Reads a stored picture as grey levels or colour triples and counts it;
// false, the picture unchanged, when the file is not a picture.
bool ReadPicture(bool colour, bool sample) {
    const std::string path = tone::ProductPath(TonePictureFile(colour, sample));
    size_t size = 0;
    const std::unique_ptr<uint8_t[]> data = preview::ReadPictureFile(path.c_str(), size);
    if (!data) return false;
    const std::optional<preview::BmpLayout> layout = preview::ParseBmp(data.get(), size);
    if (!layout || layout->width > 0xFFFF || layout->height > 0xFFFF) return false;
    LevelPicture picture;
    picture.pixels.resize(preview::DecodedSize(*layout, colour));
    preview::DecodeBmp(data.get(), *layout, colour, picture.pixels.data());
    picture.width = layout->width;
    picture.height = layout->height;
    picture.colour = colour;
    picture.sample = sample;
    picture.statistics =
        CountPicture(picture.pixels.data(), picture.width, picture.height, colour, g.paletteScreen);
    g.picture = std::move(picture);
    return true;
}

// The kind of picture the buttons say, else the other kind.
bool RereadPicture(bool colour) {
    return ReadPicture(colour, g.picture.sample) || ReadPicture(colour, !g.picture.sample);
}

bool HasPicture() { return !g.picture.pixels.empty(); }

void CheckPicture(HWND dialog) {
    CheckRadioButton(dialog, kSample, kPrescan, g.picture.sample ? kSample : kPrescan);
}

void PlacePicture(HWND dialog) {
    g.area = tone::ControlArea(dialog, kPictureArea);
    g.image = ToneImageRect(g.area, g.picture.sample, g.picture.height);
}

void RepaintImage(HWND dialog, bool erase) {
    g.renderStale = true;
    RECT r = tone::ToRect(erase ? g.area : g.image);
    InvalidateRect(dialog, &r, erase ? TRUE : FALSE);
}

// ---- What the controls show ----------------------------------------------------

}  // namespace

LevelGroup& ShownGroup() { return g.block.groups[GroupIndex(g.channel)]; }

namespace {

void ShowValues(HWND dialog) {
    const LevelGroup& group = ShownGroup();
    SetDlgItemInt(dialog, kShadowText, static_cast<UINT>(group.shadow), FALSE);
    SetDlgItemInt(dialog, kMidtoneText, static_cast<UINT>(group.midtone), FALSE);
    SetDlgItemInt(dialog, kHighlightText, static_cast<UINT>(group.highlight), FALSE);
    SetDlgItemInt(dialog, kRatioText, group.ratio, FALSE);
}

// The table of the channel on display follows every change of its levels.
void WriteShownTable() {
    if (g.block.tables.address) WriteLevelTables(g.block.tables.address, g.channel, TableOf(ShownGroup()));
}

void ShowLevels(HWND dialog) {
    WriteShownTable();
    ShowValues(dialog);
    if (IsWindowVisible(dialog)) RedrawLevels(dialog);
}

// ---- Opening and closing -------------------------------------------------------

void FillChannelList(HWND dialog) {
    HWND list = GetDlgItem(dialog, kChannelList);
    for (int n = 10; n <= 14; ++n) SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Text(n).c_str()));
    SendMessageA(list, CB_SETCURSEL, static_cast<int>(g.channel) - static_cast<int>(LevelChannel::Rgb), 0);
}

BOOL OnInitDialog(HWND dialog) {
    g.brush = CreateSolidBrush(RGB(192, 192, 192));
    g.hand = LoadCursorA(g_module, "IDL_HAND0");
    const char* names[3] = {"IDL_LOW", "IDL_MED", "IDL_HIG"};
    for (int m = 0; m < 3; ++m) g.markers[m] = LoadBitmapA(g_module, names[m]);
    BITMAP b{};
    if (g.markers[0] && GetObjectA(g.markers[0], sizeof b, &b)) g.markerSize = {b.bmWidth, b.bmHeight};
    g.paletteScreen = !tone::DeepScreen();
    const bool colour = IsColourChannel(g.channel);
    g.prescanAtOpen = ReadPicture(colour, false);
    if (!g.prescanAtOpen) {
        EnableWindow(GetDlgItem(dialog, kPrescan), FALSE);
        if (!ReadPicture(colour, true)) ShowOpenFailure(dialog);
    }
    g.picture.sample = !g.prescanAtOpen;
    CheckPicture(dialog);
    FillChannelList(dialog);
    ShowValues(dialog);
    PlacePicture(dialog);
    for (int id : {kPictureArea, kHistogram, kMarkerBar, kPictureFrame, 7024, 7025, 7026})
        ShowWindow(GetDlgItem(dialog, id), SW_HIDE);
    tone::CentreOnScreen(dialog);
    return FALSE;
}

void EndLevel(HWND dialog, bool cancelled) {
    if (GetCapture() == dialog) ReleaseCapture();
    if (cancelled) preview::FreePreview(g.rendering);
    g.picture = LevelPicture{};
    for (HBITMAP& marker : g.markers) {
        if (marker) DeleteObject(marker);
        marker = nullptr;
    }
    if (g.brush) DeleteObject(g.brush);
    g.brush = nullptr;
    EndDialog(dialog, 0);
}

// ---- Painting -----------------------------------------------------------------

// The channel's level table goes into the tone tables, and the picture is
// rendered through all three sets.
bool RenderNow(HWND dialog) {
    uint8_t* tables = g.block.tables.address;
    if (!tables || !HasPicture()) return false;
    WriteShownTable();
    const std::array<uint8_t, 1024> composed = ComposedToneTables(tables);
    preview::FreePreview(g.rendering);
    const PreviewRect zoom = ToneZoomRect(g.image);
    const RECT r = tone::ToRect(zoom);
    g.rendering = preview::RenderPreview(dialog, r, g.picture.colour ? 3 : 2, g.picture.pixels.data(),
                                         static_cast<uint16_t>(g.picture.width),
                                         static_cast<uint16_t>(g.picture.height), composed.data());
    g.renderStale = false;
    return g.rendering.viewDC != nullptr;
}

void OnPaint(HWND dialog) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(dialog, &ps);
    if (g.renderStale || !g.rendering.viewDC) RenderNow(dialog);
    const bool shown = g.rendering.viewDC != nullptr;
    if (shown) tone::PaintRendering(dc, g.rendering, g.image);
    PaintLevels(dialog, dc);
    for (int id : {kPictureArea, kHistogram, kPictureFrame}) tone::DrawEtchedFrame(dc, dialog, id);
    for (int id : {7024, 7025, 7026}) tone::DrawEtchedFrame(dc, dialog, id);
    EndPaint(dialog, &ps);
    if (!shown) EndLevel(dialog, false);
}

// ---- Markers ------------------------------------------------------------------

void OnLButtonDown(HWND dialog, LPARAM lParam) {
    const RECT bar = ItemRect(dialog, kMarkerBar);
    const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    g.held = GrabbedMarker(ShownGroup(), x, y, bar.left, bar.top, bar.right - bar.left,
                           g.markerSize.cx, g.markerSize.cy);
    if (!g.held) return;
    g.heldFrom = x;
    SetCapture(dialog);
    SetCursor(g.hand);
}

void OnMouseMove(HWND dialog, LPARAM lParam) {
    if (!g.held) return;
    const int x = GET_X_LPARAM(lParam);
    if (x == g.heldFrom) return;
    MoveMarker(ShownGroup(), *g.held, x - g.heldFrom);
    g.heldFrom = x;
    ShowLevels(dialog);
}

void EndHold(HWND dialog) {
    if (!g.held) return;
    g.held.reset();
    if (GetCapture() == dialog) ReleaseCapture();
    RepaintImage(dialog, false);
}

BOOL OnSetCursor() {
    if (!g.held) return FALSE;
    SetCursor(g.hand);
    return TRUE;
}

// ---- Commands -----------------------------------------------------------------

bool ChoosePicture(HWND dialog, bool sample) {
    if (!ReadPicture(g.picture.colour, sample)) {
        if (sample || g.prescanAtOpen) ShowOpenFailure(dialog);
        CheckPicture(dialog);
        return false;
    }
    CheckPicture(dialog);
    PlacePicture(dialog);
    ShowLevels(dialog);
    RepaintImage(dialog, true);
    return true;
}

void ChooseChannel(HWND dialog) {
    const int item = static_cast<int>(SendDlgItemMessageA(dialog, kChannelList, CB_GETCURSEL, 0, 0));
    const LevelChannel channel = ChannelOfItem(item);
    if (IsColourChannel(channel) != g.picture.colour) {
        if (!RereadPicture(IsColourChannel(channel))) {
            ShowOpenFailure(dialog);
            SendDlgItemMessageA(dialog, kChannelList, CB_SETCURSEL,
                                static_cast<int>(g.channel) - static_cast<int>(LevelChannel::Rgb), 0);
            return;
        }
        CheckPicture(dialog);
        PlacePicture(dialog);
    }
    g.channel = channel;
    ShowLevels(dialog);
    RepaintImage(dialog, true);
}

void Reset(HWND dialog) {
    for (LevelGroup& group : g.block.groups) group = kDefaultGroup;
    ShowLevels(dialog);
    RepaintImage(dialog, false);
}

void Auto(HWND dialog) {
    AutoLevels(g.block.groups, g.channel, g.picture.statistics);
    ShowLevels(dialog);
    RepaintImage(dialog, false);
}

void Ok(HWND dialog) {
    if (g.picture.sample) {
        if (!ChoosePicture(dialog, false) || !RenderNow(dialog)) preview::FreePreview(g.rendering);
    } else if (g.renderStale) {
        RenderNow(dialog);  // a change not painted yet
    }
    WriteShownTable();
    g.block.channel = static_cast<uint16_t>(g.channel);
    EndLevel(dialog, false);
}

void Cancel(HWND dialog) {
    g.block = g.received;
    EndLevel(dialog, true);
}

BOOL OnCommand(HWND dialog, int id, int notification) {
    switch (id) {
    case kChannelList:
        if (notification == CBN_SELCHANGE) ChooseChannel(dialog);
        break;
    case kSample: ChoosePicture(dialog, true); break;
    case kPrescan: ChoosePicture(dialog, false); break;
    case kReset: Reset(dialog); break;
    case kAuto: Auto(dialog); break;
    case kOk: Ok(dialog); break;
    case kCancel:
    case IDCANCEL: Cancel(dialog); break;
    case kHelp: tone::ShowHelp(dialog, g.language, kHelpContext); break;
    default: break;
    }
    return TRUE;
}

INT_PTR CALLBACK LevelProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog);
    case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    case WM_PAINT: OnPaint(dialog); return TRUE;
    case WM_LBUTTONDOWN: OnLButtonDown(dialog, lParam); return TRUE;
    case WM_MOUSEMOVE: OnMouseMove(dialog, lParam); return TRUE;
    case WM_LBUTTONUP: EndHold(dialog); return TRUE;
    case WM_CAPTURECHANGED: EndHold(dialog); return TRUE;
    case WM_SETCURSOR: return OnSetCursor();
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return tone::GreyBackground(wParam, g.brush);
    case WM_CLOSE: Cancel(dialog); return TRUE;
    default: return FALSE;
    }
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) g_module = instance;
    ReleaseRuntimeAtUnload(reason, reserved);
    return TRUE;
}

extern "C" LevelBlock* WINAPI LevelDiag(HWND owner, uint16_t prescanMode, const LevelBlock* block,
                                        uint16_t language) {
    g = LevelDialog{};
    if (block) g.block = *block;
    // Levels that break the rules of a group (a damaged setting file) start
    // from the defaults.
    for (LevelGroup& group : g.block.groups)
        if (!IsUsableGroup(group)) group = kDefaultGroup;
    g.received = block ? *block : LevelBlock{};
    // The module speaks English, German and French; the others read English.
    g.language = language <= 2 ? language : 0;
    g.channel = prescanMode ? LevelChannel::Rgb : LevelChannel::Gray;
    g.picture.colour = prescanMode != 0;
    DialogBoxParamA(g_module, LanguageTemplate("LEVEL", g.language).c_str(), owner, LevelProc, 0);
    g_answer = g.block;
    g_answer.preview = g.rendering;
    g_answer.rect = g.rendering.viewDC ? g.image : g.received.rect;
    g.rendering = PreviewImage{};
    return &g_answer;
}
