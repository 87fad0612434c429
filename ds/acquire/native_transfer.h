// The native transfer: the whole image as one packed device-independent
// bitmap in a movable global memory block.
#pragma once

#include <windows.h>

// Runs every pass of the job into a new bitmap block and returns its handle,
// unlocked, for the host to own. Sets the return code to TWRC_CANCEL after
// ESC or a failure; the partly filled block of a failed transfer is freed
// and no handle is returned.
HGLOBAL NativeTransfer();
