// The virtual scanner behind SPI_CALL: answers Inquire, Start, Scan status,
// Read lines and Stop on the driver request blocks, keeps the pass in
// progress and the pages of the feeder, shows the configured faults and
// reports every request to a log.
#pragma once

#include "common/driver_request.h"
#include "outside/scanner/pass_output.h"
#include "outside/scanner/scanner_config.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace scanner {

// What the scanner needs from its surroundings.
struct ScannerHooks {
    std::function<void(const std::string&)> log;  // one line per request
    std::function<void()> escape;                 // the user presses ESC
    std::function<void(unsigned ms)> sleep;       // wait while lines are scanned
};

class VirtualScanner {
public:
    explicit VirtualScanner(ScannerConfig config, ScannerHooks hooks = {});

    // SPI_CALL(block, 0, code). A null block is ignored.
    void Call(void* block, uint16_t code);

    void Inquire(InquiryRequest& request);
    void Start(ScanParameterBlock& block);
    void ScanStatus(ScanStatusRequest& request);
    void Read(ReadRequest& request);
    void Stop(StopRequest& request);

    unsigned pagesInFeeder() const { return pages_; }
    bool pageInScanner() const { return pageLoaded_; }
    bool pictureLoaded() const { return picture_.has_value(); }
    // The pass in progress, if any.
    const PassOutput* pass() const { return pass_.get(); }

private:
    void Log(const std::string& line);
    void ReleasePage();

    ScannerConfig config_;
    ScannerHooks hooks_;
    std::optional<Picture> picture_;

    std::unique_ptr<PassOutput> pass_;
    unsigned linesRead_ = 0;
    int passWord_ = 0;
    bool lastPassOfPage_ = false;

    unsigned inquiries_ = 0;
    unsigned notReadyLeft_ = 0;
    unsigned refusalsLeft_ = 0;
    unsigned readFaultsLeft_ = 0;

    unsigned pages_ = 0;
    int pagesDrawn_ = 0;  // pages drawn from the feeder so far
    bool pageLoaded_ = false;

    unsigned long long totalLines_ = 0;
    bool escapePosted_ = false;
};

}  // namespace scanner
