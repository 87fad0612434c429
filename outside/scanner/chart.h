// The test chart on the glass and the raw samples of a pass over it (or over
// a picture from the configuration).
//
// The chart is white paper of 8.5 x 14 inches with a registration frame and
// crosses, a grey ramp, grey steps, saturated colour patches, fine-line
// resolution wedges (vertical and horizontal lines from 5 to 300 line pairs
// per inch), rows of text-like marks and two colour sweeps. It is described
// by features in inches, so any resolution samples the same drawing.
#pragma once

#include "outside/scanner/geometry.h"
#include "outside/scanner/picture.h"

#include <cstdint>
#include <vector>

namespace scanner {

enum class FeatureKind : uint8_t {
    Solid,           // one colour
    GreyRamp,        // black at x0 to white at x1
    VerticalBars,    // black and white vertical lines, `param` line pairs per inch
    HorizontalBars,  // the same, horizontal
    HueSweep,        // hues across; from white (param 0) or black (param 1) at
                     // the top to the full colour at the bottom
};

struct ChartFeature {
    double x0, y0, x1, y1;  // inches; covers x0 <= x < x1, y0 <= y < y1
    FeatureKind kind;
    Rgb colour;             // Solid only
    double param;
};

// Every feature of the chart, in painting order (later ones cover earlier).
const std::vector<ChartFeature>& ChartFeatures();

// One component (0 red, 1 green, 2 blue, 3 luminance) of the chart at a
// point of the glass, by painting every feature in order: the plain
// definition that the fast pass rendering follows.
uint8_t ChartSampleAt(double x, double y, int component);

// The same in two steps, for many points of one row: the features that
// cover row y (in painting order), then the sample at x from them.
std::vector<const ChartFeature*> ChartFeaturesOnRow(double y);
uint8_t ChartSampleOnRow(const std::vector<const ChartFeature*>& row, double x, double y, int component);

// 0 red, 1 green, 2 blue, 3 luminance.
uint8_t ComponentOf(Rgb colour, int component);

// The area lit by the transparency adapter, in inches; outside it the film
// holder is opaque.
constexpr double kFilmLeft = 0.03, kFilmRight = 8.03, kFilmTop = 0.0, kFilmBottom = 10.0;

// Raw samples of one pass (before tone). Everything that depends only on the
// pass is computed once here, so that a line is a few fills and copies.
class PassImage {
public:
    // `picture` replaces the chart when given; it is fitted into the 8.5 x 14
    // inch paper area at the top left corner, keeping its proportions.
    PassImage(const PassGeometry& geometry, const Picture* picture);

    // Writes geometry.pixels samples of line `line` (0 = the frame's top).
    void RenderLine(unsigned line, uint8_t* samples) const;

    // Centre of sample `i` / line `j` on the glass, inches.
    double SampleX(unsigned i) const;
    double LineY(unsigned j) const;

private:
    struct Placed {
        unsigned i0, i1, j0, j1;  // samples and lines covered
        FeatureKind kind;
        uint8_t value;            // Solid
        uint8_t base;             // HueSweep: 255 or 0
        size_t table;             // offset into tables_ (ramp, bars, sweep)
        const ChartFeature* feature;
    };
    void PlaceChart();
    void PlacePicture(const Picture& picture);
    void RenderChart(unsigned line, uint8_t* samples) const;
    void RenderPicture(unsigned line, uint8_t* samples) const;

    PassGeometry g_;
    int component_;
    bool usePicture_ = false;
    std::vector<Placed> placed_;
    std::vector<uint8_t> tables_;
    unsigned bucketLines_ = 1;
    std::vector<std::vector<uint32_t>> buckets_;
    // Picture: one component plane and the picture column of every sample.
    std::vector<uint8_t> plane_;
    unsigned pictureWidth_ = 0, pictureHeight_ = 0;
    double inchesPerPicturePixel_ = 1;
    std::vector<int32_t> pictureColumn_;
    // Transparency adapter: samples and lines inside the lit area.
    unsigned filmI0_ = 0, filmI1_ = 0, filmJ0_ = 0, filmJ1_ = 0;
};

}  // namespace scanner
