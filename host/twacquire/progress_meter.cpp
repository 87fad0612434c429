#include "host/twacquire/progress_meter.h"

#include "host/twacquire/progress_text.h"

namespace twacquire {

ProgressMeter::ProgressMeter(FILE* err, uint64_t total, bool quiet)
    : err_(err), total_(total), quiet_(quiet), start_(std::chrono::steady_clock::now()) {}

double ProgressMeter::Seconds() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
}

void ProgressMeter::Update(uint64_t done) {
    done_ = done;
    const auto now = std::chrono::steady_clock::now();
    if (drawn_ && now - lastDraw_ < std::chrono::milliseconds(100)) return;
    lastDraw_ = now;
    Draw();
}

void ProgressMeter::Draw() {
    if (quiet_) return;
    std::fprintf(err_, "\r%s", ProgressBar(done_, total_, Seconds()).c_str());
    std::fflush(err_);
    drawn_ = true;
}

void ProgressMeter::Finish() {
    if (quiet_ || !drawn_) return;
    Draw();
    std::fputc('\n', err_);
    std::fflush(err_);
}

}  // namespace twacquire
