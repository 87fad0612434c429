// libFuzzer target: the curve file reader of the gamma dialog, fed
// anything. It must read within the data it is given, never report more
// than a curve's entries, and leave the entries it did not reach alone.
#include "gamma/gamma_rules.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An exact-size copy, so that a read past the end is seen by ASan.
    std::vector<uint8_t> file(data, data + size);
    GammaCurve curve;
    curve.fill(0xA5);
    const int entries = ReadCurveFile(file.data(), file.size(), curve);
    if (entries < 0 || entries > 256) std::abort();
    for (int e = entries; e < 256; ++e) {
        // Entries are filled in pairs, odd one first.
        if ((e ^ 1) >= entries && curve[static_cast<size_t>(e)] != 0xA5) std::abort();
    }
    // What the reader accepted writes back into a text it reads the same.
    const std::string text = CurveFileText(curve);
    GammaCurve again;
    if (ReadCurveFile(reinterpret_cast<const uint8_t*>(text.data()), text.size(), again) != 256) std::abort();
    if (again != curve) std::abort();
    return 0;
}
