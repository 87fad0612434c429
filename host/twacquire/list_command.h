// twacquire --list: the identity of every installed source.
#pragma once

#include <cstdio>

namespace twacquire {

// Prints one block per source to `out`, problems to `err`; returns the exit code.
int RunList(FILE* out, FILE* err);

}  // namespace twacquire
