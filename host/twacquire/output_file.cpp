#include "host/twacquire/output_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace twacquire {

bool WriteOutputFile(const std::string& path, const std::vector<uint8_t>& bytes,
                     std::string& error) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        error = "cannot create " + path + ": " + std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    const int writeErrno = errno;
    const bool closed = std::fclose(f) == 0;
    if (written && closed) return true;
    error = "cannot write " + path + ": " + std::strerror(written ? errno : writeErrno);
    std::remove(path.c_str());
    return false;
}

}  // namespace twacquire
