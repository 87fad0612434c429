#include "host/twacquire/data_source.h"

#include "common/twain_names.h"
#include "host/twacquire/condition_text.h"
#include "host/twacquire/exit_codes.h"
#include "host/twacquire/identity_text.h"

#include <windows.h>

#include <cstring>
#include <vector>

namespace twacquire {

namespace {

std::string WithoutTrailingBlanks(std::string text) {
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

// Names typed on a command line: any case, and blanks some sources keep at
// the end of their product names do not count.
bool SameNameNoCase(std::string a, std::string b) {
    a = WithoutTrailingBlanks(a);
    b = WithoutTrailingBlanks(b);
    return a.size() == b.size() && CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.data(),
                                                  static_cast<int>(a.size()), b.data(),
                                                  static_cast<int>(b.size())) == CSTR_EQUAL;
}

}  // namespace

DataSource::~DataSource() { Close(); }

std::string DataSource::Name() const {
    return FieldText(identity_.ProductName, sizeof identity_.ProductName);
}

int DataSource::Open(const std::string& name, std::string& error) {
    std::vector<TW_IDENTITY> sources;
    if (!manager_.ListSources(sources, error)) return kExitNoManager;
    if (sources.empty()) {
        error = "no TWAIN data source is installed";
        return kExitNoSource;
    }
    identity_ = TW_IDENTITY{};
    if (!name.empty()) {
        // The exact product name first, then the same name in another case.
        const TW_IDENTITY* chosen = nullptr;
        for (const TW_IDENTITY& s : sources)
            if (FieldText(s.ProductName, sizeof s.ProductName) == name) chosen = &s;
        for (const TW_IDENTITY& s : sources)
            if (!chosen && SameNameNoCase(FieldText(s.ProductName, sizeof s.ProductName), name))
                chosen = &s;
        if (!chosen) {
            error = "no data source is named '" + name + "'; installed:";
            for (const TW_IDENTITY& s : sources)
                error += " '" + FieldText(s.ProductName, sizeof s.ProductName) + "'";
            return kExitNoSource;
        }
        identity_ = *chosen;
        identity_.Id = 0;
    }
    const TW_UINT16 result = manager_.Call(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &identity_);
    if (result != TWRC_SUCCESS) {
        const TW_UINT16 condition = manager_.ManagerCondition();
        error = "the source " + (name.empty() ? std::string("chosen by default") : "'" + name + "'") +
                " did not open: " + TwainReturnName(result) + ", " + ConditionText(condition);
        return condition == TWCC_NODS ? kExitNoSource : kExitSourceFailed;
    }
    open_ = true;
    return kExitOk;
}

void DataSource::Close() {
    if (!open_) return;
    manager_.Call(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &identity_);
    open_ = false;
}

TW_UINT16 DataSource::Call(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
    return manager_.Call(&identity_, dg, dat, msg, data);
}

TW_UINT16 DataSource::Condition() {
    TW_STATUS status{};
    if (Call(DG_CONTROL, DAT_STATUS, MSG_GET, &status) != TWRC_SUCCESS) return TWCC_BUMMER;
    return status.ConditionCode;
}

std::string DataSource::DescribeFailure(TW_UINT16 result) {
    std::string text = TwainReturnName(result);
    if (result == TWRC_FAILURE || result == TWRC_CHECKSTATUS)
        text += ", " + ConditionText(Condition());
    return text;
}

std::optional<Container> DataSource::GetCapability(TW_UINT16 cap, TW_UINT16 msg,
                                                    TW_UINT16& result) {
    TW_CAPABILITY capability{cap, TWON_DONTCARE16, nullptr};
    result = Call(DG_CONTROL, DAT_CAPABILITY, msg, &capability);
    if (result != TWRC_SUCCESS || !capability.hContainer) return std::nullopt;
    HGLOBAL block = static_cast<HGLOBAL>(capability.hContainer);
    std::optional<Container> container;
    const SIZE_T size = GlobalSize(block);
    if (const void* p = size ? GlobalLock(block) : nullptr) {
        container = DecodeContainer(capability.ConType,
                                    std::span(static_cast<const uint8_t*>(p), size));
        GlobalUnlock(block);
    }
    GlobalFree(block);
    return container;
}

TW_UINT16 DataSource::SetCapability(TW_UINT16 cap, TW_UINT16 itemType, const CapItem& item) {
    const std::vector<uint8_t> bytes = EncodeOneValue(itemType, item);
    HGLOBAL block = GlobalAlloc(GHND, bytes.size());
    if (!block) return TWRC_FAILURE;
    std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
    GlobalUnlock(block);
    TW_CAPABILITY capability{cap, TWON_ONEVALUE, block};
    const TW_UINT16 result = Call(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &capability);
    GlobalFree(block);
    return result;
}

}  // namespace twacquire
