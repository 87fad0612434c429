// Identities as twacquire prints them.
#pragma once

#include "common/twain.h"

#include <cstddef>
#include <string>

namespace twacquire {

// The text of a fixed-size TWAIN string field; a field without its
// terminating zero ends at the field's end.
std::string FieldText(const char* field, size_t size);

// One block of lines describing a source:
//   Product name:   <ProductName>
//   Manufacturer:   <Manufacturer>
//   Product family: <ProductFamily>
//   Version:        <major>.<minor> (<Info>)
//   Protocol:       <major>.<minor>
std::string FormatIdentity(const TW_IDENTITY& identity);

}  // namespace twacquire
