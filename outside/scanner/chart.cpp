#include "outside/scanner/chart.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace scanner {

namespace {

constexpr Rgb kBlack{0, 0, 0};
constexpr double kPaperWidth = 8.5, kPaperLength = 14.0;

void Rect(std::vector<ChartFeature>& f, double x0, double y0, double x1, double y1, Rgb c) {
    f.push_back({x0, y0, x1, y1, FeatureKind::Solid, c, 0});
}

void Outline(std::vector<ChartFeature>& f, double x0, double y0, double x1, double y1, double w) {
    Rect(f, x0, y0, x1, y0 + w, kBlack);
    Rect(f, x0, y1 - w, x1, y1, kBlack);
    Rect(f, x0, y0, x0 + w, y1, kBlack);
    Rect(f, x1 - w, y0, x1, y1, kBlack);
}

void Cross(std::vector<ChartFeature>& f, double cx, double cy, double arm, double w) {
    Rect(f, cx - arm, cy - w / 2, cx + arm, cy + w / 2, kBlack);
    Rect(f, cx - w / 2, cy - arm, cx + w / 2, cy + arm, kBlack);
}

// Text-like marks: words of glyphs on a 3 x 5 grid whose strokes come from a
// fixed pseudo-random sequence, so the page looks like print and is the same
// every time.
void TextRows(std::vector<ChartFeature>& f, double top, double bottom, double scale, uint32_t seed,
              double left = 0.5, double right = 8.0) {
    uint32_t state = seed;
    auto next = [&state]() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    const double cell = 0.02 * scale;  // one stroke
    const double glyphWidth = 3 * cell, glyphHeight = 5 * cell;
    const double letterGap = cell, wordGap = 3 * cell, rowPitch = 9 * cell;
    for (double y = top; y + glyphHeight <= bottom; y += rowPitch) {
        double x = left;
        while (true) {
            int letters = 2 + static_cast<int>(next() % 7);
            if (x + letters * (glyphWidth + letterGap) > right) break;
            for (int l = 0; l < letters; ++l) {
                uint32_t bits = next() | 0x2000;  // never an empty glyph
                for (int row = 0; row < 5; ++row) {
                    // Runs of set strokes in this row become one rectangle.
                    int col = 0;
                    while (col < 3) {
                        if (!(bits >> (row * 3 + col) & 1)) {
                            ++col;
                            continue;
                        }
                        int end = col;
                        while (end < 3 && (bits >> (row * 3 + end) & 1)) ++end;
                        Rect(f, x + col * cell, y + row * cell, x + end * cell, y + (row + 1) * cell,
                             kBlack);
                        col = end;
                    }
                }
                x += glyphWidth + letterGap;
            }
            x += wordGap;
        }
    }
}

std::vector<ChartFeature> BuildChart() {
    std::vector<ChartFeature> f;
    const double left = 0.5, right = 8.0;

    // Registration: a frame 0.25 inch inside the paper edge, crosses near
    // the corners and one at the centre.
    Outline(f, 0.25, 0.25, kPaperWidth - 0.25, kPaperLength - 0.25, 0.03);
    for (double cx : {0.6, kPaperWidth - 0.6})
        for (double cy : {0.6, kPaperLength - 0.6}) Cross(f, cx, cy, 0.15, 0.02);
    Cross(f, kPaperWidth / 2, kPaperLength / 2, 0.2, 0.02);

    // A heading of large marks between the upper crosses.
    TextRows(f, 0.45, 0.85, 3.0, 7, 1.0, 7.5);

    // Grey ramp and 16 grey steps.
    f.push_back({left, 1.0, right, 1.8, FeatureKind::GreyRamp, {}, 0});
    for (int k = 0; k < 16; ++k) {
        double w = (right - left) / 16;
        uint8_t v = static_cast<uint8_t>(17 * k);
        Rect(f, left + k * w, 1.9, left + (k + 1) * w, 2.4, Rgb{v, v, v});
    }

    // Saturated colour patches and a mid grey.
    const Rgb patches[8] = {{255, 0, 0},   {0, 255, 0},   {0, 0, 255},   {0, 255, 255},
                            {255, 0, 255}, {255, 255, 0}, {0, 0, 0},     {128, 128, 128}};
    for (int k = 0; k < 8; ++k) {
        double w = (right - left) / 8;
        Rect(f, left + k * w + 0.02, 2.6, left + (k + 1) * w - 0.02, 3.6, patches[k]);
    }

    // Resolution wedges: groups of vertical, then horizontal lines.
    const double lpi[9] = {5, 10, 20, 40, 75, 100, 150, 200, 300};
    for (int k = 0; k < 9; ++k) {
        double x0 = left + k * (right - left) / 9;
        double x1 = x0 + (right - left) / 9 - 0.05;
        f.push_back({x0, 3.9, x1, 5.0, FeatureKind::VerticalBars, {}, lpi[k]});
        f.push_back({x0, 5.2, x1, 6.3, FeatureKind::HorizontalBars, {}, lpi[k]});
    }

    // Text in three sizes.
    TextRows(f, 6.6, 8.4, 1.0, 11);
    TextRows(f, 8.5, 9.0, 0.5, 13);
    TextRows(f, 9.1, 9.5, 2.0, 17);

    // Colour sweeps: from white and from black into the full hues.
    f.push_back({left, 9.7, right, 11.7, FeatureKind::HueSweep, {}, 0});
    f.push_back({left, 11.9, right, 12.9, FeatureKind::HueSweep, {}, 1});

    TextRows(f, 13.05, 13.5, 0.5, 19);
    return f;
}

Rgb Hue(double h) {
    int pos = std::clamp(static_cast<int>(h * 1536), 0, 1535);
    int sector = pos / 256;
    uint8_t up = static_cast<uint8_t>(pos % 256), down = static_cast<uint8_t>(255 - pos % 256);
    switch (sector) {
        case 0: return {255, up, 0};
        case 1: return {down, 255, 0};
        case 2: return {0, 255, up};
        case 3: return {0, down, 255};
        case 4: return {up, 0, 255};
        default: return {255, 0, down};
    }
}

// The value of a feature that depends on x only (ramp, vertical bars, hue).
uint8_t ColumnValue(const ChartFeature& f, double x, int component) {
    switch (f.kind) {
        case FeatureKind::GreyRamp:
            return static_cast<uint8_t>(std::clamp(static_cast<int>(255 * (x - f.x0) / (f.x1 - f.x0)), 0, 255));
        case FeatureKind::VerticalBars:
            return static_cast<int64_t>(std::floor((x - f.x0) * 2 * f.param)) % 2 == 0 ? 0 : 255;
        case FeatureKind::HueSweep:
            return ComponentOf(Hue((x - f.x0) / (f.x1 - f.x0)), component);
        default:
            return ComponentOf(f.colour, component);
    }
}

bool DarkRow(const ChartFeature& f, double y) {
    return static_cast<int64_t>(std::floor((y - f.y0) * 2 * f.param)) % 2 == 0;
}

// Weight of the full hue on row y of a sweep, 0..256.
int SweepWeight(const ChartFeature& f, double y) {
    return std::clamp(static_cast<int>((y - f.y0) / (f.y1 - f.y0) * 256), 0, 256);
}

uint8_t Mix(uint8_t hue, uint8_t base, int weight) {
    return static_cast<uint8_t>((hue * weight + base * (256 - weight) + 128) >> 8);
}

}  // namespace

const std::vector<ChartFeature>& ChartFeatures() {
    static const std::vector<ChartFeature> features = BuildChart();
    return features;
}

uint8_t ComponentOf(Rgb c, int component) {
    switch (component) {
        case 0: return c.r;
        case 1: return c.g;
        case 2: return c.b;
        default: return static_cast<uint8_t>((77 * c.r + 150 * c.g + 29 * c.b + 128) >> 8);
    }
}

uint8_t ChartSampleAt(double x, double y, int component) {
    return ChartSampleOnRow(ChartFeaturesOnRow(y), x, y, component);
}

std::vector<const ChartFeature*> ChartFeaturesOnRow(double y) {
    std::vector<const ChartFeature*> row;
    for (const ChartFeature& f : ChartFeatures())
        if (y >= f.y0 && y < f.y1) row.push_back(&f);
    return row;
}

uint8_t ChartSampleOnRow(const std::vector<const ChartFeature*>& row, double x, double y, int component) {
    uint8_t v = 255;
    for (const ChartFeature* feature : row) {
        const ChartFeature& f = *feature;
        if (x < f.x0 || x >= f.x1 || y < f.y0 || y >= f.y1) continue;
        switch (f.kind) {
            case FeatureKind::HorizontalBars: v = DarkRow(f, y) ? 0 : 255; break;
            case FeatureKind::HueSweep:
                v = Mix(ColumnValue(f, x, component), f.param == 0 ? 255 : 0, SweepWeight(f, y));
                break;
            default: v = ColumnValue(f, x, component); break;
        }
    }
    return v;
}

PassImage::PassImage(const PassGeometry& geometry, const Picture* picture)
    : g_(geometry), component_(geometry.component()) {
    if (picture && picture->width > 0 && picture->height > 0) {
        usePicture_ = true;
        PlacePicture(*picture);
    } else {
        PlaceChart();
    }
    if (g_.source == 1) {
        auto firstSample = [&](double x) {
            unsigned i = 0;
            while (i < g_.pixels && SampleX(i) < x) ++i;
            return i;
        };
        auto firstLine = [&](double y) {
            unsigned j = 0;
            while (j < g_.lines && LineY(j) < y) ++j;
            return j;
        };
        filmI0_ = firstSample(kFilmLeft);
        filmI1_ = firstSample(kFilmRight);
        filmJ0_ = firstLine(kFilmTop);
        filmJ1_ = firstLine(kFilmBottom);
    }
}

double PassImage::SampleX(unsigned i) const {
    return g_.leftInches + (i + 0.5) / g_.scanResolution;
}

double PassImage::LineY(unsigned j) const {
    return g_.topInches + (j + 0.5) / g_.scanResolution;
}

void PassImage::PlaceChart() {
    // First sample whose centre is at or beyond `x` (same test as the point
    // definition, so edges fall on the same samples).
    auto firstSample = [&](double x) {
        double guess = std::ceil((x - g_.leftInches) * g_.scanResolution - 0.5);
        long i = std::clamp<long>(static_cast<long>(guess), 0, g_.pixels);
        while (i > 0 && SampleX(i - 1) >= x) --i;
        while (i < static_cast<long>(g_.pixels) && SampleX(i) < x) ++i;
        return static_cast<unsigned>(i);
    };
    auto firstLine = [&](double y) {
        double guess = std::ceil((y - g_.topInches) * g_.scanResolution - 0.5);
        long j = std::clamp<long>(static_cast<long>(guess), 0, g_.lines);
        while (j > 0 && LineY(j - 1) >= y) --j;
        while (j < static_cast<long>(g_.lines) && LineY(j) < y) ++j;
        return static_cast<unsigned>(j);
    };

    bucketLines_ = std::max(1u, g_.scanResolution / 16);
    buckets_.assign((g_.lines + bucketLines_ - 1) / bucketLines_, {});
    for (const ChartFeature& f : ChartFeatures()) {
        Placed p{firstSample(f.x0), firstSample(f.x1), firstLine(f.y0), firstLine(f.y1),
                 f.kind, 0, 0, 0, &f};
        if (p.i0 >= p.i1 || p.j0 >= p.j1) continue;
        if (f.kind == FeatureKind::Solid) {
            p.value = ComponentOf(f.colour, component_);
        } else if (f.kind != FeatureKind::HorizontalBars) {
            p.table = tables_.size();
            for (unsigned i = p.i0; i < p.i1; ++i) tables_.push_back(ColumnValue(f, SampleX(i), component_));
        }
        p.base = f.param == 0 ? 255 : 0;
        const uint32_t index = static_cast<uint32_t>(placed_.size());
        placed_.push_back(p);
        for (unsigned b = p.j0 / bucketLines_; b <= (p.j1 - 1) / bucketLines_; ++b) buckets_[b].push_back(index);
    }
}

void PassImage::PlacePicture(const Picture& picture) {
    pictureWidth_ = picture.width;
    pictureHeight_ = picture.height;
    inchesPerPicturePixel_ = std::min(kPaperWidth / picture.width, kPaperLength / picture.height);
    plane_.resize(static_cast<size_t>(picture.width) * picture.height);
    for (size_t k = 0; k < plane_.size(); ++k) plane_[k] = ComponentOf(picture.pixels[k], component_);
    pictureColumn_.resize(g_.pixels);
    for (unsigned i = 0; i < g_.pixels; ++i) {
        double column = std::floor(SampleX(i) / inchesPerPicturePixel_);
        pictureColumn_[i] = column < picture.width ? static_cast<int32_t>(column) : -1;
    }
}

void PassImage::RenderLine(unsigned line, uint8_t* samples) const {
    if (g_.source == 1 && (line < filmJ0_ || line >= filmJ1_)) {
        std::memset(samples, 0, g_.pixels);
        return;
    }
    if (usePicture_) {
        RenderPicture(line, samples);
    } else {
        RenderChart(line, samples);
    }
    if (g_.source == 1) {
        std::memset(samples, 0, filmI0_);
        std::memset(samples + filmI1_, 0, g_.pixels - filmI1_);
    }
}

void PassImage::RenderChart(unsigned line, uint8_t* samples) const {
    std::memset(samples, 255, g_.pixels);
    if (line >= g_.lines) return;
    const double y = LineY(line);
    for (uint32_t index : buckets_[line / bucketLines_]) {
        const Placed& p = placed_[index];
        if (line < p.j0 || line >= p.j1) continue;
        const unsigned n = p.i1 - p.i0;
        switch (p.kind) {
            case FeatureKind::Solid: std::memset(samples + p.i0, p.value, n); break;
            case FeatureKind::HorizontalBars:
                std::memset(samples + p.i0, DarkRow(*p.feature, y) ? 0 : 255, n);
                break;
            case FeatureKind::HueSweep: {
                const int w = SweepWeight(*p.feature, y);
                const uint8_t* hue = tables_.data() + p.table;
                for (unsigned k = 0; k < n; ++k) samples[p.i0 + k] = Mix(hue[k], p.base, w);
                break;
            }
            default: std::memcpy(samples + p.i0, tables_.data() + p.table, n); break;
        }
    }
}

void PassImage::RenderPicture(unsigned line, uint8_t* samples) const {
    double row = std::floor(LineY(line) / inchesPerPicturePixel_);
    if (row >= pictureHeight_) {
        std::memset(samples, 255, g_.pixels);
        return;
    }
    const uint8_t* src = plane_.data() + static_cast<size_t>(row) * pictureWidth_;
    for (unsigned i = 0; i < g_.pixels; ++i) {
        int32_t c = pictureColumn_[i];
        samples[i] = c >= 0 ? src[c] : 255;
    }
}

}  // namespace scanner
