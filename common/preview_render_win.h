// Renders a picture into a PreviewImage: two memory device contexts
// compatible with the owner's screen, one with a bitmap of the full
// rectangle and one of half its size, the picture stretched into both.
#pragma once

#include <windows.h>

#include <memory>

#include "common/preview_image.h"

#include <cstdint>

namespace preview {

// mode: 2 grey (8-bit levels), 3 colour (blue, green, red triples); rows
// bottom-up, padded to 4 bytes. toneTables: 1024 bytes, blue, green, red,
// grey. Returns the all-zero record when anything fails (nothing is left
// allocated then).
PreviewImage RenderPreview(HWND owner, const RECT& zoomRect, int mode, const uint8_t* pixels,
                           uint16_t width, uint16_t height, const uint8_t* toneTables);

// A whole picture file in memory (files beyond 128 MB are not pictures of
// ours); empty, `size` 0, when it cannot be read whole.
std::unique_ptr<uint8_t[]> ReadPictureFile(const char* path, size_t& size);

// Frees everything a PreviewImage holds and zeroes it.
void FreePreview(PreviewImage& image);

}  // namespace preview
