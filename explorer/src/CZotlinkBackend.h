#pragma once
// The terminal through the Zotlink library's exports. The library leaves in the system's last
// error whether a call got an answer; that is how the link's state is known.
#include "IDeviceBackend.h"

class CZotlinkBackend : public IDeviceBackend {
  public:
    bool Open(int port, int rate, bool compress) override;
    bool QueryVersion() override;
    void Close() override;
    bool StoreInfo(uint64_t* total, uint64_t* free) override;
    bool List(const QString& pattern, const std::function<bool(const Entry&)>& onEntry) override;
    // Any two sides: the library copies PC to PC too.
    bool Copy(const QString& src, const QString& dst, int32_t* status, int32_t* cancel,
              bool resume = false) override;
    bool DeleteFile(const QString& devicePath) override;
    uint32_t Attributes(const QString& devicePath) override;
    bool SetAttributes(const QString& devicePath, uint32_t attributes) override;

  private:
    // After a call that failed: whether it was for want of an answer (the link is down).
    bool NoteFailure();
    // After a call that the terminal answered.
    void NoteAnswer() { NoteLink(true); }
};
