#pragma once
// One conversation with one terminal, as a C++ object: a serial line (a port number or a
// device path), the request engine over it, and every remote call, each of which says what
// happened. Any number of sessions may live in one process, one per line; each is used by one
// thread at a time.
//
// Paths and names are bytes in the wire code page (text/codepage.h converts), terminal paths
// with their "ZOT:\" prefix, PC paths as the PC file end takes them.
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zot {
namespace copy {
class IFileEnd;
}

class IClock;
class ISerialPort;
class CRemoteApp;

// What a call came to.
enum class Outcome : uint8_t {
    kDone,      // carried out; the value is the terminal's
    kRefused,   // the terminal answered no: Refusal says to what
    kNoAnswer,  // no usable answer after every attempt: Silence says why
    kBadReply,  // an answer that makes no sense (a wrong length, more bytes than asked for)
};

// Why the terminal said no, as far as the session could tell from its state afterwards.
enum class Refusal : uint8_t {
    kNone,
    kNoSuchEntry,  // the file or folder (or the folder it should be in) does not exist
    kExists,       // there is already an entry of that name
    kReadOnly,     // the entry is read-only
    kNotEmpty,     // the folder still holds entries
    kIsAFolder,    // a file was asked for, the name is a folder
    kNotAFolder,   // a folder was asked for, the name is a file
    kBadName,      // the name cannot be sent (too long, or not in the wire code page)
    kChanged,      // the folder changed while it was being listed
    kOther,        // the terminal said no and its state does not say why
};

enum class Silence : uint8_t {
    kNone,
    kLineFailed,  // the terminal stopped answering: every attempt ran out its time
    kDeviceGone,  // the serial device went away (a cable or cradle pulled)
    kNotOpen,     // the session has no line
};

struct Status {
    Outcome outcome = Outcome::kDone;
    Refusal refusal = Refusal::kNone;
    Silence silence = Silence::kNone;

    static Status Done() { return {}; }
    static Status Refused(Refusal why) { return {Outcome::kRefused, why, Silence::kNone}; }
    static Status NoAnswer(Silence why) { return {Outcome::kNoAnswer, Refusal::kNone, why}; }
    static Status BadReply() { return {Outcome::kBadReply, Refusal::kNone, Silence::kNone}; }

    bool Ok() const { return outcome == Outcome::kDone; }
    explicit operator bool() const { return Ok(); }
    bool Is(Refusal why) const { return outcome == Outcome::kRefused && refusal == why; }
    bool DeviceGone() const {
        return outcome == Outcome::kNoAnswer && silence == Silence::kDeviceGone;
    }
};

// The one text for each outcome ("no such file or folder", "the device went away", ...).
const char* Describe(const Status& status);

template <typename T>
struct Result {
    Status status;
    T value{};
    bool Ok() const { return status.Ok(); }
    explicit operator bool() const { return status.Ok(); }
};

// The terminal's records, byte for byte as on the wire (little-endian fields decoded).
struct FindRecord {
    uint32_t attributes = 0;
    uint32_t reserved0 = 0;
    uint32_t reserved1 = 0;
    uint32_t time = 0;  // seconds since 1970 UTC, 0 unknown
    uint32_t size = 0;
    char name[100] = {};  // NUL-terminated when shorter than 100 bytes
    std::string_view Name() const;
};
struct VersionInfo {
    uint32_t major = 0, minor = 0, build = 0;
};
struct MemoryStatus {
    uint32_t load = 0, totalPhys = 0, availPhys = 0;
};
using PowerStatus = std::array<uint8_t, 24>;
using SystemInfo = std::array<uint8_t, 80>;
struct StoreInfo {
    uint32_t size = 0, free = 0;  // bytes
};
struct FileTimes {
    uint32_t creation = 0, access = 0, write = 0;
    int32_t result = 0;
};

constexpr uint32_t kAttributeReadOnly = 0x01;
constexpr uint32_t kAttributeHidden = 0x02;
constexpr uint32_t kAttributeSystem = 0x04;
constexpr uint32_t kAttributeDirectory = 0x10;
constexpr uint32_t kAttributeArchive = 0x20;
constexpr uint32_t kAttributeNormal = 0x80;
constexpr uint32_t kNoAttributes = 0xFFFFFFFFu;  // what the terminal answers for no entry

// CreateFile's access rights and OpenFile's modes, SetFilePointer's origins.
constexpr uint32_t kAccessRead = 0x80000000u;
constexpr uint32_t kAccessWrite = 0x40000000u;
constexpr uint32_t kOpenRead = 0;
constexpr uint32_t kOpenReadWrite = 2;
constexpr uint32_t kSeekBegin = 0;
constexpr uint32_t kSeekCurrent = 1;
constexpr uint32_t kSeekEnd = 2;

// One end of a whole-file copy.
struct CopyEnd {
    bool terminal = false;
    std::string path;
};

// Final values of a copy (the copy status word's), 2..99 being progress.
enum CopyCode : int32_t {
    kCopyDone = 100,
    kCopyReadFailed = 102,   // the source cannot be opened, or a read came back short
    kCopyWriteFailed = 103,  // a write came back short
    kCopyCancelled = 104,
    kCopyCreateFailed = 105,  // the destination cannot be created
};

struct CopyControl {
    // After each whole block: the block's index, the number of whole blocks, the bytes done.
    std::function<void(uint64_t block, uint64_t blocks, uint64_t bytes)> progress;
    // Looked at after each whole block while data remains.
    std::function<bool()> cancelled;
    // Go on with a copy that broke off: an existing destination keeps its whole blocks when
    // the last of them is the source's at the same place, and the copy goes on after it;
    // any other destination is copied anew.
    bool resume = false;
    // A whole copy gets its source's modification time, where both ends keep times.
    bool keepTime = false;
};

struct CopyResult {
    CopyCode code = kCopyDone;
    Status status;          // why the terminal's side failed
    bool pcFailed = false;  // the PC file failed instead: pcError says why
    int pcError = 0;        // the system's error code (errno, GetLastError()); 0 unknown
    uint64_t bytes = 0;
    uint64_t resumedAt = 0;  // where a resumed copy went on from; 0 from the start
};

class CSession {
  public:
    CSession();
    // Tests and fuzzers hand in a clock of their own.
    explicit CSession(IClock& clock);
    ~CSession();
    CSession(const CSession&) = delete;
    CSession& operator=(const CSession&) = delete;

    // Opens "COMn" of this system (port n), or a device path or port name ("COMn", "USB":
    // looked up again when the session opens it again). Nothing is asked of the
    // terminal. A session whose device goes away notices it on its next read, and the call
    // after that opens the same device again with the same settings.
    Status Open(int port, int baud, bool compress);
    Status OpenDevice(const std::string& device, int baud, bool compress);
    // A line the caller made (an in-memory line in tests and fuzzers).
    Status OpenPort(std::unique_ptr<ISerialPort> port, bool compress, bool readerThread = true);
    void Close();
    // Closes and opens again at another speed.
    Status SetBaud(int baud);
    bool IsOpen() const;
    // Why the last open failed, in the system's own code (errno / GetLastError()); 0 after
    // one that succeeded.
    int OpenError() const;
    // How many times the session has opened its line again after its device went away.
    uint32_t Reopens() const;
    // The line's device went away and the session has not opened it again yet: the next call
    // will try. Terminal handles from before belong to a terminal that may since have started
    // again.
    bool DeviceGone() const;

    // A refused change or open is followed by one attribute query that tells why. Off, a
    // refusal on a clean line costs no request of its own (Refusal::kOther).
    void SetExplainRefusals(bool on) { m_explain = on; }

    Result<VersionInfo> Version();
    Result<MemoryStatus> Memory();
    Result<PowerStatus> Power();
    Result<StoreInfo> Store(int32_t selector = 1);
    Result<SystemInfo> System();
    Result<int32_t> Ring(std::string_view text);

    // Every entry matching pattern (a folder path and a wildcard name), or a failure: never a
    // part of them. An empty folder is an empty list; a folder that is not there is refused.
    Result<std::vector<FindRecord>> List(std::string_view pattern);
    // The entry of one name (no wildcards): refused kNoSuchEntry when there is none.
    Result<FindRecord> Stat(std::string_view path);
    // The same search a step at a time. Handles are the terminal's; a step whose request had
    // to be sent again is checked by searching again, so no entry is lost or repeated.
    // FindFirst: the record and the handle (0 from the terminal means none).
    Result<int32_t> FindFirst(std::string_view pattern, FindRecord* record);
    // The terminal's result: 0 when there are no more entries.
    Result<int32_t> FindNext(int32_t find, FindRecord* record);
    Result<int32_t> FindClose(int32_t find);

    // The attributes; refused (kNoSuchEntry) when there is no such entry.
    Result<uint32_t> Attributes(std::string_view path);
    // Calls that change the terminal. The value is the terminal's result.
    Result<int32_t> SetAttributes(std::string_view path, uint32_t attributes);
    Result<int32_t> CreateFolder(std::string_view path);
    Result<int32_t> RemoveFolder(std::string_view path);
    Result<int32_t> Delete(std::string_view path);

    // File handles. CreateFile makes a new file (refused kExists when there is one).
    Result<int32_t> CreateFile(std::string_view path, uint32_t access);
    Result<int32_t> OpenFile(std::string_view path, uint32_t mode);
    // Bytes moved, also when the call fails. A read that meets the end of the file is done
    // with fewer bytes; a zero result from the terminal is a refusal.
    Result<uint32_t> Read(int32_t file, void* buffer, uint32_t count);
    // following: what the caller will write next, when known (framed while this one is on
    // its way). Done only when every byte was confirmed.
    Result<uint32_t> Write(int32_t file, const void* data, uint32_t count,
                           const void* following = nullptr, uint32_t followingCount = 0);
    Result<int32_t> CloseFile(int32_t file);
    Result<int32_t> Seek(int32_t file, int32_t distance, uint32_t method);
    Result<int32_t> SetEndOfFile(int32_t file);
    // Refused when the terminal does not know the size (it answers 0xFFFFFFFF).
    Result<uint32_t> FileSize(int32_t file);
    Result<FileTimes> GetFileTime(int32_t file);
    // Null times are sent as 0 (left as they are).
    Result<int32_t> SetFileTime(int32_t file, const uint32_t* creation, const uint32_t* access,
                                const uint32_t* write);
    // Puts a file's position back to where it stood before an earlier read or write request.
    Result<uint32_t> SetFilePosToPre(int32_t file, uint32_t sequence);

    // A whole-file copy between any two ends; an existing destination file is replaced.
    CopyResult Copy(const CopyEnd& source, const CopyEnd& destination,
                    const CopyControl& control = {});

    // The engine underneath, for the library's own tests and benchmarks.
    CRemoteApp& Engine() { return *m_app; }

  private:
    struct Search;
    enum class Asked : uint8_t;
    Status Answered() const;
    Status Judge(Asked asked, std::string_view path, uint32_t attributes);
    Result<int32_t> Change(Asked asked, std::string_view path, uint32_t value);
    Result<int32_t> Step(Search& search, FindRecord* record);
    Status Restart(Search& search);
    // The destination of a resumed copy, its position after its last whole block that is the
    // source's; null when it is to be copied anew, or (unreadable) when that cannot be told.
    std::unique_ptr<copy::IFileEnd> ContinueAt(const CopyEnd& destination, copy::IFileEnd& in,
                                               uint64_t* firstBlock, bool* unreadable);

    std::unique_ptr<CRemoteApp> m_app;
    bool m_explain = true;
    std::map<int32_t, std::unique_ptr<Search>> m_searches;
};

}  // namespace zot
