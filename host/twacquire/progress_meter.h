// The progress bar on the error output while the strips of an image come
// in, redrawn at most ten times a second.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>

namespace twacquire {

class ProgressMeter {
public:
    ProgressMeter(FILE* err, uint64_t total, bool quiet);
    void Update(uint64_t done);
    // Draws the last state and ends the line (when anything was drawn).
    void Finish();
    double Seconds() const;

private:
    void Draw();

    FILE* err_;
    uint64_t total_;
    uint64_t done_ = 0;
    bool quiet_;
    bool drawn_ = false;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point lastDraw_;
};

}  // namespace twacquire
