#include "host/twacquire/dib_file.h"
#include "host/twacquire/transfers.h"

#include <windows.h>

namespace twacquire {

NativeImage NativeTransfer(DataSource& source, bool asBmp, const TW_IMAGEINFO& info) {
    NativeImage result;
    TW_HANDLE handle = nullptr;
    result.rc = source.Call(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &handle);
    HGLOBAL bitmap = static_cast<HGLOBAL>(handle);
    if (result.rc != TWRC_XFERDONE) {
        if (bitmap && result.rc == TWRC_CANCEL) GlobalFree(bitmap);
        return result;
    }
    const SIZE_T size = bitmap ? GlobalSize(bitmap) : 0;
    const uint8_t* p = size ? static_cast<const uint8_t*>(GlobalLock(bitmap)) : nullptr;
    if (!p) {
        result.error = "the native transfer handed over no bitmap";
        if (bitmap) GlobalFree(bitmap);
        return result;
    }
    const std::span<const uint8_t> dib(p, size);
    if (std::optional<DibLayout> layout = ReadDibLayout(dib, result.error)) {
        if (!(layout->xDpi > 0) || !(layout->yDpi > 0)) {
            layout->xDpi = Fix32ToDouble(info.XResolution);
            layout->yDpi = Fix32ToDouble(info.YResolution);
        }
        result.facts = {layout->width, layout->height, layout->bitsPerPixel, layout->xDpi,
                        layout->yDpi};
        if (asBmp) {
            result.bmpFile = BmpFileOfDib(dib, *layout);
        } else if ((result.raster = RasterOfDib(dib, *layout, result.error))) {
            result.raster->xDpi = layout->xDpi;
            result.raster->yDpi = layout->yDpi;
        }
    }
    GlobalUnlock(bitmap);
    GlobalFree(bitmap);
    return result;
}

}  // namespace twacquire
