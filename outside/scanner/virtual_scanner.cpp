#include "outside/scanner/virtual_scanner.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace scanner {

namespace {

std::string Hex4(uint16_t v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "0x%04X", v);
    return buf;
}

void PutText(uint8_t* at, size_t width, const std::string& text) {
    std::memset(at, ' ', width);
    std::memcpy(at, text.data(), std::min(width, text.size()));
}

}  // namespace

VirtualScanner::VirtualScanner(ScannerConfig config, ScannerHooks hooks)
    : config_(std::move(config)), hooks_(std::move(hooks)) {
    if (!config_.picture.empty()) {
        picture_ = LoadBmp(config_.picture);
        if (!picture_) Log("picture " + config_.picture + " unreadable: scanning the test chart");
    }
    notReadyLeft_ = config_.notReadyPolls;
    refusalsLeft_ = config_.startRefusals;
    pages_ = config_.feeder ? config_.pages : 0;
}

void VirtualScanner::Log(const std::string& line) {
    if (hooks_.log) hooks_.log(line);
}

void VirtualScanner::Call(void* block, uint16_t code) {
    if (!block) return;
    switch (code) {
        case kDriverInquire: Inquire(*static_cast<InquiryRequest*>(block)); break;
        case kDriverStart: Start(*static_cast<ScanParameterBlock*>(block)); break;
        case kDriverScanStatus: ScanStatus(*static_cast<ScanStatusRequest*>(block)); break;
        case kDriverRead: Read(*static_cast<ReadRequest*>(block)); break;
        case kDriverStop: Stop(*static_cast<StopRequest*>(block)); break;
        default: {
            auto* header = static_cast<DriverRequestHeader*>(block);
            header->Status = kStatusBadOperation;
            Log(std::to_string(code) + " Unknown status=" + Hex4(header->Status));
        }
    }
}

void VirtualScanner::Inquire(InquiryRequest& request) {
    ++inquiries_;
    uint8_t* d = request.Data;
    std::memset(d, 0, sizeof request.Data);
    d[0] = 0x06;  // scanner device
    d[2] = 0x02;
    d[3] = 0x02;
    d[4] = sizeof request.Data - 5;
    PutText(d + 8, 8, "TAVLEN");
    PutText(d + 16, 16, "ZEB-");
    char model[8];
    std::snprintf(model, sizeof model, "%05u", config_.model % 100000);
    std::memcpy(d + kInquiryModelOffset, model, kInquiryModelLength);
    PutText(d + kInquiryFirmwareOffset, kInquiryFirmwareLength, config_.firmware);
    if (config_.colourWithFeeder) d[kInquiryColourFeederByte] |= kInquiryColourWithFeeder;
    if (config_.feeder) d[kInquiryOptionsByte] |= kInquiryFeederFitted;
    if (config_.feeder && pages_ > 0) d[kInquiryOptionsByte] |= kInquiryPaperInFeeder;
    if (config_.adapter) d[kInquiryOptionsByte] |= kInquiryAdapterFitted;

    uint16_t status = config_.inquiryStatus;
    if (status == 0 && inquiries_ > config_.notReadyAfter && notReadyLeft_ > 0) {
        --notReadyLeft_;
        status = kStatusNotReady;
    }
    request.Header.Status = status;
    Log("1 Inquire status=" + Hex4(status));
}

void VirtualScanner::Start(ScanParameterBlock& block) {
    pass_.reset();
    linesRead_ = 0;

    DeviceOptions options{config_.adapter, config_.feeder, config_.colourWithFeeder};
    PassGeometry geometry = ComputePassGeometry(block, options);
    const int word = block.PassNumber;
    uint16_t status = geometry.status;
    if (status == 0 && config_.startFaultPass == word && config_.startFaultStatus != 0) {
        status = config_.startFaultStatus;
    } else if (status == 0 && (word == 2 || word == 3) && !geometry.oneBit() && refusalsLeft_ > 0) {
        --refusalsLeft_;
        status = config_.startRefusalStatus;
    } else if (status == 0 && geometry.source == 2) {
        const bool firstPassOfPage = geometry.oneBit() || word <= 1;
        if (firstPassOfPage) {
            // A new page is drawn from the tray.
            pageLoaded_ = false;
            if (pages_ == 0) {
                status = kStatusNoPaper;
            } else {
                --pages_;
                ++pagesDrawn_;
                pageLoaded_ = true;
            }
        } else if (!pageLoaded_) {
            status = kStatusNoPaper;
        }
    }

    if (status == 0) {
        pass_ = std::make_unique<PassOutput>(geometry, block, picture_ ? &*picture_ : nullptr);
        passWord_ = word;
        lastPassOfPage_ = geometry.oneBit() || word == 0 || word == 3;
        refusalsLeft_ = config_.startRefusals;
        notReadyLeft_ = config_.notReadyPolls;
        readFaultsLeft_ = config_.readFaultCount;
    }
    block.Header.Status = status;

    char text[320];
    std::snprintf(text, sizeof text,
                  "5 Start model=%u res=%u frame=%u,%u,%u,%u background=%u pass=%u source=%u "
                  "velocity=0x%04X brightness=%u contrast=%u gamma=%u shadow=%u highlight=%u "
                  "grain=%u builtin=%u status=%s",
                  block.ModelCode, block.ScanRes, block.Frame[0], block.Frame[1], block.Frame[2],
                  block.Frame[3], block.BackgroundCode, block.PassNumber, block.ScanSource,
                  block.Velocity, block.BrightnessCode, block.ContrastCode, block.Gamma,
                  block.ShadowLevel, block.HighlightLevel, block.Grain, block.GrainBuiltIn,
                  Hex4(status).c_str());
    Log(text);
}

void VirtualScanner::ScanStatus(ScanStatusRequest& request) {
    uint16_t status = 0;
    if (!pass_) {
        status = kStatusNoPass;
        request.BytesPerLine = 0;
        request.LinesRemaining = 0;
    } else {
        request.BytesPerLine = static_cast<uint16_t>(pass_->geometry().bytesPerLine);
        request.LinesRemaining = config_.zeroLineCount ? 0 : pass_->geometry().lines - linesRead_;
    }
    request.Header.Status = status;
    Log("8 ScanStatus bytes=" + std::to_string(request.BytesPerLine) +
        " lines=" + std::to_string(request.LinesRemaining) + " status=" + Hex4(status));
}

void VirtualScanner::Read(ReadRequest& request) {
    const unsigned wanted = request.LinesToRead;
    uint16_t status = 0;
    if (!pass_) {
        status = kStatusNoPass;
    } else {
        const PassGeometry& g = pass_->geometry();
        const TransferBuffer* buffer = request.DescriptorCount == 1 ? request.Buffer : nullptr;
        const unsigned long long bytes = static_cast<unsigned long long>(wanted) * g.bytesPerLine;
        if (request.BytesPerLine != g.bytesPerLine || !buffer || !buffer->Memory ||
            wanted > g.lines - linesRead_ || wanted > buffer->Capacity || bytes > buffer->Size) {
            status = kStatusBadRead;
        } else if (wanted > 0 && config_.readFaultLine >= 0 && config_.readFaultStatus != 0 &&
                   (config_.readFaultPass < 0 || config_.readFaultPass == passWord_) &&
                   (config_.readFaultPage < 0 || config_.readFaultPage == pagesDrawn_) &&
                   static_cast<long long>(linesRead_) <= config_.readFaultLine &&
                   config_.readFaultLine < static_cast<long long>(linesRead_) + wanted &&
                   (config_.readFaultCount == 0 || readFaultsLeft_ > 0)) {
            if (readFaultsLeft_ > 0) --readFaultsLeft_;
            status = config_.readFaultStatus;
        } else {
            for (unsigned k = 0; k < wanted; ++k)
                pass_->RenderLine(linesRead_ + k, buffer->Memory + static_cast<size_t>(k) * g.bytesPerLine);
            linesRead_ += wanted;
            totalLines_ += wanted;
            if (config_.lineDelayMs > 0 && wanted > 0 && hooks_.sleep) hooks_.sleep(config_.lineDelayMs * wanted);
            if (linesRead_ == g.lines && lastPassOfPage_) ReleasePage();
        }
    }
    request.Header.Status = status;
    Log("6 Read bytes=" + std::to_string(request.BytesPerLine) + " lines=" + std::to_string(wanted) +
        " delivered=" + std::to_string(request.LinesDelivered) + " status=" + Hex4(status));
    if (status == 0 && config_.escapeAfterLines > 0 && !escapePosted_ &&
        totalLines_ >= config_.escapeAfterLines) {
        escapePosted_ = true;
        if (hooks_.escape) hooks_.escape();
    }
}

void VirtualScanner::Stop(StopRequest& request) {
    pass_.reset();
    linesRead_ = 0;
    ReleasePage();
    request.Header.Status = 0;
    Log("7 Stop status=" + Hex4(0));
}

void VirtualScanner::ReleasePage() { pageLoaded_ = false; }

}  // namespace scanner
