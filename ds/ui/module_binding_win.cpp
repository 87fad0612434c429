#include "ds/ui/module_binding.h"

#include "common/product.h"
#include "ds/settings/profile_win.h"
#include "ds/twain/scan_settings.h"
#include "ds/twain/session.h"
#include "ds/ui/setup_state.h"

namespace {

// The module of each command that opens a dialog module.
struct DialogModule {
    int command;
    const char* file;
    const char* entry;
};
constexpr DialogModule kDialogModules[] = {
    {1110, "gamma.dll", "GammaDiag"},   {1111, "toneset.dll", "TonesetDiag"},
    {1112, "level.dll", "LevelDiag"},   {1083, "dotgrid.dll", "HTDiag"},
    {1084, "About.dll", "AboutDiag"},
};

void ModuleMissing() { g_session.conditionCode = TWCC_OPERATIONERROR; }

}  // namespace

std::string ProductFilePath(const std::string& fileName) {
    return WindowsDirectoryPath() + kProductFolder + fileName;
}

HMODULE LoadProductModule(const char* fileName) {
    HMODULE module = LoadLibraryA(ProductFilePath(fileName).c_str());
    if (!module) ModuleMissing();
    return module;
}

void* FindModuleEntry(HMODULE& module, const char* entry) {
    void* proc = module ? reinterpret_cast<void*>(GetProcAddress(module, entry)) : nullptr;
    if (!proc && module) {
        FreeLibrary(module);
        module = nullptr;
        ModuleMissing();
    }
    return proc;
}

bool OpenDialogModule(HWND, int command) {
    // A magnified preview is shown normal once behind the dialog.
    ShowNormalOnce();
    if (command == 1083) g_settings.Block.GrainBuiltIn = 1;
    for (const DialogModule& m : kDialogModules) {
        if (m.command != command) continue;
        HMODULE module = LoadProductModule(m.file);
        if (!module) return false;
        // The exchange with each module comes with its dialog: until then a
        // module that is present is not called.
        FreeLibrary(module);
    }
    ModuleMissing();
    return false;
}
