// One file of many pages, a TIFF or a PDF, written page by page as the
// images come, so that a batch need not be held in memory. Between pages
// a TIFF is always complete; a PDF is completed by Finish, which also
// ends a batch that failed part way with the pages taken before.
//
// Pure computation: no Windows header.
#pragma once

#include "host/twacquire/options.h"
#include "host/twacquire/pdf_writer.h"
#include "host/twacquire/raster.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace twacquire {

class MultiPageFile {
public:
    // `format` is FileFormat::Tiff or FileFormat::Pdf. Nothing is created
    // before the first page.
    MultiPageFile(std::string path, FileFormat format);
    ~MultiPageFile();
    MultiPageFile(const MultiPageFile&) = delete;
    MultiPageFile& operator=(const MultiPageFile&) = delete;

    // Appends a page; on a failure the file is removed and `error` says why.
    bool AddTiffPage(const Raster& raster, std::string& error);
    bool AddPdfPage(const PdfImage& image, std::string& error);

    // Completes and closes the file. Without a page there is no file.
    bool Finish(std::string& error);

    int Pages() const { return pages_; }
    uint64_t Bytes() const { return size_; }
    const std::string& Path() const { return path_; }

private:
    bool Open(std::string& error);
    bool Write(const std::vector<uint8_t>& bytes, std::string& error);
    bool WriteU32At(uint64_t offset, uint32_t value, std::string& error);
    bool Failed(const char* what, std::string& error);

    std::string path_;
    FileFormat format_;
    FILE* file_ = nullptr;
    uint64_t size_ = 0;
    int pages_ = 0;
    uint32_t nextDirectoryField_ = 0;  // TIFF: of the last page
    PdfWriter pdf_;
};

}  // namespace twacquire
