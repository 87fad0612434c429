// The preview picture of the tone dialogs: which file they open, and where
// on the dialog it is drawn.
//
// Pure computation: no Windows header.
#pragma once

#include "common/preview_image.h"

#include <cstdint>

// The last prescan, or the sample picture, in grey or in colour (file names
// in the product folder).
const char* TonePictureFile(bool colour, bool sample);

// Line count of a prescan of the whole 14 inches.
constexpr uint32_t kFullPrescanLines = 504;

// The image rectangle in the image area: the area's left, top and width;
// the area's height for the sample picture, and for a prescan of `lines`
// lines area height x lines / 504.
PreviewRect ToneImageRect(const PreviewRect& area, bool sample, uint32_t lines);

// The rectangle handed to the viewer: the image rectangle's left and top
// with twice its width and height.
PreviewRect ToneZoomRect(const PreviewRect& image);
