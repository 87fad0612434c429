#include "host/twacquire/progress_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace twacquire {

namespace {

std::string Number(double value, int decimals) {
    char text[48];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

// A resolution without a needless fraction: 300, 72.5.
std::string Dpi(double dpi) {
    const double rounded = std::round(dpi);
    return std::fabs(dpi - rounded) < 0.005 ? Number(rounded, 0) : Number(dpi, 2);
}

}  // namespace

std::string RateText(double bytesPerSecond) {
    if (!(bytesPerSecond > 0)) return "0 B/s";
    if (bytesPerSecond >= 1e6) return Number(bytesPerSecond / 1e6, 1) + " MB/s";
    if (bytesPerSecond >= 1e3) return Number(bytesPerSecond / 1e3, 0) + " KB/s";
    return Number(bytesPerSecond, 0) + " B/s";
}

std::string ProgressBar(uint64_t done, uint64_t total, double seconds, int width) {
    const std::string rate = RateText(seconds > 0 ? static_cast<double>(done) / seconds : 0);
    if (total == 0) return std::to_string(done) + " bytes  " + rate;
    done = std::min(done, total);
    const int filled = static_cast<int>(done * static_cast<uint64_t>(width) / total);
    const int percent = static_cast<int>(done * 100 / total);
    std::string text = "[";
    text.append(static_cast<size_t>(filled), '#');
    text.append(static_cast<size_t>(width - filled), '.');
    text += "] ";
    std::string pc = std::to_string(percent);
    text.append(3 - std::min<size_t>(3, pc.size()), ' ');
    text += pc + "%  " + rate;
    return text;
}

std::string ImageSummary(const std::string& name, const ImageFacts& f) {
    std::string text = name + ": " + std::to_string(f.width) + " x " + std::to_string(f.height) +
                       " pixels, " + std::to_string(f.bitsPerPixel) +
                       (f.bitsPerPixel == 1 ? " bit, " : " bits, ");
    if (f.xDpi > 0 && f.yDpi > 0) text += Dpi(f.xDpi) + " x " + Dpi(f.yDpi) + " dpi, ";
    text += std::to_string(f.bytes) + " bytes, " + Number(f.seconds, 1) + " s";
    return text;
}

}  // namespace twacquire
