// The files of a scan job: the transfer file, the pass files, all opened
// for reading and writing, not shared, and removed again when the job fails.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

struct JobFile {
    HANDLE handle = INVALID_HANDLE_VALUE;
    std::string path;
};

// Creates (or truncates) the file, writes the header and, when `totalSize`
// is larger, extends the file to it. False (the file closed and deleted)
// on any failure.
bool CreateJobFile(JobFile& file, const std::string& path, const std::vector<uint8_t>& header,
                   uint64_t totalSize = 0);
// Writes or reads `size` bytes at `offset`; false unless all of them moved.
bool WriteJobFile(JobFile& file, uint64_t offset, const void* data, size_t size);
bool ReadJobFile(JobFile& file, uint64_t offset, void* data, size_t size);
// Closes the file, and deletes it when asked.
void CloseJobFile(JobFile& file, bool remove);
