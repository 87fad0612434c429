// An open data source, reached through the source manager: triplets, its
// condition codes, and capabilities read and set as containers.
#pragma once

#include "common/twain.h"
#include "host/twacquire/cap_container.h"
#include "host/twacquire/source_manager.h"

#include <optional>
#include <string>

namespace twacquire {

class DataSource {
public:
    explicit DataSource(SourceManager& manager) : manager_(manager) {}
    // Closes the source if it is still open.
    ~DataSource();
    DataSource(const DataSource&) = delete;
    DataSource& operator=(const DataSource&) = delete;

    // MSG_OPENDS of the source with this product name (the manager's default
    // for an empty name). Returns twacquire's exit code: kExitOk, or
    // kExitNoSource / kExitSourceFailed with `error` set.
    int Open(const std::string& name, std::string& error);
    // MSG_CLOSEDS, when open.
    void Close();

    TW_UINT16 Call(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data);
    // The source's condition code for its last operation (DAT_STATUS).
    TW_UINT16 Condition();
    // "TWRC_FAILURE, TWCC_BADVALUE (value not allowed)" for a failed call;
    // asks the source's condition.
    std::string DescribeFailure(TW_UINT16 result);

    // DAT_CAPABILITY with MSG_GET, MSG_GETCURRENT or MSG_GETDEFAULT: the
    // container the source answers with (its memory freed again), or
    // nothing, with the return code in `result`.
    std::optional<Container> GetCapability(TW_UINT16 cap, TW_UINT16 msg, TW_UINT16& result);
    // MSG_SET with a TW_ONEVALUE of the item.
    TW_UINT16 SetCapability(TW_UINT16 cap, TW_UINT16 itemType, const CapItem& item);

    const TW_IDENTITY& identity() const { return identity_; }
    std::string Name() const;

private:
    SourceManager& manager_;
    TW_IDENTITY identity_{};
    bool open_ = false;
};

}  // namespace twacquire
