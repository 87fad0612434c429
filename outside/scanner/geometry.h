// Pass geometry of the virtual scanner: what a Start block asks for, turned
// into samples per line, bytes per line and lines, or a refusal.
#pragma once

#include "common/driver_request.h"

#include <cstdint>

namespace scanner {

// Status words of the virtual scanner's own refusals. The data source treats
// every one of them as "not ready".
constexpr uint16_t kStatusBadBlock = 0x0001;      // Start block impossible
constexpr uint16_t kStatusBadRead = 0x0002;       // Read request cannot be honoured
constexpr uint16_t kStatusNoPass = 0x0003;        // Scan status or Read without a pass
constexpr uint16_t kStatusBadOperation = 0x0004;  // unknown operation code

// The readable area: 216 x 356 mm, a little more than the 8.5 x 14 inch
// paper that lies on it, so that frames built from metric page sizes fit.
constexpr double kAreaWidthMm = 216.0;
constexpr double kAreaLengthMm = 356.0;

// What the scanner delivers for one pass.
enum class PassKind : uint8_t { Grey, Red, Green, Blue, LineArt, Halftone };

// Which parts the scanner has, as far as Start is concerned.
struct DeviceOptions {
    bool adapter = false;
    bool feeder = false;
    bool colourWithFeeder = true;
};

struct PassGeometry {
    uint16_t status = 0;        // 0: accepted; else the refusal
    unsigned baseResolution = 0;
    unsigned scanResolution = 0;
    unsigned pixels = 0;        // samples per line (a multiple of 8 for 1-bit)
    unsigned bytesPerLine = 0;
    unsigned lines = 0;
    PassKind kind = PassKind::Grey;
    double leftInches = 0;      // frame origin on the glass
    double topInches = 0;
    unsigned source = 0;        // 0 glass, 1 transparency adapter, 2 feeder
    bool negativeFilm = false;  // only with the adapter

    bool oneBit() const { return kind == PassKind::LineArt || kind == PassKind::Halftone; }
    // 0 red, 1 green, 2 blue, 3 grey (luminance).
    int component() const;
};

// Frame unit of the model code sent in the block: 300, 600 or 400 dpi; 0 for
// a code the scanner does not know.
unsigned BaseResolutionFor(uint16_t modelCodeSent);

// Reads the whole block and either accepts it with its geometry or refuses it.
PassGeometry ComputePassGeometry(const ScanParameterBlock& block, const DeviceOptions& options);

}  // namespace scanner
