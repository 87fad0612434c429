// The file dialogs of the modules ("Open Setting File", "Open Gamma
// Pattern File" and their Save twins): a name field, the files of one
// pattern in the current directory, the directories and drives to move
// through, and one action button that loads or saves the named file.
#pragma once

#include <windows.h>

#include <string>

namespace filelist {

// The controls of one dialog.
struct Ids {
    int edit, directory, extension, files, directories, action, cancel;
    int frames[3];  // hidden placeholders where sunken frames are painted
};
inline constexpr Ids kOpenIds{508, 509, 512, 505, 506, 510, 511, {513, 514, 515}};
inline constexpr Ids kSaveIds{608, 609, 612, 605, 606, 610, 611, {613, 614, 615}};

// What one dialog does.
struct Behaviour {
    Ids ids;
    const char* pattern;  // "*.PAR"
    std::string folder;   // where the dialog opens (made when missing)
    // Loads or saves the file the dialog names; true closes the dialog.
    bool (*act)(HWND dialog) = nullptr;
    // Called when the user cancels; may be null.
    void (*cancelled)() = nullptr;
};

// Runs the dialog `templateName` of `module` modally over `owner`. The
// process's current directory is the caller's again afterwards.
void Run(HINSTANCE module, const std::string& templateName, HWND owner, const Behaviour& behaviour);

// The directory the dialog lists, as the file system spells it (the
// directory text shows it in lower case, which on a case-sensitive file
// system under Wine may name another folder).
std::string ListedDirectory(HWND dialog, const Ids& ids);

// The text of a control, at most `limit` characters.
std::string ItemText(HWND dialog, int id, size_t limit = MAX_PATH);

}  // namespace filelist
