// Exit codes of twacquire.
#pragma once

inline constexpr int kExitOk = 0;
inline constexpr int kExitUsage = 1;          // the command line is wrong
inline constexpr int kExitNoManager = 2;      // the source manager cannot be used
inline constexpr int kExitNoSource = 3;       // no source is installed
