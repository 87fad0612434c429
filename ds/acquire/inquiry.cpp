#include "ds/acquire/inquiry.h"

ScannerOptions InquiryOptions(const InquiryRequest& inquiry) {
    const uint8_t options = inquiry.Data[kInquiryOptionsByte];
    ScannerOptions o;
    o.adapterFitted = options & kInquiryAdapterFitted;
    o.feederFitted = options & kInquiryFeederFitted;
    o.paperInFeeder = options & kInquiryPaperInFeeder;
    o.colourWithFeeder = inquiry.Data[kInquiryColourFeederByte] & kInquiryColourWithFeeder;
    return o;
}

std::string InquiryFirmware(const InquiryRequest& inquiry) {
    std::string text(reinterpret_cast<const char*>(inquiry.Data + kInquiryFirmwareOffset),
                     kInquiryFirmwareLength);
    return text.substr(0, text.find('\0'));
}
