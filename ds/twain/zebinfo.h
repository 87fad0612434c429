// The ZEBINFO keys the protocol core needs at load and open.
#pragma once

#include <string>

// BRAND, default "Tavlen".
std::string ReadBrand();
// LANGUAGE as a language index: English 0, German 1, French 2, Italian 3,
// Spanish 4, Dutch 5; anything else 0.
int ReadLanguageIndex();
// DRIVER, default "PAVO.DLL".
std::string ReadDriverName();
