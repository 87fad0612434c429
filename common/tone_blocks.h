// The records the setup window exchanges with the tone dialogs. Every
// handle or address field is pointer-sized (see preview_image.h): the 32-bit
// build has the classic layout, the 64-bit build widens those fields.
//
// Pure declarations: no Windows header.
#pragma once

#include "common/driver_request.h"
#include "common/preview_image.h"

#include <cstddef>
#include <cstdint>

// One channel's brightness and contrast, each -12 to +12.
struct ToneAdjustPair {
    int32_t brightness;
    int32_t contrast;
};

// toneset.dll: passed in and returned by value.
struct ToneAdjustBlock {
    ToneAdjustPair pairs[4];  // red, green, blue, grey
    PreviewImage preview;     // out: the rendering on display at the end, or all zero
    PreviewRect rect;         // in: the caller's image rectangle; out: the dialog's
    ToneTablesRef tables;     // the caller's tone tables
};

// Channel index of the pairs.
constexpr int kToneRed = 0;
constexpr int kToneGreen = 1;
constexpr int kToneBlue = 2;
constexpr int kToneGrey = 3;

// TonesetDiag(owner, prescanMode, block, language).
using TonesetDiagProc = ToneAdjustBlock(PAVO_PREVIEW_CALL*)(void* owner, uint16_t prescanMode,
                                                            ToneAdjustBlock block,
                                                            uint16_t language);

static_assert(sizeof(ToneAdjustPair) == 8);
static_assert(offsetof(ToneAdjustBlock, preview) == 32);
static_assert(offsetof(ToneAdjustBlock, rect) == 32 + 6 * kPreviewPointerSize);
static_assert(offsetof(ToneAdjustBlock, tables) == 48 + 6 * kPreviewPointerSize);
static_assert(sizeof(ToneAdjustBlock) == 48 + 8 * kPreviewPointerSize);
#if !defined(_WIN64) && defined(_WIN32)
static_assert(sizeof(ToneAdjustBlock) == 80);
static_assert(offsetof(ToneAdjustBlock, rect) == 56);
static_assert(offsetof(ToneAdjustBlock, tables) == 72);
#endif
#if defined(_WIN64)
static_assert(sizeof(ToneAdjustBlock) == 112);
#endif

// gamma.dll: passed in and returned by value.
struct GammaBlock {
    ScanParameterBlock params;  // the caller's; the module writes Gamma and GammaSize
    PreviewImage preview;       // out: the rendering on display at the end, or all zero
    PreviewRect rect;           // in: the caller's image rectangle; out: the dialog's
    uint16_t channel;           // out: the channel button on display at OK (2007..2011)
    uint16_t reserved;          // the rest of the channel's 32-bit slot
    ToneTablesRef tables;       // the caller's tone tables
};

// GammaDiag(owner, prescanMode, block, language).
using GammaDiagProc = GammaBlock(PAVO_PREVIEW_CALL*)(void* owner, uint16_t prescanMode,
                                                     GammaBlock block, uint16_t language);

#if !defined(_WIN64) && defined(_WIN32)
static_assert(sizeof(GammaBlock) == 456);
static_assert(offsetof(GammaBlock, preview) == 404);
static_assert(offsetof(GammaBlock, rect) == 428);
static_assert(offsetof(GammaBlock, channel) == 444);
static_assert(offsetof(GammaBlock, tables) == 448);
#endif
#if defined(_WIN64)
// The pointers move the preview to the next 8-byte boundary.
static_assert(offsetof(GammaBlock, preview) == 408);
static_assert(offsetof(GammaBlock, rect) == 456);
static_assert(offsetof(GammaBlock, channel) == 472);
static_assert(offsetof(GammaBlock, tables) == 480);
static_assert(sizeof(GammaBlock) == 496);
#endif

// One channel's levels: 0 <= shadow < midtone < highlight <= 255, ratio in
// percent (0..100).
struct LevelGroup {
    int32_t shadow;
    int32_t midtone;
    int32_t highlight;
    uint16_t ratio;
    uint16_t unused;
};

// level.dll: passed in by address; the module answers with the address of
// its own block, which the caller copies before the module is unloaded.
struct LevelBlock {
    PreviewImage preview;   // out: the rendering on display at the end, or all zero
    PreviewRect rect;       // in: the caller's image rectangle; out: the dialog's
    LevelGroup groups[4];   // red, green, blue, grey
    uint16_t channel;       // out: the channel on display at OK (7014..7018)
    uint16_t reserved;      // the rest of the channel's 32-bit slot
    ToneTablesRef tables;   // the caller's tone tables
};

// LevelDiag(owner, prescanMode, block, language).
using LevelDiagProc = LevelBlock*(PAVO_PREVIEW_CALL*)(void* owner, uint16_t prescanMode,
                                                      const LevelBlock* block, uint16_t language);

static_assert(sizeof(LevelGroup) == 16);
static_assert(offsetof(LevelBlock, groups) == 16 + 6 * kPreviewPointerSize);
#if !defined(_WIN64) && defined(_WIN32)
static_assert(sizeof(LevelBlock) == 116);
static_assert(offsetof(LevelBlock, rect) == 24);
static_assert(offsetof(LevelBlock, groups) == 40);
static_assert(offsetof(LevelBlock, channel) == 104);
static_assert(offsetof(LevelBlock, tables) == 108);
#endif
#if defined(_WIN64)
static_assert(offsetof(LevelBlock, channel) == 128);
static_assert(offsetof(LevelBlock, tables) == 136);
static_assert(sizeof(LevelBlock) == 152);
#endif

// dotgrid.dll (the halftone cell editor): passed in and returned by value.
struct HalftoneBlock {
    ScanParameterBlock params;  // the module edits GrainBuiltIn, Grain and GrainCode
    PreviewImage preview;       // out: a new picture, or all zero
    PreviewRect rect;
};

// HTDiag(owner, block, language).
using HTDiagProc = HalftoneBlock(PAVO_PREVIEW_CALL*)(void* owner, HalftoneBlock block, uint16_t language);

#if !defined(_WIN64) && defined(_WIN32)
static_assert(sizeof(HalftoneBlock) == 444);
static_assert(offsetof(HalftoneBlock, preview) == 404);
static_assert(offsetof(HalftoneBlock, rect) == 428);
#endif
#if defined(_WIN64)
static_assert(offsetof(HalftoneBlock, preview) == 408);
static_assert(sizeof(HalftoneBlock) == 472);
#endif
