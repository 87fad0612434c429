// Throughput of line assembly on lines of a letter-wide page at 600 dpi
// (5,100 pixels), a chunk of 64 lines per call, beside a memcpy of the same
// bytes for scale.
#include "ds/acquire/line_assembly.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

constexpr size_t kPixels = 5100;
constexpr size_t kLines = 64;

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

void Report(benchmark::State& state, size_t bytesPerIteration) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(bytesPerIteration));
}

void Memcpy(benchmark::State& state) {
    const size_t bytes = static_cast<size_t>(state.range(0));
    const std::vector<uint8_t> src = Noise(bytes, 1);
    std::vector<uint8_t> dst(bytes);
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), bytes);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    Report(state, bytes);
}
// The bytes of one grey chunk, and of one colour chunk of three passes.
BENCHMARK(Memcpy)->Arg(kPixels * kLines)->Arg(3 * kPixels * kLines);

// Grey lines into padded native rows: 0 no step, 1 invert and mirror,
// 2 curve, invert and mirror.
void GreyNative(benchmark::State& state) {
    const LineOptions options{state.range(0) > 0, state.range(0) > 0};
    const ToneCurve curve = state.range(0) > 1 ? SomeCurve() : IdentityCurve();
    const LineTransform t = MakeLineTransform(PixelKind::Byte, Delivery::Native, options, curve);
    ScanStatusRequest reply{};
    reply.BytesPerLine = kPixels;
    reply.LinesRemaining = kLines;
    const PassGeometry g = *GeometryFromScanStatus(kModeGray, reply);
    const std::vector<uint8_t> raw = Noise(kPixels * kLines, 2);
    std::vector<uint8_t> rows(g.PaddedLineBytes * kLines);
    for (auto _ : state) {
        AssembleNativeChunk(t, g, -1, rows.data(), 0, raw.data(), kLines);
        benchmark::ClobberMemory();
    }
    Report(state, raw.size());
}
BENCHMARK(GreyNative)->Arg(0)->Arg(1)->Arg(2);

// Grey lines for a file or memory strip: curve, invert and mirror, unpadded.
void GreyFile(benchmark::State& state) {
    const LineTransform t =
        MakeLineTransform(PixelKind::Byte, Delivery::File, {true, true}, SomeCurve());
    const std::vector<uint8_t> raw = Noise(kPixels * kLines, 3);
    std::vector<uint8_t> rows(raw.size());
    for (auto _ : state) {
        ConvertLines(t, raw.data(), kPixels, kLines, rows.data(), kPixels, kPixels);
        benchmark::ClobberMemory();
    }
    Report(state, raw.size());
}
BENCHMARK(GreyFile);

// 1-bit lines of the same width: invert and mirror (bytes and bits).
void BitsNative(benchmark::State& state) {
    const LineTransform t =
        MakeLineTransform(PixelKind::Bit, Delivery::Native, {true, true}, IdentityCurve());
    ScanStatusRequest reply{};
    reply.BytesPerLine = (kPixels + 7) / 8;
    reply.LinesRemaining = kLines;
    const PassGeometry g = *GeometryFromScanStatus(kModeLineArt, reply);
    const std::vector<uint8_t> raw = Noise(g.PassLineBytes * kLines, 4);
    std::vector<uint8_t> rows(g.PaddedLineBytes * kLines);
    for (auto _ : state) {
        AssembleNativeChunk(t, g, -1, rows.data(), 0, raw.data(), kLines);
        benchmark::ClobberMemory();
    }
    Report(state, raw.size());
}
BENCHMARK(BitsNative);

// The three passes of a colour chunk into blue, green, red native rows:
// 0 plain interleave, 1 with curve, invert and mirror.
void ColourNative(benchmark::State& state) {
    const LineOptions options{state.range(0) > 0, state.range(0) > 0};
    const ToneCurve curve = state.range(0) > 0 ? SomeCurve() : IdentityCurve();
    const LineTransform t = MakeLineTransform(PixelKind::Byte, Delivery::Native, options, curve);
    ScanStatusRequest reply{};
    reply.BytesPerLine = kPixels;
    reply.LinesRemaining = kLines;
    const PassGeometry g = *GeometryFromScanStatus(kModeColor, reply);
    const std::vector<uint8_t> raw = Noise(kPixels * kLines, 5);
    std::vector<uint8_t> rows(g.PaddedLineBytes * kLines);
    for (auto _ : state) {
        for (int pass = 0; pass < 3; ++pass)
            AssembleNativeChunk(t, g, pass, rows.data(), 0, raw.data(), kLines);
        benchmark::ClobberMemory();
    }
    Report(state, 3 * raw.size());
}
BENCHMARK(ColourNative)->Arg(0)->Arg(1);

// Red, green, blue strip rows from three converted component chunks.
void ColourChunky(benchmark::State& state) {
    const std::vector<uint8_t> r = Noise(kPixels * kLines, 6), g = Noise(kPixels * kLines, 7),
                               b = Noise(kPixels * kLines, 8);
    std::vector<uint8_t> rows(3 * kPixels * kLines);
    for (auto _ : state) {
        InterleaveRgb(r.data(), g.data(), b.data(), kPixels, kLines, rows.data(), 3 * kPixels);
        benchmark::ClobberMemory();
    }
    Report(state, rows.size());
}
BENCHMARK(ColourChunky);

// A finished colour row mirrored pixel by pixel (rows built elsewhere).
void ColourRowMirror(benchmark::State& state) {
    std::vector<uint8_t> rows = Noise(3 * kPixels * kLines, 9);
    for (auto _ : state) {
        for (size_t k = 0; k < kLines; ++k)
            MirrorLine(std::span(rows).subspan(k * 3 * kPixels, 3 * kPixels), PixelKind::Rgb);
        benchmark::ClobberMemory();
    }
    Report(state, rows.size());
}
BENCHMARK(ColourRowMirror);

}  // namespace

BENCHMARK_MAIN();
