// The drawn buttons under the preview (brightness/contrast, gamma, level,
// zoom and the source button) and the hints they show in the status line.
#include "ds/acquire/status_line.h"
#include "ds/twain/scan_settings.h"
#include "ds/twain/strings.h"
#include "ds/ui/setup_state.h"

namespace {

// Zones of the drawn buttons.
struct ToolZone {
    int zone;
    int control;
};
constexpr ToolZone kToolZones[] = {{12, 1111}, {13, 1110}, {14, 1112}, {16, 1114}, {21, 1115}};

bool StrictlyInside(const PixelRect& r, POINT p) {
    return p.x > r.left && p.x < r.right - 1 && p.y > r.top && p.y < r.bottom - 1;
}

void Send(int command) { SendMessageA(g_setup.window, WM_COMMAND, command, 0); }

}  // namespace

int HitTestTools(POINT p) {
    for (const ToolZone& z : kToolZones) {
        if (z.zone == 21 && !g_settings.AdapterPresent && !g_settings.FeederPresent) continue;
        if (StrictlyInside(ControlRect(z.control), p)) return z.zone;
    }
    return 0;
}

void OnToolButtonDown(int zone) {
    if (SetupBusy()) return;
    SetCapture(g_setup.window);
    KillTimer(g_setup.window, kOutlineTimer);
    g_setup.pressedTool = zone;
    switch (zone) {
    case 12: DrawToolButton(1111, "IDD_4"); Send(1111); break;
    case 13: DrawToolButton(1110, "IDD_5"); Send(1110); break;
    case 14: DrawToolButton(1112, "IDD_6"); Send(1112); break;
    case 16:
        if (FeederMode()) break;
        g_setup.zoomTool = !g_setup.zoomTool;
        DrawToolButton(1114, g_setup.zoomTool ? "IDD_A" : "IDD_9");
        Send(1114);
        break;
    case 21:
        if (g_settings.AdapterPresent) {
            DrawToolButton(1115, "IDD_B");
            Send(1115);
        } else if (g_settings.FeederPresent) {
            DrawToolButton(1115, g_settings.FeederEnabled ? "IDD_G" : "IDD_F");
            Send(1119);
        }
        break;
    default: break;
    }
    // A menu or a dialog that the command opened has taken the button's
    // release: the button is let go here.
    if (g_setup.pressedTool != 0 && GetCapture() != g_setup.window) OnToolButtonUp();
}

void OnToolButtonUp() {
    const int zone = g_setup.pressedTool;
    g_setup.pressedTool = 0;
    if (zone == 0) return;
    switch (zone) {
    case 12: DrawToolButton(1111, "IDD_1"); break;
    case 13: DrawToolButton(1110, "IDD_2"); break;
    case 14: DrawToolButton(1112, "IDD_3"); break;
    case 21: DrawSourceButton(); break;
    default: break;
    }
    ReleaseCapture();
    ReactivateSetupWindow();
}
