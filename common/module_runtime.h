// What a module built with the static C++ runtime hands back when it is
// unloaded. The runtime keeps an emergency pool for exceptions (about 73 KB)
// that nothing frees at unload; a module that a host loads at every open or
// a dialog loaded at every use would leave one pool behind each time. Only
// for modules linked with their own static runtime (as every module here
// is): with a shared runtime the pool belongs to everyone in the process.
#pragma once

#include <windows.h>

namespace __gnu_cxx {
void __freeres() noexcept;  // the runtime's own release of that pool
}

// Call from DllMain with its reason and reserved arguments. At process exit
// (reserved non-null) the memory goes with the process.
inline void ReleaseRuntimeAtUnload(DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr) __gnu_cxx::__freeres();
}
