#include "host/twacquire/transfers.h"

#include "host/twacquire/capability_setting.h"

#include <windows.h>

#include <cstring>

namespace twacquire {

namespace {

TW_UINT16 FormatCode(FileFormat format) { return format == FileFormat::Bmp ? TWFF_BMP : TWFF_TIFF; }

TW_UINT16 SetUp(DataSource& source, const std::string& path, TW_UINT16 format) {
    TW_SETUPFILEXFER setup{};
    std::strncpy(setup.FileName, path.c_str(), sizeof setup.FileName - 1);
    setup.Format = format;
    return source.Call(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &setup);
}

// Which format the bytes at the start of a file are.
const char* FormatOfFile(const std::string& path) {
    char head[4] = {};
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    DWORD got = 0;
    ReadFile(file, head, sizeof head, &got, nullptr);
    CloseHandle(file);
    if (got >= 2 && head[0] == 'B' && head[1] == 'M') return "BMP";
    if (got >= 4 && (std::memcmp(head, "II*\0", 4) == 0 || std::memcmp(head, "MM\0*", 4) == 0))
        return "TIFF";
    return "an unknown format";
}

uint64_t FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

}  // namespace

TransferResult FileTransfer(DataSource& source, const std::string& name, FileFormat format,
                            const TW_IMAGEINFO& info) {
    TransferResult result;
    char full[MAX_PATH] = {};
    const DWORD length = GetFullPathNameA(name.c_str(), sizeof full, full, nullptr);
    if (length == 0 || length >= sizeof full || length > 255) {
        result.error = "the output name " + name + " is too long for a file transfer (255 characters)";
        return result;
    }
    const std::string path = full;
    const TW_UINT16 wanted = FormatCode(format);

    // The setup names the file. A source that takes only some formats in
    // the setup is given its current one, and the format is chosen through
    // ICAP_IMAGEFILEFORMAT after it.
    TW_UINT16 rc = SetUp(source, path, wanted);
    if (rc != TWRC_SUCCESS) {
        TW_SETUPFILEXFER current{};
        if (source.Call(DG_CONTROL, DAT_SETUPFILEXFER, MSG_GET, &current) == TWRC_SUCCESS)
            rc = SetUp(source, path, current.Format);
        if (rc != TWRC_SUCCESS) {
            result.error = "the source refused the file " + path + ": " + source.DescribeFailure(rc);
            return result;
        }
        std::string error;
        if (!SetCapabilityText(source, ICAP_IMAGEFILEFORMAT, std::to_string(wanted), error)) {
            result.error = error;
            return result;
        }
    }
    // An older file of that name must not pass for this scan.
    DeleteFileA(path.c_str());

    result.rc = source.Call(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, nullptr);
    if (result.rc != TWRC_XFERDONE) {
        DeleteFileA(path.c_str());
        return result;
    }
    const char* written = FormatOfFile(path);
    const char* asked = format == FileFormat::Bmp ? "BMP" : "TIFF";
    if (!written) {
        result.error = "the source reported the file transfer done but wrote no " + path;
        return result;
    }
    if (std::strcmp(written, asked) != 0) {
        result.error = std::string("the source wrote ") + written + " where " + asked +
                       " was asked; " + path + " removed";
        DeleteFileA(path.c_str());
        return result;
    }
    result.saved = true;
    result.facts = {static_cast<uint32_t>(info.ImageWidth), static_cast<uint32_t>(info.ImageLength),
                    info.BitsPerPixel, Fix32ToDouble(info.XResolution),
                    Fix32ToDouble(info.YResolution)};
    result.facts.bytes = FileSize(path);
    return result;
}

}  // namespace twacquire
