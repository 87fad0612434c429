// Where the product lives and which source manager it talks to. One place
// for the names that differ between the 32-bit and the 64-bit build.
#pragma once

#if defined(_WIN64)
// Product folder under the Windows directory, with both separators.
inline constexpr char kProductFolder[] = "\\TWAIN_64\\PAVO\\";
// Folder under the Windows directory that source managers search for sources.
inline constexpr char kSourcesFolder[] = "\\TWAIN_64";
inline constexpr char kSourceManagerModule[] = "TWAINDSM.dll";
#else
inline constexpr char kProductFolder[] = "\\TWAIN_32\\PAVO\\";
inline constexpr char kSourcesFolder[] = "\\TWAIN_32";
inline constexpr char kSourceManagerModule[] = "TWAIN_32.dll";
#endif
