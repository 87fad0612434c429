// How the texts of pavo.ds's message boxes and identity are put together.
#pragma once

#include <cstdint>
#include <string>

// A disk size as the disk-space message prints it: up to 1024 bytes as a
// plain number, above that in whole kilobytes followed by "K".
std::string FormatDiskSize(uint64_t bytes);

// Body of the disk-space message: required size, string 111, free size,
// string 112.
std::string DiskSpaceText(uint64_t freeBytes, uint64_t requiredBytes,
                          const std::string& text111, const std::string& text112);

// ProductName of the source's identity from the brand as read (the
// configured text with one blank appended), fitted to the 34-byte field. A
// brand too long for it is cut to 32 characters so that the blank (and the
// terminating zero) always fit.
std::string IdentityProductName(const std::string& brandAsRead);

// Caption of a message box: the brand as read, one more blank, then the
// given text.
std::string MessageCaption(const std::string& brandAsRead, const std::string& text);
