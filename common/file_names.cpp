#include "common/file_names.h"

namespace {

bool NamesItsOwnPlace(std::string_view name) {
    if (!name.empty() && (name[0] == '\\' || name[0] == '/')) return true;
    return name.size() >= 2 && name[1] == ':' &&
           ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z'));
}

}  // namespace

std::string TypedFilePath(std::string_view directory, std::string_view name) {
    if (NamesItsOwnPlace(name)) return std::string(name);
    std::string path(directory);
    if (path.empty() || (path.back() != '\\' && path.back() != '/')) path += '\\';
    path += name;
    return path;
}

bool IsUsableFileName(std::string_view name) {
    bool onlyDotsAndBlanks = true;
    for (const char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 32 || c == '*' || c == '?' || c == '<' || c == '>' || c == '|' || c == '"')
            return false;
        if (c != '.' && c != ' ') onlyDotsAndBlanks = false;
    }
    if (name.empty() || onlyDotsAndBlanks) return false;
    // The last part of a path is the file's own name and must be one.
    const size_t slash = name.find_last_of("\\/:");
    if (slash == std::string_view::npos) return true;
    return IsUsableFileName(name.substr(slash + 1));
}
