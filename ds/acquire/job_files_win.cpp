#include "ds/acquire/job_files.h"

namespace {

bool Seek(HANDLE h, uint64_t offset) {
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(h, to, nullptr, FILE_BEGIN) != 0;
}

}  // namespace

bool CreateJobFile(JobFile& file, const std::string& path, const std::vector<uint8_t>& header,
                   uint64_t totalSize) {
    CloseJobFile(file, false);
    file.path = path;
    file.handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file.handle == INVALID_HANDLE_VALUE) return false;
    bool ok = WriteJobFile(file, 0, header.data(), header.size());
    if (ok && totalSize > header.size())
        ok = Seek(file.handle, totalSize) && SetEndOfFile(file.handle);
    if (!ok) CloseJobFile(file, true);
    return ok;
}

bool WriteJobFile(JobFile& file, uint64_t offset, const void* data, size_t size) {
    if (file.handle == INVALID_HANDLE_VALUE || !Seek(file.handle, offset)) return false;
    const auto* p = static_cast<const uint8_t*>(data);
    while (size > 0) {
        const DWORD part = static_cast<DWORD>(size > 0x40000000 ? 0x40000000 : size);
        DWORD written = 0;
        if (!WriteFile(file.handle, p, part, &written, nullptr) || written != part) return false;
        p += part;
        size -= part;
    }
    return true;
}

bool ReadJobFile(JobFile& file, uint64_t offset, void* data, size_t size) {
    if (file.handle == INVALID_HANDLE_VALUE || !Seek(file.handle, offset)) return false;
    auto* p = static_cast<uint8_t*>(data);
    while (size > 0) {
        const DWORD part = static_cast<DWORD>(size > 0x40000000 ? 0x40000000 : size);
        DWORD read = 0;
        if (!ReadFile(file.handle, p, part, &read, nullptr) || read != part) return false;
        p += part;
        size -= part;
    }
    return true;
}

void CloseJobFile(JobFile& file, bool remove) {
    if (file.handle != INVALID_HANDLE_VALUE) {
        // A file about to go is emptied first: its pages are dropped at once.
        // Deleting a closed file that still holds megabytes not yet written
        // out took ten times as long (some 9 ms for an 8 MB pass file).
        if (remove) {
            Seek(file.handle, 0);
            SetEndOfFile(file.handle);
        }
        CloseHandle(file.handle);
    }
    file.handle = INVALID_HANDLE_VALUE;
    if (remove && !file.path.empty()) DeleteFileA(file.path.c_str());
    if (remove) file.path.clear();
}
