// Negotiating what the command line asks for with an open source (state
// 4): transfer mechanism, file format, mode, resolution, planar colour,
// the scan area, the feeder and the capabilities set with --set.
#pragma once

#include "host/twacquire/data_source.h"
#include "host/twacquire/options.h"

#include <cstdio>

namespace twacquire {

struct Negotiated {
    Mechanism mechanism = Mechanism::Memory;
    FileFormat format = FileFormat::Tiff;
    bool whiteIsZero = false;  // ICAP_PIXELFLAVOR is TWPF_VANILLA
    bool lsbFirst = false;     // ICAP_BITORDER is TWBO_LSBFIRST
    int count = 1;             // images to take; 0: as many as the source has
};

// Returns twacquire's exit code; problems go to `err`.
int Negotiate(DataSource& source, const Options& options, Negotiated& result, FILE* err);

}  // namespace twacquire
