// Flate (zlib) compression of a block of bytes.
//
// Pure computation: no Windows header.
#pragma once

#include <cstdint>
#include <vector>

namespace twacquire {

// The zlib stream of `bytes` (compression level 6).
std::vector<uint8_t> Deflate(const std::vector<uint8_t>& bytes);

}  // namespace twacquire
