#include "common/tone_dialog_win.h"

#include "common/module_names.h"
#include "common/preview_render_win.h"
#include "common/product.h"
#include "common/tone_picture.h"

namespace tone {

std::string ProductPath(const char* file) {
    char windows[MAX_PATH + 1] = {};
    UINT n = GetWindowsDirectoryA(windows, sizeof windows);
    if (n == 0 || n >= sizeof windows) return file;
    std::string path(windows, n);
    if (!path.empty() && path.back() == '\\') path.pop_back();
    return path + kProductFolder + file;
}

bool LoadViewer(Viewer& viewer) {
    viewer = Viewer{};
    HMODULE module = LoadLibraryA(ProductPath("bitview.dll").c_str());
    if (!module) return false;
    auto open = reinterpret_cast<BitviewProc>(
        reinterpret_cast<void*>(GetProcAddress(module, "Bitview")));
    auto show = reinterpret_cast<ShowBitviewProc>(
        reinterpret_cast<void*>(GetProcAddress(module, "ShowBitview")));
    if (!open || !show) {
        FreeLibrary(module);
        return false;
    }
    viewer = {module, open, show};
    return true;
}

void UnloadViewer(Viewer& viewer) {
    if (viewer.module) FreeLibrary(viewer.module);
    viewer = Viewer{};
}

void FreePicture(Picture& picture) {
    if (picture.opened.memory) {
        GlobalUnlock(static_cast<HGLOBAL>(picture.opened.memory));
        GlobalFree(static_cast<HGLOBAL>(picture.opened.memory));
    }
    picture.opened = OpenedBitmap{};
}

bool HasPicture(const Picture& picture) { return picture.opened.pixels != nullptr; }

bool OpenPicture(const Viewer& viewer, HWND owner, Picture& picture, bool colour, bool sample) {
    if (!viewer.open) return false;
    const std::string path = ProductPath(TonePictureFile(colour, sample));
    OpenedBitmap opened = viewer.open(owner, path.c_str(), colour ? 1 : 0, &picture.opened);
    if (!opened.pixels) {
        if (opened.memory) GlobalFree(static_cast<HGLOBAL>(opened.memory));
        return false;
    }
    FreePicture(picture);
    picture.opened = opened;
    picture.colour = colour;
    picture.sample = sample;
    return true;
}

bool ReopenPicture(const Viewer& viewer, HWND owner, Picture& picture, bool colour) {
    return OpenPicture(viewer, owner, picture, colour, picture.sample) ||
           OpenPicture(viewer, owner, picture, colour, !picture.sample);
}

INT_PTR GreyBackground(WPARAM dc, HBRUSH brush) {
    SetBkColor(reinterpret_cast<HDC>(dc), RGB(192, 192, 192));
    return reinterpret_cast<INT_PTR>(brush);
}

PreviewRect ControlArea(HWND dialog, int id) {
    RECT r{};
    HWND control = GetDlgItem(dialog, id);
    GetClientRect(control, &r);
    MapWindowPoints(control, dialog, reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right, r.bottom};
}

RECT ToRect(const PreviewRect& r) { return {r.left, r.top, r.right, r.bottom}; }

bool Render(const Viewer& viewer, HWND owner, const Picture& picture, const void* pixels,
            const PreviewRect& imageRect, const ToneTablesRef& tables, PreviewImage& image) {
    preview::FreePreview(image);
    if (!viewer.show || !HasPicture(picture)) return false;
    const PreviewRect zoom = ToneZoomRect(imageRect);
    image = viewer.show(owner, &zoom, picture.colour ? 3 : 2, pixels, &picture.opened, &tables);
    return image.viewDC != nullptr;
}

void PaintRendering(HDC dc, const PreviewImage& image, const PreviewRect& r) {
    if (!image.viewDC) return;
    HPALETTE palette = nullptr, old = nullptr;
    if (image.paletteEntries) {
        auto* entries = static_cast<const PreviewPalette*>(image.paletteEntries);
        palette = CreatePalette(reinterpret_cast<const LOGPALETTE*>(entries));
        if (palette) {
            AnimatePalette(palette, 0, 256, reinterpret_cast<const PALETTEENTRY*>(entries->entries));
            old = SelectPalette(dc, palette, FALSE);
            RealizePalette(dc);
        }
    }
    BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, static_cast<HDC>(image.viewDC),
           0, 0, SRCCOPY);
    if (palette) {
        SelectPalette(dc, old, FALSE);
        DeleteObject(palette);
    }
}

void DrawEtchedFrame(HDC dc, HWND dialog, int id) {
    RECT r{};
    GetWindowRect(GetDlgItem(dialog, id), &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    InflateRect(&r, 1, 1);
    HPEN grey = CreatePen(PS_SOLID, 1, RGB(128, 128, 128));
    HPEN white = CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
    HGDIOBJ oldPen = SelectObject(dc, grey);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, r.left, r.top, r.right - 1, r.bottom - 1);
    SelectObject(dc, white);
    Rectangle(dc, r.left + 1, r.top + 1, r.right, r.bottom);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(grey);
    DeleteObject(white);
}

bool DeepScreen() {
    HDC screen = GetDC(nullptr);
    const int depth = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
    ReleaseDC(nullptr, screen);
    return depth > 8;
}

void CentreOnScreen(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    SetWindowPos(window, nullptr, (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
}

void ShowStop(HWND owner, const std::string& text, const std::string& title) {
    char brand[256] = {};
    GetProfileStringA("ZEBINFO", "BRAND", "Tavlen", brand, sizeof brand);
    const std::string caption = std::string(brand) + " " + title;
    MessageBoxA(owner, text.c_str(), caption.c_str(), MB_OK | MB_ICONSTOP);
}

std::string ModuleString(HINSTANCE module, int id) {
    char text[256] = {};
    const int n = LoadStringA(module, static_cast<UINT>(id), text, sizeof text);
    return std::string(text, n > 0 ? n : 0);
}

void ShowHelp(HWND owner, int languageIndex, int context) {
    WinHelpA(owner, ProductPath(HelpFileName(languageIndex)).c_str(), HELP_CONTEXT,
             static_cast<ULONG_PTR>(context));
}

}  // namespace tone
