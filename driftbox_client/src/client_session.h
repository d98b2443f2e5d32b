#pragma once
// One connection to the terminal's server: its own link and request state over the shared
// engine, the open search, and synchronous transfers.
#include <cstdint>
#include <string>

#include "DriftboxClient.h"
#include "zot_session.h"

namespace driftbox {

class CClientSession {
  public:
    // Opens device and checks that a terminal answers; error gets 0, 2 or 3.
    bool Start(const std::string& device, int baud, int32_t* error);

    std::string ServerVersion();
    bool SystemInfo(DRIFTBOX_SYSTEM_INFO* info);
    bool FindOpen(const std::string& pattern, DRIFTBOX_FIND_DATA* data);
    bool FindNext(DRIFTBOX_FIND_DATA* data);
    void FindClose();
    // Both return a transfer status (100 success, 101..105 failures); flags are the exports'
    // DRIFTBOX_TRANSFER_* bits.
    int Send(const std::string& localPath, const std::string& deviceName, int32_t* status,
             int32_t* cancel, int32_t flags = 0);
    int Receive(const std::string& deviceName, const std::string& localPath, int32_t* status,
                int32_t* cancel, int32_t flags = 0);
    bool Delete(const std::string& deviceName);
    bool StoreBytes(int64_t* freeBytes, int64_t* totalBytes);

    void ShutDown() { m_session.Close(); }
    int OpenError() const { return m_session.OpenError(); }

  private:
    // "ZOT:\" + name in the wire code page; false when it cannot be expressed.
    bool DevicePath(const std::string& name, std::string* wire) const;
    int Transfer(const zot::CopyEnd& from, const zot::CopyEnd& to, int32_t* status, int32_t* cancel,
                 int32_t flags);

    zot::CSession m_session;
    int32_t m_find = -1;
};

}  // namespace driftbox
