// Writing an output file whole, or not at all.
//
// Pure computation: no Windows header.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace twacquire {

// Writes `bytes` to `path`, replacing a file there. On any failure the
// partly written file is removed and `error` says what went wrong.
bool WriteOutputFile(const std::string& path, const std::vector<uint8_t>& bytes,
                     std::string& error);

}  // namespace twacquire
