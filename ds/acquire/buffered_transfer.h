// The buffered transfers: memory strips (DAT_IMAGEMEMXFER) and files
// (DAT_IMAGEFILEXFER), for every mode, planar or chunky colour, with or
// without interpolation.
#pragma once

#include "common/twain.h"

#include <cstdint>

// Fills the host's buffer with the next strip and the reply's fields. Sets
// the return code: TWRC_SUCCESS (more strips follow), TWRC_XFERDONE (the
// image, or one colour plane, is complete) or TWRC_CANCEL.
void MemoryTransfer(TW_IMAGEMEMXFER& reply, uint8_t* buffer, uint32_t length);

// Writes the whole image to the file in the format (0 TIFF, 2 BMP). Sets
// TWRC_XFERDONE or TWRC_CANCEL; a cancelled transfer leaves no file.
void FileTransfer(const char* path, uint16_t formatPosition);

// A planar colour memory transfer has delivered a plane and has more to come.
bool PlanesRemain();

// Frees everything a buffered job holds; with `failed`, its files go too.
void CleanUpBufferedJob(bool failed);
