// Capability negotiation of pavo.ds: the DAT_CAPABILITY handler and the
// host-name rules that the scan start needs as well.
#pragma once

#include "common/twain.h"

// Answers the DAT_CAPABILITY request stored in g_session (message and data,
// a TW_CAPABILITY), with the handler variant of the connected host, and
// sets the outcome in g_session. Containers answered to the host are new
// movable global memory blocks that the host frees.
void CapabilityOperation();

// Whether the connected host is one with rules of its own: Microsoft
// Publisher (its own handler), Recognita Plus (may not set a resolution),
// and the two WinFax programs (scan the 300-dpi position at 200 dpi).
bool HostIsPublisher();
bool HostIsRecognita();
bool HostIsFaxProgram();

// The output resolution the negotiated resolution position stands for, with
// the fax hosts' 200-dpi rule applied.
TW_UINT16 NegotiatedResolution();
