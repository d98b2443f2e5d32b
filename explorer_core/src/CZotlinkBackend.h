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
    // Any two sides: the library copies PC to PC too.
    bool Copy(const QString& src, const QString& dst, int32_t* status, int32_t* cancel) override;
    bool DeleteFile(const QString& devicePath) override;
    uint32_t Attributes(const QString& devicePath) override;
    bool SetAttributes(const QString& devicePath, uint32_t attributes) override;
};
