// The driver request layer over the bound SPI_CALL entry.
#include "ds/acquire/driver.h"

#include "ds/acquire/inquiry.h"
#include "ds/twain/scan_settings.h"
#include "ds/twain/session.h"
#include "ds/settings/profile_win.h"

#include <cstring>
#include <string>

namespace {

InquiryRequest g_lastInquiry{};

uint16_t Call(void* block, DriverRequestHeader& header, uint16_t code) {
    if (!g_session.driverEntry) return kStatusNotReady;
    header.Status = 0;
    g_session.driverEntry(block, 0, code);
    return header.Status;
}

}  // namespace

bool BindDriver() {
    const std::string path = ReadZebInfoDriverPath();
    HMODULE module = LoadLibraryA(path.c_str());
    if (!module) return false;
    auto entry = reinterpret_cast<SpiCallProc>(
        reinterpret_cast<void*>(GetProcAddress(module, "SPI_CALL")));
    if (!entry) {
        FreeLibrary(module);
        return false;
    }
    g_session.driverModule = module;
    g_session.driverEntry = entry;
    return true;
}

void UnbindDriver() {
    if (g_session.driverModule) FreeLibrary(g_session.driverModule);
    g_session.driverModule = nullptr;
    g_session.driverEntry = nullptr;
}

uint16_t DriverInquire(InquiryRequest& request) {
    std::memset(request.Data, 0, sizeof request.Data);
    uint16_t status = Call(&request, request.Header, kDriverInquire);
    if (status == 0) g_lastInquiry = request;
    return status;
}

uint16_t DriverStart(ScanParameterBlock& block) { return Call(&block, block.Header, kDriverStart); }

uint16_t DriverScanStatus(ScanStatusRequest& request) {
    return Call(&request, request.Header, kDriverScanStatus);
}

uint16_t DriverRead(ReadRequest& request) { return Call(&request, request.Header, kDriverRead); }

uint16_t DriverStop() {
    StopRequest request{};
    return Call(&request, request.Header, kDriverStop);
}

const InquiryRequest& LastInquiry() { return g_lastInquiry; }

bool DriverPaperLoaded() {
    InquiryRequest request{};
    if (DriverInquire(request) != 0) return false;
    return InquiryOptions(request).paperInFeeder;
}

uint16_t DetectScanner() {
    InquiryRequest inquiry{};
    const uint16_t status = DriverInquire(inquiry);
    if (status != 0) return status;
    TakeReportedModel(g_settings,
                      ReportedModelNumber(std::span<const uint8_t, 96>(inquiry.Data)));
    const ScannerOptions options = InquiryOptions(inquiry);
    // The paper bit is read with a second inquiry, as before every feeder scan.
    const bool paper = options.feederFitted && DriverPaperLoaded();
    TakeDetectedOptions(g_settings, options.adapterFitted, options.feederFitted, paper);
    return 0;
}
