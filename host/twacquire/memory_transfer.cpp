#include "host/twacquire/progress_meter.h"
#include "host/twacquire/transfers.h"

#include <algorithm>
#include <vector>

namespace twacquire {

namespace {

// The buffer size the source prefers, within the limits it gives; 64 KB
// when it gives none.
uint32_t BufferSize(DataSource& source) {
    TW_SETUPMEMXFER setup{};
    if (source.Call(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &setup) != TWRC_SUCCESS)
        return 65536;
    uint32_t size = setup.Preferred;
    if (size == 0 || size == TWON_DONTCARE32) size = 65536;
    if (setup.MaxBufSize && setup.MaxBufSize != TWON_DONTCARE32) size = std::min(size, setup.MaxBufSize);
    if (setup.MinBufSize != TWON_DONTCARE32) size = std::max(size, setup.MinBufSize);
    return std::max<uint32_t>(size, 1);
}

}  // namespace

TW_UINT16 MemoryTransfer(DataSource& source, StripAssembler& image, FILE* err, bool quiet,
                         std::string& error) {
    std::vector<uint8_t> buffer(BufferSize(source));
    const uint64_t before = image.Received();
    // A planar source may send each plane in a transfer of its own: the bar
    // shows what this transfer can still bring.
    ProgressMeter progress(err, image.Expected() - before, quiet);
    // A source that keeps answering with empty strips is given up on.
    constexpr int kMostEmptyStrips = 10000;
    int emptyStrips = 0;
    for (;;) {
        TW_IMAGEMEMXFER xfer{};
        xfer.Compression = TWON_DONTCARE16;
        xfer.BytesPerRow = xfer.Columns = xfer.Rows = TWON_DONTCARE32;
        xfer.XOffset = xfer.YOffset = xfer.BytesWritten = TWON_DONTCARE32;
        xfer.Memory = {TWMF_APPOWNS | TWMF_POINTER, static_cast<TW_UINT32>(buffer.size()),
                       buffer.data()};
        const TW_UINT16 rc = source.Call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &xfer);
        if (rc != TWRC_SUCCESS && rc != TWRC_XFERDONE) {
            progress.Finish();
            return rc;
        }
        if (xfer.Compression != TWCP_NONE && xfer.Compression != TWON_DONTCARE16) {
            error = "the source sent compressed strips, which twacquire does not take";
            progress.Finish();
            return TWRC_FAILURE;
        }
        const Strip strip{xfer.BytesPerRow, xfer.Columns, xfer.Rows, xfer.XOffset, xfer.YOffset};
        const size_t written = std::min<size_t>(xfer.BytesWritten, buffer.size());
        if (!image.Add(strip, std::span(buffer.data(), written), error)) {
            progress.Finish();
            return TWRC_FAILURE;
        }
        progress.Update(image.Received() - before);
        emptyStrips = xfer.Rows == 0 ? emptyStrips + 1 : 0;
        if (emptyStrips > kMostEmptyStrips) {
            error = "the source sends strips without rows";
            progress.Finish();
            return TWRC_FAILURE;
        }
        if (rc == TWRC_XFERDONE) {
            image.EndTransfer();
            progress.Finish();
            return rc;
        }
    }
}

}  // namespace twacquire
