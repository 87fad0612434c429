// The sources installed on this machine: every *.ds file under the Windows
// directory's sources folder (searched recursively), each with the identity
// it reports, in path order.
#pragma once

#include "common/twain.h"

#include <optional>
#include <string>
#include <vector>

namespace dsm {

struct CatalogEntry {
    std::string path;       // full path of the .ds module
    TW_IDENTITY identity;   // as the source reports it; Id 0
};

// WIN.INI key naming the default source by its ProductName:
//   [TWAIN]
//   Default Source=<ProductName>
// Without it (or when no installed source has that name) the default is the
// first source listed.
inline constexpr char kDefaultSourceSection[] = "TWAIN";
inline constexpr char kDefaultSourceKey[] = "Default Source";

// Searches the sources folder now and asks each module found for its
// identity. Modules that do not load or do not answer are left out.
std::vector<CatalogEntry> FindSources();

// The default source of a catalog, or nothing when it is empty.
std::optional<size_t> DefaultSource(const std::vector<CatalogEntry>& catalog);

// Loads the module at `path`, asks DS_Entry for DAT_IDENTITY/MSG_GET and
// unloads it again. False when the module cannot be loaded or refuses.
bool ReadSourceIdentity(const std::string& path, TW_IDENTITY& identity);

}  // namespace dsm
