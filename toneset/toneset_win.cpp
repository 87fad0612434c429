// toneset.dll: the brightness and contrast dialog. TonesetDiag runs it
// modally over the setup window; the user sets a brightness and a contrast
// per channel while the preview picture follows, and the values, the
// preview tables and the rendering on display go back to the data source.
#include "common/module_runtime.h"
#include <windows.h>

#include "common/module_names.h"
#include "common/preview_render_win.h"
#include "common/tone_blocks.h"
#include "common/tone_dialog_win.h"
#include "common/tone_picture.h"
#include "toneset/toneset_rules.h"

#include <string>

namespace {

constexpr int kBrightnessBar = 3001, kContrastBar = 3011;
constexpr int kBrightnessText = 3018, kContrastText = 3019;
constexpr int kSample = 3016, kPrescan = 3017;
constexpr int kOk = 3012, kCancel = 3013, kHelp = 3014, kReset = 3020;
constexpr int kImageArea = 3030, kChannelFrame = 3002, kPictureFrame = 3015;
constexpr int kHelpContext = 3;

HINSTANCE g_module = nullptr;

// The dialog of one call; made fresh by every TonesetDiag.
struct Toneset {
    ToneAdjustBlock block{};
    ToneAdjustBlock received{};
    uint16_t language = 0;
    ToneChannel channel = ToneChannel::Rgb;
    bool prescanAtOpen = false;
    bool deepScreen = true;
    bool cancelled = false;
    HBRUSH brush = nullptr;
    tone::Viewer viewer;
    tone::Picture picture;
    PreviewImage rendering{};
    PreviewRect area{}, image{};
};
Toneset g;

std::string Text(int n) { return tone::ModuleString(g_module, n + 10 * g.language); }

void ShowOpenFailure(HWND dialog) { tone::ShowStop(dialog, Text(0), Text(1)); }

int BarValue(HWND dialog, int bar) { return GetScrollPos(GetDlgItem(dialog, bar), SB_CTL); }

void ShowBar(HWND dialog, int bar, int text, int value) {
    SetScrollPos(GetDlgItem(dialog, bar), SB_CTL, value, TRUE);
    SetDlgItemTextA(dialog, text, std::to_string(value).c_str());
}

// The bars show the pair of the channel on display.
void ShowPair(HWND dialog) {
    const ToneAdjustPair& p = g.block.pairs[PairShown(g.channel)];
    ShowBar(dialog, kBrightnessBar, kBrightnessText, p.brightness);
    ShowBar(dialog, kContrastBar, kContrastText, p.contrast);
}

void CheckChannel(HWND dialog) {
    CheckRadioButton(dialog, 3003, 3007, static_cast<int>(g.channel));
}

void CheckPicture(HWND dialog) {
    CheckRadioButton(dialog, kSample, kPrescan, g.picture.sample ? kSample : kPrescan);
}

void PlacePicture(HWND dialog) {
    g.area = tone::ControlArea(dialog, kImageArea);
    g.image = ToneImageRect(g.area, g.picture.sample, OpenedHeight(g.picture.opened));
}

void RepaintImage(HWND dialog, bool erase) {
    RECT r = tone::ToRect(erase ? g.area : g.image);
    InvalidateRect(dialog, &r, erase ? TRUE : FALSE);
}

// ---- Opening ------------------------------------------------------------------

BOOL OnInitDialog(HWND dialog) {
    g.deepScreen = tone::DeepScreen();
    g.brush = CreateSolidBrush(RGB(192, 192, 192));
    const bool colour = g.channel != ToneChannel::Gray;
    if (tone::LoadViewer(g.viewer)) {
        g.prescanAtOpen = tone::OpenPicture(g.viewer, dialog, g.picture, colour, false);
        if (!g.prescanAtOpen) {
            EnableWindow(GetDlgItem(dialog, kPrescan), FALSE);
            if (!tone::OpenPicture(g.viewer, dialog, g.picture, colour, true)) ShowOpenFailure(dialog);
        }
    } else {
        EnableWindow(GetDlgItem(dialog, kPrescan), FALSE);
        ShowOpenFailure(dialog);
    }
    g.picture.sample = !g.prescanAtOpen;
    CheckPicture(dialog);
    CheckChannel(dialog);
    for (int bar : {kBrightnessBar, kContrastBar})
        SetScrollRange(GetDlgItem(dialog, bar), SB_CTL, kToneMinimum, kToneMaximum, FALSE);
    ShowPair(dialog);
    PlacePicture(dialog);
    tone::CentreOnScreen(dialog);
    for (int id : {kChannelFrame, kPictureFrame, kImageArea}) ShowWindow(GetDlgItem(dialog, id), SW_HIDE);
    return FALSE;
}

// ---- Closing ------------------------------------------------------------------

// The picture, the viewer and the brush go; the rendering stays for the
// caller unless the dialog was cancelled.
void EndToneset(HWND dialog, bool cancelled) {
    g.cancelled = cancelled;
    if (cancelled) preview::FreePreview(g.rendering);
    tone::FreePicture(g.picture);
    tone::UnloadViewer(g.viewer);
    if (g.brush) DeleteObject(g.brush);
    g.brush = nullptr;
    EndDialog(dialog, 0);
}

// ---- Painting -----------------------------------------------------------------

// Writes the tables of the channel on display and renders the picture
// through them; false when there is nothing to show.
bool RenderNow(HWND dialog) {
    WriteChannelTables(g.block.tables.address, g.channel, g.block.pairs,
                       BarValue(dialog, kBrightnessBar), BarValue(dialog, kContrastBar),
                       g.deepScreen);
    // The viewer takes every sample through the preview tables on every
    // screen, so the picture's own pixels are handed over.
    return tone::Render(g.viewer, dialog, g.picture, g.picture.opened.pixels, g.image,
                        g.block.tables, g.rendering);
}

void OnPaint(HWND dialog) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(dialog, &ps);
    const bool rendered = g.block.tables.address && RenderNow(dialog);
    if (rendered) {
        tone::PaintRendering(dc, g.rendering, g.image);
        for (int id : {kImageArea, kChannelFrame, kPictureFrame}) tone::DrawEtchedFrame(dc, dialog, id);
    }
    EndPaint(dialog, &ps);
    // Nothing to show: the dialog closes with the values as they stand.
    if (!rendered) EndToneset(dialog, false);
}

// ---- Scroll bars --------------------------------------------------------------

ToneScroll ScrollAction(int code) {
    switch (code) {
    case SB_LINELEFT: return ToneScroll::LineLeft;
    case SB_LINERIGHT: return ToneScroll::LineRight;
    case SB_PAGELEFT: return ToneScroll::PageLeft;
    case SB_PAGERIGHT: return ToneScroll::PageRight;
    case SB_THUMBPOSITION: return ToneScroll::Thumb;
    case SB_LEFT: return ToneScroll::LeftEnd;
    case SB_RIGHT: return ToneScroll::RightEnd;
    default: return ToneScroll::Other;
    }
}

void OnHScroll(HWND dialog, HWND bar, int code, int thumb) {
    const ToneScroll action = ScrollAction(code);
    if (action == ToneScroll::Other) return;
    const int id = GetDlgCtrlID(bar);
    if (id != kBrightnessBar && id != kContrastBar) return;
    const int value = ScrolledToneValue(action, BarValue(dialog, id), static_cast<short>(thumb));
    ShowBar(dialog, id, id == kBrightnessBar ? kBrightnessText : kContrastText, value);
    StoreBarValues(g.block.pairs, g.channel, BarValue(dialog, kBrightnessBar),
                   BarValue(dialog, kContrastBar));
    RepaintImage(dialog, false);
}

// ---- Commands -----------------------------------------------------------------

// Opens the picture of the kind `colour`: the one the picture buttons
// choose, else the other one.
bool ReopenPicture(HWND dialog, bool colour) {
    const bool opened = tone::ReopenPicture(g.viewer, dialog, g.picture, colour);
    if (opened) CheckPicture(dialog);
    else ShowOpenFailure(dialog);
    return opened;
}

void ChooseChannel(HWND dialog, ToneChannel channel) {
    const bool colour = IsColourChannel(channel);
    if (colour != g.picture.colour && !ReopenPicture(dialog, colour)) {
        CheckChannel(dialog);
        return;
    }
    g.channel = channel;
    if (channel == ToneChannel::Rgb)
        g.block.pairs[kToneGreen] = g.block.pairs[kToneBlue] = g.block.pairs[kToneRed];
    CheckChannel(dialog);
    ShowPair(dialog);
    PlacePicture(dialog);
    RepaintImage(dialog, true);
}

// The sample picture or the prescan; false (the choice unchanged) when it
// does not open.
bool ChoosePicture(HWND dialog, bool sample) {
    if (!tone::OpenPicture(g.viewer, dialog, g.picture, g.picture.colour, sample)) {
        if (sample || g.prescanAtOpen) ShowOpenFailure(dialog);
        CheckPicture(dialog);
        return false;
    }
    CheckPicture(dialog);
    PlacePicture(dialog);
    RepaintImage(dialog, true);
    return true;
}

void Reset(HWND dialog) {
    for (ToneAdjustPair& p : g.block.pairs) p = ToneAdjustPair{0, 0};
    ShowPair(dialog);
    RepaintImage(dialog, true);
}

// OK hands back the prescan rendered with the final values: a sample
// picture on display gives way to the prescan first. Without a prescan the
// caller keeps its own picture.
void Ok(HWND dialog) {
    if (g.picture.sample) {
        if (ChoosePicture(dialog, false) && RenderNow(dialog)) {
            EndToneset(dialog, false);
            return;
        }
        preview::FreePreview(g.rendering);
    }
    EndToneset(dialog, false);
}

void Cancel(HWND dialog) {
    g.block = g.received;
    EndToneset(dialog, true);
}

BOOL OnCommand(HWND dialog, int id) {
    switch (id) {
    case 3003: case 3004: case 3005: case 3006: case 3007:
        ChooseChannel(dialog, static_cast<ToneChannel>(id));
        break;
    case kSample: ChoosePicture(dialog, true); break;
    case kPrescan: ChoosePicture(dialog, false); break;
    case kReset: Reset(dialog); break;
    case kOk: Ok(dialog); break;
    case kCancel:
    case IDCANCEL: Cancel(dialog); break;
    case kHelp: tone::ShowHelp(dialog, g.language, kHelpContext); break;
    default: break;
    }
    return TRUE;
}

INT_PTR CALLBACK TonesetProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog);
    case WM_HSCROLL:
        OnHScroll(dialog, reinterpret_cast<HWND>(lParam), LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam));
    case WM_PAINT: OnPaint(dialog); return TRUE;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return tone::GreyBackground(wParam, g.brush);
    case WM_CLOSE: EndToneset(dialog, false); return TRUE;
    default: return FALSE;
    }
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) g_module = instance;
    ReleaseRuntimeAtUnload(reason, reserved);
    return TRUE;
}

extern "C" ToneAdjustBlock WINAPI TonesetDiag(HWND owner, uint16_t prescanMode,
                                              ToneAdjustBlock block, uint16_t language) {
    g = Toneset{};
    g.block = g.received = block;
    g.language = language;
    g.channel = prescanMode ? ToneChannel::Rgb : ToneChannel::Gray;
    g.picture.colour = prescanMode != 0;
    DialogBoxParamA(g_module, LanguageTemplate("TONESET", language).c_str(), owner, TonesetProc, 0);
    ToneAdjustBlock result = g.block;
    result.preview = g.rendering;
    // Without a new rendering the caller's picture and its rectangle stay.
    result.rect = g.rendering.viewDC ? g.image : g.received.rect;
    g.rendering = PreviewImage{};
    return result;
}
