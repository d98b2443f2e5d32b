#include "remote_calls.h"

#include <algorithm>
#include <cstring>

namespace zot::calls {
namespace {

using Reply = CRemoteApp::Reply;

// Request data assembled in order, little-endian.
class Request {
  public:
    Request& U32(uint32_t v) {
        PutU32(m_data + m_length, v);
        m_length += 4;
        return *this;
    }
    // One length byte, then the bytes; false when the path cannot be expressed.
    bool Path(std::string_view path) {
        if (path.size() > kMaxPathBytes) return false;
        m_data[m_length++] = static_cast<uint8_t>(path.size());
        Bytes(path.data(), path.size());
        return true;
    }
    Request& Bytes(const void* p, size_t n) {
        if (n) std::memcpy(m_data + m_length, p, n);
        m_length += n;
        return *this;
    }
    const uint8_t* data() const { return m_data; }
    size_t size() const { return m_length; }

  private:
    uint8_t m_data[kMaxData];
    size_t m_length = 0;
};

Reply Send(CRemoteApp& app, uint16_t command, const Request& r, size_t accepted) {
    return app.Call(command, r.data(), r.size(), accepted);
}

// A call whose reply is one 32-bit value returned as it is.
int ValueCall(CRemoteApp& app, uint16_t command, const Request& r, int failure) {
    if (Send(app, command, r, 4) != Reply::kAccepted) return failure;
    return static_cast<int32_t>(GetU32(app.ReplyData()));
}

int PathCall(CRemoteApp& app, uint16_t command, std::string_view path, int failure) {
    Request r;
    if (!r.Path(path)) return failure;
    return ValueCall(app, command, r, failure);
}

int PathValueCall(CRemoteApp& app, uint16_t command, std::string_view path, uint32_t value,
                  int failure) {
    Request r;
    if (!r.Path(path)) return failure;
    r.U32(value);
    return ValueCall(app, command, r, failure);
}

int HandleCall(CRemoteApp& app, uint16_t command, int32_t handle) {
    Request r;
    r.U32(static_cast<uint32_t>(handle));
    return ValueCall(app, command, r, 0);
}

// A no-data request whose reply is copied whole into a record.
int RecordCall(CRemoteApp& app, uint16_t command, void* out, size_t size,
               const Request& r = Request()) {
    if (!out) return 0;
    if (Send(app, command, r, size) != Reply::kAccepted) return 0;
    std::memcpy(out, app.ReplyData(), size);
    return 1;
}

// The 12-byte records are three little-endian 32-bit values.
int ThreeValueCall(CRemoteApp& app, uint16_t command, uint32_t* out3) {
    if (!out3) return 0;
    if (Send(app, command, Request(), 12) != Reply::kAccepted) return 0;
    for (int i = 0; i < 3; ++i) out3[i] = GetU32(app.ReplyData() + 4 * i);
    return 1;
}

CRemoteApp::RetryHook RewindHook(CRemoteApp& app, int32_t file) {
    return [&app, file](uint32_t failedSequence) {
        uint32_t value = 0;
        return SetFilePosToPre(app, file, failedSequence, &value) != 0;
    };
}

// One ReadFile request of at most 1024 bytes. Returns the terminal's result, or 0 on failure.
int ReadBlock(CRemoteApp& app, int32_t file, uint8_t* buffer, uint32_t count, uint32_t* got) {
    *got = 0;
    if (count > kMaxBlock) return 0;
    Request r;
    r.U32(static_cast<uint32_t>(file)).U32(count);
    if (app.Call(kReadFile, r.data(), r.size(), CRemoteApp::kAnyLength, RewindHook(app, file)) !=
        Reply::kAccepted)
        return 0;
    const uint8_t* reply = app.ReplyData();
    const uint32_t c = app.ReplyLength() < 8 ? 0 : GetU32(reply);
    // More bytes than asked would overrun the caller's buffer.
    if (app.ReplyLength() < 8 || c > count || app.ReplyLength() != c + 8) {
        app.MarkBadReply();
        return 0;
    }
    std::memcpy(buffer, reply + 4, c);
    *got = c;
    return static_cast<int32_t>(GetU32(reply + 4 + c));
}

int WriteBlock(CRemoteApp& app, int32_t file, const uint8_t* data, uint32_t count,
               uint32_t* written) {
    *written = 0;
    if (count > kMaxBlock) return 0;
    Request r;
    r.U32(static_cast<uint32_t>(file)).U32(count).Bytes(data, count);
    if (app.Call(kWriteFile, r.data(), r.size(), 8, RewindHook(app, file)) != Reply::kAccepted)
        return 0;
    *written = GetU32(app.ReplyData());
    return static_cast<int32_t>(GetU32(app.ReplyData() + 4));
}

}  // namespace

void DecodeFindRecord(const uint8_t* wire, FindRecord* out) {
    out->attributes = GetU32(wire);
    out->reserved0 = GetU32(wire + 4);
    out->reserved1 = GetU32(wire + 8);
    out->time = GetU32(wire + 12);
    out->size = GetU32(wire + 16);
    std::memcpy(out->name, wire + kFindNameOffset, kFindNameSize);
}

int GetVersion(CRemoteApp& app, VersionInfo* out) {
    return ThreeValueCall(app, kGetVersion, out ? &out->major : nullptr);
}

int GlobalMemoryStatus(CRemoteApp& app, MemoryStatus* out) {
    return ThreeValueCall(app, kGlobalMemoryStatus, out ? &out->load : nullptr);
}

int GetSystemPowerStatus(CRemoteApp& app, PowerStatus* out) {
    return RecordCall(app, kGetSystemPowerStatus, out ? out->data() : nullptr, 24);
}

int GetStoreInformation(CRemoteApp& app, StoreInfo* out, int32_t store) {
    if (!out) return 0;
    Request r;
    r.U32(static_cast<uint32_t>(store));
    if (Send(app, kGetStoreInformation, r, 8) != Reply::kAccepted) return 0;
    out->size = GetU32(app.ReplyData());
    out->free = GetU32(app.ReplyData() + 4);
    return 1;
}

int GetSystemInfo(CRemoteApp& app, SystemInfo* out) {
    return RecordCall(app, kGetSystemInfo, out ? out->data() : nullptr, 80);
}

int FindFirstFile(CRemoteApp& app, std::string_view pattern, FindRecord* out) {
    Request r;
    if (!out || !r.Path(pattern)) return -1;
    if (Send(app, kFindFirstFile, r, kFindRecordSize + 4) != Reply::kAccepted) return -1;
    DecodeFindRecord(app.ReplyData(), out);
    const auto handle = static_cast<int32_t>(GetU32(app.ReplyData() + kFindRecordSize));
    return handle == 0 ? -1 : handle;
}

int FindNextFile(CRemoteApp& app, int32_t find, FindRecord* out) {
    if (!out) return 0;
    Request r;
    r.U32(static_cast<uint32_t>(find));
    if (Send(app, kFindNextFile, r, kFindRecordSize + 4) != Reply::kAccepted) return 0;
    DecodeFindRecord(app.ReplyData(), out);
    return static_cast<int32_t>(GetU32(app.ReplyData() + kFindRecordSize));
}

int FindClose(CRemoteApp& app, int32_t find) {
    return HandleCall(app, kFindClose, find);
}

int GetFileAttributes(CRemoteApp& app, std::string_view path) {
    return PathCall(app, kGetFileAttributes, path, -1);
}

int SetFileAttributes(CRemoteApp& app, std::string_view path, uint32_t attributes) {
    return PathValueCall(app, kSetFileAttributes, path, attributes, 0);
}

int CreateFile(CRemoteApp& app, std::string_view path, uint32_t access) {
    return PathValueCall(app, kCreateFile, path, access, -1);
}

int OpenFile(CRemoteApp& app, std::string_view path, uint32_t mode) {
    return PathValueCall(app, kOpenFile, path, mode, -1);
}

int CreateDirectory(CRemoteApp& app, std::string_view path) {
    return PathCall(app, kCreateDirectory, path, 0);
}

int RemoveDirectory(CRemoteApp& app, std::string_view path) {
    return PathCall(app, kRemoveDirectory, path, 0);
}

int DeleteFile(CRemoteApp& app, std::string_view path) {
    return PathCall(app, kDeleteFile, path, 0);
}

int ReadFile(CRemoteApp& app, int32_t file, void* buffer, uint32_t count, uint32_t* done,
             int32_t* lastResult) {
    uint32_t total = 0;
    auto* out = static_cast<uint8_t*>(buffer);
    int ok = 1;
    if (count && !out) ok = 0;
    while (ok && total < count) {
        const uint32_t want = count - total < kMaxBlock ? count - total : kMaxBlock;
        // The next read of this call; after a full last one, a caller reading a file
        // block by block most likely asks for the same again.
        const uint32_t left = count - total - want;
        const uint32_t next = left ? std::min<uint32_t>(left, kMaxBlock) : want;
        if (next == kMaxBlock || left) {
            Request following;
            following.U32(static_cast<uint32_t>(file)).U32(next);
            app.AnnounceFollowing(kReadFile, following.data(), following.size());
        }
        uint32_t got = 0;
        const int32_t result = ReadBlock(app, file, out + total, want, &got);
        if (lastResult) *lastResult = result;
        // A zero result disowns whatever data came with it.
        if (result == 0) break;
        total += got;
        if (got < want) break;
    }
    if (done) *done = total;
    return ok && total == count;
}

int WriteFile(CRemoteApp& app, int32_t file, const void* data, uint32_t count, uint32_t* done,
              const void* following, uint32_t followingCount) {
    uint32_t total = 0;
    const auto* in = static_cast<const uint8_t*>(data);
    int ok = 1;
    if (count && !in) ok = 0;
    if (!following) followingCount = 0;
    while (ok && total < count) {
        const uint32_t want = count - total < kMaxBlock ? count - total : kMaxBlock;
        // The next write: the rest of this call's data, else the start of the caller's next.
        const uint32_t left = count - total - want;
        const uint8_t* nextData = left ? in + total + want : static_cast<const uint8_t*>(following);
        const uint32_t next = std::min<uint32_t>(left ? left : followingCount, kMaxBlock);
        if (next) {
            Request r;
            r.U32(static_cast<uint32_t>(file)).U32(next).Bytes(nextData, next);
            app.AnnounceFollowing(kWriteFile, r.data(), r.size());
        }
        uint32_t written = 0;
        if (WriteBlock(app, file, in + total, want, &written) == 0) break;
        total += written < want ? written : want;
        if (written < want) break;
    }
    if (done) *done = total;
    return ok && total == count;
}

int CloseFile(CRemoteApp& app, int32_t file) {
    return HandleCall(app, kCloseFile, file);
}

int SetFilePointer(CRemoteApp& app, int32_t file, int32_t distance, uint32_t method) {
    Request r;
    r.U32(static_cast<uint32_t>(file)).U32(static_cast<uint32_t>(distance)).U32(method);
    return ValueCall(app, kSetFilePointer, r, 0);
}

int SetEndOfFile(CRemoteApp& app, int32_t file) {
    return HandleCall(app, kSetEndOfFile, file);
}

bool GetFileSize(CRemoteApp& app, int32_t file, uint32_t* size) {
    Request r;
    r.U32(static_cast<uint32_t>(file));
    if (Send(app, kGetFileSize, r, 4) != Reply::kAccepted) return false;
    *size = GetU32(app.ReplyData());
    return true;
}

int GetFileSize(CRemoteApp& app, int32_t file) {
    uint32_t size = 0;
    return GetFileSize(app, file, &size) ? static_cast<int32_t>(size) : 0;
}

int GetFileTime(CRemoteApp& app, int32_t file, uint32_t* creation, uint32_t* access,
                uint32_t* write) {
    Request r;
    r.U32(static_cast<uint32_t>(file));
    if (Send(app, kGetFileTime, r, 16) != Reply::kAccepted) return 0;
    const uint8_t* reply = app.ReplyData();
    if (creation) *creation = GetU32(reply);
    if (access) *access = GetU32(reply + 4);
    if (write) *write = GetU32(reply + 8);
    return static_cast<int32_t>(GetU32(reply + 12));
}

int SetFileTime(CRemoteApp& app, int32_t file, const uint32_t* creation, const uint32_t* access,
                const uint32_t* write) {
    Request r;
    r.U32(static_cast<uint32_t>(file))
        .U32(creation ? *creation : 0)
        .U32(access ? *access : 0)
        .U32(write ? *write : 0);
    switch (Send(app, kSetFileTime, r, 4)) {
        case Reply::kAccepted:
            return static_cast<int32_t>(GetU32(app.ReplyData()));
        case Reply::kWrongLength:
            return 0;
        case Reply::kNone:
        case Reply::kGone:
            break;
    }
    // Callers of this call have always been told success when the terminal stays silent.
    return 1;
}

int SetFilePosToPre(CRemoteApp& app, int32_t file, uint32_t sequence, uint32_t* value) {
    Request r;
    r.U32(static_cast<uint32_t>(file)).U32(sequence);
    if (Send(app, kSetFilePosToPre, r, 4) != Reply::kAccepted) return 0;
    if (value) *value = GetU32(app.ReplyData());
    return 1;
}

int Ring(CRemoteApp& app, std::string_view text) {
    Request r;
    if (text.size() > 260) return 0;
    r.U32(static_cast<uint32_t>(text.size())).Bytes(text.data(), text.size());
    return ValueCall(app, kRing, r, 0);
}

}  // namespace zot::calls
