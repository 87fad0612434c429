// twacquire --caps: every capability the source answers.
#pragma once

#include "host/twacquire/options.h"

#include <cstdio>

namespace twacquire {

// Opens the source, applies the --set options, and prints one line per
// capability the source answers; returns the exit code.
int RunCaps(const Options& options, FILE* out, FILE* err);

}  // namespace twacquire
