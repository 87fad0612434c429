// Throughput of every stage of the image path, each case beside a memcpy of
// the same number of output bytes in the same run. Every case is
// registered twice: "<case>" runs the stage, "<case>/memcpy" copies as many
// bytes between two buffers of the same size. scripts/bench pairs them.
//
// Sizes are those of a real scan: lines of a letter-wide page (2,550 pixels
// at 300 dpi, 5,100 at 600 dpi) and chunks of the size the data source
// moves per call: "/chunk" cases take the lines of a full 2 MB transfer
// buffer, "/l64" cases 64 lines (everything stays in the caches).
#include "ds/acquire/image_files.h"
#include "ds/acquire/interpolation.h"
#include "ds/acquire/line_assembly.h"
#include "outside/scanner/virtual_scanner.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr size_t kTransferBuffer = size_t{2} << 20;

std::vector<uint8_t> Noise(size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    std::vector<uint8_t> v(n);
    for (uint8_t& b : v) b = static_cast<uint8_t>(gen());
    return v;
}

ToneCurve SomeCurve() {
    ToneCurve c;
    for (size_t i = 0; i < c.size(); ++i) c[i] = static_cast<uint8_t>((i * i) >> 8);
    return c;
}

PassGeometry Geometry(uint16_t mode, uint32_t bytesPerLine, uint32_t lines) {
    ScanStatusRequest reply{};
    reply.BytesPerLine = static_cast<uint16_t>(bytesPerLine);
    reply.LinesRemaining = lines;
    return *GeometryFromScanStatus(mode, reply);
}

// One measured stage: set up by the constructor of the closure's owner,
// run once per iteration, `bytes` of output per run.
struct Stage {
    size_t bytes = 0;
    std::function<void()> run;
};

using StageMaker = std::function<Stage()>;

void Register(const std::string& name, StageMaker make) {
    benchmark::RegisterBenchmark(name.c_str(), [make](benchmark::State& state) {
        Stage stage = make();
        for (auto _ : state) {
            stage.run();
            benchmark::ClobberMemory();
        }
        state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                                static_cast<int64_t>(stage.bytes));
    });
    benchmark::RegisterBenchmark((name + "/memcpy").c_str(), [make](benchmark::State& state) {
        size_t bytes = make().bytes;
        auto src = std::make_shared<std::vector<uint8_t>>(Noise(bytes, 99));
        auto dst = std::make_shared<std::vector<uint8_t>>(bytes);
        for (auto _ : state) {
            std::memcpy(dst->data(), src->data(), bytes);
            benchmark::DoNotOptimize(dst->data());
            benchmark::ClobberMemory();
        }
        state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                                static_cast<int64_t>(bytes));
    });
}

// Chunk sizes: the lines of a full transfer buffer, or 64 lines.
struct ChunkSize {
    const char* suffix;
    bool full;
};
constexpr ChunkSize kChunks[] = {{"/chunk", true}, {"/l64", false}};

size_t LinesOf(const ChunkSize& c, size_t lineBytes) {
    return c.full ? std::max<size_t>(1, kTransferBuffer / lineBytes) : 64;
}

// ---- Line assembly: tone curve, inversion, mirror ---------------------------

// Grey lines of 5,100 pixels through a transform into unpadded rows (memory
// strips and files) or bottom-up padded rows (native bitmap).
StageMaker GreyLines(Delivery delivery, LineOptions options, bool curve, ChunkSize c) {
    return [=] {
        constexpr size_t pixels = 5100;
        const size_t lines = LinesOf(c, pixels);
        auto t = std::make_shared<LineTransform>(MakeLineTransform(
            PixelKind::Byte, delivery, options, curve ? SomeCurve() : IdentityCurve()));
        auto raw = std::make_shared<std::vector<uint8_t>>(Noise(pixels * lines, 2));
        const PassGeometry g = Geometry(kModeGray, pixels, static_cast<uint32_t>(lines));
        auto rows = std::make_shared<std::vector<uint8_t>>(g.PaddedLineBytes * lines);
        Stage s;
        s.bytes = rows->size();
        if (delivery == Delivery::Native) {
            s.run = [=] { AssembleNativeChunk(*t, g, -1, rows->data(), 0, raw->data(), lines); };
        } else {
            s.run = [=] {
                ConvertLines(*t, raw->data(), pixels, lines, rows->data(), pixels, pixels);
            };
        }
        return s;
    };
}

// 1-bit lines of 5,100 pixels, inverted and mirrored, into native rows.
StageMaker BitLines(ChunkSize c) {
    return [=] {
        constexpr size_t bytes = (5100 + 7) / 8;
        const size_t lines = LinesOf(c, bytes);
        auto t = std::make_shared<LineTransform>(
            MakeLineTransform(PixelKind::Bit, Delivery::Native, {true, true}, IdentityCurve()));
        auto raw = std::make_shared<std::vector<uint8_t>>(Noise(bytes * lines, 3));
        const PassGeometry g = Geometry(kModeLineArt, bytes, static_cast<uint32_t>(lines));
        auto rows = std::make_shared<std::vector<uint8_t>>(g.PaddedLineBytes * lines);
        Stage s;
        s.bytes = rows->size();
        s.run = [=] { AssembleNativeChunk(*t, g, -1, rows->data(), 0, raw->data(), lines); };
        return s;
    };
}

// ---- Colour interleave ----------------------------------------------------------

// The three passes of a chunk into the blue, green, red pixels of native
// rows, each pass through its transform.
StageMaker ColourNative(LineOptions options, bool curve, ChunkSize c) {
    return [=] {
        constexpr size_t pixels = 5100;
        const size_t lines = LinesOf(c, pixels);
        auto t = std::make_shared<LineTransform>(MakeLineTransform(
            PixelKind::Byte, Delivery::Native, options, curve ? SomeCurve() : IdentityCurve()));
        auto raw = std::make_shared<std::vector<uint8_t>>(Noise(pixels * lines, 5));
        const PassGeometry g = Geometry(kModeColor, pixels, static_cast<uint32_t>(lines));
        auto rows = std::make_shared<std::vector<uint8_t>>(g.PaddedLineBytes * lines);
        Stage s;
        s.bytes = rows->size();
        s.run = [=] {
            for (int pass = 0; pass < 3; ++pass)
                AssembleNativeChunk(*t, g, pass, rows->data(), 0, raw->data(), lines);
        };
        return s;
    };
}

// Chunky memory strips: red, green, blue rows from three component chunks.
StageMaker ColourChunky(ChunkSize c) {
    return [=] {
        constexpr size_t pixels = 5100;
        const size_t lines = LinesOf(c, 3 * pixels);
        auto r = std::make_shared<std::vector<uint8_t>>(Noise(pixels * lines, 6));
        auto g = std::make_shared<std::vector<uint8_t>>(Noise(pixels * lines, 7));
        auto b = std::make_shared<std::vector<uint8_t>>(Noise(pixels * lines, 8));
        auto rows = std::make_shared<std::vector<uint8_t>>(3 * pixels * lines);
        Stage s;
        s.bytes = rows->size();
        s.run = [=] {
            InterleaveRgb(r->data(), g->data(), b->data(), pixels, lines, rows->data(),
                          3 * pixels);
        };
        return s;
    };
}

// The colour merge of a file transfer: the three components of a chunk of
// rows into blue, green, red pixels of bottom-up padded BMP rows (or red,
// green, blue top-down TIFF rows), in one sweep or one component at a time.
StageMaker FileMerge(bool bmp, bool byComponent, ChunkSize c) {
    return [=] {
        constexpr size_t pixels = 2550;
        const size_t rowBytes = bmp ? (3 * pixels + 3) & ~size_t{3} : 3 * pixels;
        const size_t lines = c.full ? (size_t{1} << 20) / rowBytes : 64;
        auto comp = std::make_shared<std::vector<uint8_t>>(Noise(3 * pixels * lines, 9));
        auto rows = std::make_shared<std::vector<uint8_t>>(rowBytes * lines);
        const PixelOrder order = bmp ? PixelOrder::Bgr : PixelOrder::Rgb;
        Stage s;
        s.bytes = rows->size();
        s.run = [=] {
            uint8_t* first = bmp ? rows->data() + (lines - 1) * rowBytes : rows->data();
            const ptrdiff_t step = bmp ? -static_cast<ptrdiff_t>(rowBytes)
                                       : static_cast<ptrdiff_t>(rowBytes);
            if (byComponent) {
                for (size_t k = 0; k < 3; ++k)
                    PlaceComponent(comp->data() + k * pixels * lines, pixels, lines, first,
                                   step, ComponentByte(order, k), rowBytes);
            } else {
                const uint8_t* c = comp->data();
                const size_t plane = pixels * lines;
                InterleaveRows(c + ComponentByte(order, 0) * plane, c + plane,
                               c + ComponentByte(order, 2) * plane, pixels, lines, first, step,
                               rowBytes);
            }
        };
        return s;
    };
}

// ---- Interpolation -------------------------------------------------------------

// Lines of 2,550 pixels: as many as one call takes into the interpolation
// buffer of a full transfer buffer (2 MB x F), or 64 input lines.
StageMaker Scale(PixelKind kind, int factor, ChunkSize c) {
    return [=] {
        constexpr size_t pixels = 2550;
        const size_t outLine = ScaleOutputLineBytes(kind, pixels, factor);
        const size_t lines =
            c.full ? std::max<size_t>(1, ScaleInputLinesThatFit(kTransferBuffer * factor, outLine,
                                                                factor))
                   : 64 / static_cast<size_t>(factor);
        auto in = std::make_shared<std::vector<uint8_t>>(
            Noise(lines * ScaleInputLineBytes(kind, pixels), 10));
        auto out = std::make_shared<std::vector<uint8_t>>(lines * factor * outLine);
        auto carry = std::make_shared<CarriedLine>();
        Stage s;
        s.bytes = out->size();
        s.run = [=] { ScaleLines(kind, factor, in->data(), pixels, lines, out->data(), *carry); };
        return s;
    };
}

// ---- File writers ------------------------------------------------------------

// A chunk of rows laid out as they stand in a TIFF or BMP file.
StageMaker Writer(ImageFileFormat format, PixelKind kind, ChunkSize c) {
    return [=] {
        constexpr uint32_t pixels = 5100;
        const uint32_t lineBytes = static_cast<uint32_t>(ScaleInputLineBytes(kind, pixels));
        const uint32_t lines = static_cast<uint32_t>(LinesOf(c, lineBytes));
        const ImageFileLayout l = *MakeImageFileLayout(format, kind, pixels, lines, 300);
        auto rows = std::make_shared<std::vector<uint8_t>>(Noise(size_t{l.LineBytes} * lines, 11));
        auto file = std::make_shared<std::vector<uint8_t>>(size_t{l.RowBytes} * lines);
        Stage s;
        s.bytes = file->size();
        s.run = [=] { PlaceImageRows(l, rows->data(), lines, file->data()); };
        return s;
    };
}

// ---- The virtual scanner -----------------------------------------------------------

// Lines of a letter page read from the virtual scanner in chunks of the
// transfer buffer, a grey or a colour (red) pass at 300 dpi; the pass is
// started again when it runs out (the Start is not timed apart).
StageMaker ScannerLines(uint16_t pass, ChunkSize c) {
    return [=] {
        struct Reader {
            scanner::VirtualScanner scanner{scanner::ScannerConfig{}};
            ScanParameterBlock block{};
            std::vector<uint8_t> memory;
            uint32_t bytesPerLine = 0, lineCount = 0, done = 0, chunk = 0;

            void Restart() {
                ScanParameterBlock b = block;
                scanner.Start(b);
                ScanStatusRequest status{};
                scanner.ScanStatus(status);
                bytesPerLine = status.BytesPerLine;
                lineCount = status.LinesRemaining;
                done = 0;
            }
            void ReadChunk() {
                if (done + chunk > lineCount) Restart();
                TransferBuffer buffer{static_cast<uint32_t>(memory.size()),
                                      static_cast<uint16_t>(chunk), 0, memory.data()};
                ReadRequest read{};
                read.BytesPerLine = static_cast<uint16_t>(bytesPerLine);
                read.LinesToRead = chunk;
                read.LinesDelivered = done;
                read.DescriptorCount = 1;
                read.Buffer = &buffer;
                scanner.Read(read);
                done += chunk;
            }
        };
        auto r = std::make_shared<Reader>();
        ScanParameterBlock& b = r->block;
        b.ModelCode = 1200;
        b.ScanRes = 300;
        b.Frame[2] = 5100;
        b.Frame[3] = 6600;
        b.BrightnessCode = b.ContrastCode = 12;
        b.HighlightLevel = 255;
        b.PassNumber = pass;
        b.Gamma = kGammaCurveSupplied;
        for (int i = 0; i < 256; ++i) b.GammaCode[i] = static_cast<uint8_t>(i);
        r->Restart();
        r->chunk = static_cast<uint32_t>(std::min<size_t>(LinesOf(c, r->bytesPerLine), r->lineCount));
        r->memory.resize(size_t{r->chunk} * r->bytesPerLine);
        Stage s;
        s.bytes = r->memory.size();
        s.run = [=] { r->ReadChunk(); };
        return s;
    };
}

void RegisterAll() {
    for (const ChunkSize& c : kChunks) {
        const std::string z = c.suffix;
        Register("tone/grey/strip/curve+invert+mirror" + z,
                 GreyLines(Delivery::File, {true, true}, true, c));
        Register("tone/grey/native/curve+invert+mirror" + z,
                 GreyLines(Delivery::Native, {true, true}, true, c));
        Register("tone/grey/native/invert+mirror" + z,
                 GreyLines(Delivery::Native, {true, true}, false, c));
        Register("tone/grey/strip/curve" + z, GreyLines(Delivery::File, {}, true, c));
        Register("tone/bits/native/invert+mirror" + z, BitLines(c));
        Register("interleave/native/plain" + z, ColourNative({}, false, c));
        Register("interleave/native/curve+invert+mirror" + z, ColourNative({true, true}, true, c));
        Register("interleave/chunky" + z, ColourChunky(c));
        Register("merge/bmp" + z, FileMerge(true, false, c));
        Register("merge/tiff" + z, FileMerge(false, false, c));
        Register("merge/bmp/by-component" + z, FileMerge(true, true, c));
        for (int kind : {0, 1, 2})
            for (int factor : {2, 4, 6, 8})
                Register("scale/" + std::string(kind == 0 ? "bits" : kind == 1 ? "grey" : "rgb") +
                             "/x" + std::to_string(factor) + z,
                         Scale(static_cast<PixelKind>(kind), factor, c));
        for (ImageFileFormat f : {ImageFileFormat::Tiff, ImageFileFormat::Bmp})
            for (PixelKind k : {PixelKind::Bit, PixelKind::Byte, PixelKind::Rgb})
                Register(std::string("writer/") + (f == ImageFileFormat::Tiff ? "tiff" : "bmp") +
                             (k == PixelKind::Bit ? "/bits" : k == PixelKind::Byte ? "/grey" : "/rgb") + z,
                         Writer(f, k, c));
        Register("scanner/grey" + z, ScannerLines(0, c));
        Register("scanner/colour" + z, ScannerLines(1, c));
    }
}

}  // namespace

int main(int argc, char** argv) {
    RegisterAll();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
