#include "gamma/gamma_rules.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr const char* kCurveNames[kLastCurve] = {
    "STANDARD",
    "LSHADOWS_M", "LMIDTONES_M", "LHILIGHTS_M", "DSHADOWS_M", "DMIDTONES_M", "DHILIGHTS_M",
    "LSHADOWS_L", "LMIDTONES_L", "LHILIGHTS_L", "DSHADOWS_L", "DMIDTONES_L", "DHILIGHTS_L",
    "LSHADOWS_P", "LMIDTONES_P", "LHILIGHTS_P", "DSHADOWS_P", "DMIDTONES_P", "DHILIGHTS_P",
};

bool IsBuiltIn(int number) { return number >= kFirstCurve && number <= kLastCurve; }

void Put(uint8_t* tables, size_t at, const GammaCurve& table) {
    std::copy(table.begin(), table.end(), tables + at);
}

int HexDigit(uint8_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsSkipped(uint8_t c) { return c == ',' || c == '\r' || c == '\n' || c == ' ' || c == '\t'; }

}  // namespace

const char* CurveResourceName(int number) {
    return kCurveNames[IsBuiltIn(number) ? number - 1 : 0];
}

CurveGroup GroupOf(int number) {
    if (number >= 2 && number <= 7) return CurveGroup::Monitor;
    if (number >= 8 && number <= 13) return CurveGroup::LaserJet;
    if (number >= 14 && number <= 19) return CurveGroup::PaintJet;
    return CurveGroup::Standard;
}

int GroupStringId(CurveGroup group) {
    switch (group) {
    case CurveGroup::Monitor: return 12;
    case CurveGroup::LaserJet: return 13;
    case CurveGroup::PaintJet: return 14;
    default: return 10;
    }
}

ControlPoints PointsOf(const GammaCurve& source) {
    ControlPoints points;
    for (int k = 0; k < kPointCount - 1; ++k) points[k] = {30 * k, source[30 * k]};
    points[kPointCount - 1] = {255, source[255]};
    return points;
}

int GammaInput(int x, double gamma) {
    return static_cast<int>(std::floor(255.0 * std::pow(x / 255.0, gamma) + 0.5)) & 0xFF;
}

void ApplyGammaValue(ControlPoints& points, double gamma) {
    if (gamma == 1.0) return;
    for (int k = 0; k < kPointCount - 1; ++k) points[k].x = GammaInput(points[k].x, gamma);
    points[kPointCount - 1].x = 255;
}

GammaCurve TableThrough(const ControlPoints& points) {
    GammaCurve table{};
    table[0] = static_cast<uint8_t>(points[0].y);
    table[255] = static_cast<uint8_t>(points[kPointCount - 1].y);
    for (int i = 1; i < 255; ++i) {
        // An input no segment covers keeps the output before it.
        table[i] = table[i - 1];
        for (int k = 1; k < kPointCount; ++k) {
            const CurvePoint& a = points[k - 1];
            const CurvePoint& b = points[k];
            if (a.x <= i && i < b.x) {
                const double t = static_cast<double>(b.y - a.y) / (b.x - a.x) * (i - a.x) + 0.5;
                table[i] = static_cast<uint8_t>(a.y + static_cast<int>(t));
                break;
            }
        }
    }
    return table;
}

bool IsColourChannel(GammaChannel channel) { return channel != GammaChannel::Gray; }

int ChannelIndex(GammaChannel channel) {
    const int index = static_cast<int>(channel) - static_cast<int>(GammaChannel::Rgb);
    return std::clamp(index, 0, 4);
}

void WriteChannelCurve(uint8_t* toneTables, GammaChannel channel, const GammaCurve& table) {
    switch (channel) {
    case GammaChannel::Rgb:
        for (size_t at : {kGammaBlue, kGammaGreen, kGammaRed}) Put(toneTables, at, table);
        break;
    case GammaChannel::Red: Put(toneTables, kGammaRed, table); break;
    case GammaChannel::Green: Put(toneTables, kGammaGreen, table); break;
    case GammaChannel::Blue: Put(toneTables, kGammaBlue, table); break;
    case GammaChannel::Gray: Put(toneTables, kGammaGrey, table); break;
    }
}

std::array<uint8_t, 1024> ComposedPreviewTables(const uint8_t* toneTables) {
    std::array<uint8_t, 1024> composed{};
    for (size_t at = 0; at < 1024; at += 256)
        for (size_t v = 0; v < 256; ++v)
            composed[at + v] = toneTables[kGammaBlue + at + toneTables[at + v]];
    return composed;
}

std::optional<double> ReadGammaValue(const std::string& text) {
    size_t i = 0, end = text.size();
    while (i < end && text[i] == ' ') ++i;
    while (end > i && text[end - 1] == ' ') --end;
    double value = 0.0, scale = 0.0;
    int digits = 0;
    for (; i < end; ++i) {
        const char c = text[i];
        if (c == '.' && scale == 0.0) {
            scale = 1.0;
        } else if (c >= '0' && c <= '9') {
            ++digits;
            if (scale == 0.0) {
                value = value * 10.0 + (c - '0');
            } else {
                scale /= 10.0;
                value += (c - '0') * scale;
            }
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0) return std::nullopt;
    return value;
}

bool IsAcceptedGammaValue(const std::string& text) {
    const std::optional<double> value = ReadGammaValue(text);
    // A hair below a tenth still reads as "0.1".
    return value && *value >= 0.1 - 1e-9 && *value < 8.0;
}

double GammaOf(const std::string& text) {
    return IsAcceptedGammaValue(text) ? *ReadGammaValue(text) : 1.0;
}

std::optional<int> CurveOfMenuItem(int item) {
    const int number = item - kCurveMenuBase;
    if (IsBuiltIn(number)) return number;
    return std::nullopt;
}

ScreenPoint ToScreen(const CurvePoint& p, int width, int height) {
    // The bottom line of the area carries output 0.
    return {p.x * width / 256, std::max(0, std::min(height - 1, height - p.y * height / 256))};
}

std::optional<int> GrabbedPoint(const ControlPoints& points, int mouseX, int mouseY, int width,
                                int height, int tolX, int tolY) {
    for (int k = 0; k < kPointCount; ++k) {
        const ScreenPoint s = ToScreen(points[k], width, height);
        if (std::abs(mouseX - s.x) <= tolX && std::abs(mouseY - s.y) <= tolY) return k;
    }
    return std::nullopt;
}

void DragPoint(ControlPoints& points, int k, int mouseX, int mouseY, int width, int height) {
    if (k < 0 || k >= kPointCount || width <= 0 || height <= 0) return;
    const int y = std::clamp(mouseY, 0, height);
    points[k].y = std::min(255, (height - y) * 256 / height);
    if (k == 0 || k == kPointCount - 1) return;
    const int x = std::clamp(mouseX, 0, width) * 256 / width;
    if (points[k - 1].x < x && x < points[k + 1].x) points[k].x = x;
}

std::string CurveFileText(const GammaCurve& table) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text;
    text.reserve(128 * 7 + 40);
    for (int j = 0; j < 128; ++j) {
        text += "0x";
        for (uint8_t b : {table[2 * j + 1], table[2 * j]}) {
            text += kHex[b >> 4];
            text += kHex[b & 0x0F];
        }
        if (j == 127) {
            text += "\r\n";
        } else {
            text += ',';
            if (j % 8 == 0 && j >= 8) text += "\r\n";
        }
    }
    return text;
}

int ReadCurveFile(const uint8_t* data, size_t size, GammaCurve& curve) {
    size = std::min(size, kCurveFileLimit);
    int entries = 0, high = -1;
    for (size_t i = 0; i < size && entries < 256; ++i) {
        const uint8_t c = data[i];
        if (c == '0' && i + 1 < size && (data[i + 1] == 'x' || data[i + 1] == 'X')) {
            ++i;
            continue;
        }
        if (IsSkipped(c)) continue;
        const int digit = HexDigit(c);
        if (digit < 0) break;
        if (high < 0) {
            high = digit;
            continue;
        }
        // Byte b of the file is entry b ^ 1: each token holds the odd
        // entry first.
        curve[static_cast<size_t>(entries ^ 1)] = static_cast<uint8_t>(high * 16 + digit);
        high = -1;
        ++entries;
    }
    return entries;
}
