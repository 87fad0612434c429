// Names every module of the product builds the same way: the dialog
// template of a language and the help file of a language.
//
// Pure computation: no Windows header.
#pragma once

#include <string>

// The name of a dialog template in a language: the English name, or the
// name with "_G", "_F", "_I", "_S" or "_D" for languages 1 to 5 (another
// index gives the English one).
inline std::string LanguageTemplate(const char* englishName, int languageIndex) {
    static constexpr const char* kSuffixes[] = {"", "_G", "_F", "_I", "_S", "_D"};
    const int language = languageIndex >= 0 && languageIndex < 6 ? languageIndex : 0;
    return std::string(englishName) + kSuffixes[language];
}

// The help file of a language in the product folder: German and French
// have their own, every other language reads the English one.
inline const char* HelpFileName(int languageIndex) {
    if (languageIndex == 1) return "TWAIN_G.HLP";
    if (languageIndex == 2) return "TWAIN_F.HLP";
    return "TWAIN.HLP";
}
