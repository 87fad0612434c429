// Exit codes of twacquire.
#pragma once

inline constexpr int kExitOk = 0;
inline constexpr int kExitUsage = 1;          // the command line is wrong
inline constexpr int kExitNoManager = 2;      // the source manager cannot be used
inline constexpr int kExitNoSource = 3;       // no source is installed, or none of that name
inline constexpr int kExitSourceFailed = 4;   // the source cannot be opened or enabled
inline constexpr int kExitRefused = 5;        // a capability or setting was refused
inline constexpr int kExitCancelled = 6;      // the user cancelled
inline constexpr int kExitDevice = 7;         // the scan or transfer failed
inline constexpr int kExitOutput = 8;         // the output cannot be written
