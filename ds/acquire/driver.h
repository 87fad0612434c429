// The driver request layer: the only way pavo.ds reaches the scanner. Each
// request fills its block, calls SPI_CALL through the binding kept in
// g_session, and returns the block's Status word (0 success).
#pragma once

#include "common/driver_request.h"

#include <cstdint>

// Loads the driver module named by the DRIVER key from the product folder and
// finds SPI_CALL. False (nothing kept) when either is missing.
bool BindDriver();
// Frees the driver module, if bound.
void UnbindDriver();

uint16_t DriverInquire(InquiryRequest& request);
uint16_t DriverStart(ScanParameterBlock& block);
uint16_t DriverScanStatus(ScanStatusRequest& request);
uint16_t DriverRead(ReadRequest& request);
uint16_t DriverStop();

// The inquiry data of the last successful inquiry (zero before any).
const InquiryRequest& LastInquiry();

// Detection at open: inquiry, then the adapter and feeder options into the
// scan settings. Returns the inquiry's Status.
uint16_t DetectScanner();
// Asks the scanner whether paper is loaded in the feeder.
bool DriverPaperLoaded();
