// dotgrid.dll: the halftone cell editor the setup window's "User Defined"
// cell opens. The user clicks the 64 places of an 8 x 8 cell in the order
// in which they turn black, or starts from one of the scanner's built-in
// cells, and sees the patterns the cell makes at three grey levels. OK
// returns the cell as GrainCode with GrainBuiltIn 1; Cancel returns the
// block as received.
#include "common/module_runtime.h"
#include <windows.h>

#include "common/module_names.h"
#include "common/tone_blocks.h"
#include "outside/dotgrid/cell_editor.h"
#include "outside/scanner/halftone.h"

#include <windowsx.h>

#include <algorithm>
#include <string>

namespace {

constexpr int kGrid = 300, kClear = 301, kCells = 302, kUse = 303, kPatterns = 304;
constexpr int kPatternGreys[3] = {192, 128, 64};

HINSTANCE g_module = nullptr;

struct Editor {
    HalftoneBlock block{};
    int language = 0;
    CellOrder order = EmptyOrder();
};
Editor g;

RECT ItemRect(HWND dialog, int id) {
    RECT r{};
    GetWindowRect(GetDlgItem(dialog, id), &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

RECT PlaceRect(const RECT& grid, int place) {
    const int w = (grid.right - grid.left) / 8, h = (grid.bottom - grid.top) / 8;
    const int x = grid.left + (place % 8) * w, y = grid.top + (place / 8) * h;
    return {x, y, x + w, y + h};
}

void PaintGrid(HDC dc, const RECT& grid) {
    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    for (int p = 0; p < kCellPlaces; ++p) {
        RECT r = PlaceRect(grid, p);
        const bool given = g.order.black[p] >= 0;
        FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(given ? LTGRAY_BRUSH : WHITE_BRUSH)));
        FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
        if (given) {
            const std::string n = std::to_string(g.order.black[p] + 1);
            DrawTextA(dc, n.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        }
    }
}

// Three swatches, each the cell twice over in both directions.
void PaintPatterns(HDC dc, const RECT& area) {
    const int w = (area.right - area.left) / 3;
    const int dot = std::max<int>(1, std::min<int>(w - 4, area.bottom - area.top) / 16);
    for (int s = 0; s < 3; ++s) {
        const int left = area.left + s * w + 2, top = area.top;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const bool black = IsBlackAt(g.order, (y % 8) * 8 + x % 8, kPatternGreys[s]);
                RECT r{left + x * dot, top + y * dot, left + (x + 1) * dot, top + (y + 1) * dot};
                FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(black ? BLACK_BRUSH : WHITE_BRUSH)));
            }
    }
}

void OnPaint(HWND dialog) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(dialog, &ps);
    PaintGrid(dc, ItemRect(dialog, kGrid));
    PaintPatterns(dc, ItemRect(dialog, kPatterns));
    EndPaint(dialog, &ps);
}

void Repaint(HWND dialog) {
    for (int id : {kGrid, kPatterns}) {
        RECT r = ItemRect(dialog, id);
        InvalidateRect(dialog, &r, TRUE);
    }
}

BOOL OnInitDialog(HWND dialog) {
    HWND list = GetDlgItem(dialog, kCells);
    for (int n = 1; n <= scanner::kBuiltInCellCount; ++n) {
        char name[64] = {};
        LoadStringA(g_module, static_cast<UINT>(n + 20 * g.language), name, sizeof name);
        SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
    SendMessageA(list, CB_SETCURSEL, std::min<int>(g.block.params.Grain, scanner::kBuiltInCellCount - 1), 0);
    for (int id : {kGrid, kPatterns}) ShowWindow(GetDlgItem(dialog, id), SW_HIDE);
    RECT r{};
    GetWindowRect(dialog, &r);
    SetWindowPos(dialog, nullptr, (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    return TRUE;
}

void OnLButtonDown(HWND dialog, LPARAM lParam) {
    const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const RECT grid = ItemRect(dialog, kGrid);
    for (int p = 0; p < kCellPlaces; ++p) {
        const RECT r = PlaceRect(grid, p);
        if (PtInRect(&r, at)) {
            GiveNextOrder(g.order, p);
            Repaint(dialog);
            return;
        }
    }
}

// The built-in cell chosen in the list, repeated over the 8 x 8 places.
void UseBuiltIn(HWND dialog) {
    const int index = static_cast<int>(SendDlgItemMessageA(dialog, kCells, CB_GETCURSEL, 0, 0));
    const scanner::HalftoneCell cell = scanner::BuiltInCell(index);
    std::array<uint8_t, kCellPlaces> thresholds{};
    for (int p = 0; p < kCellPlaces; ++p) thresholds[p] = cell.at(p % 8, p / 8);
    g.order = OrderOfThresholds(thresholds);
    Repaint(dialog);
}

void Ok(HWND dialog) {
    const std::array<uint8_t, kCellPlaces> code = CodeOfOrder(g.order);
    std::copy(code.begin(), code.end(), g.block.params.GrainCode);
    g.block.params.GrainBuiltIn = 1;
    EndDialog(dialog, IDOK);
}

BOOL OnCommand(HWND dialog, int id) {
    switch (id) {
    case kClear: g.order = EmptyOrder(); Repaint(dialog); break;
    case kUse: UseBuiltIn(dialog); break;
    case IDOK: Ok(dialog); break;
    case IDCANCEL: EndDialog(dialog, IDCANCEL); break;
    default: break;
    }
    return TRUE;
}

INT_PTR CALLBACK EditorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog);
    case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam));
    case WM_PAINT: OnPaint(dialog); return TRUE;
    case WM_LBUTTONDOWN: OnLButtonDown(dialog, lParam); return TRUE;
    case WM_CLOSE: EndDialog(dialog, IDCANCEL); return TRUE;
    default: return FALSE;
    }
}

// The cell the block holds: a GrainCode that was never set (all alike)
// starts empty.
CellOrder OrderOfBlock(const ScanParameterBlock& params) {
    std::array<uint8_t, kCellPlaces> code{};
    std::copy(params.GrainCode, params.GrainCode + kCellPlaces, code.begin());
    if (std::all_of(code.begin(), code.end(), [&](uint8_t v) { return v == code[0]; })) return EmptyOrder();
    return OrderOfCode(code);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) g_module = instance;
    ReleaseRuntimeAtUnload(reason, reserved);
    return TRUE;
}

extern "C" HalftoneBlock WINAPI HTDiag(HWND owner, HalftoneBlock block, uint16_t language) {
    g = Editor{};
    g.block = block;
    g.language = language < 6 ? language : 0;
    g.order = OrderOfBlock(block.params);
    const INT_PTR chosen =
        DialogBoxParamA(g_module, LanguageTemplate("HTDIAG", g.language).c_str(), owner, EditorProc, 0);
    HalftoneBlock result = chosen == IDOK ? g.block : block;
    result.preview = PreviewImage{};
    return result;
}
