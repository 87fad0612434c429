// A host takes images in memory strips (planar and chunky) and as TIFF and
// BMP files, with and without interpolation. Every image must be the one the
// virtual scanner scanned, pixel for pixel, scaled when the resolution is
// above the scanner's ceiling.
#include "tests/win/ds/acquisition_fixture.h"

#include "ds/acquire/buffered_transfer.h"
#include "ds/acquire/interpolation.h"
#include "ds/acquire/line_assembly.h"
#include "ds/acquire/scan_job.h"
#include "ds/acquire/tone_tables.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

enum class Mechanism { MemoryPlanar, MemoryChunky, FileTiff, FileBmp };

const char* Name(Mechanism m) {
    switch (m) {
    case Mechanism::MemoryPlanar: return "memory planar";
    case Mechanism::MemoryChunky: return "memory chunky";
    case Mechanism::FileTiff: return "TIFF file";
    case Mechanism::FileBmp: return "BMP file";
    }
    return "";
}

// An image as top-down rows without padding: 1-bit packed, grey bytes, or
// red, green, blue pixels.
struct Image {
    uint32_t width = 0, height = 0, rowBytes = 0;
    std::vector<uint8_t> rows;
};

uint32_t Get16(const std::vector<uint8_t>& b, size_t at) { return b[at] | b[at + 1] << 8; }
uint32_t Get32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

// Reads a TIFF file as our writer lays it out, checking the directory.
Image ReadTiff(const std::vector<uint8_t>& f) {
    Image image;
    EXPECT_GE(f.size(), 140u);
    if (f.size() < 140) return image;
    EXPECT_EQ(f[0], 'I');
    EXPECT_EQ(Get16(f, 2), 42u);
    const uint32_t dir = Get32(f, 4);
    EXPECT_EQ(Get16(f, dir), 9u);
    uint32_t offset = 0, bytes = 0, samples = 1, bits = 0;
    for (uint32_t e = 0; e < 9; ++e) {
        const size_t at = dir + 2 + 12 * e;
        const uint32_t tag = Get16(f, at), value = Get32(f, at + 8);
        if (tag == 256) image.width = value;
        if (tag == 257) image.height = value;
        if (tag == 258) bits = Get16(f, at + 8);
        if (tag == 273) offset = value;
        if (tag == 277) samples = Get16(f, at + 8);
        if (tag == 279) bytes = value;
    }
    image.rowBytes = samples == 3 ? 3 * image.width : bits == 1 ? (image.width + 7) / 8 : image.width;
    EXPECT_EQ(bytes, image.rowBytes * image.height);
    EXPECT_EQ(f.size(), size_t{offset} + bytes);
    if (f.size() >= size_t{offset} + bytes) image.rows.assign(f.begin() + offset, f.begin() + offset + bytes);
    return image;
}

// Reads a BMP file: bottom-up padded rows, blue-green-red pixels.
Image ReadBmp(const std::vector<uint8_t>& f) {
    Image image;
    EXPECT_GE(f.size(), 54u);
    if (f.size() < 54) return image;
    EXPECT_EQ(f[0], 'B');
    EXPECT_EQ(f[1], 'M');
    EXPECT_EQ(Get32(f, 2), f.size());
    const uint32_t offset = Get32(f, 10);
    image.width = Get32(f, 18);
    image.height = Get32(f, 22);
    const uint32_t bits = Get16(f, 28);
    image.rowBytes = bits == 24 ? 3 * image.width : bits == 1 ? (image.width + 7) / 8 : image.width;
    const uint32_t padded = (image.rowBytes + 3) & ~3u;
    EXPECT_EQ(f.size(), size_t{offset} + size_t{padded} * image.height);
    if (f.size() < size_t{offset} + size_t{padded} * image.height) return image;
    for (uint32_t r = 0; r < image.height; ++r) {
        const uint8_t* row = f.data() + offset + size_t{image.height - 1 - r} * padded;
        for (uint32_t x = 0; x < image.rowBytes; ++x) {
            uint8_t v = row[x];
            if (bits == 24) v = row[x - x % 3 + 2 - x % 3];  // blue-green-red to red-green-blue
            image.rows.push_back(v);
        }
    }
    return image;
}

class BufferedTransferTest : public AcquisitionTest {
protected:
    // Opens, negotiates the mode and mechanism and a 1 x 0.5 inch area at 300
    // dpi (or twice that through interpolation on the 600-dpi model) and
    // starts the scan without the setup window.
    void Start(TW_UINT16 pixelType, Mechanism mechanism, bool interpolate) {
        if (interpolate) {
            ini_.Set(kScanner, "Model", "6000");
            ini_.Set("ZEB-B200CX", "Scaling", "200");
            ini_.Set("ZEB-B200CX", "DpiScale", "0");
        }
        ASSERT_EQ(Open(), TWRC_SUCCESS);
        const bool file = mechanism == Mechanism::FileTiff || mechanism == Mechanism::FileBmp;
        ASSERT_EQ(SetCap(ICAP_XFERMECH, TWTY_UINT16, file ? TWSX_FILE : TWSX_MEMORY), TWRC_SUCCESS);
        ASSERT_EQ(SetCap(ICAP_PIXELTYPE, TWTY_UINT16, pixelType), TWRC_SUCCESS);
        ASSERT_EQ(SetCap(ICAP_XRESOLUTION, TWTY_UINT32, interpolate ? 600 : 300), TWRC_SUCCESS);
        ASSERT_EQ(SetCap(ICAP_PLANARCHUNKY, TWTY_UINT16,
                         mechanism == Mechanism::MemoryPlanar ? TWPC_PLANAR : TWPC_CHUNKY),
                  TWRC_SUCCESS);
        if (file) {
            path_ = wintest::TempPath(mechanism == Mechanism::FileBmp ? "scan.bmp" : "scan.tif");
            TW_SETUPFILEXFER setup{};
            std::strncpy(setup.FileName, path_.c_str(), sizeof setup.FileName - 1);
            // A BMP file asked for the standard way: named with its format.
            setup.Format = mechanism == Mechanism::FileBmp ? TWFF_BMP : TWFF_TIFF;
            ASSERT_EQ(Call(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &setup), TWRC_SUCCESS);
        }
        // Across the grey ramp and into the colour patches of the test chart.
        ASSERT_EQ(SetLayout(1.0, 1.6, 2.0, 2.8), TWRC_SUCCESS);
        ASSERT_EQ(EnableWithoutUi(), TWRC_SUCCESS);
        ASSERT_EQ(g_session.state, kState6XferReady);
        ASSERT_EQ(g_job.Interpolate, interpolate);
        sent_ = g_settings.Block;
        ASSERT_EQ(Call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info_), TWRC_SUCCESS);
    }

    void TearDown() override {
        if (!path_.empty()) DeleteFileA(path_.c_str());
        AcquisitionTest::TearDown();
    }

    // What the scanner scanned for the sent block, as the image the host
    // should receive: passes interleaved, scaled by the factor.
    Image Expected(TW_UINT16 pixelType, int factor) {
        Image image;
        const int passes = pixelType == TWPT_RGB ? 3 : 1;
        std::vector<std::vector<uint8_t>> planes;
        uint16_t bytes = 0;
        uint32_t lines = 0;
        for (int p = 0; p < passes; ++p)
            planes.push_back(ReferencePass(sent_, passes == 3 ? p + 1 : 0, bytes, lines));
        const PixelKind kind = pixelType == TWPT_BW ? PixelKind::Bit : PixelKind::Byte;
        const uint32_t pixels = kind == PixelKind::Bit ? bytes * 8u : bytes;
        if (factor > 1) {
            for (auto& plane : planes) {
                CarriedLine carry;
                std::vector<uint8_t> scaled(plane.size() * factor * factor);
                ScaleLines(kind, factor, plane.data(), pixels, lines, scaled.data(), carry);
                plane.swap(scaled);
            }
            lines *= factor;
            bytes *= factor;
        }
        image.width = pixels * factor;
        image.height = lines;
        image.rowBytes = bytes * passes;
        if (passes == 1) {
            image.rows = planes[0];
        } else {
            image.rows.resize(size_t{image.rowBytes} * lines);
            for (size_t i = 0; i < size_t{bytes} * lines; ++i)
                for (int c = 0; c < 3; ++c) image.rows[3 * i + c] = planes[c][i];
        }
        return image;
    }

    // Takes every strip of one image into a 16 KB host buffer owned as a
    // handle or a pointer; gives the rows and checks each strip's reply.
    Image TakeMemoryImage(bool handle) {
        Image image;
        constexpr uint32_t kLength = 16384;
        HGLOBAL h = GlobalAlloc(GHND, kLength);
        std::vector<uint8_t> pointer(kLength);
        for (TW_UINT16 rc = TWRC_SUCCESS; rc == TWRC_SUCCESS;) {
            TW_IMAGEMEMXFER xfer{};
            xfer.Memory.Flags = TWMF_APPOWNS | (handle ? TWMF_HANDLE : TWMF_POINTER);
            xfer.Memory.Length = kLength;
            xfer.Memory.TheMem = handle ? static_cast<void*>(h) : pointer.data();
            rc = Call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &xfer);
            EXPECT_TRUE(rc == TWRC_SUCCESS || rc == TWRC_XFERDONE) << rc;
            if (rc != TWRC_SUCCESS && rc != TWRC_XFERDONE) break;
            EXPECT_EQ(xfer.YOffset, image.height);
            EXPECT_EQ(xfer.BytesWritten, xfer.BytesPerRow * xfer.Rows);
            EXPECT_EQ(xfer.Memory.Length, kLength) << "the host's memory record comes back as given";
            image.width = xfer.Columns;
            image.rowBytes = xfer.BytesPerRow;
            image.height += xfer.Rows;
            const uint8_t* data = handle ? static_cast<uint8_t*>(GlobalLock(h)) : pointer.data();
            image.rows.insert(image.rows.end(), data, data + xfer.BytesWritten);
            if (handle) GlobalUnlock(h);
        }
        GlobalFree(h);
        return image;
    }

    Image Take(Mechanism mechanism, TW_UINT16 pixelType) {
        if (mechanism == Mechanism::FileTiff || mechanism == Mechanism::FileBmp) {
            TW_UINT16 rc = Call(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, nullptr);
            EXPECT_EQ(rc, TWRC_XFERDONE);
            const auto bytes = wintest::ReadWholeFile(path_);
            return mechanism == Mechanism::FileBmp ? ReadBmp(bytes) : ReadTiff(bytes);
        }
        if (mechanism == Mechanism::MemoryChunky || pixelType != TWPT_RGB)
            return TakeMemoryImage(pixelType == TWPT_GRAY);
        // Planar colour: three images, one plane each, each ended by the host.
        Image planes[3];
        for (int p = 0; p < 3; ++p) {
            planes[p] = TakeMemoryImage(p == 1);
            TW_PENDINGXFERS pending{};
            EXPECT_EQ(Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending), TWRC_SUCCESS);
            EXPECT_EQ(pending.Count, 2 - p) << "planes still to come stay pending";
        }
        Image image = planes[0];
        image.rowBytes *= 3;
        image.rows.assign(planes[0].rows.size() * 3, 0);
        for (size_t i = 0; i < planes[0].rows.size(); ++i)
            for (int c = 0; c < 3; ++c)
                image.rows[3 * i + c] = i < planes[c].rows.size() ? planes[c].rows[i] : 0;
        return image;
    }

    void Check(TW_UINT16 pixelType, Mechanism mechanism, bool interpolate) {
        SCOPED_TRACE(std::string(Name(mechanism)) + (interpolate ? ", interpolated" : ""));
        Start(pixelType, mechanism, interpolate);
        if (HasFatalFailure()) return;
        const Image expected = Expected(pixelType, interpolate ? 2 : 1);
        EXPECT_EQ(info_.ImageWidth, static_cast<int32_t>(expected.width));
        EXPECT_EQ(info_.ImageLength, static_cast<int32_t>(expected.height));
        const Image got = Take(mechanism, pixelType);
        EXPECT_EQ(got.width, expected.width);
        EXPECT_EQ(got.height, expected.height);
        EXPECT_EQ(got.rowBytes, expected.rowBytes);
        ASSERT_EQ(got.rows.size(), expected.rows.size());
        const auto diff = std::mismatch(got.rows.begin(), got.rows.end(), expected.rows.begin());
        EXPECT_TRUE(diff.first == got.rows.end())
            << "image differs from the scan at byte " << (diff.first - got.rows.begin())
            << " of " << got.rows.size() << " (row bytes " << got.rowBytes << "): "
            << (diff.first == got.rows.end() ? 0 : int{*diff.first}) << " for "
            << (diff.first == got.rows.end() ? 0 : int{*diff.second});
        EXPECT_FALSE(g_job.Started) << "the job is over";
    }

    // One scan per mechanism, each in a fresh session.
    void CheckEveryMechanism(TW_UINT16 pixelType, bool interpolate) {
        for (Mechanism m : {Mechanism::MemoryPlanar, Mechanism::MemoryChunky, Mechanism::FileTiff,
                            Mechanism::FileBmp}) {
            Check(pixelType, m, interpolate);
            TearDown();
            SetUp();
        }
    }

    std::string path_;
    ScanParameterBlock sent_{};
    TW_IMAGEINFO info_{};
};

}  // namespace

TEST_F(BufferedTransferTest, GreyInEveryMechanism) { CheckEveryMechanism(TWPT_GRAY, false); }

TEST_F(BufferedTransferTest, ColourInEveryMechanism) { CheckEveryMechanism(TWPT_RGB, false); }

TEST_F(BufferedTransferTest, LineArtInEveryMechanism) { CheckEveryMechanism(TWPT_BW, false); }

TEST_F(BufferedTransferTest, InterpolatedGreyAndLineArtInEveryMechanism) {
    CheckEveryMechanism(TWPT_GRAY, true);
    CheckEveryMechanism(TWPT_BW, true);
}

TEST_F(BufferedTransferTest, InterpolatedColourInEveryMechanism) {
    CheckEveryMechanism(TWPT_RGB, true);
}

TEST_F(BufferedTransferTest, AHostBufferSmallerThanARowIsInsufficientMemory) {
    wintest::MessageBoxWatcher watcher;
    Start(TWPT_GRAY, Mechanism::MemoryPlanar, false);
    std::vector<uint8_t> tiny(100);
    TW_IMAGEMEMXFER xfer{};
    xfer.Memory = {TWMF_APPOWNS | TWMF_POINTER, 100, tiny.data()};
    EXPECT_EQ(Call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &xfer), TWRC_CANCEL);
    EXPECT_EQ(Status(), TWCC_LOWMEMORY);
    ASSERT_TRUE(watcher.WaitFor(1));
    EXPECT_EQ(watcher.Boxes()[0].text, " Insufficient Memory.");
}

TEST_F(BufferedTransferTest, AMemoryRequestWithoutAHostBufferIsRefused) {
    Start(TWPT_GRAY, Mechanism::MemoryChunky, false);
    TW_IMAGEMEMXFER xfer{};
    xfer.Memory = {TWMF_DSOWNS | TWMF_POINTER, 0, nullptr};
    EXPECT_EQ(Call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &xfer), TWRC_FAILURE);
    EXPECT_EQ(Status(), TWCC_BADVALUE);
    xfer.Memory = {TWMF_APPOWNS | TWMF_POINTER, 4096, nullptr};
    EXPECT_EQ(Call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &xfer), TWRC_FAILURE);
    EXPECT_EQ(g_session.state, kState6XferReady) << "the scan is still there to be taken";
}

TEST_F(BufferedTransferTest, AFailedFileTransferLeavesNoFilesBehind) {
    wintest::MessageBoxWatcher watcher;
    ini_.Set(kScanner, "ReadFaultLine", "60");
    ini_.Set(kScanner, "ReadFaultStatus", "0x8217");
    ini_.Set(kScanner, "ReadFaultPass", "2");
    Start(TWPT_RGB, Mechanism::FileTiff, false);
    EXPECT_EQ(Call(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, nullptr), TWRC_CANCEL);
    EXPECT_EQ(Status(), TWCC_OPERATIONERROR);
    EXPECT_FALSE(wintest::FileExists(path_)) << "the transfer file of a failed transfer goes";
    // No pass file stays in the working folder either.
    std::string working = g_session.defaultFileSetup.FileName;
    working.resize(working.find_last_of('\\') + 1);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((working + "tQk*").c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE) << found.cFileName;
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    ASSERT_TRUE(watcher.WaitFor(1));
    EXPECT_EQ(watcher.Boxes()[0].text, " Paper Jammed in Automatic Document Feeder");
}

TEST_F(BufferedTransferTest, AHostThatEndsTheTransferMidwayStopsTheScan) {
    Start(TWPT_RGB, Mechanism::MemoryPlanar, false);
    std::vector<uint8_t> buffer(8192);
    TW_IMAGEMEMXFER xfer{};
    xfer.Memory = {TWMF_APPOWNS | TWMF_POINTER, 8192, buffer.data()};
    ASSERT_EQ(Call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &xfer), TWRC_SUCCESS);
    TW_PENDINGXFERS pending{};
    EXPECT_EQ(Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending), TWRC_SUCCESS);
    EXPECT_EQ(pending.Count, 0);
    EXPECT_EQ(g_session.state, kState5Enabled);
    EXPECT_FALSE(g_job.Started);
    EXPECT_FALSE(PlanesRemain());
}

TEST_F(BufferedTransferTest, AFileThatCannotBeCreatedFailsWithTheWriteError) {
    wintest::MessageBoxWatcher watcher;
    Start(TWPT_GRAY, Mechanism::FileTiff, false);
    const std::string missing = wintest::TempPath("no_such_folder") + "\\scan.tif";
    TW_SETUPFILEXFER setup{};
    std::strncpy(setup.FileName, missing.c_str(), sizeof setup.FileName - 1);
    ASSERT_EQ(Call(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &setup), TWRC_SUCCESS);
    EXPECT_EQ(Call(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, nullptr), TWRC_CANCEL);
    EXPECT_EQ(Status(), TWCC_OPERATIONERROR);
    ASSERT_TRUE(watcher.WaitFor(1));
    EXPECT_EQ(watcher.Boxes()[0].text, "Write disk file error.");
    EXPECT_EQ(g_session.state, kState7Transferring);
}

TEST_F(BufferedTransferTest, EscDuringAChunkyColourScanLeavesNoFilesAndNoJob) {
    ini_.Set(kScanner, "EscapeAfterLines", "500");  // during the green pass
    Start(TWPT_RGB, Mechanism::MemoryChunky, false);
    std::vector<uint8_t> buffer(65536);
    TW_IMAGEMEMXFER xfer{};
    xfer.Memory = {TWMF_APPOWNS | TWMF_POINTER, 65536, buffer.data()};
    EXPECT_EQ(Call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &xfer), TWRC_CANCEL);
    EXPECT_FALSE(g_job.Started);
    std::string working = g_session.defaultFileSetup.FileName;
    working.resize(working.find_last_of('\\') + 1);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((working + "tQk*").c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE) << found.cFileName;
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    TW_PENDINGXFERS pending{};
    EXPECT_EQ(Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending), TWRC_SUCCESS);
    EXPECT_EQ(pending.Count, 0);
}

// Levels set for "each pass its own component" leave a one-pass scan alone
// on its way straight to the host, but every line through the pass-file
// path of chunky strips and files takes the grey level curve - also now
// that a one-pass chunky strip is converted straight into the host's buffer.
TEST_F(BufferedTransferTest, TheGreyLevelCurveReachesChunkyStripsAndFilesButNotPlanes) {
    const ToneState savedTone = g_tone;
    uint8_t* tables = ToneTablesAddress();
    ASSERT_NE(tables, nullptr);
    std::vector<uint8_t> savedCurve(tables + kLevelCurveGrey, tables + kLevelCurveGrey + 256);
    ToneCurve curve;
    for (int v = 0; v < 256; ++v) curve[v] = static_cast<uint8_t>(255 - v / 2);
    for (Mechanism m : {Mechanism::MemoryPlanar, Mechanism::MemoryChunky, Mechanism::FileTiff}) {
        SCOPED_TRACE(Name(m));
        Start(TWPT_GRAY, m, false);
        if (HasFatalFailure()) break;
        g_tone.LevelsApplied = true;
        g_tone.LevelChannel = kLevelChannelEach;
        std::copy(curve.begin(), curve.end(), tables + kLevelCurveGrey);
        Image expected = Expected(TWPT_GRAY, 1);
        if (m != Mechanism::MemoryPlanar)
            for (uint8_t& b : expected.rows) b = curve[b];
        const Image got = Take(m, TWPT_GRAY);
        EXPECT_EQ(got.rows, expected.rows);
        g_tone.LevelsApplied = savedTone.LevelsApplied;
        g_tone.LevelChannel = savedTone.LevelChannel;
        TearDown();
        SetUp();
        tables = ToneTablesAddress();
        ASSERT_NE(tables, nullptr);
    }
    std::copy(savedCurve.begin(), savedCurve.end(), tables + kLevelCurveGrey);
}
