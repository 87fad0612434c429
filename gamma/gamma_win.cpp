// gamma.dll: the gamma curve dialog. GammaDiag runs it modally over the
// setup window; per channel the user picks a built-in curve, a curve from
// a gamma value, or drags the ten points of a curve of his own, while the
// preview picture follows. The curves go into the gamma set of the tone
// tables, the curve number into the scan parameters.
#include "common/module_runtime.h"
#include "gamma/gamma_dialog.h"

#include "common/module_names.h"
#include "common/preview_render_win.h"
#include "common/tone_picture.h"

#include <windowsx.h>

#include <algorithm>

HINSTANCE g_module = nullptr;
GammaDialog g;

namespace {

constexpr int kHelpContext = 4;
constexpr int kChannelIds[] = {2007, 2008, 2009, 2010, 2011};

}  // namespace

std::string Text(int n) { return tone::ModuleString(g_module, n + 30 * g.language); }

void ShowStopText(HWND owner, int n) { tone::ShowStop(owner, Text(n), Text(2)); }

namespace {

// ---- The curve ------------------------------------------------------------------

// A built-in curve from the module's resources; the identity when it is
// missing or short.
GammaCurve ResourceCurve(int number) {
    GammaCurve curve;
    for (int i = 0; i < 256; ++i) curve[i] = static_cast<uint8_t>(i);
    HRSRC found = FindResourceA(g_module, CurveResourceName(number), MAKEINTRESOURCEA(10));
    HGLOBAL loaded = found ? LoadResource(g_module, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (data && SizeofResource(g_module, found) >= curve.size())
        std::copy_n(static_cast<const uint8_t*>(data), curve.size(), curve.begin());
    return curve;
}

int& ChannelNumber() { return g.numbers[ChannelIndex(g.channel)]; }
std::string& ChannelGammaText() { return g.gammaText[ChannelIndex(g.channel)]; }

void RepaintImage(HWND dialog, bool erase) {
    g.renderStale = true;
    RECT r = tone::ToRect(erase ? g.area : g.image);
    InvalidateRect(dialog, &r, erase ? TRUE : FALSE);
}

// The table through the points goes into the channel's gamma tables and
// the picture follows.
void ApplyPoints(HWND dialog) {
    g.table = TableThrough(g.points);
    if (g.block.tables.address) WriteChannelCurve(g.block.tables.address, g.channel, g.table);
    RepaintImage(dialog, false);
}

// The channel's own gamma table in the tone tables (the grey one for
// grey, the red one standing for RGB).
GammaCurve StoredCurve() {
    GammaCurve curve = ResourceCurve(kFirstCurve);
    const size_t at = g.channel == GammaChannel::Gray ? kGammaGrey
                      : g.channel == GammaChannel::Green ? kGammaGreen
                      : g.channel == GammaChannel::Blue ? kGammaBlue
                                                        : kGammaRed;
    if (g.block.tables.address) std::copy_n(g.block.tables.address + at, curve.size(), curve.begin());
    return curve;
}

// New points from the source curve; the gamma value moves their inputs.
void BuildPoints() {
    g.points = PointsOf(SourceCurve());
    if (g.gammaValueType) ApplyGammaValue(g.points, GammaOf(ChannelGammaText()));
    g.table = TableThrough(g.points);
}

// After a change: new points, their table in the tone tables, and the
// curve and the picture drawn anew.
void Rebuild(HWND dialog) {
    BuildPoints();
    ApplyPoints(dialog);
    if (IsWindowVisible(dialog)) RedrawCurve(dialog);
}

// ---- What the controls show ----------------------------------------------------

void CaptionTypeButton(HWND dialog) {
    const int id = g.gammaValueType ? 15 : GroupStringId(GroupOf(g.current));
    SetDlgItemTextA(dialog, kTypeButton, Text(id).c_str());
}

// Without a curve of his own the user chooses RGB or grey only, and there
// are no curve files.
void EnableUserDefined(HWND dialog) {
    CheckDlgButton(dialog, kUserDefined, g.userDefined ? BST_CHECKED : BST_UNCHECKED);
    for (int id : {2008, 2009, 2010, kLoad, kSave})
        if (HWND control = GetDlgItem(dialog, id)) EnableWindow(control, g.userDefined);
}

void CheckChannel(HWND dialog) {
    for (int id : kChannelIds)
        if (GetDlgItem(dialog, id)) CheckDlgButton(dialog, id, id == static_cast<int>(g.channel));
}

void CheckPicture(HWND dialog) {
    CheckRadioButton(dialog, kSample, kPrescan, g.picture.sample ? kSample : kPrescan);
}

void PlacePicture(HWND dialog) {
    g.area = tone::ControlArea(dialog, kPictureArea);
    g.image = ToneImageRect(g.area, g.picture.sample, OpenedHeight(g.picture.opened));
}

void ShowOpenFailure(HWND dialog) { ShowStopText(dialog, 0); }

// ---- Opening and closing -------------------------------------------------------

void OpenFirstPicture(HWND dialog) {
    const bool colour = IsColourChannel(g.channel);
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
}

BOOL OnInitDialog(HWND dialog) {
    g.brush = CreateSolidBrush(RGB(192, 192, 192));
    g.hand = LoadCursorA(g_module, "IDHAND0");
    OpenFirstPicture(dialog);
    CheckPicture(dialog);
    CheckChannel(dialog);
    EnableUserDefined(dialog);
    CaptionTypeButton(dialog);
    PlacePicture(dialog);
    for (int id : {kPictureArea, kCurveArea, kInputBar, kOutputBar, kChannelFrame, kPictureFrame})
        ShowWindow(GetDlgItem(dialog, id), SW_HIDE);
    // Opening changes no curve: a curve of one's own in use is shown as the
    // tone tables hold it, and nothing is written until the user acts.
    if (g.current == kUserDefinedCurve) g.loaded = StoredCurve();
    BuildPoints();
    tone::CentreOnScreen(dialog);
    return FALSE;
}

// The picture, the viewer and the brush go; the rendering stays for the
// caller unless the dialog was cancelled.
void EndGamma(HWND dialog, bool cancelled) {
    if (GetCapture() == dialog) ReleaseCapture();
    if (cancelled) preview::FreePreview(g.rendering);
    tone::FreePicture(g.picture);
    tone::UnloadViewer(g.viewer);
    if (g.brush) DeleteObject(g.brush);
    g.brush = nullptr;
    EndDialog(dialog, 0);
}

// ---- Painting -----------------------------------------------------------------

// The picture through the preview tables and then the gamma tables.
bool RenderNow(HWND dialog) {
    if (!g.block.tables.address) return false;
    std::array<uint8_t, 1024> composed = ComposedPreviewTables(g.block.tables.address);
    const ToneTablesRef tables{g.block.tables.handle, composed.data()};
    g.renderStale = false;
    return tone::Render(g.viewer, dialog, g.picture, g.picture.opened.pixels, g.image, tables,
                        g.rendering);
}

void OnPaint(HWND dialog) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(dialog, &ps);
    if (g.renderStale || !g.rendering.viewDC) RenderNow(dialog);
    const bool shown = g.rendering.viewDC != nullptr;
    if (shown) tone::PaintRendering(dc, g.rendering, g.image);
    PaintCurveArea(dialog, dc);
    for (int id : {kPictureArea, kChannelFrame, kPictureFrame, kCurveArea})
        tone::DrawEtchedFrame(dc, dialog, id);
    EndPaint(dialog, &ps);
    // Nothing to show: the dialog closes with the values as they stand.
    if (!shown) EndGamma(dialog, false);
}

// ---- Dragging a point ------------------------------------------------------------

POINT InArea(HWND dialog, LPARAM lParam) {
    const RECT area = CurveAreaRect(dialog);
    return {GET_X_LPARAM(lParam) - area.left, GET_Y_LPARAM(lParam) - area.top};
}

void OnLButtonDown(HWND dialog, LPARAM lParam) {
    if (!g.userDefined) return;
    const RECT area = CurveAreaRect(dialog);
    const POINT at = InArea(dialog, lParam);
    // The whole handle grabs its point, and never less than four pixels
    // around it: a unit of this dialog is about one pixel and a half.
    const SIZE unit = HandleUnit(dialog);
    g.dragging = GrabbedPoint(g.points, at.x, at.y, area.right - area.left, area.bottom - area.top,
                              std::max<int>(4, 2 * unit.cx), std::max<int>(4, 2 * unit.cy));
    if (!g.dragging) return;
    SetCapture(dialog);
    SetCursor(g.hand);
}

void OnMouseMove(HWND dialog, LPARAM lParam) {
    if (!g.dragging) return;
    const RECT area = CurveAreaRect(dialog);
    const POINT at = InArea(dialog, lParam);
    const ControlPoints before = g.points;
    DragPoint(g.points, *g.dragging, at.x, at.y, area.right - area.left, area.bottom - area.top);
    if (g.points != before) RedrawDraggedPoint(dialog, *g.dragging, before);
}

// Letting go (or losing the mouse) puts the new curve into the tables and
// the picture.
void EndDrag(HWND dialog) {
    if (!g.dragging) return;
    g.dragging.reset();
    if (GetCapture() == dialog) ReleaseCapture();
    ApplyPoints(dialog);
}

BOOL OnSetCursor() {
    if (!g.dragging) return FALSE;
    SetCursor(g.hand);
    return TRUE;
}

// ---- Commands -----------------------------------------------------------------

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

void ChooseChannel(HWND dialog, GammaChannel channel) {
    if (channel == g.channel) return;
    // The single colours belong to curves of the user's own.
    if (channel != GammaChannel::Rgb && channel != GammaChannel::Gray && !g.userDefined) return;
    const bool colour = IsColourChannel(channel);
    if (colour != g.picture.colour) {
        if (!tone::ReopenPicture(g.viewer, dialog, g.picture, colour)) {
            ShowOpenFailure(dialog);
            CheckChannel(dialog);
            return;
        }
        CheckPicture(dialog);
        PlacePicture(dialog);
        RepaintImage(dialog, true);
    }
    g.channel = channel;
    g.current = ChannelNumber();
    g.loaded.reset();
    CheckChannel(dialog);
    CaptionTypeButton(dialog);
    Rebuild(dialog);
}

void ToggleUserDefined(HWND dialog) {
    g.userDefined = IsDlgButtonChecked(dialog, kUserDefined) == BST_CHECKED;
    EnableUserDefined(dialog);
    if (!g.userDefined) {
        // Without a curve of one's own only RGB and grey and the built-in
        // curves remain.
        if (g.channel != GammaChannel::Rgb && g.channel != GammaChannel::Gray) {
            g.channel = GammaChannel::Rgb;
            g.current = ChannelNumber();
            g.loaded.reset();
            CheckChannel(dialog);
        }
        if (g.gammaValueType) {
            g.gammaValueType = false;
            CaptionTypeButton(dialog);
        }
        Rebuild(dialog);
        return;
    }
    RedrawCurve(dialog);
}

// The curve menu under its button: Standard, the three printer groups of
// six curves each, and the gamma value (for curves of the user's own).
void OpenTypeMenu(HWND dialog) {
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, CurveMenuItem(1), Text(10).c_str());
    int number = 2;
    for (int group : {12, 13, 14}) {
        HMENU sub = CreatePopupMenu();
        for (int item = 16; item <= 21; ++item, ++number)
            AppendMenuA(sub, MF_STRING, CurveMenuItem(number), Text(item).c_str());
        AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), Text(group).c_str());
    }
    AppendMenuA(menu, MF_STRING | (g.userDefined ? 0 : MF_GRAYED), kGammaValueItem,
                Text(15).c_str());
    RECT button{};
    GetWindowRect(GetDlgItem(dialog, kTypeButton), &button);
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, button.left, button.bottom,
                   0, dialog, nullptr);
    DestroyMenu(menu);
}

void ChooseCurve(HWND dialog, int number) {
    g.gammaValueType = false;
    g.current = number;
    ChannelNumber() = number;
    if (g.channel == GammaChannel::Rgb)
        for (int c : {1, 2, 3}) g.numbers[c] = number;
    g.loaded.reset();
    CaptionTypeButton(dialog);
    Rebuild(dialog);
}

void ChooseGammaValue(HWND dialog) {
    if (!g.userDefined) return;
    RunGammaValueDialog(dialog, ChannelGammaText());
    g.gammaValueType = true;
    CaptionTypeButton(dialog);
    Rebuild(dialog);
}

void Reset(HWND dialog) {
    ChannelGammaText() = "1.0";
    Rebuild(dialog);
}

void Load(HWND dialog) {
    if (g.userDefined && RunLoadCurveDialog(dialog)) Rebuild(dialog);
}

void Save(HWND dialog) {
    if (g.userDefined) RunSaveCurveDialog(dialog);
}

// OK hands back the prescan rendered with the final curves: a sample
// picture on display gives way to the prescan first. Without a prescan the
// caller keeps its own picture.
void Ok(HWND dialog) {
    if (g.picture.sample) {
        if (!ChoosePicture(dialog, false) || !RenderNow(dialog)) preview::FreePreview(g.rendering);
    } else if (g.renderStale) {
        RenderNow(dialog);  // a change not painted yet
    }
    // A channel switched to without a curve chosen has the number 0, which
    // stands for the first curve.
    const bool known = (g.current >= kFirstCurve && g.current <= kLastCurve) || g.current == kUserDefinedCurve;
    g.block.params.Gamma = static_cast<uint16_t>(g.userDefined ? kUserDefinedCurve : known ? g.current : kFirstCurve);
    g.block.params.GammaSize = g.userDefined ? 256 : 0;
    g.block.channel = static_cast<uint16_t>(g.channel);
    EndGamma(dialog, false);
}

void Cancel(HWND dialog) {
    g.block = g.received;
    EndGamma(dialog, true);
}

BOOL OnCommand(HWND dialog, int id) {
    if (const std::optional<int> curve = CurveOfMenuItem(id)) {
        ChooseCurve(dialog, *curve);
        return TRUE;
    }
    switch (id) {
    case 2007: case 2008: case 2009: case 2010: case 2011:
        ChooseChannel(dialog, static_cast<GammaChannel>(id));
        break;
    case kTypeButton: OpenTypeMenu(dialog); break;
    case kGammaValueItem: ChooseGammaValue(dialog); break;
    case kUserDefined: ToggleUserDefined(dialog); break;
    case kSample: ChoosePicture(dialog, true); break;
    case kPrescan: ChoosePicture(dialog, false); break;
    case kReset: Reset(dialog); break;
    case kLoad: Load(dialog); break;
    case kSave: Save(dialog); break;
    case kOk: Ok(dialog); break;
    case kCancel:
    case IDCANCEL: Cancel(dialog); break;
    case kHelp: tone::ShowHelp(dialog, g.language, kHelpContext); break;
    default: break;
    }
    return TRUE;
}

INT_PTR CALLBACK GammaProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog);
    case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam));
    case WM_PAINT: OnPaint(dialog); return TRUE;
    case WM_LBUTTONDOWN: OnLButtonDown(dialog, lParam); return TRUE;
    case WM_MOUSEMOVE: OnMouseMove(dialog, lParam); return TRUE;
    case WM_LBUTTONUP: EndDrag(dialog); return TRUE;
    case WM_CAPTURECHANGED: EndDrag(dialog); return TRUE;
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

GammaCurve SourceCurve() { return g.loaded ? *g.loaded : ResourceCurve(g.current); }

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) g_module = instance;
    ReleaseRuntimeAtUnload(reason, reserved);
    return TRUE;
}

extern "C" GammaBlock WINAPI GammaDiag(HWND owner, uint16_t prescanMode, GammaBlock block,
                                       uint16_t language) {
    g = GammaDialog{};
    g.block = g.received = block;
    // An unknown language reads the English texts.
    g.language = language < 6 ? language : 0;
    g.current = block.params.Gamma;
    for (std::string& text : g.gammaText) text = "1.0";
    g.channel = prescanMode ? GammaChannel::Rgb : GammaChannel::Gray;
    g.picture.colour = prescanMode != 0;
    DialogBoxParamA(g_module, LanguageTemplate("GAMMA", language).c_str(), owner, GammaProc, 0);
    GammaBlock result = g.block;
    result.preview = g.rendering;
    // Without a new rendering the caller's picture and its rectangle stay.
    result.rect = g.rendering.viewDC ? g.image : g.received.rect;
    g.rendering = PreviewImage{};
    return result;
}
