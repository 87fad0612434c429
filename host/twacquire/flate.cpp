#include "host/twacquire/flate.h"

#include <zlib.h>

#include <algorithm>

namespace twacquire {

std::vector<uint8_t> Deflate(const std::vector<uint8_t>& bytes) {
    z_stream z{};
    if (deflateInit(&z, 6) != Z_OK) return {};
    std::vector<uint8_t> out(deflateBound(&z, static_cast<uLong>(bytes.size())) + 64);
    // zlib counts in 32 bits: input and room are handed over in pieces.
    constexpr size_t kPiece = size_t{1} << 30;
    size_t taken = 0, produced = 0;
    int rc = Z_OK;
    while (rc == Z_OK) {
        if (z.avail_in == 0 && taken < bytes.size()) {
            z.next_in = const_cast<Bytef*>(bytes.data() + taken);
            z.avail_in = static_cast<uInt>(std::min(bytes.size() - taken, kPiece));
            taken += z.avail_in;
        }
        if (out.size() - produced < 64) out.resize(out.size() * 2);
        z.next_out = out.data() + produced;
        z.avail_out = static_cast<uInt>(std::min(out.size() - produced, kPiece));
        const uInt room = z.avail_out;
        rc = deflate(&z, taken == bytes.size() ? Z_FINISH : Z_NO_FLUSH);
        produced += room - z.avail_out;
        if (rc == Z_BUF_ERROR) rc = Z_OK;  // no progress possible this round: more room next
    }
    deflateEnd(&z);
    if (rc != Z_STREAM_END) return {};
    out.resize(produced);
    return out;
}

}  // namespace twacquire
