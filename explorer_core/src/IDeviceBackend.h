#pragma once
// The terminal as the explorers see it. One implementation per client library.
//
// The client libraries keep one request state per process, so only one thread may be inside
// them at a time. Gate() is that rule: a worker holds it for as long as it calls the backend,
// and the user-interface thread only ever try-locks it, so it never waits behind a worker that
// was abandoned by a cancelled dialog.
#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

class IDeviceBackend {
  public:
    struct Entry {
        QString name;
        uint32_t attributes = 0;
        int64_t timeMs = 0;  // milliseconds since 1970, UTC; 0 unknown
        uint64_t size = 0;
    };
    static constexpr uint32_t kReadOnly = 0x01;
    static constexpr uint32_t kDirectory = 0x10;
    static constexpr uint32_t kHidden = 0x02;
    static constexpr uint32_t kSystem = 0x04;

    virtual ~IDeviceBackend();

    // Opens the link; true when the library reports success.
    virtual bool Open(int port, int rate, bool compress) = 0;
    // Why the last Open failed: what the library left in the system's last error (errno, on
    // Windows GetLastError()) about its device open, 0 when the device opened but no terminal
    // answered. Taken right after the library call, on the thread that made it, before
    // anything else can change it.
    int OpenError() const { return m_openError.load(std::memory_order_acquire); }
    // True when the terminal answered a version query.
    virtual bool QueryVersion() = 0;
    virtual void Close() = 0;
    // Store size and free space in bytes; false when the terminal did not answer (both 0).
    virtual bool StoreInfo(uint64_t* total, uint64_t* free) = 0;
    // Calls onEntry for every entry matching pattern, in the terminal's order, until it returns
    // false. False when the search could not start.
    virtual bool List(const QString& pattern, const std::function<bool(const Entry&)>& onEntry) = 0;

    // The calls of the copy and delete jobs. Paths are full: device paths ("ZOT:\name") or PC
    // paths. The caller holds Gate().
    //
    // Copies one file, replacing the destination, and returns once the copy has ended: false
    // when the library refused to start it, else *status holds the outcome (100 done,
    // kLineBroke when the terminal stopped answering or its device went away, other values
    // the failures of the block copy). cancel stops it between blocks. A whole copy keeps its
    // source's modification time where both ends keep times. resume: go on with a copy that
    // broke off, after the destination's last whole block when that is the source's.
    static constexpr int32_t kLineBroke = 101;
    virtual bool Copy(const QString& src, const QString& dst, int32_t* status, int32_t* cancel,
                      bool resume = false) = 0;
    // The record of one terminal entry (no wildcards); false when there is none or the terminal
    // did not answer.
    virtual bool Stat(const QString& devicePath, Entry* entry);
    virtual bool DeleteFile(const QString& devicePath) = 0;
    // kNoAttributes when the library cannot tell.
    static constexpr uint32_t kNoAttributes = 0xFFFFFFFFu;
    virtual uint32_t Attributes(const QString& devicePath) = 0;
    virtual bool SetAttributes(const QString& devicePath, uint32_t attributes) = 0;

    std::mutex& Gate() { return m_gate; }

    // The link as the last call found it: up when the terminal answered, down when it did not
    // answer or its device was gone. Unknown until a call tells. Any thread.
    enum class Link { Unknown, Up, Down };
    Link LinkState() const { return m_link.load(std::memory_order_acquire); }
    // Told on the user-interface thread each time the link goes down or comes back (the title
    // and the device item show it). Set on that thread, before workers run.
    void SetLinkObserver(std::function<void(bool up)> observer);

  protected:
    void SetOpenError(int error) { m_openError.store(error, std::memory_order_release); }
    // What a call found out about the link; any thread.
    void NoteLink(bool up);

  private:
    std::mutex m_gate;
    std::atomic<int> m_openError{0};
    std::atomic<Link> m_link{Link::Unknown};
    std::shared_ptr<std::function<void(bool)>> m_observer;
};
