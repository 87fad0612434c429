// Reading the scanner's inquiry data.
#pragma once

#include "common/driver_request.h"

#include <string>

struct ScannerOptions {
    bool adapterFitted = false;
    bool feederFitted = false;
    bool paperInFeeder = false;
    bool colourWithFeeder = false;
};

ScannerOptions InquiryOptions(const InquiryRequest& inquiry);
// The four firmware characters, without trailing zeros.
std::string InquiryFirmware(const InquiryRequest& inquiry);
