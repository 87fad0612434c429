#include "host/twacquire/condition_text.h"

#include "common/twain.h"
#include "common/twain_names.h"

namespace twacquire {

std::string ConditionText(uint16_t code) {
    const char* words = nullptr;
    switch (code) {
    case TWCC_BUMMER: words = "failure without a reason"; break;
    case TWCC_LOWMEMORY: words = "not enough memory"; break;
    case TWCC_NODS: words = "no such data source"; break;
    case TWCC_MAXCONNECTIONS: words = "the source is in use by another application"; break;
    case TWCC_OPERATIONERROR: words = "the device or the source failed"; break;
    case TWCC_BADCAP: words = "capability not supported"; break;
    case TWCC_BADPROTOCOL: words = "operation not supported"; break;
    case TWCC_BADVALUE: words = "value not allowed"; break;
    case TWCC_SEQERROR: words = "not allowed at this point of the session"; break;
    case TWCC_BADDEST: words = "unknown destination"; break;
    case TWCC_CAPUNSUPPORTED: words = "capability not supported"; break;
    case TWCC_CAPBADOPERATION: words = "operation not supported on this capability"; break;
    case TWCC_CAPSEQERROR: words = "capability depends on another one"; break;
    case TWCC_DENIED: words = "denied"; break;
    case TWCC_FILEEXISTS: words = "the file exists"; break;
    case TWCC_FILENOTFOUND: words = "file not found"; break;
    case TWCC_NOTEMPTY: words = "the folder is not empty"; break;
    case TWCC_PAPERJAM: words = "paper jam"; break;
    case TWCC_PAPERDOUBLEFEED: words = "double feed"; break;
    case TWCC_FILEWRITEERROR: words = "the file cannot be written"; break;
    case TWCC_CHECKDEVICEONLINE: words = "the device is off line"; break;
    default: break;
    }
    const std::string name = TwainConditionName(code);
    return words ? name + " (" + words + ")" : name;
}

}  // namespace twacquire
