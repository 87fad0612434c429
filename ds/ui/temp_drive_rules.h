// The working file's path as the change-temporary-drive dialog takes it
// apart and puts it together again in the directory the user names.
//
// Pure computation: no Windows header.
#pragma once

#include <string>
#include <string_view>

// Longest working file path the dialog makes (a buffer of 130 bytes).
inline constexpr size_t kWorkingPathLimit = 129;
// Longest file-name part it keeps (backslash and name).
inline constexpr size_t kWorkingNameLimit = 15;

struct WorkingPathParts {
    std::string directory;  // up to the last backslash, upper-cased, for display
    std::string name;       // the backslash and the file name, at most 15 characters
};
WorkingPathParts SplitWorkingPath(std::string_view path);

// The typed directory with one trailing backslash removed, and the kept
// name appended. Empty when the result would be longer than the limit (the
// dialog then does not take it).
std::string JoinWorkingPath(std::string_view typedDirectory, std::string_view name);

// The directory the free-space check asks about: the typed directory with
// a backslash at its end (the form the disk query takes).
std::string FreeSpaceQueryPath(std::string_view typedDirectory);
