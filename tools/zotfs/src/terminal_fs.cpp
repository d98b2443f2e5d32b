#include "terminal_fs.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>

#include "terminal_names.h"
#include "terminal_time.h"

namespace zotfs {
namespace {

// The terminal's values for file access, open modes and seek origins.
constexpr uint32_t kGenericRead = 0x80000000u;
constexpr uint32_t kGenericWrite = 0x40000000u;
constexpr uint32_t kOpenRead = 0;
constexpr uint32_t kOpenReadWrite = 2;
constexpr uint32_t kFileBegin = 0;
// What the terminal answers for a file whose size it cannot tell.
constexpr uint32_t kNoSize = UINT32_MAX;
constexpr uint32_t kMaxOffset = INT32_MAX;  // SetFilePointer moves by a signed 32-bit distance

bool IsDirectory(const Entry& e) {
    return (e.attributes & zot::kAttributeDirectory) != 0;
}
bool IsReadOnly(const Entry& e) {
    return (e.attributes & zot::kAttributeReadOnly) != 0;
}

// A record's entry, or false when its name cannot be shown under a name that leads back.
bool FromRecord(const zot::FindRecord& record, Entry* out) {
    std::string name;
    if (!FromTerminalName(record.Name(), &name)) return false;
    *out = Entry{name, record.attributes, record.time, record.size};
    return true;
}

// Attributes with the read-only bit as asked; a file with no bit left is "normal".
uint32_t WithReadOnly(uint32_t attributes, bool readOnly) {
    uint32_t a =
        attributes & ~(zot::kAttributeDirectory | zot::kAttributeReadOnly | zot::kAttributeNormal);
    if (readOnly) a |= zot::kAttributeReadOnly;
    return a ? a : zot::kAttributeNormal;
}

// One of utimensat's times as a terminal time, 0 to leave it as it is.
uint32_t TerminalTime(const struct timespec& t) {
    if (t.tv_nsec == UTIME_OMIT) return 0;
    if (t.tv_nsec != UTIME_NOW) return zottools::TimespecToTerminalTime(t);
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return zottools::TimespecToTerminalTime(now);
}

}  // namespace

CTerminalFs::CTerminalFs(CLinkWorker& worker, bool readOnly)
    : m_worker(worker), m_readOnly(readOnly), m_uid(::getuid()), m_gid(::getgid()) {}

int CTerminalFs::Failed(const zot::Status& status, Asked asked) {
    m_worker.Report(status);
    switch (status.outcome) {
        case zot::Outcome::kRefused:
            break;
        case zot::Outcome::kNoAnswer:
        case zot::Outcome::kBadReply:
        // Done, yet not what was asked for (a short size, a seek that landed elsewhere).
        case zot::Outcome::kDone:
            return -EIO;
    }
    switch (status.refusal) {
        case zot::Refusal::kNoSuchEntry:
            return -ENOENT;
        case zot::Refusal::kExists:
            return -EEXIST;
        // A read-only mount refuses every change itself (EROFS) before asking the terminal.
        case zot::Refusal::kReadOnly:
            return -EACCES;
        case zot::Refusal::kNotEmpty:
            return -ENOTEMPTY;
        case zot::Refusal::kIsAFolder:
            return -EISDIR;
        case zot::Refusal::kNotAFolder:
            return -ENOTDIR;
        // Names are checked for the wire code page before they are sent (EILSEQ); what the
        // session still refuses is a path too long for the terminal.
        case zot::Refusal::kBadName:
            return -ENAMETOOLONG;
        // A folder that changed while it was listed has no true listing to give; the next
        // listing may well succeed.
        case zot::Refusal::kChanged:
            return -EIO;
        case zot::Refusal::kNone:
        case zot::Refusal::kOther:
            break;
    }
    // The terminal said no and its state does not say why. Asked to do something to an entry
    // (open, create, delete, set its attributes or times), it keeps that entry from us:
    // permission denied. Refusing to read or write a file it has open for us is a failed
    // transfer, not a question of permissions.
    return asked == Asked::kData ? -EIO : -EACCES;
}

void CTerminalFs::FillStat(const Entry& e, struct stat* st) const {
    *st = {};
    mode_t mode = IsDirectory(e) ? (S_IFDIR | 0755) : (S_IFREG | 0644);
    if (IsReadOnly(e) || m_readOnly) mode &= ~static_cast<mode_t>(0222);
    st->st_mode = mode;
    // 1: the link count is not known (find(1) then looks into every folder).
    st->st_nlink = 1;
    st->st_uid = m_uid;
    st->st_gid = m_gid;
    st->st_size = static_cast<off_t>(e.size);
    st->st_blocks = static_cast<blkcnt_t>((e.size + 511) / 512);
    st->st_atim = st->st_mtim = st->st_ctim = zottools::TerminalTimeToTimespec(e.time);
}

CTerminalFs::OpenFile* CTerminalFs::File(uint64_t fh) {
    const auto it = m_files.find(fh);
    return it == m_files.end() ? nullptr : it->second.get();
}

int CTerminalFs::CloseTerminalFiles(const std::string& path) {
    const std::string key = Folded(path);
    for (auto& [id, f] : m_files) {
        if (Folded(f->path) != key || Stale(*f) || f->handle == -1) continue;
        const auto closed = Line().CloseFile(f->handle);
        f->handle = -1;
        if (closed) {
            f->dirty = false;
            continue;
        }
        const int rc = Failed(closed.status, Asked::kData);
        if (f->dirty || !LineUp()) return rc;
    }
    return 0;
}

void CTerminalFs::Touched(const std::string& path) {
    m_cache.Drop(ParentOf(path));
    const std::string key = Folded(path);
    for (auto& [id, f] : m_files)
        if (Folded(f->path) == key) f->ahead.clear();
}

int CTerminalFs::CloseAfter(int32_t handle) {
    if (!LineUp()) return -EIO;
    const auto closed = Line().CloseFile(handle);
    return closed ? 0 : Failed(closed.status, Asked::kData);
}

int CTerminalFs::Lookup(const std::string& path, Entry* out) {
    if (path == "/") {
        *out = Entry{"/", zot::kAttributeDirectory, 0, 0};
        return 0;
    }
    std::string device;
    if (const int rc = ToDevicePath(path, &device); rc != 0) return rc == -EINVAL ? -ENOENT : rc;
    const std::string folder = ParentOf(path);
    switch (m_cache.Lookup(folder, LeafOf(path), out)) {
        case CListingCache::Found::kYes:
            return 0;
        case CListingCache::Found::kNo:
            return -ENOENT;
        case CListingCache::Found::kUnknown:
            break;
    }
    // A pattern without wildcards finds the entry itself, one round trip instead of a listing.
    zot::FindRecord record;
    const auto found = Line().FindFirst(device, &record);
    if (!found) return Failed(found.status);
    if (found.value == -1) return -ENOENT;
    // The entry is known either way; a close that found no answer still puts the line down.
    m_worker.Report(Line().FindClose(found.value).status);
    if (!FromRecord(record, out) || Folded(out->name) != Folded(LeafOf(path))) return -ENOENT;
    m_cache.StoreEntry(folder, *out);
    return 0;
}

int CTerminalFs::GetAttr(const std::string& path, struct stat* st, uint64_t fh) {
    Entry e;
    if (const int rc = Lookup(path, &e); rc != 0) return rc;
    // A file being written is as long as its writes made it, whatever the terminal listed.
    const std::string key = Folded(path);
    for (const auto& [id, f] : m_files)
        if ((id == fh || Folded(f->path) == key) && f->writable && !Stale(*f))
            e.size = std::max(e.size, f->size);
    FillStat(e, st);
    return 0;
}

int CTerminalFs::ReadDir(const std::string& path, std::vector<Entry>* out) {
    if (const auto* cached = m_cache.Listing(path)) {
        *out = *cached;
        return 0;
    }
    out->clear();
    std::string pattern;
    if (const int rc = ToListingPattern(path, &pattern); rc != 0) return rc;
    const auto listed = Line().List(pattern);
    if (!listed) return Failed(listed.status);
    for (const zot::FindRecord& record : listed.value) {
        Entry e;
        if (FromRecord(record, &e)) out->push_back(std::move(e));
    }
    m_cache.StoreListing(path, *out);
    return 0;
}

int CTerminalFs::Open(const std::string& path, int flags, uint64_t* fh) {
    const bool writable = (flags & O_ACCMODE) != O_RDONLY;
    if (writable && m_readOnly) return -EROFS;
    std::string device;
    if (const int rc = ToDevicePath(path, &device); rc != 0) return rc;
    Entry e;
    if (const int rc = Lookup(path, &e); rc != 0) return rc;
    if (IsDirectory(e)) return -EISDIR;
    // The terminal would open a read-only file for reading only and refuse the writes later.
    if (writable && IsReadOnly(e)) return -EACCES;
    const auto opened = Line().OpenFile(device, writable ? kOpenReadWrite : kOpenRead);
    if (!opened) return Failed(opened.status);
    const int32_t handle = opened.value;
    auto length = Line().FileSize(handle);
    if (length && length.value == kNoSize)
        length.status = zot::Status::Refused(zot::Refusal::kOther);
    int rc = length ? 0 : Failed(length.status, Asked::kData);
    const bool truncate = rc == 0 && writable && (flags & O_TRUNC) && length.value > 0;
    if (truncate) {
        if (const auto cut = Line().SetEndOfFile(handle); cut) {
            length.value = 0;
            Touched(path);
        } else {
            rc = Failed(cut.status, Asked::kData);
        }
    }
    if (rc != 0) {
        CloseAfter(handle);
        return rc;
    }
    auto f = std::make_unique<OpenFile>();
    f->path = path;
    f->device = device;
    f->handle = handle;
    f->generation = m_worker.Generation();
    f->writable = writable;
    f->dirty = truncate;
    f->positionKnown = true;
    f->size = length.value;
    *fh = m_nextFile++;
    m_files[*fh] = std::move(f);
    return 0;
}

int CTerminalFs::Create(const std::string& path, mode_t mode, uint64_t* fh) {
    if (m_readOnly) return -EROFS;
    std::string device;
    if (const int rc = ToDevicePath(path, &device); rc != 0) return rc;
    const auto created = Line().CreateFile(device, kGenericRead | kGenericWrite);
    if (!created) return Failed(created.status);
    auto f = std::make_unique<OpenFile>();
    f->path = path;
    f->device = device;
    f->handle = created.value;
    f->generation = m_worker.Generation();
    f->writable = true;
    f->dirty = true;
    f->positionKnown = true;
    // Set only once the data is in: a read-only file could not be written.
    f->readOnlyOnClose = (mode & 0222) == 0;
    Touched(path);
    *fh = m_nextFile++;
    m_files[*fh] = std::move(f);
    return 0;
}

int CTerminalFs::EnsureOpen(OpenFile& f) {
    if (Stale(f)) return -EIO;
    if (f.handle != -1) return 0;
    const auto opened = Line().OpenFile(f.device, f.writable ? kOpenReadWrite : kOpenRead);
    if (!opened) return Failed(opened.status);
    f.handle = opened.value;
    f.positionKnown = true;
    f.position = 0;
    return 0;
}

int CTerminalFs::Seek(int32_t handle, uint32_t offset, bool positionKnown, uint32_t position) {
    if (positionKnown && position == offset) return 0;
    if (offset > kMaxOffset) return -EFBIG;
    const auto moved = Line().Seek(handle, static_cast<int32_t>(offset), kFileBegin);
    if (!moved) return Failed(moved.status, Asked::kData);
    // The answer is where the file now stands.
    return static_cast<uint32_t>(moved.value) == offset ? 0 : -EIO;
}

int CTerminalFs::SeekFile(OpenFile& f, uint32_t offset) {
    const int rc = Seek(f.handle, offset, f.positionKnown, f.position);
    f.positionKnown = rc == 0;
    if (rc == 0) f.position = offset;
    return rc;
}

int CTerminalFs::Read(uint64_t fh, char* buffer, size_t size, off_t offset) {
    OpenFile* f = File(fh);
    if (!f) return -EBADF;
    if (Stale(*f)) return -EIO;
    if (offset < 0) return -EINVAL;
    if (static_cast<uint64_t>(offset) >= f->size || size == 0) return 0;
    const auto at = static_cast<uint32_t>(offset);
    const uint32_t want = static_cast<uint32_t>(std::min<uint64_t>(size, f->size - at));
    if (at >= f->aheadOffset && at - f->aheadOffset + uint64_t(want) <= f->ahead.size()) {
        std::memcpy(buffer, f->ahead.data() + (at - f->aheadOffset), want);
        return static_cast<int>(want);
    }
    if (const int rc = EnsureOpen(*f); rc != 0) return rc;
    if (const int rc = SeekFile(*f, at); rc != 0) return rc;
    const uint32_t fetch = std::min(std::max(want, kReadAhead), f->size - at);
    std::vector<char> data(fetch);
    const auto read = Line().Read(f->handle, data.data(), fetch);
    if (!read) {
        f->positionKnown = false;
        f->ahead.clear();
        return Failed(read.status, Asked::kData);
    }
    // Fewer bytes: the file ends sooner on the terminal than when it was opened.
    data.resize(read.value);
    f->position = at + read.value;
    const uint32_t given = std::min(want, read.value);
    std::memcpy(buffer, data.data(), given);
    f->aheadOffset = at;
    f->ahead = std::move(data);
    return static_cast<int>(given);
}

int CTerminalFs::Write(uint64_t fh, const char* data, size_t size, off_t offset) {
    OpenFile* f = File(fh);
    if (!f) return -EBADF;
    if (!f->writable) return -EBADF;
    if (Stale(*f)) return -EIO;
    if (offset < 0) return -EINVAL;
    if (static_cast<uint64_t>(offset) + size > kMaxOffset) return -EFBIG;
    if (size == 0) return 0;
    if (const int rc = EnsureOpen(*f); rc != 0) return rc;
    const auto at = static_cast<uint32_t>(offset);
    if (const int rc = SeekFile(*f, at); rc != 0) return rc;
    Touched(f->path);
    f->dirty = true;
    const auto written = Line().Write(f->handle, data, static_cast<uint32_t>(size));
    // What the terminal confirmed is in the file, whatever came after.
    f->size = std::max(f->size, at + written.value);
    if (!written) {
        f->positionKnown = false;
        return Failed(written.status, Asked::kData);
    }
    f->position = at + written.value;
    return static_cast<int>(size);
}

int CTerminalFs::Flush(uint64_t fh) {
    OpenFile* f = File(fh);
    if (!f) return -EBADF;
    if (!f->dirty) return 0;
    if (Stale(*f)) return -EIO;
    if (f->handle == -1) return 0;
    // Closing is the one way to be sure the terminal has the data where it keeps files; the
    // next read or write through this descriptor opens the file again.
    const auto closed = Line().CloseFile(f->handle);
    f->handle = -1;
    Touched(f->path);
    if (!closed) return Failed(closed.status, Asked::kData);
    f->dirty = false;
    return 0;
}

int CTerminalFs::Release(uint64_t fh) {
    const auto it = m_files.find(fh);
    if (it == m_files.end()) return -EBADF;
    OpenFile& f = *it->second;
    // A handle of an earlier line may belong to another file by now: leave it alone. With
    // the line down it is left to the terminal too, rather than wait on the line.
    if (!Stale(f) && LineUp()) {
        if (f.handle != -1) m_worker.Report(Line().CloseFile(f.handle).status);
        if (f.readOnlyOnClose && LineUp())
            m_worker.Report(
                Line().SetAttributes(f.device, WithReadOnly(zot::kAttributeNormal, true)).status);
        if (f.dirty || f.readOnlyOnClose) Touched(f.path);
    }
    m_files.erase(it);
    return 0;
}

void CTerminalFs::CloseAll() {
    while (!m_files.empty()) Release(m_files.begin()->first);
}

int CTerminalFs::Truncate(const std::string& path, off_t size, uint64_t fh) {
    if (m_readOnly) return -EROFS;
    if (size < 0) return -EINVAL;
    if (static_cast<uint64_t>(size) > kMaxOffset) return -EFBIG;
    const auto length = static_cast<uint32_t>(size);
    OpenFile* f = fh ? File(fh) : nullptr;
    int rc = 0;
    if (f && f->writable) {
        if ((rc = EnsureOpen(*f)) != 0 || (rc = SeekFile(*f, length)) != 0) return rc;
        const auto cut = Line().SetEndOfFile(f->handle);
        if (!cut) return Failed(cut.status, Asked::kData);
        f->dirty = true;
    } else {
        std::string device;
        if ((rc = ToDevicePath(path, &device)) != 0) return rc;
        Entry e;
        if ((rc = Lookup(path, &e)) != 0) return rc;
        if (IsDirectory(e)) return -EISDIR;
        if (IsReadOnly(e)) return -EACCES;
        const auto opened = Line().OpenFile(device, kOpenReadWrite);
        if (!opened) return Failed(opened.status);
        rc = Seek(opened.value, length, true, 0);
        if (rc == 0) {
            const auto cut = Line().SetEndOfFile(opened.value);
            if (!cut) rc = Failed(cut.status, Asked::kData);
        }
        if (const int closed = CloseAfter(opened.value); rc == 0) rc = closed;
        if (rc != 0) return rc;
    }
    const std::string key = Folded(path);
    for (auto& [id, open] : m_files)
        if (Folded(open->path) == key) open->size = length;
    Touched(path);
    return 0;
}

int CTerminalFs::Unlink(const std::string& path) {
    if (m_readOnly) return -EROFS;
    std::string device;
    if (const int rc = ToDevicePath(path, &device); rc != 0) return rc;
    Entry e;
    if (const int rc = Lookup(path, &e); rc != 0) return rc;
    if (IsDirectory(e)) return -EISDIR;
    // The terminal deletes no file it has open; what was written is confirmed first.
    if (const int rc = CloseTerminalFiles(path); rc != 0) return rc;
    Touched(path);
    // The terminal keeps read-only files from deletion; here, as on POSIX, the folder decides.
    if (IsReadOnly(e))
        if (const auto cleared = Line().SetAttributes(device, WithReadOnly(e.attributes, false));
            !cleared)
            return Failed(cleared.status);
    const auto removed = Line().Delete(device);
    if (removed) return 0;
    const int rc = Failed(removed.status);
    if (IsReadOnly(e) && LineUp())
        m_worker.Report(Line().SetAttributes(device, e.attributes).status);
    return rc;
}

int CTerminalFs::MakeDirectory(const std::string& path) {
    if (m_readOnly) return -EROFS;
    std::string device;
    // Room for the "\*.*" that lists it, or it could be made but never listed.
    if (const int rc = ToDevicePath(path, &device, 4); rc != 0) return rc;
    Touched(path);
    const auto made = Line().CreateFolder(device);
    return made ? 0 : Failed(made.status);
}

int CTerminalFs::RemoveDirectory(const std::string& path) {
    if (m_readOnly) return -EROFS;
    if (path == "/") return -EBUSY;
    std::string device;
    if (const int rc = ToDevicePath(path, &device); rc != 0) return rc;
    Entry e;
    if (const int rc = Lookup(path, &e); rc != 0) return rc;
    if (!IsDirectory(e)) return -ENOTDIR;
    Touched(path);
    m_cache.Drop(path);
    const auto removed = Line().RemoveFolder(device);
    return removed ? 0 : Failed(removed.status);
}

int CTerminalFs::SetWriteTime(int32_t handle, const uint32_t* access, const uint32_t* write) {
    const auto set = Line().SetFileTime(handle, nullptr, access, write);
    return set ? 0 : Failed(set.status);
}

int CTerminalFs::MoveFile(const std::string& from, const std::string& source,
                          const std::string& target, const Entry& e) {
    // The terminal keeps a read-only file from deletion, the last step of a move.
    if (IsReadOnly(e))
        if (const auto cleared = Line().SetAttributes(source, WithReadOnly(e.attributes, false));
            !cleared)
            return Failed(cleared.status);
    const zot::CopyResult copied = Line().Copy({true, source}, {true, target});
    int rc = 0;
    if (copied.code != zot::kCopyDone)
        rc = Failed(copied.status,
                    copied.code == zot::kCopyCreateFailed ? Asked::kEntry : Asked::kData);
    else if (const auto removed = Line().Delete(source); !removed)
        rc = Failed(removed.status);
    if (rc != 0) {
        if (IsReadOnly(e) && LineUp())
            m_worker.Report(Line().SetAttributes(source, e.attributes).status);
        return rc;
    }
    Touched(from);
    // The copy is a new file: give it the time and attributes of the one it replaces. The
    // data has moved either way, so the rename stands even if these do not take.
    if (e.time != 0 && LineUp()) {
        if (const auto opened = Line().OpenFile(target, kOpenReadWrite); opened) {
            SetWriteTime(opened.value, nullptr, &e.time);
            CloseAfter(opened.value);
        } else {
            m_worker.Report(opened.status);
        }
    }
    if (IsReadOnly(e) && LineUp())
        m_worker.Report(Line().SetAttributes(target, e.attributes).status);
    return 0;
}

int CTerminalFs::Rename(const std::string& from, const std::string& to, unsigned int flags) {
    if (m_readOnly) return -EROFS;
    if (flags & RENAME_EXCHANGE) return -EINVAL;
    std::string source, target;
    if (const int rc = ToDevicePath(from, &source); rc != 0) return rc;
    if (const int rc = ToDevicePath(to, &target); rc != 0) return rc;
    Entry e, existing;
    if (const int rc = Lookup(from, &e); rc != 0) return rc;
    // The terminal has no move: a file is copied through the PC and its source deleted. A
    // folder would be a whole tree of that within one call, and not undoable half-way, so
    // it is refused as a move across file systems, which mv and rsync then do file by file.
    if (IsDirectory(e)) return -EXDEV;
    const int found = Lookup(to, &existing);
    if (found != 0 && found != -ENOENT) return found;
    if (found == 0) {
        if (flags & RENAME_NOREPLACE) return -EEXIST;
        if (IsDirectory(existing)) return -EISDIR;
    }
    if (from == to) return 0;
    // The copy must read what was written, and the terminal deletes no file it has open.
    // Descriptors open on the file follow it to its new name and open it there again.
    if (const int rc = CloseTerminalFiles(from); rc != 0) return rc;
    if (found == 0)
        if (const int rc = CloseTerminalFiles(to); rc != 0) return rc;
    Touched(to);
    int rc = 0;
    if (Folded(from) != Folded(to)) {
        rc = MoveFile(from, source, target, e);
    } else {
        // Only the case differs: to the terminal both are the same file, and copying it onto
        // itself would empty it. Go through a name of its own in the same folder.
        const std::string leaf =
            ".zotfs-" + std::to_string(::getpid()) + "-" + std::to_string(m_nextFile);
        const std::string middle = (ParentOf(to) == "/" ? "/" : ParentOf(to) + "/") + leaf;
        std::string between;
        if ((rc = ToDevicePath(middle, &between)) != 0) return rc;
        if ((rc = MoveFile(from, source, between, e)) != 0) return rc;
        Touched(middle);
        rc = MoveFile(middle, between, target, e);
    }
    if (rc != 0) return rc;
    const std::string key = Folded(from);
    for (auto& [id, f] : m_files) {
        if (Folded(f->path) != key) continue;
        f->path = to;
        f->device = target;
    }
    return 0;
}

int CTerminalFs::ChangeMode(const std::string& path, mode_t mode) {
    if (m_readOnly) return -EROFS;
    if (path == "/") return -EPERM;
    std::string device;
    if (const int rc = ToDevicePath(path, &device); rc != 0) return rc;
    Entry e;
    if (const int rc = Lookup(path, &e); rc != 0) return rc;
    // The terminal keeps one permission: whether an entry is read-only.
    const bool readOnly = (mode & 0222) == 0;
    if (IsReadOnly(e) == readOnly) return 0;
    Touched(path);
    const auto set = Line().SetAttributes(device, WithReadOnly(e.attributes, readOnly));
    return set ? 0 : Failed(set.status);
}

int CTerminalFs::ChangeOwner(const std::string& path, uid_t uid, gid_t gid) {
    Entry e;
    if (const int rc = Lookup(path, &e); rc != 0) return rc;
    // The terminal has no owners: every entry is the mounting user's, and stays so.
    if ((uid != static_cast<uid_t>(-1) && uid != m_uid) ||
        (gid != static_cast<gid_t>(-1) && gid != m_gid))
        return -EPERM;
    return 0;
}

int CTerminalFs::SetTimes(const std::string& path, const struct timespec times[2], uint64_t fh) {
    if (m_readOnly) return -EROFS;
    const timespec now[2] = {{0, UTIME_NOW}, {0, UTIME_NOW}};
    const uint32_t access = TerminalTime(times ? times[0] : now[0]);
    const uint32_t write = TerminalTime(times ? times[1] : now[1]);
    if (!access && !write) return 0;
    std::string device;
    if (const int rc = ToDevicePath(path, &device); rc != 0) return rc;
    Entry e;
    if (const int rc = Lookup(path, &e); rc != 0) return rc;
    // Times are set through an open file, and the terminal opens no folder.
    if (IsDirectory(e)) return -EPERM;
    Touched(path);
    OpenFile* f = fh ? File(fh) : nullptr;
    if (f && f->writable) {
        if (const int rc = EnsureOpen(*f); rc != 0) return rc;
        return SetWriteTime(f->handle, access ? &access : nullptr, write ? &write : nullptr);
    }
    const auto opened = Line().OpenFile(device, kOpenReadWrite);
    if (!opened) return Failed(opened.status);
    const int rc = SetWriteTime(opened.value, access ? &access : nullptr, write ? &write : nullptr);
    if (const int closed = CloseAfter(opened.value); rc == 0) return closed;
    return rc;
}

int CTerminalFs::StatFs(struct statvfs* st) {
    const auto store = Line().Store(1);
    if (!store) return Failed(store.status, Asked::kData);
    constexpr unsigned long kBlock = 1024;
    *st = {};
    st->f_bsize = st->f_frsize = kBlock;
    st->f_blocks = store.value.size / kBlock;
    st->f_bfree = st->f_bavail = store.value.free / kBlock;
    st->f_namemax = kMaxNameBytes;
    if (m_readOnly) st->f_flag |= ST_RDONLY;
    return 0;
}

}  // namespace zotfs
