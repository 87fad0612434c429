// The modules of the product folder that the setup window loads by file
// name for one command and unloads right after: the prescan, the bitmap
// viewer and the dialog modules.
#pragma once

#include <windows.h>

#include <string>

// Windows directory + product folder + `fileName`.
std::string ProductFilePath(const std::string& fileName);

// Loads a module of the product folder; null (and the TWAIN condition code
// TWCC_OPERATIONERROR) when it cannot be loaded.
HMODULE LoadProductModule(const char* fileName);

// An entry of a loaded module by name; null when the module lacks it (the
// module is then unloaded and the condition code set as for a missing one).
void* FindModuleEntry(HMODULE& module, const char* entry);

// The commands whose dialogs come from modules the window does not call
// yet (the tone dialogs, the halftone cell, the about box): each ends as a
// missing module does, with TWCC_OPERATIONERROR, and the window stays as
// it was. False is what the dialog procedure answers for them.
bool OpenDialogModule(HWND window, int command);
