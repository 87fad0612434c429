// Waiting for the source: twacquire's message loop hands every message to
// the source (MSG_PROCESSEVENT) until the source reports a transfer ready
// or asks to be closed.
#pragma once

#include "host/twacquire/data_source.h"

namespace twacquire {

// MSG_XFERREADY, MSG_CLOSEDSREQ or MSG_CLOSEDSOK, whichever the source
// reports first (MSG_CLOSEDSREQ too if the loop is told to quit).
TW_UINT16 WaitForSource(DataSource& source);

}  // namespace twacquire
