#pragma once
// The terminal through the DriftboxClient library: one connection handle at a time.
//
// Besides the explorers' common interface it offers what only this library has: the server's
// version text and description. Gate() is held by whoever calls in; the library allows one
// caller per handle.
#include <atomic>
#include <cstdint>
#include <mutex>

#include "IDeviceBackend.h"
#include "system_error.h"

class CDriftboxBackend : public IDeviceBackend {
  public:
    ~CDriftboxBackend() override;

    // Shuts an existing connection down, then starts one: over USB for port 0, else COMn.
    // compress is ignored; the library has no such switch.
    bool Open(int port, int rate, bool compress) override;
    bool QueryVersion() override;
    void Close() override;
    // Asked even without a connection; what comes back is reported.
    bool StoreInfo(uint64_t* total, uint64_t* free) override;
    // The terminal's store is flat: every pattern lists its root.
    bool List(const QString& pattern, const std::function<bool(const Entry&)>& onEntry) override;
    // PC to terminal and back through the library; PC to PC through the local copy thread; two
    // terminal names move nothing and leave the status word as it was.
    bool Copy(const QString& src, const QString& dst, int32_t* status, int32_t* cancel,
              bool resume = false) override;
    bool DeleteFile(const QString& devicePath) override;
    // The library finds one entry only by listing the whole store, too dear for one file:
    // never known.
    bool Stat(const QString&, Entry*) override { return false; }
    // The library has no attribute calls: attributes are unknown and stay as they are.
    uint32_t Attributes(const QString& devicePath) override;
    bool SetAttributes(const QString& devicePath, uint32_t attributes) override;

    int32_t Handle() const { return m_handle.load(std::memory_order_acquire); }
    // The port number the library is told at shut-down: the one the settings last applied.
    void SetShutDownPort(int port) { m_shutDownPort.store(port, std::memory_order_release); }
    QString ServerVersion() const;
    // The server description of the system information; false when the request failed.
    bool SystemDescription(QString* description);

  private:
    // After a request: the library leaves 0 in the system's last error when the terminal
    // answered.
    void NoteRequest() { NoteLink(qs::LastSystemError() == 0); }

    std::atomic<int32_t> m_handle{0};
    std::atomic<int> m_shutDownPort{0};
    mutable std::mutex m_versionLock;
    QString m_version;
};
