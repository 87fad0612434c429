#include "ds/ui/module_binding.h"

#include "common/about_entry.h"
#include "common/product.h"
#include "common/tone_blocks.h"
#include "ds/acquire/driver.h"
#include "ds/acquire/inquiry.h"
#include "ds/acquire/tone_tables.h"
#include "ds/settings/profile_win.h"
#include "ds/twain/scan_settings.h"
#include "ds/twain/session.h"
#include "ds/ui/setup_state.h"

#include <array>
#include <cstring>

namespace {

void ModuleMissing() { g_session.conditionCode = TWCC_OPERATIONERROR; }

PreviewRect ToPreviewRect(const PixelRect& r) { return {r.left, r.top, r.right, r.bottom}; }

// What the window does with a module's answer: a new picture is adopted,
// and outside feeder mode the paper line follows the height of the
// rectangle the module used.
void TakeModuleAnswer(const PreviewImage& picture, const PreviewRect& rect) {
    AdoptPreviewPicture(picture);
    if (!FeederMode()) {
        g_setup.PreviewArea.bottom = g_setup.PreviewArea.top + (rect.bottom - rect.top);
        g_setup.paperPosition = g_setup.PreviewArea.Height();
        RedrawRulers();
    }
}

// Brightness and contrast: the four pairs go to the dialog and come back.
void ExchangeToneset(void* entry) {
    ToneAdjustBlock block{};
    for (int c = 0; c < 4; ++c)
        block.pairs[c] = {g_settings.Brightness[c], g_settings.Contrast[c]};
    block.rect = ToPreviewRect(g_setup.PreviewArea);
    block.tables = {g_tone.handle, g_tone.address};
    const ToneAdjustBlock answer = reinterpret_cast<TonesetDiagProc>(entry)(
        g_setup.window, g_settings.PrescanMode, block, static_cast<uint16_t>(g_languageIndex));
    for (int c = 0; c < 4; ++c) {
        g_settings.Brightness[c] = answer.pairs[c].brightness;
        g_settings.Contrast[c] = answer.pairs[c].contrast;
    }
    g_tone.handle = static_cast<HGLOBAL>(answer.tables.handle);
    g_tone.address = answer.tables.address;
    TakeModuleAnswer(answer.preview, answer.rect);
}

// A tone dialog that is cancelled (or closed) has still written the curves
// it tried into the tone tables; the next scan keeps the curves it had.
class CurveSetKept {
public:
    explicit CurveSetKept(size_t at) : at_(at) {
        if (g_tone.address) std::memcpy(saved_.data(), g_tone.address + at_, saved_.size());
    }
    void PutBack() const {
        if (g_tone.address) std::memcpy(g_tone.address + at_, saved_.data(), saved_.size());
    }

private:
    size_t at_;
    std::array<uint8_t, 1024> saved_{};
};

constexpr size_t kGammaSetAt = kToneStoreGammaOffset, kLevelSetAt = 2048;

// Gamma: the scan parameters go to the dialog, which sets the curve number
// in them; after OK the channel on display comes back as the gamma
// channel (the word goes in empty, so that nothing else fills it).
void ExchangeGamma(void* entry) {
    GammaBlock block{};
    block.params = g_settings.Block;
    block.rect = ToPreviewRect(g_setup.PreviewArea);
    block.tables = {g_tone.handle, g_tone.address};
    const CurveSetKept before(kGammaSetAt);
    const GammaBlock answer = reinterpret_cast<GammaDiagProc>(entry)(
        g_setup.window, g_settings.PrescanMode, block, static_cast<uint16_t>(g_languageIndex));
    g_settings.Block = answer.params;
    g_tone.handle = static_cast<HGLOBAL>(answer.tables.handle);
    g_tone.address = answer.tables.address;
    if (answer.channel >= 2007 && answer.channel <= 2011) {
        g_tone.GammaChannel = answer.channel;
    } else {
        before.PutBack();
    }
    TakeModuleAnswer(answer.preview, answer.rect);
}

// Levels: the four groups go to the dialog by address and come back in
// the module's own block, copied before the module goes; after OK the
// channel on display becomes the level channel and the level curves apply.
void ExchangeLevel(void* entry) {
    LevelBlock block{};
    for (int c = 0; c < 4; ++c)
        block.groups[c] = {g_settings.Shadow[c], g_settings.Midtone[c], g_settings.Hilight[c],
                           g_settings.Ratio[c], 0};
    block.rect = ToPreviewRect(g_setup.PreviewArea);
    block.tables = {g_tone.handle, g_tone.address};
    const CurveSetKept before(kLevelSetAt);
    const LevelBlock* returned = reinterpret_cast<LevelDiagProc>(entry)(
        g_setup.window, g_settings.PrescanMode, &block, static_cast<uint16_t>(g_languageIndex));
    const LevelBlock answer = returned ? *returned : block;
    g_tone.handle = static_cast<HGLOBAL>(answer.tables.handle);
    g_tone.address = answer.tables.address;
    if (answer.channel >= 7014 && answer.channel <= 7018) {
        for (int c = 0; c < 4; ++c) {
            g_settings.Shadow[c] = answer.groups[c].shadow;
            g_settings.Midtone[c] = answer.groups[c].midtone;
            g_settings.Hilight[c] = answer.groups[c].highlight;
            g_settings.Ratio[c] = answer.groups[c].ratio;
        }
        g_tone.LevelChannel = answer.channel;
        g_tone.LevelsApplied = true;
    } else {
        // Levels and curves stay as they were together.
        before.PutBack();
    }
    TakeModuleAnswer(answer.preview, answer.rect);
}

// The halftone cell editor: the scan parameters go and come back; the
// rectangle it answers with is the window's own.
void ExchangeHalftone(void* entry) {
    HalftoneBlock block{};
    block.params = g_settings.Block;
    block.rect = ToPreviewRect(g_setup.PreviewArea);
    const HalftoneBlock answer = reinterpret_cast<HTDiagProc>(entry)(
        g_setup.window, block, static_cast<uint16_t>(g_languageIndex));
    g_settings.Block = answer.params;
    TakeModuleAnswer(answer.preview, ToPreviewRect(g_setup.PreviewArea));
}

// The about box: the model, the scanner's firmware text and the version.
void ShowAbout(void* entry) {
    const std::string firmware = InquiryFirmware(LastInquiry());
    const std::string version = ReadZebInfoVersion().substr(0, 5);
    reinterpret_cast<AboutDiagProc>(entry)(g_setup.window, g_settings.ModelCode, firmware.c_str(),
                                           version.c_str(), static_cast<uint16_t>(g_languageIndex));
}

// The module of each command that opens a dialog module, and the exchange
// with it (none yet where the module's dialog has not come); the tone
// dialogs work on the tone tables, the about box on nothing.
struct DialogModule {
    int command;
    const char* file;
    const char* entry;
    void (*exchange)(void* entry);
    bool tones = true;
};
constexpr DialogModule kDialogModules[] = {
    {1110, "gamma.dll", "GammaDiag", ExchangeGamma},
    {1111, "toneset.dll", "TonesetDiag", ExchangeToneset},
    {1112, "level.dll", "LevelDiag", ExchangeLevel},
    {1083, "dotgrid.dll", "HTDiag", ExchangeHalftone, false},
    {1084, "About.dll", "AboutDiag", ShowAbout, false},
};

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

bool OpenDialogModule(HWND window, int command) {
    // A magnified preview is shown normal once behind the dialog.
    ShowNormalOnce();
    if (command == 1083) g_settings.Block.GrainBuiltIn = 1;
    for (const DialogModule& m : kDialogModules) {
        if (m.command != command) continue;
        HMODULE module = LoadProductModule(m.file);
        if (!module) return false;
        if (!m.exchange) {
            // A module whose exchange has not come yet is not called.
            FreeLibrary(module);
            break;
        }
        void* entry = FindModuleEntry(module, m.entry);
        if (!entry) return false;
        // The tables the module writes into exist before it is called.
        if (m.tones && !ToneTablesAddress()) {
            FreeLibrary(module);
            g_session.conditionCode = TWCC_LOWMEMORY;
            return false;
        }
        m.exchange(entry);
        FreeLibrary(module);
        // The click on the tool button has left its button state behind.
        SendMessageA(window, WM_LBUTTONUP, 0, 0);
        RedrawPreview();
        return true;
    }
    ModuleMissing();
    return false;
}
