// The buffered transfers. Three ways through a job:
//  - memory planes (`ChunkyPixels` clear): each call converts the next lines
//    of the running pass straight into the host's buffer, reading from the
//    scanner whenever the transfer buffer is used up; every colour plane is
//    an image of its own; one-pass strips with `ChunkyPixels` set take the
//    same way (with the curves chosen for pixels through the pass files);
//  - through pass files (colour memory strips with `ChunkyPixels` set, and
//    colour files): every pass is read, converted, into its pass file;
//    strips or the transfer file's rows are then built from the pass files,
//    the colour components interleaved a chunk of lines at a time;
//  - one-pass files: the lines go converted straight into the transfer file.
// With interpolation the converted lines are scaled on their way out, so the
// host always receives the size the image information announced.
#include "ds/acquire/buffered_transfer.h"

#include "ds/acquire/image_files.h"
#include "ds/acquire/interpolation.h"
#include "ds/acquire/job_driver.h"
#include "ds/acquire/job_files.h"
#include "ds/acquire/line_assembly.h"
#include "ds/acquire/scan_job.h"
#include "ds/acquire/status_line.h"
#include "ds/twain/scan_settings.h"
#include "ds/twain/session.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>
#include <vector>

namespace {

// Rows of output built per write when rows come from the pass files.
constexpr size_t kOutputChunkBytes = 1 << 20;

struct BufferedJob {
    bool setUp = false;
    JobBuffer buffer;              // the scanner's lines
    uint32_t passDelivered = 0;    // lines of the running pass read from the scanner
    uint32_t chunkLines = 0;       // lines in the buffer ...
    uint32_t chunkNext = 0;        // ... and the first one not yet delivered
    LineTransform transform;
    ScaleChannels scale;
    std::vector<uint8_t> lines;    // converted lines on their way to scaling or a file
    std::vector<uint8_t> rows;     // output rows on their way to a file
    std::vector<uint8_t> component[3];
    std::vector<uint8_t> scaled[3];
    JobFile passFiles[3];
    bool passFilesReady = false;   // every pass is in its pass file
    uint32_t sourceLine = 0;       // next pass-file line for a chunky strip
    JobFile transfer;
};

BufferedJob g_buffered;

// Lines of `lineBytes` each in one piece of about kOutputChunkBytes (at
// least one line).
uint32_t LinesPerPiece(size_t lineBytes) {
    return static_cast<uint32_t>(std::max<size_t>(1, kOutputChunkBytes / std::max<size_t>(1, lineBytes)));
}

bool Color() { return g_settings.ScanMode == kModeColor; }
PixelKind PassKind() { return PassPixelKind(g_settings.ScanMode).value_or(PixelKind::Bit); }
uint32_t Factor() { return static_cast<uint32_t>(g_job.InterpolationFactor); }
uint32_t OutputLines() { return g_job.LineCount * Factor(); }

// Sets up the job at its first transfer call: the scan runs (a feeder page
// whose scan was not started yet starts now) and the transfer buffer exists.
bool BeginJob() {
    if (g_buffered.setUp) return true;
    if (!g_job.Started && !StartFirstPass()) {
        g_session.returnCode = TWRC_CANCEL;
        return false;
    }
    if (!AllocateJobBuffer(g_buffered.buffer)) {
        FailJob(109, TWCC_LOWMEMORY);
        CleanUpBufferedJob(true);
        return false;
    }
    ResetScaleChannels(g_buffered.scale);
    g_buffered.setUp = true;
    g_job.ProgressCount = 0;
    ShowJobProgress(500);
    return true;
}

// Starts the pass that the coming lines belong to: the first pass was
// started with the job, later colour passes start here.
bool BeginPass(int passIndex, Delivery delivery) {
    if (passIndex > 0) {
        g_job.PassIndex = passIndex;
        g_job.PassColour = static_cast<uint16_t>(passIndex + 1);
        g_settings.ColorPass = g_job.PassColour;
        if (!StartNextPass()) return false;
    } else if (passIndex == 0) {
        g_job.PassIndex = 0;
        g_job.PassColour = 1;
    }
    g_buffered.passDelivered = 0;
    g_buffered.chunkLines = g_buffered.chunkNext = 0;
    g_buffered.transform = PassLineTransform(passIndex, delivery);
    return true;
}

bool Fail(int stringId, uint16_t condition) {
    FailJob(stringId, condition);
    CleanUpBufferedJob(true);
    return false;
}

// Scales `count` converted lines of one channel into rows `rowStep` apart.
void Scale(PixelKind kind, const uint8_t* source, uint32_t pixels, uint32_t count,
           uint8_t* destination, ptrdiff_t rowStep, size_t rowBytes, CarriedLine& carry) {
    ScaleLines(kind, static_cast<int>(Factor()), source, pixels, count, destination, rowStep,
               rowBytes, carry);
}

// ---- Memory planes ---------------------------------------------------------

void FillReply(TW_IMAGEMEMXFER& reply, uint32_t rowBytes, uint32_t rows) {
    reply.Compression = TWCP_NONE;
    reply.BytesPerRow = rowBytes;
    reply.Columns = g_job.PixelsPerLine * Factor();
    reply.Rows = rows;
    reply.XOffset = 0;
    reply.YOffset = g_job.StripOffset;
    reply.BytesWritten = rowBytes * rows;
    g_job.StripOffset += rows;
}

// Rows of `rowBytes` that fit the host's buffer, a multiple of the factor.
uint32_t RowsThatFit(uint32_t length, uint32_t rowBytes) {
    uint32_t fit = rowBytes ? length / rowBytes : 0;
    return fit - fit % Factor();
}

// The next strip of the running pass, converted for `delivery`: memory
// planes, or the strips of a one-pass scan with `ChunkyPixels` set, whose
// pixels are the same bytes and need no pass file to wait for other passes.
void PlaneStrip(TW_IMAGEMEMXFER& reply, uint8_t* host, uint32_t length, Delivery delivery) {
    BufferedJob& b = g_buffered;
    if (g_job.NewPass) {
        const int pass = Color() ? g_job.PassIndex + 1 : -1;
        if (!BeginPass(pass, delivery)) {
            CleanUpBufferedJob(true);
            return;
        }
        ResetScaleChannels(b.scale);
        g_job.NewPass = false;
        g_job.StripOffset = 0;
    }
    const uint32_t F = Factor();
    const uint32_t passBytes = g_job.PassLineBytes;
    const uint32_t rowBytes = passBytes * F;
    const uint32_t fit = RowsThatFit(length, rowBytes);
    if (fit == 0) {
        Fail(109, TWCC_LOWMEMORY);
        return;
    }
    const uint32_t rows = std::min(fit, OutputLines() - g_job.StripOffset);
    if (F > 1 && b.lines.size() < size_t{b.buffer.capacity} * passBytes)
        b.lines.resize(size_t{b.buffer.capacity} * passBytes);
    uint32_t produced = 0;
    while (produced < rows) {
        if (b.chunkNext == b.chunkLines) {
            const long n = ReadNextChunk(b.buffer, b.passDelivered, false);
            if (n <= 0) {
                if (n == 0) FailJob(200, TWCC_OPERATIONERROR);  // the pass ended early
                CleanUpBufferedJob(true);
                return;
            }
            b.chunkLines = static_cast<uint32_t>(n);
            b.chunkNext = 0;
        }
        const uint32_t take = std::min(b.chunkLines - b.chunkNext, (rows - produced) / F);
        const uint8_t* source = b.buffer.memory + size_t{b.chunkNext} * passBytes;
        uint8_t* destination = host + size_t{produced} * rowBytes;
        if (F == 1) {
            ConvertLines(b.transform, source, passBytes, take, destination, rowBytes, rowBytes);
        } else {
            ConvertLines(b.transform, source, passBytes, take, b.lines.data(), passBytes,
                         passBytes);
            CarriedLine& carry = Color() ? b.scale.Component[g_job.PassIndex] : b.scale.Grey;
            Scale(PassKind(), b.lines.data(), g_job.PixelsPerLine, take, destination, rowBytes,
                  rowBytes, carry);
        }
        b.chunkNext += take;
        produced += take * F;
    }
    FillReply(reply, rowBytes, rows);
    if (g_job.StripOffset < OutputLines()) {
        g_session.returnCode = TWRC_SUCCESS;
        return;
    }
    g_session.returnCode = TWRC_XFERDONE;
    if (Color() && g_job.PassIndex < 2) {
        g_job.NewPass = true;  // the next transfer delivers the next plane
    } else {
        CleanUpBufferedJob(false);
    }
}

// ---- Pass files ------------------------------------------------------------

// Reads every pass of a colour scan into its pass file, converted for
// `delivery`.
bool ReadPassesToFiles(Delivery delivery) {
    BufferedJob& b = g_buffered;
    const std::string working = g_session.defaultFileSetup.FileName;
    SYSTEMTIME now;
    GetLocalTime(&now);
    const uint32_t passBytes = g_job.PassLineBytes;
    std::vector<uint8_t> header(kPassFileHeaderBytes);
    WritePassFileHeader(header.data(), PassKind(), passBytes, g_job.LineCount,
                        g_settings.Resolution);
    // Lines are converted and written a piece of about kOutputChunkBytes at a
    // time, so the memory taken does not grow with the width of the page.
    const uint32_t piece = LinesPerPiece(passBytes);
    b.lines.resize(size_t{piece} * passBytes);
    for (int c = 0; c < 3; ++c) {
        if (!CreateJobFile(b.passFiles[c], PassFilePath(working, now.wMinute, now.wSecond, c),
                           header))
            return Fail(5, TWCC_OPERATIONERROR);
    }
    for (int c = 0; c < 3; ++c) {
        if (!BeginPass(c, delivery)) {
            CleanUpBufferedJob(true);
            return false;
        }
        uint64_t offset = kPassFileHeaderBytes;
        bool written = true;
        const bool read = ReadPass(b.buffer, false, [&](const uint8_t* raw, uint32_t n) {
            for (uint32_t done = 0; written && done < n;) {
                const uint32_t m = std::min(piece, n - done);
                ConvertLines(b.transform, raw + size_t{done} * passBytes, passBytes, m,
                             b.lines.data(), passBytes, passBytes);
                written = WriteJobFile(b.passFiles[c], offset, b.lines.data(),
                                       size_t{m} * passBytes);
                offset += size_t{m} * passBytes;
                done += m;
            }
        });
        if (!read) {
            CleanUpBufferedJob(true);
            return false;
        }
        if (!written) return Fail(5, TWCC_OPERATIONERROR);
    }
    b.passFilesReady = true;
    b.sourceLine = 0;
    return true;
}

// Reads `count` lines from `line` on of the pass files into the component
// buffers.
bool ReadFromPassFiles(uint32_t line, uint32_t count) {
    BufferedJob& b = g_buffered;
    const size_t bytes = size_t{count} * g_job.PassLineBytes;
    const uint64_t offset = kPassFileHeaderBytes + uint64_t{line} * g_job.PassLineBytes;
    for (int c = 0; c < 3; ++c) {
        if (b.component[c].size() < bytes) b.component[c].resize(bytes);
        if (!ReadJobFile(b.passFiles[c], offset, b.component[c].data(), bytes)) return false;
    }
    return true;
}

// Builds `count` colour lines into output rows `rowStep` apart (each
// `rowBytes` long) in the byte order of `order`: the components scaled by
// the factor and interleaved.
void BuildRows(uint32_t count, uint8_t* first, ptrdiff_t rowStep, size_t rowBytes,
               PixelOrder order) {
    BufferedJob& b = g_buffered;
    const uint32_t F = Factor();
    const uint32_t pixels = g_job.PixelsPerLine;
    // The component of each byte of a pixel: byte m holds component
    // ComponentByte(order, m), the order being its own inverse.
    const size_t at0 = ComponentByte(order, 0), at2 = ComponentByte(order, 2);
    if (F == 1) {
        InterleaveRows(b.component[at0].data(), b.component[1].data(), b.component[at2].data(),
                       pixels, count, first, rowStep, rowBytes);
        return;
    }
    for (int c = 0; c < 3; ++c) {
        const size_t bytes = size_t{count} * F * pixels * F;
        if (b.scaled[c].size() < bytes) b.scaled[c].resize(bytes);
        Scale(PixelKind::Byte, b.component[c].data(), pixels, count, b.scaled[c].data(),
              static_cast<ptrdiff_t>(pixels) * F, size_t{pixels} * F, b.scale.Component[c]);
    }
    InterleaveRows(b.scaled[at0].data(), b.scaled[1].data(), b.scaled[at2].data(),
                   size_t{pixels} * F, size_t{count} * F, first, rowStep, rowBytes);
}

void ChunkyStrip(TW_IMAGEMEMXFER& reply, uint8_t* host, uint32_t length) {
    BufferedJob& b = g_buffered;
    if (!b.passFilesReady) {
        if (!ReadPassesToFiles(Delivery::MemoryChunky)) return;
        ResetScaleChannels(b.scale);
        g_job.StripOffset = 0;
        g_job.ProgressCount = 0;
        ShowJobProgress(505);
    }
    const uint32_t F = Factor();
    const uint32_t rowBytes = g_job.LineBytes * F;
    const uint32_t fit = RowsThatFit(length, rowBytes);
    if (fit == 0) {
        Fail(109, TWCC_LOWMEMORY);
        return;
    }
    const uint32_t rows = std::min(fit, OutputLines() - g_job.StripOffset);
    const uint32_t count = rows / F;
    if (!ReadFromPassFiles(b.sourceLine, count)) {
        Fail(104, TWCC_OPERATIONERROR);
        return;
    }
    BuildRows(count, host, rowBytes, rowBytes, PixelOrder::Rgb);
    b.sourceLine += count;
    g_job.ProgressCount += 3 * count;
    ShowJobProgress(505);
    FillReply(reply, rowBytes, rows);
    if (g_job.StripOffset < OutputLines()) {
        g_session.returnCode = TWRC_SUCCESS;
        return;
    }
    g_session.returnCode = TWRC_XFERDONE;
    CleanUpBufferedJob(false);
}

// ---- Files -----------------------------------------------------------------

// Writes `count` top-down rows, laid out in `rows` as they stand in the file
// (bottom-up for BMP), as image rows `first` onwards.
bool WriteFileRows(const ImageFileLayout& layout, uint32_t first, uint32_t count) {
    return WriteJobFile(g_buffered.transfer, ImageFileChunkOffset(layout, first, count),
                        g_buffered.rows.data(), size_t{count} * layout.RowBytes);
}

// Where the first of `count` rows goes in the row buffer, and the step to
// the next: rows of a BMP chunk stand in reverse order.
uint8_t* ChunkStart(const ImageFileLayout& layout, uint32_t count, ptrdiff_t& step) {
    const bool bottomUp = layout.Format == ImageFileFormat::Bmp;
    step = bottomUp ? -static_cast<ptrdiff_t>(layout.RowBytes)
                    : static_cast<ptrdiff_t>(layout.RowBytes);
    return g_buffered.rows.data() + (bottomUp ? size_t{count - 1} * layout.RowBytes : 0);
}

bool WriteOnePassFile(const ImageFileLayout& layout) {
    BufferedJob& b = g_buffered;
    if (!BeginPass(-1, Delivery::File)) return false;
    const uint32_t F = Factor();
    const uint32_t passBytes = g_job.PassLineBytes;
    // Each chunk of the scanner goes out in pieces of about kOutputChunkBytes
    // of file rows: the row buffer does not grow with the page.
    const uint32_t piece = std::min<uint32_t>(
        b.buffer.capacity, LinesPerPiece(size_t{F} * layout.RowBytes));
    b.rows.resize(size_t{piece} * F * layout.RowBytes);
    if (F > 1) b.lines.resize(size_t{piece} * passBytes);
    uint32_t row = 0;
    bool written = true;
    const bool read = ReadPass(b.buffer, false, [&](const uint8_t* chunk, uint32_t n) {
        for (uint32_t done = 0; written && done < n;) {
            const uint32_t m = std::min(piece, n - done);
            const uint8_t* raw = chunk + size_t{done} * passBytes;
            ptrdiff_t step;
            uint8_t* first = ChunkStart(layout, m * F, step);
            if (F == 1) {
                ConvertLines(b.transform, raw, passBytes, m, first, step, layout.RowBytes);
            } else {
                ConvertLines(b.transform, raw, passBytes, m, b.lines.data(), passBytes,
                             passBytes);
                Scale(PassKind(), b.lines.data(), g_job.PixelsPerLine, m, first, step,
                      layout.RowBytes, b.scale.Grey);
            }
            written = WriteFileRows(layout, row, m * F);
            row += m * F;
            done += m;
        }
    });
    if (!read) {
        CleanUpBufferedJob(true);
        return false;
    }
    if (!written) return Fail(5, TWCC_OPERATIONERROR);
    return true;
}

bool WriteColourFile(const ImageFileLayout& layout) {
    if (!ReadPassesToFiles(Delivery::File)) return false;
    BufferedJob& b = g_buffered;
    ResetScaleChannels(b.scale);
    const uint32_t F = Factor();
    const PixelOrder order = FileStoresBlueFirst(layout.Format) ? PixelOrder::Bgr : PixelOrder::Rgb;
    const uint32_t perChunk = std::max<uint32_t>(
        1, static_cast<uint32_t>(kOutputChunkBytes / (size_t{layout.RowBytes} * F)));
    b.rows.resize(size_t{perChunk} * F * layout.RowBytes);
    g_job.ProgressCount = 0;
    ShowJobProgress(505);
    for (uint32_t line = 0; line < g_job.LineCount;) {
        PumpJobMessages();
        if (g_job.AbortRequested) {
            FailJob(0, TWCC_SUCCESS);
            CleanUpBufferedJob(true);
            return false;
        }
        const uint32_t count = std::min(perChunk, g_job.LineCount - line);
        if (!ReadFromPassFiles(line, count)) return Fail(5, TWCC_OPERATIONERROR);
        ptrdiff_t step;
        uint8_t* first = ChunkStart(layout, count * F, step);
        BuildRows(count, first, step, layout.RowBytes, order);
        if (!WriteFileRows(layout, line * F, count * F)) return Fail(5, TWCC_OPERATIONERROR);
        line += count;
        g_job.ProgressCount += 3 * count;
        ShowJobProgress(505);
    }
    return true;
}

// The working buffers of a transfer (converted lines, colour components,
// scaled lines, output rows) are taken as the job needs them; memory that
// cannot be had ends the job as any failed allocation does.
template <typename Step>
void WithWorkingMemory(Step step) {
    try {
        step();
        return;
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    // What the job holds goes before the message, which needs memory too.
    CleanUpBufferedJob(true);
    FailJob(109, TWCC_LOWMEMORY);
}

void TransferStrip(TW_IMAGEMEMXFER& reply, uint8_t* buffer, uint32_t length) {
    if (!BeginJob()) return;
    if (g_settings.ChunkyPixels && Color())
        ChunkyStrip(reply, buffer, length);
    else
        PlaneStrip(reply, buffer, length,
                   g_settings.ChunkyPixels ? Delivery::MemoryChunky : Delivery::MemoryPlanes);
}

void TransferFile(const char* path, uint16_t formatPosition) {
    const std::optional<ImageFileFormat> format = ImageFileFormatFromTwain(formatPosition);
    if (!BeginJob()) return;
    const PixelKind kind = ImagePixelKind(g_settings.ScanMode).value_or(PixelKind::Bit);
    const std::optional<ImageFileLayout> layout =
        format ? MakeImageFileLayout(*format, kind, g_job.PixelsPerLine * Factor(), OutputLines(),
                                     g_settings.Resolution)
               : std::nullopt;
    if (!layout) {
        Fail(5, TWCC_OPERATIONERROR);
        return;
    }
    std::vector<uint8_t> header(layout->HeaderBytes);
    WriteImageFileHeader(*layout, header.data());
    // A BMP file is extended to its full size at once: its rows are placed
    // from the end.
    const uint64_t size = layout->Format == ImageFileFormat::Bmp ? layout->FileBytes : 0;
    if (!CreateJobFile(g_buffered.transfer, path, header, size)) {
        Fail(5, TWCC_OPERATIONERROR);
        return;
    }
    const bool ok = Color() ? WriteColourFile(*layout) : WriteOnePassFile(*layout);
    if (!ok) return;
    g_session.returnCode = TWRC_XFERDONE;
    CleanUpBufferedJob(false);
}

}  // namespace

void MemoryTransfer(TW_IMAGEMEMXFER& reply, uint8_t* buffer, uint32_t length) {
    WithWorkingMemory([&] { TransferStrip(reply, buffer, length); });
}

void FileTransfer(const char* path, uint16_t formatPosition) {
    WithWorkingMemory([&] { TransferFile(path, formatPosition); });
}

bool PlanesRemain() {
    return g_buffered.setUp && !g_settings.ChunkyPixels && Color() && g_job.NewPass &&
           g_job.PassIndex >= 0 && g_job.PassIndex < 2;
}

void CleanUpBufferedJob(bool failed) {
    BufferedJob& b = g_buffered;
    FreeJobBuffer(b.buffer);
    FreeScaleChannels(b.scale);
    for (JobFile& f : b.passFiles) CloseJobFile(f, true);
    CloseJobFile(b.transfer, failed);
    b = BufferedJob{};
    g_job.Interpolate = false;
}
