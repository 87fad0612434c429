#include "toneset/toneset_rules.h"

#include <algorithm>

namespace {

double Factor(int value) { return (value >= 0 ? 8.0 * value + 4.0 : 8.0 * value - 4.0) * 0.1 / 100.0; }

constexpr size_t kBlue = 0, kGreen = 256, kRed = 512, kGrey = 768;

size_t TableOf(int pair) {
    switch (pair) {
    case kToneRed: return kRed;
    case kToneGreen: return kGreen;
    case kToneBlue: return kBlue;
    default: return kGrey;
    }
}

void Put(uint8_t* tables, size_t at, const std::array<uint8_t, 256>& table) {
    std::copy(table.begin(), table.end(), tables + at);
}

}  // namespace

std::array<uint8_t, 256> BrightnessContrastTable(int brightness, int contrast) {
    const double b = Factor(brightness), c = Factor(contrast);
    std::array<uint8_t, 256> table{};
    for (int i = 0; i < 256; ++i) {
        const double x = i / 255.0;
        const double v = ((x - 0.5) * c + x + b) * 255.0;
        table[i] = static_cast<uint8_t>(std::clamp(static_cast<long>(v), 0L, 255L));
    }
    return table;
}

bool IsColourChannel(ToneChannel channel) { return channel != ToneChannel::Gray; }

int PairShown(ToneChannel channel) {
    switch (channel) {
    case ToneChannel::Green: return kToneGreen;
    case ToneChannel::Blue: return kToneBlue;
    case ToneChannel::Gray: return kToneGrey;
    default: return kToneRed;
    }
}

void StoreBarValues(ToneAdjustPair (&pairs)[4], ToneChannel channel, int brightness,
                    int contrast) {
    const ToneAdjustPair values{brightness, contrast};
    if (channel == ToneChannel::Rgb) {
        pairs[kToneRed] = pairs[kToneGreen] = pairs[kToneBlue] = values;
    } else {
        pairs[PairShown(channel)] = values;
    }
}

void WriteChannelTables(uint8_t* tables, ToneChannel channel, const ToneAdjustPair (&pairs)[4],
                        int brightness, int contrast, bool deepScreen) {
    const int own = PairShown(channel);
    if (!deepScreen || !IsColourChannel(channel)) {
        const auto table = BrightnessContrastTable(brightness, contrast);
        if (channel == ToneChannel::Rgb) {
            for (int pair : {kToneRed, kToneGreen, kToneBlue}) Put(tables, TableOf(pair), table);
        } else {
            Put(tables, TableOf(own), table);
        }
        return;
    }
    auto fromPair = [&](int pair) {
        Put(tables, TableOf(pair),
            BrightnessContrastTable(pairs[pair].brightness, pairs[pair].contrast));
    };
    if (channel == ToneChannel::Rgb) {
        for (int pair : {kToneRed, kToneGreen, kToneBlue}) fromPair(pair);
    } else {
        fromPair(own);
    }
}

int ScrolledToneValue(ToneScroll action, int current, int thumb) {
    int value = current;
    switch (action) {
    case ToneScroll::LineLeft: value = current - 1; break;
    case ToneScroll::LineRight: value = current + 1; break;
    case ToneScroll::PageLeft: value = current - 4; break;
    case ToneScroll::PageRight: value = current + 4; break;
    case ToneScroll::Thumb: value = thumb; break;
    case ToneScroll::LeftEnd: value = kToneMaximum; break;
    case ToneScroll::RightEnd: value = kToneMinimum; break;
    case ToneScroll::Other: break;
    }
    return std::clamp(value, kToneMinimum, kToneMaximum);
}
