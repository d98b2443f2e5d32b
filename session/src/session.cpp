#include <cstring>
#include <utility>

#include "block_copy.h"
#include "clock.h"
#include "pc_file.h"
#include "protocol.h"
#include "remote_app.h"
#include "remote_calls.h"
#include "search_state.h"
#include "system_error.h"
#include "terminal_file.h"
#include "zot_session.h"

namespace zot {
namespace {

using Reply = CRemoteApp::Reply;

constexpr uint64_t kTerminalMaxSize = 0xFFFFFFFFull;
constexpr size_t kMaxRingBytes = 260;

}  // namespace

// What a call that the terminal refused was asked to do: it decides how the entry's state
// afterwards is read.
enum class CSession::Asked : uint8_t {
    kDelete,
    kRemoveFolder,
    kCreateFolder,
    kCreateFile,
    kOpenFile,
    kSetAttributes,
};

CSession::CSession() : m_app(std::make_unique<CRemoteApp>()) {}
CSession::CSession(IClock& clock) : m_app(std::make_unique<CRemoteApp>(clock)) {}
CSession::~CSession() = default;

Status CSession::Open(int port, int baud, bool compress) {
    m_searches.clear();
    if (!m_app->LumoInit(port, baud, compress ? 1 : 0)) return Status::NoAnswer(Silence::kNotOpen);
    return Status::Done();
}

Status CSession::OpenDevice(const std::string& device, int baud, bool compress) {
    m_searches.clear();
    if (!m_app->LumoInitDevice(device, baud, compress ? 1 : 0))
        return Status::NoAnswer(Silence::kNotOpen);
    return Status::Done();
}

Status CSession::OpenPort(std::unique_ptr<ISerialPort> port, bool compress, bool readerThread) {
    m_searches.clear();
    if (!m_app->Link().OpenPort(std::move(port), readerThread))
        return Status::NoAnswer(Silence::kNotOpen);
    m_app->Link().SetCompression(compress);
    return Status::Done();
}

void CSession::Close() {
    m_searches.clear();
    m_app->LumoUninit();
}

Status CSession::SetBaud(int baud) {
    m_searches.clear();
    return m_app->SetBaudrate(baud) ? Status::Done() : Status::NoAnswer(Silence::kNotOpen);
}

bool CSession::IsOpen() const {
    return m_app->Link().IsOpen();
}

int CSession::OpenError() const {
    return m_app->OpenError();
}

uint32_t CSession::Reopens() const {
    return m_app->Reopens();
}

bool CSession::DeviceGone() const {
    return m_app->DeviceGone();
}

Status CSession::Answered() const {
    switch (m_app->LastReply()) {
        case Reply::kAccepted:
            return Status::Done();
        case Reply::kWrongLength:
            return Status::BadReply();
        case Reply::kGone:
            return Status::NoAnswer(Silence::kDeviceGone);
        case Reply::kNone:
            break;
    }
    return Status::NoAnswer(m_app->Link().IsOpen() ? Silence::kLineFailed : Silence::kNotOpen);
}

Result<VersionInfo> CSession::Version() {
    Result<VersionInfo> r;
    m_app->ClearLastReply();
    calls::GetVersion(*m_app, &r.value);
    r.status = Answered();
    return r;
}

Result<MemoryStatus> CSession::Memory() {
    Result<MemoryStatus> r;
    m_app->ClearLastReply();
    calls::GlobalMemoryStatus(*m_app, &r.value);
    r.status = Answered();
    return r;
}

Result<PowerStatus> CSession::Power() {
    Result<PowerStatus> r;
    m_app->ClearLastReply();
    calls::GetSystemPowerStatus(*m_app, &r.value);
    r.status = Answered();
    return r;
}

Result<StoreInfo> CSession::Store(int32_t selector) {
    Result<StoreInfo> r;
    m_app->ClearLastReply();
    calls::GetStoreInformation(*m_app, &r.value, selector);
    r.status = Answered();
    return r;
}

Result<SystemInfo> CSession::System() {
    Result<SystemInfo> r;
    m_app->ClearLastReply();
    calls::GetSystemInfo(*m_app, &r.value);
    r.status = Answered();
    return r;
}

Result<int32_t> CSession::Ring(std::string_view text) {
    if (text.size() > kMaxRingBytes) return {Status::Refused(Refusal::kBadName), 0};
    m_app->ClearLastReply();
    const int32_t result = calls::Ring(*m_app, text);
    return {Answered(), result};
}

Result<uint32_t> CSession::Attributes(std::string_view path) {
    if (path.size() > kMaxPathBytes) return {Status::Refused(Refusal::kBadName), kNoAttributes};
    m_app->ClearLastReply();
    const auto attributes = static_cast<uint32_t>(calls::GetFileAttributes(*m_app, path));
    Status status = Answered();
    if (status && attributes == kNoAttributes) status = Status::Refused(Refusal::kNoSuchEntry);
    return {status, attributes};
}

Result<int32_t> CSession::SetAttributes(std::string_view path, uint32_t attributes) {
    return Change(Asked::kSetAttributes, path, attributes);
}

Result<int32_t> CSession::CreateFolder(std::string_view path) {
    return Change(Asked::kCreateFolder, path, 0);
}

Result<int32_t> CSession::RemoveFolder(std::string_view path) {
    return Change(Asked::kRemoveFolder, path, 0);
}

Result<int32_t> CSession::Delete(std::string_view path) {
    return Change(Asked::kDelete, path, 0);
}

Result<int32_t> CSession::CreateFile(std::string_view path, uint32_t access) {
    return Change(Asked::kCreateFile, path, access);
}

Result<int32_t> CSession::OpenFile(std::string_view path, uint32_t mode) {
    return Change(Asked::kOpenFile, path, mode);
}

Result<int32_t> CSession::Change(Asked asked, std::string_view path, uint32_t value) {
    const bool handle = asked == Asked::kCreateFile || asked == Asked::kOpenFile;
    const int32_t failure = handle ? -1 : 0;
    if (path.size() > kMaxPathBytes) return {Status::Refused(Refusal::kBadName), failure};
    m_app->ClearLastReply();
    int32_t result = failure;
    switch (asked) {
        case Asked::kDelete:
            result = calls::DeleteFile(*m_app, path);
            break;
        case Asked::kRemoveFolder:
            result = calls::RemoveDirectory(*m_app, path);
            break;
        case Asked::kCreateFolder:
            result = calls::CreateDirectory(*m_app, path);
            break;
        case Asked::kSetAttributes:
            result = calls::SetFileAttributes(*m_app, path, value);
            break;
        case Asked::kCreateFile:
            result = calls::CreateFile(*m_app, path, value);
            break;
        case Asked::kOpenFile:
            result = calls::OpenFile(*m_app, path, value);
            break;
    }
    const Status status = Answered();
    if (!status || result != failure) return {status, result};
    // The terminal said no. When the request went out more than once, an earlier attempt may
    // have been carried out and only its reply lost: the later "no" then answers a change
    // already made. One look at the entry tells that apart, and otherwise why it said no.
    const bool resent = m_app->LastAttempts() > 1 && asked != Asked::kOpenFile;
    if (!resent && !m_explain) return {Status::Refused(Refusal::kOther), result};
    m_app->ClearLastReply();
    const auto attributes = static_cast<uint32_t>(calls::GetFileAttributes(*m_app, path));
    if (!Answered()) return {Status::Refused(Refusal::kOther), result};
    const bool exists = attributes != kNoAttributes;
    const bool folder = exists && (attributes & kAttributeDirectory);
    if (resent) {
        switch (asked) {
            case Asked::kDelete:
            case Asked::kRemoveFolder:
                if (!exists) return {Status::Done(), 1};
                break;
            case Asked::kCreateFolder:
                if (folder) return {Status::Done(), 1};
                break;
            case Asked::kSetAttributes:
                if (attributes == value) return {Status::Done(), 1};
                break;
            case Asked::kCreateFile:
                // The file made by the lost attempt stays open on the terminal under a handle
                // that never arrived; the caller gets a handle of its own to the same file.
                if (exists && !folder) {
                    m_app->ClearLastReply();
                    const int32_t h = calls::OpenFile(*m_app, path, kOpenReadWrite);
                    if (Answered() && h != -1) return {Status::Done(), h};
                }
                break;
            case Asked::kOpenFile:
                break;
        }
    }
    if (!m_explain) return {Status::Refused(Refusal::kOther), result};
    return {Judge(asked, path, attributes), result};
}

Status CSession::Judge(Asked asked, std::string_view path, uint32_t attributes) {
    const bool exists = attributes != kNoAttributes;
    const bool folder = exists && (attributes & kAttributeDirectory);
    const bool readOnly = exists && (attributes & kAttributeReadOnly);
    const auto parentMissing = [&] {
        const std::string_view parent = FolderOf(path);
        if (parent.empty()) return false;
        m_app->ClearLastReply();
        const auto a = static_cast<uint32_t>(calls::GetFileAttributes(*m_app, parent));
        return Answered() && (a == kNoAttributes || !(a & kAttributeDirectory));
    };
    Refusal why = Refusal::kOther;
    switch (asked) {
        case Asked::kDelete:
            why = !exists    ? Refusal::kNoSuchEntry
                  : folder   ? Refusal::kIsAFolder
                  : readOnly ? Refusal::kReadOnly
                             : Refusal::kOther;
            break;
        case Asked::kRemoveFolder:
            why = !exists    ? Refusal::kNoSuchEntry
                  : !folder  ? Refusal::kNotAFolder
                  : readOnly ? Refusal::kReadOnly
                             : Refusal::kNotEmpty;
            break;
        case Asked::kCreateFolder:
            why = exists            ? Refusal::kExists
                  : parentMissing() ? Refusal::kNoSuchEntry
                                    : Refusal::kOther;
            break;
        case Asked::kCreateFile:
            why = folder            ? Refusal::kIsAFolder
                  : readOnly        ? Refusal::kReadOnly
                  : exists          ? Refusal::kExists
                  : parentMissing() ? Refusal::kNoSuchEntry
                                    : Refusal::kOther;
            break;
        case Asked::kOpenFile:
            why = !exists ? Refusal::kNoSuchEntry : folder ? Refusal::kIsAFolder : Refusal::kOther;
            break;
        case Asked::kSetAttributes:
            why = !exists ? Refusal::kNoSuchEntry : Refusal::kOther;
            break;
    }
    return Status::Refused(why);
}

Result<uint32_t> CSession::Read(int32_t file, void* buffer, uint32_t count) {
    m_app->ClearLastReply();
    uint32_t done = 0;
    int32_t lastResult = 1;
    if (calls::ReadFile(*m_app, file, buffer, count, &done, &lastResult) || count == 0)
        return {Status::Done(), done};
    const Status status = Answered();
    if (!status) return {status, done};
    // The terminal answered: fewer bytes than asked is the end of the file.
    return {lastResult == 0 ? Status::Refused(Refusal::kOther) : Status::Done(), done};
}

Result<uint32_t> CSession::Write(int32_t file, const void* data, uint32_t count,
                                 const void* following, uint32_t followingCount) {
    m_app->ClearLastReply();
    uint32_t done = 0;
    if (calls::WriteFile(*m_app, file, data, count, &done, following, followingCount) || count == 0)
        return {Status::Done(), done};
    const Status status = Answered();
    return {status ? Status::Refused(Refusal::kOther) : status, done};
}

namespace {

// A call whose value is the terminal's result, refused when it is the failure value.
template <typename F>
Result<int32_t> ResultCall(CRemoteApp& app, const std::function<Status()>& engine, int32_t failure,
                           F call) {
    app.ClearLastReply();
    const int32_t result = call();
    Status status = engine();
    if (status && result == failure) status = Status::Refused(Refusal::kOther);
    return {status, result};
}

}  // namespace

Result<int32_t> CSession::CloseFile(int32_t file) {
    return ResultCall(
        *m_app, [this] { return Answered(); }, 0, [&] { return calls::CloseFile(*m_app, file); });
}

Result<int32_t> CSession::Seek(int32_t file, int32_t distance, uint32_t method) {
    return ResultCall(
        *m_app, [this] { return Answered(); }, -1,
        [&] { return calls::SetFilePointer(*m_app, file, distance, method); });
}

Result<int32_t> CSession::SetEndOfFile(int32_t file) {
    return ResultCall(
        *m_app, [this] { return Answered(); }, 0,
        [&] { return calls::SetEndOfFile(*m_app, file); });
}

Result<uint32_t> CSession::FileSize(int32_t file) {
    Result<uint32_t> r;
    m_app->ClearLastReply();
    calls::GetFileSize(*m_app, file, &r.value);
    r.status = Answered();
    if (r.status && r.value == 0xFFFFFFFFu) r.status = Status::Refused(Refusal::kOther);
    return r;
}

Result<FileTimes> CSession::GetFileTime(int32_t file) {
    Result<FileTimes> r;
    m_app->ClearLastReply();
    r.value.result =
        calls::GetFileTime(*m_app, file, &r.value.creation, &r.value.access, &r.value.write);
    r.status = Answered();
    if (r.status && r.value.result == 0) r.status = Status::Refused(Refusal::kOther);
    return r;
}

Result<int32_t> CSession::SetFileTime(int32_t file, const uint32_t* creation,
                                      const uint32_t* access, const uint32_t* write) {
    return ResultCall(
        *m_app, [this] { return Answered(); }, 0,
        [&] { return calls::SetFileTime(*m_app, file, creation, access, write); });
}

Result<uint32_t> CSession::SetFilePosToPre(int32_t file, uint32_t sequence) {
    Result<uint32_t> r;
    m_app->ClearLastReply();
    calls::SetFilePosToPre(*m_app, file, sequence, &r.value);
    r.status = Answered();
    return r;
}

std::unique_ptr<copy::IFileEnd> CSession::ContinueAt(const CopyEnd& destination, copy::IFileEnd& in,
                                                     uint64_t* firstBlock, bool* unreadable) {
    std::unique_ptr<copy::IFileEnd> out;
    if (destination.terminal) {
        if (destination.path.size() > kMaxPathBytes) return nullptr;
        out = CTerminalFile::OpenToContinue(*m_app, destination.path);
    } else {
        out = copy::CPcFile::OpenToContinue(destination.path);
    }
    if (!out) {
        // A terminal that did not answer may still hold the partial file: never replaced then.
        if (destination.terminal && !Answered()) *unreadable = true;
        return nullptr;
    }
    const uint64_t have = out->Size();
    if (have < copy::kBlock || have > in.Size()) return nullptr;
    const uint64_t blocks = have / copy::kBlock;
    // The last whole block says whether the destination is this source's beginning; a torn
    // block after it is written again.
    uint8_t mine[copy::kBlock], theirs[copy::kBlock];
    const uint64_t last = (blocks - 1) * copy::kBlock;
    if (!in.SeekTo(last) || in.Read(theirs, copy::kBlock) != copy::kBlock) {
        *unreadable = true;
        return nullptr;
    }
    if (!out->SeekTo(last) || out->Read(mine, copy::kBlock) != copy::kBlock ||
        !out->SeekTo(last + copy::kBlock)) {
        *unreadable = true;
        return nullptr;
    }
    if (std::memcmp(mine, theirs, copy::kBlock) != 0) {
        // Some other file: copied anew, the source from its start.
        if (!in.SeekTo(0)) *unreadable = true;
        return nullptr;
    }
    *firstBlock = blocks;
    return out;
}

CopyResult CSession::Copy(const CopyEnd& source, const CopyEnd& destination,
                          const CopyControl& control) {
    using copy::CPcFile;
    CopyResult result;
    const auto fail = [&](CopyCode code, Status why) {
        result.code = code;
        result.status = why;
        return result;
    };
    const auto pcFail = [&](CopyCode code) {
        result.code = code;
        result.pcFailed = true;
        result.pcError = qs::LastSystemError();
        return result;
    };
    // Opens one end: the source for reading, or the destination new. On failure result says
    // why: the terminal's answer, or the PC's error.
    const auto open = [&](const CopyEnd& end, bool reading) -> std::unique_ptr<copy::IFileEnd> {
        const CopyCode code = reading ? kCopyReadFailed : kCopyCreateFailed;
        if (!end.terminal) {
            qs::SetLastSystemError(0);
            auto file =
                reading ? CPcFile::OpenSource(end.path) : CPcFile::CreateDestination(end.path);
            if (!file) pcFail(code);
            return file;
        }
        if (end.path.size() > kMaxPathBytes) {
            fail(code, Status::Refused(Refusal::kBadName));
            return nullptr;
        }
        m_app->ClearLastReply();
        std::unique_ptr<copy::IFileEnd> file;
        if (reading)
            file = CTerminalFile::OpenSource(*m_app, end.path);
        else
            file = CTerminalFile::CreateDestination(*m_app, end.path);
        if (file) return file;
        const Status line = Answered();
        if (!line)
            fail(code, line);
        else if (!m_explain)
            fail(code, Status::Refused(Refusal::kOther));
        else
            fail(code, Judge(reading ? Asked::kOpenFile : Asked::kCreateFile, end.path,
                             Attributes(end.path).value));
        return nullptr;
    };
    const std::unique_ptr<copy::IFileEnd> in = open(source, true);
    if (!in) return result;
    // A terminal file cannot hold more than its 32-bit size; refuse before creating anything.
    if (destination.terminal && in->Size() > kTerminalMaxSize)
        return fail(kCopyReadFailed, Status::Refused(Refusal::kOther));
    uint64_t firstBlock = 0;
    std::unique_ptr<copy::IFileEnd> out;
    if (control.resume) {
        m_app->ClearLastReply();
        qs::SetLastSystemError(0);
        bool unreadable = false;
        out = ContinueAt(destination, *in, &firstBlock, &unreadable);
        // A partial file is never replaced for want of an answer.
        if (unreadable) {
            const Status line = Answered();
            if (!line) return fail(kCopyReadFailed, line);
            result.pcError = qs::LastSystemError();
            result.pcFailed = true;
            result.code = kCopyReadFailed;
            return result;
        }
        result.resumedAt = firstBlock * copy::kBlock;
    }
    if (!out) out = open(destination, false);
    if (!out) return result;
    copy::Control steps;
    steps.cancelled = control.cancelled;
    steps.progress = [&](uint64_t i, uint64_t blocks, uint64_t bytes) {
        result.bytes = bytes;
        if (control.progress) control.progress(i, blocks, bytes);
    };
    m_app->ClearLastReply();
    qs::SetLastSystemError(0);
    const copy::Status code = copy::Copy(*in, *out, steps, firstBlock);
    // Taken before the ends close: closing a terminal file is a call of its own.
    const Status line = Answered();
    const int systemError = qs::LastSystemError();
    result.code = static_cast<CopyCode>(code);
    if (code == copy::kDone) {
        // A terminal that keeps no times refuses; the copy is whole all the same.
        if (control.keepTime) {
            if (const uint32_t time = in->ModifiedTime(); time != 0) out->SetModifiedTime(time);
        }
        result.bytes = in->Size();
        return result;
    }
    const bool terminalSide = code == copy::kReadFailed    ? source.terminal
                              : code == copy::kWriteFailed ? destination.terminal
                                                           : false;
    if (code == copy::kCancelled) {
        result.status = Status::Done();
    } else if (terminalSide) {
        result.status = line ? Status::Refused(Refusal::kOther) : line;
    } else {
        result.pcFailed = true;
        result.pcError = systemError;
    }
    return result;
}

}  // namespace zot
