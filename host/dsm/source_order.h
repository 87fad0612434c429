// How the source manager orders the sources it finds and which one it
// offers as the default. No Windows header: tested natively.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dsm {

// True when path a comes before path b in the list of sources: plain
// character order with ASCII letters compared without regard to case, as
// Windows file names are.
bool SourcePathLess(std::string_view a, std::string_view b);

// Sorts source file paths into the order the manager lists them in.
void SortSourcePaths(std::vector<std::string>& paths);

// The default source among the product names of the listed sources: the one
// whose name equals `preferred` (as set in WIN.INI, which keeps no blanks at
// the end of a value: they are not compared), otherwise the first.
// Nothing when there are no sources.
std::optional<size_t> DefaultSourceIndex(const std::vector<std::string>& productNames,
                                         std::string_view preferred);

// The text of a fixed-size TWAIN string field, which a careless source may
// leave without its terminating zero.
std::string FieldText(const char* field, size_t size);

}  // namespace dsm
