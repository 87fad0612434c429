#include "host/twacquire/multipage_file.h"

#include "host/twacquire/image_writer.h"

#include <cerrno>
#include <cstring>

namespace twacquire {

namespace {

// Seeks anywhere in a file beyond 2 GB (a long is 32 bits on Windows).
int SeekTo(FILE* f, uint64_t offset) {
#ifdef _WIN32
    return _fseeki64(f, static_cast<long long>(offset), SEEK_SET);
#else
    return fseeko(f, static_cast<off_t>(offset), SEEK_SET);
#endif
}

}  // namespace

MultiPageFile::MultiPageFile(std::string path, FileFormat format)
    : path_(std::move(path)), format_(format) {}

MultiPageFile::~MultiPageFile() {
    if (file_) std::fclose(file_);
}

bool MultiPageFile::Failed(const char* what, std::string& error) {
    error = std::string("cannot ") + what + " " + path_ + ": " + std::strerror(errno);
    if (file_) std::fclose(file_);
    file_ = nullptr;
    std::remove(path_.c_str());
    pages_ = 0;
    size_ = 0;
    return false;
}

bool MultiPageFile::Open(std::string& error) {
    file_ = std::fopen(path_.c_str(), "wb");
    if (!file_) return Failed("create", error);
    return Write(format_ == FileFormat::Pdf ? pdf_.Header() : TiffHeaderBytes(), error);
}

bool MultiPageFile::Write(const std::vector<uint8_t>& bytes, std::string& error) {
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) return Failed("write", error);
    size_ += bytes.size();
    return true;
}

bool MultiPageFile::WriteU32At(uint64_t offset, uint32_t value, std::string& error) {
    const uint8_t le[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                           static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    if (SeekTo(file_, offset) != 0 || std::fwrite(le, 1, 4, file_) != 4 ||
        SeekTo(file_, size_) != 0)
        return Failed("write", error);
    return true;
}

bool MultiPageFile::AddTiffPage(const Raster& raster, std::string& error) {
    if (!file_ && !Open(error)) return false;
    const uint64_t at = size_;
    TiffPage page = at <= 0xFFFFFFFFu ? TiffPageAt(raster, static_cast<uint32_t>(at)) : TiffPage{};
    if (page.bytes.empty()) {
        errno = EFBIG;
        return Failed("add a page beyond the 4 GB a TIFF can address to", error);
    }
    if (!Write(page.bytes, error)) return false;
    // The page is whole on disk before the one before it points to it.
    const uint64_t link = pages_ == 0 ? 4 : nextDirectoryField_;
    if (std::fflush(file_) != 0) return Failed("write", error);
    if (pages_ > 0 && !WriteU32At(link, static_cast<uint32_t>(at), error)) return false;
    if (std::fflush(file_) != 0) return Failed("write", error);
    nextDirectoryField_ = page.nextDirectoryField;
    ++pages_;
    return true;
}

bool MultiPageFile::AddPdfPage(const PdfImage& image, std::string& error) {
    if (!file_ && !Open(error)) return false;
    if (!Write(pdf_.Page(image), error)) return false;
    ++pages_;
    return true;
}

bool MultiPageFile::Finish(std::string& error) {
    if (!file_) return true;
    if (format_ == FileFormat::Pdf && !Write(pdf_.End(), error)) return false;
    FILE* f = file_;
    file_ = nullptr;
    if (std::fclose(f) != 0) return Failed("write", error);
    return true;
}

}  // namespace twacquire
