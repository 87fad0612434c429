// Throughput of resolution scaling and of the file writers, each beside a
// memcpy of the same number of bytes in the same run. Bytes are counted on
// the output side: the rows a call writes.
//
// Scaling: lines of 2,550 pixels (a letter-wide page scanned at 300 dpi),
// every pixel kind and factor, as many input lines per call as fill the
// destination: 256 KB (a host's memory strip, cache-resident) or
// 2 MB x F (the interpolation buffer of a colour file merge with a full
// 2 MB transfer buffer).
// Writers: a 2,550 x 64 image of every kind laid out as a whole TIFF or BMP
// file in memory.
#include "ds/acquire/image_files.h"
#include "ds/acquire/interpolation.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

constexpr size_t kPixels = 2550;
constexpr size_t kFileLines = 64;

std::vector<uint8_t> Noise(size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    std::vector<uint8_t> v(n);
    for (uint8_t& b : v) b = static_cast<uint8_t>(gen());
    return v;
}

PixelKind KindOf(int64_t arg) { return static_cast<PixelKind>(arg); }

// Input lines of one call into a destination of `capacity` bytes.
size_t LinesPerCall(PixelKind kind, int factor, size_t capacity) {
    const size_t lines =
        ScaleInputLinesThatFit(capacity, ScaleOutputLineBytes(kind, kPixels, factor), factor);
    return lines > 0 ? lines : 1;
}

size_t ScaledBytes(PixelKind kind, int factor, size_t capacity) {
    return LinesPerCall(kind, factor, capacity) * static_cast<size_t>(factor) *
           ScaleOutputLineBytes(kind, kPixels, factor);
}

// Destination bytes by the third argument: 0 a memory strip, 1 the buffer.
size_t Capacity(int64_t arg, int factor) {
    return arg == 0 ? size_t{256} << 10 : (size_t{2} << 20) * static_cast<size_t>(factor);
}

void Report(benchmark::State& state, size_t bytesPerIteration) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(bytesPerIteration));
}

void Copy(benchmark::State& state, size_t bytes) {
    const std::vector<uint8_t> src = Noise(bytes, 1);
    std::vector<uint8_t> dst(bytes);
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), bytes);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    Report(state, bytes);
}

// Arguments: pixel kind (0 bits, 1 grey, 2 colour), factor, destination.
void Scale(benchmark::State& state) {
    const PixelKind kind = KindOf(state.range(0));
    const int factor = static_cast<int>(state.range(1));
    const size_t capacity = Capacity(state.range(2), factor);
    const size_t lines = LinesPerCall(kind, factor, capacity);
    const std::vector<uint8_t> in = Noise(lines * ScaleInputLineBytes(kind, kPixels), 2);
    std::vector<uint8_t> out(ScaledBytes(kind, factor, capacity));
    CarriedLine carry;
    for (auto _ : state) {
        ScaleLines(kind, factor, in.data(), kPixels, lines, out.data(), carry);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    Report(state, out.size());
}

void ScaleMemcpy(benchmark::State& state) {
    const int factor = static_cast<int>(state.range(1));
    Copy(state, ScaledBytes(KindOf(state.range(0)), factor, Capacity(state.range(2), factor)));
}

void ScaleArgs(benchmark::internal::Benchmark* b) {
    for (int destination : {0, 1})
        for (int kind : {0, 1, 2})
            for (int factor : {2, 4, 6, 8}) b->Args({kind, factor, destination});
}
BENCHMARK(Scale)->Apply(ScaleArgs);
BENCHMARK(ScaleMemcpy)->Apply(ScaleArgs);

// Arguments: format (0 TIFF, 2 BMP) and pixel kind.
ImageFileLayout FileLayout(benchmark::State& state) {
    const auto format = static_cast<ImageFileFormat>(state.range(0));
    const PixelKind kind = KindOf(state.range(1));
    const uint32_t width = kind == PixelKind::Bit ? 8 * kPixels : kPixels;
    return *MakeImageFileLayout(format, kind, width, kFileLines, 600);
}

void WriteFile(benchmark::State& state) {
    const ImageFileLayout l = FileLayout(state);
    const std::vector<uint8_t> rows = Noise(size_t{l.LineBytes} * l.Lines, 3);
    std::vector<uint8_t> file(l.FileBytes);
    for (auto _ : state) {
        WriteImageFileHeader(l, file.data());
        PlaceImageRows(l, rows.data(), l.Lines, file.data() + ImageFileChunkOffset(l, 0, l.Lines));
        benchmark::DoNotOptimize(file.data());
        benchmark::ClobberMemory();
    }
    Report(state, file.size());
}

void WriteFileMemcpy(benchmark::State& state) { Copy(state, FileLayout(state).FileBytes); }

void FileArgs(benchmark::internal::Benchmark* b) {
    for (int format : {0, 2})
        for (int kind : {0, 1, 2}) b->Args({format, kind});
}
BENCHMARK(WriteFile)->Apply(FileArgs);
BENCHMARK(WriteFileMemcpy)->Apply(FileArgs);

}  // namespace

BENCHMARK_MAIN();
