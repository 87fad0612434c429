// Records exchanged between pavo.ds, the prescan module, the tone dialogs and
// the bitmap viewer about the preview picture. Every handle or address field
// is pointer-sized: the 32-bit build has the classic 32-bit layout, the
// 64-bit build widens those fields to 8 bytes.
//
// Pure declarations: no Windows header. Handles are carried as void*; the
// Windows side casts them to HBITMAP, HDC, HGLOBAL, HWND.
#pragma once

#include <cstddef>
#include <cstdint>

// The preview picture: a bitmap at the on-screen size and one at twice that
// size, each selected into a memory device context, plus the palette when
// one is used. All six fields zero: no new picture.
struct PreviewImage {
    void* viewBitmap;      // HBITMAP, half the width and height of the rectangle
    void* viewDC;          // HDC holding viewBitmap
    void* zoomBitmap;      // HBITMAP, the full size of the rectangle
    void* zoomDC;          // HDC holding zoomBitmap
    void* paletteBlock;    // HGLOBAL: a logical-palette record, or null
    void* paletteEntries;  // the locked address of paletteBlock, or null
};

// Progress of a prescan: owned by the caller, updated by the prescan module.
struct PrescanProgress {
    void* owner;         // HWND of the window that shows the progress
    uint16_t linesDone;  // set to 0 before scanning, grows as lines arrive
};

// The caller's progress routine: record address and total lines.
#if defined(_WIN32) && !defined(_WIN64)
using PrescanProgressProc = int32_t(__stdcall*)(PrescanProgress* progress, int32_t total);
#else
using PrescanProgressProc = int32_t (*)(PrescanProgress* progress, int32_t total);
#endif

// A BMP picture opened by the bitmap viewer. The caller owns the memory
// handle (unlock and free it when done).
struct OpenedBitmap {
    uint32_t size;          // width in the low 16 bits, height in the high 16
    uint32_t bitsPerPixel;  // of the pixels at `pixels`: 8 (grey levels) or 24 (blue, green, red)
    void* memory;           // HGLOBAL holding the pixels, locked
    void* pixels;           // address of the pixels; null: no picture
};

inline uint16_t OpenedWidth(const OpenedBitmap& b) { return static_cast<uint16_t>(b.size & 0xFFFFu); }
inline uint16_t OpenedHeight(const OpenedBitmap& b) { return static_cast<uint16_t>(b.size >> 16); }

// The tone tables as lent to a module: memory handle and locked address.
// The first 1024 bytes are the preview tables, blue, green, red, grey.
struct ToneTablesRef {
    void* handle;      // HGLOBAL
    uint8_t* address;  // locked address
};

// Entries of the modules that make previews, as their callers bind them.
#if defined(_WIN32) && !defined(_WIN64)
#define PAVO_PREVIEW_CALL __stdcall
#else
#define PAVO_PREVIEW_CALL
#endif
struct PreviewRect {  // the four 32-bit edges of a Windows RECT
    int32_t left, top, right, bottom;
};
// prescan.dll: PreScan_Image(owner, imageRect, bedRect, prescanMode, film,
// source, progress, progressProc, language).
using PreScanImageProc = PreviewImage(PAVO_PREVIEW_CALL*)(void* owner, const PreviewRect* imageRect,
                                                          const PreviewRect* bedRect, uint16_t prescanMode,
                                                          uint32_t film, uint16_t source,
                                                          PrescanProgress* progress,
                                                          PrescanProgressProc progressProc, uint16_t language);
// bitview.dll: Bitview(owner, path, colour, previous) opens a BMP file.
using BitviewProc = OpenedBitmap(PAVO_PREVIEW_CALL*)(void* owner, const char* path, int32_t colour,
                                                     const OpenedBitmap* previous);
// bitview.dll: ShowBitview(owner, zoomRect, mode, pixels, opened, tones).
using ShowBitviewProc = PreviewImage(PAVO_PREVIEW_CALL*)(void* owner, const PreviewRect* zoomRect, int32_t mode,
                                                         const void* pixels, const OpenedBitmap* opened,
                                                         const ToneTablesRef* tones);

// A logical-palette record as kept in PreviewImage::paletteBlock.
struct PreviewPaletteEntry {
    uint8_t red, green, blue, flags;
};
struct PreviewPalette {
    uint16_t version;  // 0x300
    uint16_t count;
    PreviewPaletteEntry entries[256];
};
constexpr uint16_t kPreviewPaletteVersion = 0x300;

constexpr size_t kPreviewPointerSize = sizeof(void*);

static_assert(sizeof(PreviewImage) == 6 * kPreviewPointerSize);
static_assert(offsetof(PreviewImage, viewDC) == 1 * kPreviewPointerSize);
static_assert(offsetof(PreviewImage, zoomBitmap) == 2 * kPreviewPointerSize);
static_assert(offsetof(PreviewImage, zoomDC) == 3 * kPreviewPointerSize);
static_assert(offsetof(PreviewImage, paletteBlock) == 4 * kPreviewPointerSize);
static_assert(offsetof(PreviewImage, paletteEntries) == 5 * kPreviewPointerSize);

static_assert(offsetof(PrescanProgress, linesDone) == kPreviewPointerSize);

static_assert(offsetof(OpenedBitmap, bitsPerPixel) == 4);
static_assert(offsetof(OpenedBitmap, memory) == 8);
static_assert(offsetof(OpenedBitmap, pixels) == 8 + kPreviewPointerSize);
static_assert(sizeof(OpenedBitmap) == 8 + 2 * kPreviewPointerSize);

static_assert(offsetof(ToneTablesRef, address) == kPreviewPointerSize);
static_assert(sizeof(ToneTablesRef) == 2 * kPreviewPointerSize);

static_assert(sizeof(PreviewRect) == 16);
static_assert(offsetof(PreviewPalette, count) == 2);
static_assert(offsetof(PreviewPalette, entries) == 4);
static_assert(sizeof(PreviewPalette) == 4 + 256 * 4);

#if !defined(_WIN64) && defined(_WIN32)
// The 32-bit build: the classic sizes and offsets.
static_assert(sizeof(PreviewImage) == 24);
static_assert(sizeof(OpenedBitmap) == 16);
static_assert(offsetof(OpenedBitmap, pixels) == 12);
static_assert(offsetof(PrescanProgress, linesDone) == 4);
static_assert(sizeof(ToneTablesRef) == 8);
#endif
#if defined(_WIN64)
static_assert(sizeof(PreviewImage) == 48);
static_assert(sizeof(OpenedBitmap) == 24);
static_assert(offsetof(PrescanProgress, linesDone) == 8);
#endif
