// File names the user types into the file dialogs of the modules: how a
// name becomes a path, and which names can be files at all.
//
// Pure computation: no Windows header.
#pragma once

#include <string>
#include <string_view>

// The directory, a backslash and the name as typed (no extension added).
// A directory that already ends in a backslash (a drive's root) gets no
// second one; a name that names its own drive ("D:\x.par") or starts at a
// root ("\x.par") stands for itself.
std::string TypedFilePath(std::string_view directory, std::string_view name);

// A name that can be a file on Windows: not empty, no wildcard (* ?), none
// of < > | " and no control character, and not only dots and blanks. The
// characters \ / : are allowed as parts of a path.
bool IsUsableFileName(std::string_view name);
