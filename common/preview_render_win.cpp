#include "common/preview_render_win.h"

#include "common/preview_render.h"

#include <cstring>
#include <memory>
#include <new>

namespace preview {

namespace {

struct DibDescription {
    BITMAPINFOHEADER header;
    union {
        RGBQUAD rgb[256];
        WORD index[256];
    } colours;
};

// One memory device context with a bitmap compatible with the screen, the
// picture stretched into it. False when GDI refuses anything; whatever was
// made is deleted again then.
bool MakeStretched(HDC screen, int w, int h, HPALETTE palette, const void* bits,
                   const BITMAPINFO* info, UINT usage, HDC& dcOut, HBITMAP& bitmapOut) {
    HDC dc = CreateCompatibleDC(screen);
    if (!dc) return false;
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    if (!bitmap) {
        DeleteDC(dc);
        return false;
    }
    SelectObject(dc, bitmap);
    if (palette) {
        SelectPalette(dc, palette, FALSE);
        RealizePalette(dc);
    }
    SetStretchBltMode(dc, COLORONCOLOR);
    int lines = StretchDIBits(dc, 0, 0, w, h, 0, 0, info->bmiHeader.biWidth, info->bmiHeader.biHeight,
                              bits, info, usage, SRCCOPY);
    // The palette object goes away when rendering ends; the context keeps
    // the stock palette so that nothing refers to it.
    if (palette) SelectPalette(dc, static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), FALSE);
    if (lines == 0 || lines == static_cast<int>(GDI_ERROR)) {
        DeleteDC(dc);
        DeleteObject(bitmap);
        return false;
    }
    dcOut = dc;
    bitmapOut = bitmap;
    return true;
}

}  // namespace

void FreePreview(PreviewImage& image) {
    if (image.viewDC) DeleteDC(static_cast<HDC>(image.viewDC));
    if (image.zoomDC) DeleteDC(static_cast<HDC>(image.zoomDC));
    if (image.viewBitmap) DeleteObject(static_cast<HBITMAP>(image.viewBitmap));
    if (image.zoomBitmap) DeleteObject(static_cast<HBITMAP>(image.zoomBitmap));
    if (image.paletteBlock) {
        if (image.paletteEntries) GlobalUnlock(static_cast<HGLOBAL>(image.paletteBlock));
        GlobalFree(static_cast<HGLOBAL>(image.paletteBlock));
    }
    image = PreviewImage{};
}

PreviewImage RenderPreview(HWND owner, const RECT& zoomRect, int mode, const uint8_t* pixels,
                           uint16_t width, uint16_t height, const uint8_t* toneTables) {
    PreviewImage result{};
    const int fullW = zoomRect.right - zoomRect.left;
    const int fullH = zoomRect.bottom - zoomRect.top;
    if (!pixels || !toneTables || width == 0 || height == 0 || fullW <= 0 || fullH <= 0) return result;
    if (mode != kModeGrey && mode != kModeColour) return result;

    HCURSOR previousCursor = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    HDC screen = GetDC(owner);
    if (!screen) {
        SetCursor(previousCursor);
        return result;
    }
    const int depth = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
    const bool paletteScreen = depth <= 8;
    const bool colour = mode == kModeColour;
    const bool withPalette = !colour || paletteScreen;

    std::unique_ptr<DibDescription> description(new (std::nothrow) DibDescription);
    if (!description) {
        ReleaseDC(owner, screen);
        SetCursor(previousCursor);
        return result;
    }
    std::memset(description.get(), 0, sizeof(DibDescription));
    BITMAPINFOHEADER& h = description->header;
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = width;
    h.biHeight = height;  // bottom-up
    h.biPlanes = 1;
    h.biBitCount = withPalette ? 8 : 24;
    h.biCompression = BI_RGB;
    h.biClrUsed = withPalette ? 256 : 0;

    bool ok = true;
    HGLOBAL paletteBlock = nullptr;
    PreviewPalette* palette = nullptr;
    HPALETTE paletteObject = nullptr;
    std::unique_ptr<uint8_t[]> converted;
    const uint8_t* bits = pixels;
    UINT usage = DIB_RGB_COLORS;

    if (withPalette) {
        paletteBlock = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(PreviewPalette));
        palette = paletteBlock ? static_cast<PreviewPalette*>(GlobalLock(paletteBlock)) : nullptr;
        ok = palette != nullptr;
    }
    if (ok && !colour) {
        FillGreyPalette(toneTables, *palette);
    } else if (ok && colour && paletteScreen) {
        FillCubePalette(toneTables, *palette);
        converted.reset(new (std::nothrow) uint8_t[static_cast<size_t>(PaddedRow(width)) * height]);
        ok = converted != nullptr;
        if (ok) {
            DitherPicture(pixels, PaddedRow(3u * width), width, height, converted.get());
            bits = converted.get();
        }
    } else if (ok) {
        const uint32_t stride = PaddedRow(3u * width);
        converted.reset(new (std::nothrow) uint8_t[static_cast<size_t>(stride) * height]);
        ok = converted != nullptr;
        if (ok) {
            MapColourPicture(pixels, stride, width, height, toneTables, converted.get());
            bits = converted.get();
        }
    }

    if (ok && withPalette) {
        paletteObject = CreatePalette(reinterpret_cast<LOGPALETTE*>(palette));
        ok = paletteObject != nullptr;
        if (ok) {
            AnimatePalette(paletteObject, 0, palette->count, reinterpret_cast<PALETTEENTRY*>(palette->entries));
            if (paletteScreen) {
                // Palette screens: the description names palette indices.
                for (WORD i = 0; i < 256; ++i) description->colours.index[i] = i;
                usage = DIB_PAL_COLORS;
            } else {
                for (int i = 0; i < 256; ++i) {
                    const PreviewPaletteEntry& e = palette->entries[i];
                    description->colours.rgb[i] = RGBQUAD{e.blue, e.green, e.red, 0};
                }
            }
        }
    }

    HDC zoomDC = nullptr, viewDC = nullptr;
    HBITMAP zoomBitmap = nullptr, viewBitmap = nullptr;
    const BITMAPINFO* info = reinterpret_cast<const BITMAPINFO*>(description.get());
    if (ok) ok = MakeStretched(screen, fullW, fullH, paletteObject, bits, info, usage, zoomDC, zoomBitmap);
    if (ok) {
        ok = MakeStretched(screen, HalfSize(fullW), HalfSize(fullH), paletteObject, bits, info, usage, viewDC,
                           viewBitmap);
        if (!ok) {
            DeleteDC(zoomDC);
            DeleteObject(zoomBitmap);
        }
    }

    converted.reset();
    ReleaseDC(owner, screen);
    if (paletteObject) DeleteObject(paletteObject);
    SetCursor(previousCursor);

    if (!ok) {
        if (paletteBlock) {
            if (palette) GlobalUnlock(paletteBlock);
            GlobalFree(paletteBlock);
        }
        return result;
    }
    result.viewBitmap = viewBitmap;
    result.viewDC = viewDC;
    result.zoomBitmap = zoomBitmap;
    result.zoomDC = zoomDC;
    result.paletteBlock = paletteBlock;
    result.paletteEntries = palette;
    return result;
}

// Files larger than this are not read: the largest picture accepted
// (kMaxDecodedBytes of 24-bit pixels) with any header fits well within it.
constexpr uint64_t kMaxFileBytes = 128u * 1024u * 1024u;

// The whole file in memory; empty when it cannot be read.
std::unique_ptr<uint8_t[]> ReadPictureFile(const char* path, size_t& size) {
    size = 0;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    std::unique_ptr<uint8_t[]> data;
    LARGE_INTEGER length;
    if (GetFileSizeEx(file, &length) && length.QuadPart > 0 &&
        static_cast<uint64_t>(length.QuadPart) <= kMaxFileBytes) {
        const size_t want = static_cast<size_t>(length.QuadPart);
        data.reset(new (std::nothrow) uint8_t[want]);
        size_t got = 0;
        while (data && got < want) {
            DWORD n = 0;
            DWORD chunk = want - got > 0x100000 ? 0x100000 : static_cast<DWORD>(want - got);
            if (!::ReadFile(file, data.get() + got, chunk, &n, nullptr) || n == 0) break;
            got += n;
        }
        if (got == want) {
            size = want;
        } else {
            data.reset();
        }
    }
    CloseHandle(file);
    return data;
}

}  // namespace preview
