// Lines per second of the virtual scanner: a 600 dpi colour pass over the
// whole glass (5100 samples a line), read through the Read request the way
// the data source reads, in chunks of its transfer buffer. The scanner must
// stay far faster than the rest of a scan (target: 20,000 lines a second).
#include "outside/scanner/virtual_scanner.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

using namespace scanner;

namespace {

ScanParameterBlock WholeGlass(uint16_t pass, uint16_t background) {
    ScanParameterBlock b;
    std::memset(&b, 0, sizeof b);
    b.ModelCode = 1200;
    b.ScanRes = 600;
    b.Frame[2] = 5100;
    b.Frame[3] = 8400;
    b.BrightnessCode = b.ContrastCode = 14;
    b.HighlightLevel = 255;
    b.PassNumber = pass;
    b.BackgroundCode = background;
    b.Gamma = kGammaCurveSupplied;
    for (int i = 0; i < 256; ++i) b.GammaCode[i] = static_cast<uint8_t>(i);
    return b;
}

void ReadPass(benchmark::State& state, uint16_t pass, uint16_t background) {
    VirtualScanner scanner({});
    const unsigned chunk = 64;
    std::vector<uint8_t> memory(5100 * chunk);
    TransferBuffer buffer{static_cast<uint32_t>(memory.size()), chunk, 0, memory.data()};
    int64_t lines = 0;
    unsigned done = 8400;
    unsigned bytesPerLine = 0;
    for (auto _ : state) {
        if (done == 8400) {
            state.PauseTiming();
            ScanParameterBlock block = WholeGlass(pass, background);
            scanner.Start(block);
            ScanStatusRequest status{};
            scanner.ScanStatus(status);
            bytesPerLine = status.BytesPerLine;
            done = 0;
            state.ResumeTiming();
        }
        ReadRequest read{};
        read.BytesPerLine = static_cast<uint16_t>(bytesPerLine);
        read.LinesToRead = std::min(chunk, 8400 - done);
        read.LinesDelivered = done;
        read.DescriptorCount = 1;
        read.Buffer = &buffer;
        scanner.Read(read);
        if (read.Header.Status != 0) state.SkipWithError("read refused");
        done += read.LinesToRead;
        lines += read.LinesToRead;
        benchmark::DoNotOptimize(memory.data());
    }
    state.SetItemsProcessed(lines);
    state.counters["lines/s"] = benchmark::Counter(static_cast<double>(lines), benchmark::Counter::kIsRate);
}

void BM_ColourPass600(benchmark::State& state) { ReadPass(state, 2, 0); }
void BM_GreyPass600(benchmark::State& state) { ReadPass(state, 0, 0); }
void BM_HalftonePass600(benchmark::State& state) { ReadPass(state, 0, kBackgroundHalftone); }

// Setting up a pass: chart placement, tone table, cell rows.
void BM_StartColourPass600(benchmark::State& state) {
    VirtualScanner scanner({});
    for (auto _ : state) {
        ScanParameterBlock block = WholeGlass(1, 0);
        scanner.Start(block);
        benchmark::DoNotOptimize(block.Header.Status);
    }
}

}  // namespace

BENCHMARK(BM_ColourPass600);
BENCHMARK(BM_GreyPass600);
BENCHMARK(BM_HalftonePass600);
BENCHMARK(BM_StartColourPass600);
BENCHMARK_MAIN();
