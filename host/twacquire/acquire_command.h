// twacquire -o OUTPUT: a whole acquisition, from opening the source to the
// last image saved.
#pragma once

#include "host/twacquire/options.h"

#include <cstdio>

namespace twacquire {

// Summaries go to `out`, progress and problems to `err`; returns the exit
// code.
int RunAcquire(const Options& options, FILE* out, FILE* err);

}  // namespace twacquire
