#include "ds/ui/temp_drive_rules.h"

namespace {

std::string_view WithoutTrailingBackslash(std::string_view directory) {
    if (!directory.empty() && directory.back() == '\\') directory.remove_suffix(1);
    return directory;
}

}  // namespace

WorkingPathParts SplitWorkingPath(std::string_view path) {
    WorkingPathParts parts;
    const size_t slash = path.find_last_of('\\');
    const std::string_view directory =
        slash == std::string_view::npos ? std::string_view() : path.substr(0, slash);
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash);
    for (const char c : directory)
        parts.directory += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    parts.name = std::string(name.substr(0, kWorkingNameLimit));
    return parts;
}

std::string JoinWorkingPath(std::string_view typedDirectory, std::string_view name) {
    std::string path(WithoutTrailingBackslash(typedDirectory));
    path += name;
    if (path.size() > kWorkingPathLimit) return {};
    return path;
}

std::string FreeSpaceQueryPath(std::string_view typedDirectory) {
    std::string path(WithoutTrailingBackslash(typedDirectory));
    path += '\\';
    return path;
}
