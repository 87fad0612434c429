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

// The commands whose dialogs come from modules: the module is loaded, its
// entry called with the record of the settings it edits, the answer taken
// back and the module unloaded. A module that is missing or lacks its entry
// (and, until their exchanges come, the gamma, level, halftone cell and
// about modules) ends the command with TWCC_OPERATIONERROR and the window
// as it was. The answer is what the dialog procedure returns.
bool OpenDialogModule(HWND window, int command);
