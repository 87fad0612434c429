#include "host/twacquire/capability_setting.h"

#include "common/twain_names.h"
#include "host/twacquire/cap_text.h"

namespace twacquire {

std::optional<TW_UINT16> ItemTypeOf(DataSource& source, TW_UINT16 cap) {
    TW_UINT16 result = 0;
    if (std::optional<Container> get = source.GetCapability(cap, MSG_GET, result)) return get->itemType;
    return TwainCapabilityItemType(cap);
}

namespace {

// "; the source offers 72, 200, 300" when it answers with a list or range.
std::string Offered(DataSource& source, TW_UINT16 cap) {
    TW_UINT16 result = 0;
    const std::optional<Container> get = source.GetCapability(cap, MSG_GET, result);
    const std::string values = get ? OfferedValues(cap, *get) : "";
    return values.empty() ? "" : "; the source offers " + values;
}

}  // namespace

bool SetCapabilityText(DataSource& source, TW_UINT16 cap, const std::string& text,
                       std::string& error) {
    const std::string name = TwainCapabilityName(cap);
    const std::optional<TW_UINT16> type = ItemTypeOf(source, cap);
    if (!type) {
        error = "the source does not answer " + name + " and its type is unknown";
        return false;
    }
    std::string why;
    const std::optional<CapItem> item = ParseItem(cap, *type, text, why);
    if (!item) {
        error = name + " (" + ItemTypeName(*type) + "): " + why;
        return false;
    }
    const TW_UINT16 result = source.SetCapability(cap, *type, *item);
    if (result == TWRC_SUCCESS || result == TWRC_CHECKSTATUS) return true;
    // The condition first: asking for the list would overwrite it.
    error = "the source refused " + name + " = " + text + ": " + source.DescribeFailure(result);
    error += Offered(source, cap);
    return false;
}

}  // namespace twacquire
