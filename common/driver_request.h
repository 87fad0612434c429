// The request blocks exchanged with the scanner driver's SPI_CALL entry, and
// the 404-byte scan parameter block handed to it for each pass. These are
// wire formats: every offset is fixed, in the 32-bit and the 64-bit build
// alike, except that address fields are pointer-sized.
//
// Pure declarations: no Windows header.
#pragma once

#include <cstddef>
#include <cstdint>

#pragma pack(push, 2)

// The first six bytes of every request. The driver answers in Status: 0 for
// success, otherwise a device condition.
struct DriverRequestHeader {
    uint16_t Reserved0;
    uint16_t Status;
    uint16_t Reserved4;
};

// Operation codes of SPI_CALL(block, 0, code).
enum DriverOperation : uint16_t {
    kDriverInquire = 1,
    kDriverStart = 5,
    kDriverRead = 6,
    kDriverStop = 7,
    kDriverScanStatus = 8,
};

// Device conditions reported in Status.
constexpr uint16_t kStatusNotReady = 0x00FF;
constexpr uint16_t kStatusPaperJam = 0x8217;
constexpr uint16_t kStatusNoPaper = 0x8321;
constexpr uint16_t kStatusCoverOpen = 0x8414;

struct InquiryRequest {
    DriverRequestHeader Header;
    uint8_t Reserved6[4];
    uint8_t Data[96];  // inquiry data, zeroed by the caller before the request
};

// Positions inside InquiryRequest::Data.
constexpr size_t kInquiryModelOffset = 20;     // five characters, decimal
constexpr size_t kInquiryModelLength = 5;
constexpr size_t kInquiryFirmwareOffset = 32;  // four characters
constexpr size_t kInquiryFirmwareLength = 4;
constexpr size_t kInquiryColourFeederByte = 57;
constexpr uint8_t kInquiryColourWithFeeder = 0x40;
constexpr size_t kInquiryOptionsByte = 63;
constexpr uint8_t kInquiryFeederFitted = 0x04;
constexpr uint8_t kInquiryPaperInFeeder = 0x08;
constexpr uint8_t kInquiryAdapterFitted = 0x40;

struct ScanStatusRequest {
    DriverRequestHeader Header;
    uint16_t BytesPerLine;    // of the pass just started
    uint32_t LinesRemaining;  // right after Start: the pass's line count
};

// Where the driver writes the lines of a read request.
struct TransferBuffer {
    uint32_t Size;       // bytes available at Memory
    uint16_t Capacity;   // whole lines that fit
    uint16_t Reserved6;
    uint8_t* Memory;
};

struct ReadRequest {
    DriverRequestHeader Header;
    uint16_t Zero;             // always 0
    uint16_t BytesPerLine;
    uint32_t LinesToRead;      // lines wanted by this call
    uint32_t LinesDelivered;   // lines of this pass delivered before this call
    uint8_t Reserved18[4];
    uint16_t DescriptorCount;  // always 1
    TransferBuffer* Buffer;
    uint8_t Reserved[40 - 24 - sizeof(void*)];
};

struct StopRequest {
    DriverRequestHeader Header;
    uint16_t Reserved6;
};

// Mode codes carried in BackgroundCode.
constexpr uint16_t kBackgroundLineArt = 84;
constexpr uint16_t kBackgroundHalftone = 72;
// Gamma selector meaning "GammaCode carries this pass's curve".
constexpr uint16_t kGammaCurveSupplied = 39;

struct ScanParameterBlock {
    DriverRequestHeader Header;
    uint16_t LengthUnit;        // 0 inches, 1 pixels
    uint16_t PaperLength;       // eighths of an inch
    uint16_t FrameUnit;
    uint16_t Frame[4];          // left, top, right, bottom
    uint16_t BackgroundCode;    // 84 LineArt, 72 Halftone, 0 Gray and Color
    uint16_t BackgroundUnit;
    uint16_t BackgroundWinNum;  // valid entries of RegionList, 0 to 4
    uint16_t RegionList[4][4];
    uint16_t ContrastCode;
    uint16_t BrightnessCode;
    uint16_t ModelCode;
    uint16_t ScanRes;
    uint16_t Velocity;          // bits 0-3 speed, 4-6 film type, 7 negative
    uint16_t PassNumber;        // 0 one pass; 1, 2, 3 red, green, blue
    uint16_t GrainBuiltIn;
    uint16_t Grain;
    uint8_t GrainCode[64];
    uint16_t Gamma;
    uint16_t GammaSize;
    uint8_t GammaCode[256];
    uint16_t ShadowLevel;
    uint16_t HighlightLevel;
    uint16_t ScanSource;        // 0 glass, 1 transparency adapter, 2 feeder
};

#pragma pack(pop)

static_assert(sizeof(DriverRequestHeader) == 6);
static_assert(offsetof(DriverRequestHeader, Status) == 2);
static_assert(sizeof(InquiryRequest) == 106);
static_assert(offsetof(InquiryRequest, Data) == 10);
static_assert(sizeof(ScanStatusRequest) == 12);
static_assert(offsetof(ScanStatusRequest, BytesPerLine) == 6);
static_assert(offsetof(ScanStatusRequest, LinesRemaining) == 8);
static_assert(sizeof(StopRequest) == 8);
static_assert(sizeof(ReadRequest) == 40);
static_assert(offsetof(ReadRequest, BytesPerLine) == 8);
static_assert(offsetof(ReadRequest, LinesToRead) == 10);
static_assert(offsetof(ReadRequest, LinesDelivered) == 14);
static_assert(offsetof(ReadRequest, DescriptorCount) == 22);
static_assert(offsetof(ReadRequest, Buffer) == 24);
static_assert(offsetof(TransferBuffer, Capacity) == 4);
static_assert(offsetof(TransferBuffer, Memory) == 8);
static_assert(sizeof(TransferBuffer) == 8 + sizeof(void*));

static_assert(sizeof(ScanParameterBlock) == 404);
static_assert(offsetof(ScanParameterBlock, LengthUnit) == 6);
static_assert(offsetof(ScanParameterBlock, PaperLength) == 8);
static_assert(offsetof(ScanParameterBlock, FrameUnit) == 10);
static_assert(offsetof(ScanParameterBlock, Frame) == 12);
static_assert(offsetof(ScanParameterBlock, BackgroundCode) == 20);
static_assert(offsetof(ScanParameterBlock, BackgroundUnit) == 22);
static_assert(offsetof(ScanParameterBlock, BackgroundWinNum) == 24);
static_assert(offsetof(ScanParameterBlock, RegionList) == 26);
static_assert(offsetof(ScanParameterBlock, ContrastCode) == 58);
static_assert(offsetof(ScanParameterBlock, BrightnessCode) == 60);
static_assert(offsetof(ScanParameterBlock, ModelCode) == 62);
static_assert(offsetof(ScanParameterBlock, ScanRes) == 64);
static_assert(offsetof(ScanParameterBlock, Velocity) == 66);
static_assert(offsetof(ScanParameterBlock, PassNumber) == 68);
static_assert(offsetof(ScanParameterBlock, GrainBuiltIn) == 70);
static_assert(offsetof(ScanParameterBlock, Grain) == 72);
static_assert(offsetof(ScanParameterBlock, GrainCode) == 74);
static_assert(offsetof(ScanParameterBlock, Gamma) == 138);
static_assert(offsetof(ScanParameterBlock, GammaSize) == 140);
static_assert(offsetof(ScanParameterBlock, GammaCode) == 142);
static_assert(offsetof(ScanParameterBlock, ShadowLevel) == 398);
static_assert(offsetof(ScanParameterBlock, HighlightLevel) == 400);
static_assert(offsetof(ScanParameterBlock, ScanSource) == 402);

// The driver entry: SPI_CALL(block, 0, code), standard Windows convention.
#if defined(_WIN32) && !defined(_WIN64)
using SpiCallProc = void(__stdcall*)(void* block, uint16_t zero, uint16_t code);
#else
using SpiCallProc = void (*)(void* block, uint16_t zero, uint16_t code);
#endif
