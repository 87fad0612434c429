// bitview.dll: opens stored BMP pictures (Bitview) and renders them into a
// PreviewImage through the preview tone tables (ShowBitview). Files come
// from anywhere, so every header field is checked before a byte is used:
// whatever cannot be read whole and valid gives "no picture".
#include <windows.h>

#include "common/module_runtime.h"
#include "common/preview_image.h"
#include "common/preview_render.h"
#include "common/preview_render_bmp.h"
#include "common/preview_render_win.h"

#include <memory>
#include <new>

// The previous record belongs to the caller, who frees its memory before
// or after this call; it is not touched here.
extern "C" OpenedBitmap WINAPI Bitview(HWND /*owner*/, const char* path, int32_t colour,
                                       const OpenedBitmap* /*previous*/) {
    OpenedBitmap result{};
    if (!path) return result;
    size_t size = 0;
    std::unique_ptr<uint8_t[]> data = preview::ReadPictureFile(path, size);
    if (!data) return result;
    const auto layout = preview::ParseBmp(data.get(), size);
    if (!layout) return result;
    const bool asColour = colour != 0;
    const size_t bytes = preview::DecodedSize(*layout, asColour);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory) return result;
    auto* pixels = static_cast<uint8_t*>(GlobalLock(memory));
    if (!pixels) {
        GlobalFree(memory);
        return result;
    }
    preview::DecodeBmp(data.get(), *layout, asColour, pixels);
    result.size = layout->width | (layout->height << 16);
    result.bitsPerPixel = asColour ? 24 : 8;
    result.memory = memory;
    result.pixels = pixels;
    return result;
}

// The opened record says how the pixels are laid out (8-bit levels or
// 24-bit triples); that layout decides how they are read, so a mode that
// disagrees with it can never make the renderer read past the pixels.
extern "C" PreviewImage WINAPI ShowBitview(HWND owner, const RECT* zoomRect, int32_t /*mode*/,
                                           const uint8_t* pixels, const OpenedBitmap* opened,
                                           const ToneTablesRef* tones) {
    PreviewImage result{};
    if (!zoomRect || !pixels || !opened || !tones || !tones->address) return result;
    int layoutMode;
    if (opened->bitsPerPixel == 8) {
        layoutMode = preview::kModeGrey;
    } else if (opened->bitsPerPixel == 24) {
        layoutMode = preview::kModeColour;
    } else {
        return result;
    }
    return preview::RenderPreview(owner, *zoomRect, layoutMode, pixels, OpenedWidth(*opened),
                                  OpenedHeight(*opened), tones->address);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    ReleaseRuntimeAtUnload(reason, reserved);
    return TRUE;
}
