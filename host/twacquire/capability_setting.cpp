#include "host/twacquire/capability_setting.h"

#include "common/twain_names.h"
#include "host/twacquire/cap_text.h"

namespace twacquire {

std::optional<TW_UINT16> ItemTypeOf(DataSource& source, TW_UINT16 cap) {
    TW_UINT16 result = 0;
    if (std::optional<Container> get = source.GetCapability(cap, MSG_GET, result)) return get->itemType;
    return TwainCapabilityItemType(cap);
}

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
    error = "the source refused " + name + " = " + text + ": " + source.DescribeFailure(result);
    return false;
}

}  // namespace twacquire
