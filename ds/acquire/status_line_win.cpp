#include "ds/acquire/status_line.h"

#include "ds/acquire/progress_steps.h"
#include "ds/acquire/scan_job.h"
#include "ds/twain/scan_settings.h"
#include "ds/twain/session.h"
#include "ds/twain/strings.h"

#include <algorithm>

namespace {

constexpr int kTextField = 1089;
constexpr int kPercentField = 1090;
constexpr COLORREF kGrey = RGB(192, 192, 192);

// The count last drawn; a new phase starts it again.
uint32_t g_lastDrawn = 0;
// What the status line shows, for a repaint: the text, and while a job
// runs its percentage and the part of the bar drawn.
std::string g_statusText;
std::string g_percentText;
int32_t g_barDrawn = 0;

RECT FieldRect(HWND window, int id) {
    RECT r{};
    HWND control = GetDlgItem(window, id);
    if (!control) return r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

RECT Inside(RECT r) {
    InflateRect(&r, -1, -1);
    return r;
}

void FillGrey(HDC dc, const RECT& r) {
    SetBkColor(dc, kGrey);
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

// Text in the window's own font, transparent, at the top left of `field`
// (vertically centred, as a status line reads). The window's font, not a
// font of four pixels: that size is only met by the smallest raster font,
// whose text nobody can read.
void DrawFieldText(HDC dc, HWND window, const RECT& field, const std::string& text) {
    if (text.empty()) return;
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    RECT r = Inside(field);
    r.left += 1;
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, oldFont);
}

void DrawSunkenBox(HDC dc, RECT r) {
    DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
    FillGrey(dc, Inside(r));
}

}  // namespace

void ClearStatusLine(HWND window) { ShowStatusText(window, std::string()); }

void ShowStatusText(HWND window, const std::string& text) {
    g_statusText = text;
    g_percentText.clear();
    g_barDrawn = 0;
    if (!window) return;
    HDC dc = GetDC(window);
    RepaintStatusLine(window, dc);
    ReleaseDC(window, dc);
}

static void InvertBar(HDC dc, const RECT& bar, int32_t from, int32_t to) {
    RECT strip = Inside(bar);
    strip.left = std::max<LONG>(strip.left, bar.left + from);
    strip.right = std::min<LONG>(strip.right, bar.left + to);
    if (strip.right > strip.left)
        PatBlt(dc, strip.left, strip.top, strip.right - strip.left, strip.bottom - strip.top,
               DSTINVERT);
}

void RepaintStatusLine(HWND window, HDC dc) {
    const RECT percentField = FieldRect(window, kPercentField);
    DrawSunkenBox(dc, percentField);
    DrawFieldText(dc, window, percentField, g_percentText);
    const RECT field = FieldRect(window, kTextField);
    DrawSunkenBox(dc, field);
    DrawFieldText(dc, window, field, g_statusText);
    InvertBar(dc, field, 0, g_barDrawn);
}

void ShowProgressOf(HWND window, uint32_t count, uint32_t total, int phaseString) {
    if (!window || !IsWindowVisible(window)) return;
    const RECT bar = FieldRect(window, kTextField);
    const ProgressDraw d = NextProgressDraw(count, total, g_lastDrawn, bar.right - bar.left);
    if (!d.newPhase && !d.grow) return;
    HDC dc = GetDC(window);
    const RECT percentField = FieldRect(window, kPercentField);
    if (d.newPhase) {
        FillGrey(dc, Inside(bar));
        FillGrey(dc, Inside(percentField));
        g_percentText = PercentText(d.percent);
        DrawFieldText(dc, window, percentField, g_percentText);
        g_statusText = LoadDsString(phaseString) + LoadDsString(502);
        DrawFieldText(dc, window, bar, g_statusText);
        g_barDrawn = 0;
    }
    if (d.grow) {
        FillGrey(dc, Inside(percentField));
        g_percentText = PercentText(d.percent);
        DrawFieldText(dc, window, percentField, g_percentText);
        // The bar inverts what lies under it, the phase text included.
        InvertBar(dc, bar, d.fromX, d.toX);
        g_barDrawn = d.toX;
    }
    ReleaseDC(window, dc);
}

void ShowJobProgress(int phaseString) {
    const uint32_t total =
        uint32_t{g_job.LineCount} * (g_settings.ScanMode == kModeColor ? 3u : 1u);
    ShowProgressOf(g_session.setupWindow, g_job.ProgressCount, total, phaseString);
}

int32_t PAVO_PREVIEW_CALL PrescanProgressRoutine(PrescanProgress* progress, int32_t total) {
    if (!progress || total <= 0) return 0;
    const uint32_t count = std::min<uint32_t>(progress->linesDone, static_cast<uint32_t>(total));
    ShowProgressOf(static_cast<HWND>(progress->owner), count, static_cast<uint32_t>(total), 635);
    return 0;
}
