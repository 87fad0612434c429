// Texts of pavo.ds from its resource string tables.
#pragma once

#include <string>

// The text of string id + 1000 x the current language index, read with a
// limit of 255 characters; empty when the table has no such string.
std::string LoadDsString(int id);
// The text of exactly this string id (no language offset).
std::string LoadDsStringExact(int id);
