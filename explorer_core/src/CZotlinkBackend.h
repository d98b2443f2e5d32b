#pragma once
// The terminal through the Zotlink library's exports.
#include "IDeviceBackend.h"

class CZotlinkBackend : public IDeviceBackend {
  public:
    bool Open(int port, int rate, bool compress) override;
    bool QueryVersion() override;
    void Close() override;
    bool StoreInfo(uint64_t* total, uint64_t* free) override;
    bool List(const QString& pattern, const std::function<bool(const Entry&)>& onEntry) override;
};
