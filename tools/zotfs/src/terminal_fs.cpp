#include "terminal_fs.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "terminal_names.h"
#include "terminal_time.h"
#include "zotlink.h"

namespace zotfs {
namespace {

using Clock = std::chrono::steady_clock;

// The library answers failure and "nothing" alike (0 for no more entries, position 0, an
// empty file; -1 for no such file). A terminal that answers does so within a round trip; a
// call that failed only after this long ran into the library's reply time-outs (its last
// attempt always waits the whole 5 s), so the line failed, not the terminal said no.
constexpr auto kLineFailure = std::chrono::milliseconds(4000);
// A listing that never ends is the terminal's fault; stop taking entries here.
constexpr size_t kMaxEntries = 100000;
// Terminals keeping FAT times store them to two seconds.
constexpr uint32_t kTimeSlack = 2;
constexpr uint32_t kOpenRead = 0;
constexpr uint32_t kOpenReadWrite = 2;
constexpr uint32_t kMaxOffset = INT32_MAX;  // SetFilePointer moves by a signed 32-bit distance

class CCall {
  public:
    bool Slow() const { return Clock::now() - m_start >= kLineFailure; }

  private:
    Clock::time_point m_start = Clock::now();
};

bool IsDirectory(const Entry& e) {
    return (e.attributes & ZOT_FILE_ATTRIBUTE_DIRECTORY) != 0;
}
bool IsReadOnly(const Entry& e) {
    return (e.attributes & ZOT_FILE_ATTRIBUTE_READONLY) != 0;
}

Entry FromRecord(const ZOT_FIND_DATA& d, const std::string& name) {
    return Entry{name, d.dwFileAttributes, d.dwTime, d.nFileSize};
}

// Attributes with the read-only bit as asked; a file with no bit left is "normal".
uint32_t WithReadOnly(uint32_t attributes, bool readOnly) {
    uint32_t a = attributes & ~(ZOT_FILE_ATTRIBUTE_DIRECTORY | ZOT_FILE_ATTRIBUTE_READONLY |
                                ZOT_FILE_ATTRIBUTE_NORMAL);
    if (readOnly) a |= ZOT_FILE_ATTRIBUTE_READONLY;
    return a ? a : ZOT_FILE_ATTRIBUTE_NORMAL;
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
    int rc = 0;
    for (auto& [id, f] : m_files) {
        if (Folded(f->path) != key || Stale(*f) || f->handle == -1) continue;
        const CCall close;
        if (ZOT_CloseFile(f->handle)) {
            f->dirty = false;
        } else if (f->dirty) {
            if (close.Slow()) m_worker.LineFailed();
            rc = -EIO;
        }
        f->handle = -1;
    }
    return rc;
}

void CTerminalFs::Touched(const std::string& path) {
    m_cache.Drop(ParentOf(path));
    const std::string key = Folded(path);
    for (auto& [id, f] : m_files)
        if (Folded(f->path) == key) f->ahead.clear();
}

int CTerminalFs::Lookup(const std::string& path, Entry* out) {
    if (path == "/") {
        *out = Entry{"/", ZOT_FILE_ATTRIBUTE_DIRECTORY, 0, 0};
        return 0;
    }
    zot::WString device;
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
    ZOT_FIND_DATA d{};
    const CCall call;
    const int32_t find = ZOT_FindFirstFileW(device.c_str(), &d);
    if (find == -1) {
        if (call.Slow()) {
            m_worker.LineFailed();
            return -EIO;
        }
        return -ENOENT;
    }
    ZOT_FindClose(find);
    std::string name;
    if (!FromTerminalName(std::string_view(d.cFileName, strnlen(d.cFileName, sizeof d.cFileName)),
                          &name) ||
        Folded(name) != Folded(LeafOf(path)))
        return -ENOENT;
    *out = FromRecord(d, name);
    m_cache.StoreEntry(folder, *out);
    return 0;
}

int CTerminalFs::Fetch(const std::string& folder, const zot::WString& device,
                       std::vector<Entry>* out) {
    out->clear();
    zot::WString pattern;
    if (const int rc = ToListingPattern(folder, &pattern); rc != 0) return rc;
    ZOT_FIND_DATA d{};
    const CCall first;
    const int32_t find = ZOT_FindFirstFileW(pattern.c_str(), &d);
    if (find == -1) {
        if (first.Slow()) {
            m_worker.LineFailed();
            return -EIO;
        }
        // Nothing found: an empty folder, or no folder at all.
        if (folder != "/") {
            const CCall call;
            const int32_t a = ZOT_GetFileAttributesW(device.c_str());
            if (a == -1) {
                if (call.Slow()) {
                    m_worker.LineFailed();
                    return -EIO;
                }
                return -ENOENT;
            }
            if (!(a & ZOT_FILE_ATTRIBUTE_DIRECTORY)) return -ENOTDIR;
        }
        return 0;
    }
    for (;;) {
        std::string name;
        if (FromTerminalName(
                std::string_view(d.cFileName, strnlen(d.cFileName, sizeof d.cFileName)), &name))
            out->push_back(FromRecord(d, name));
        if (out->size() >= kMaxEntries) break;
        const CCall next;
        if (!ZOT_FindNextFile(find, &d)) {
            if (next.Slow()) {
                m_worker.LineFailed();
                return -EIO;
            }
            break;
        }
    }
    ZOT_FindClose(find);
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
    zot::WString device;
    if (const int rc = ToDevicePath(path, &device); rc != 0) return rc;
    if (const int rc = Fetch(path, device, out); rc != 0) return rc;
    m_cache.StoreListing(path, *out);
    return 0;
}

int CTerminalFs::Open(const std::string& path, int flags, uint64_t* fh) {
    const bool writable = (flags & O_ACCMODE) != O_RDONLY;
    if (writable && m_readOnly) return -EROFS;
    zot::WString device;
    if (const int rc = ToDevicePath(path, &device); rc != 0) return rc;
    Entry e;
    if (const int rc = Lookup(path, &e); rc != 0) return rc;
    if (IsDirectory(e)) return -EISDIR;
    // The terminal would open a read-only file for reading only and refuse the writes later.
    if (writable && IsReadOnly(e)) return -EACCES;
    const CCall open;
    const int32_t handle = ZOT_OpenFileW(device.c_str(), writable ? kOpenReadWrite : kOpenRead);
    if (handle == -1) {
        if (open.Slow()) {
            m_worker.LineFailed();
            return -EIO;
        }
        return -EACCES;
    }
    const CCall size;
    const auto length = static_cast<uint32_t>(ZOT_GetFileSize(handle));
    if ((length == 0 && size.Slow()) || length == UINT32_MAX) {
        if (size.Slow()) m_worker.LineFailed();
        return -EIO;
    }
    auto f = std::make_unique<OpenFile>();
    f->path = path;
    f->device = device;
    f->handle = handle;
    f->generation = m_worker.Generation();
    f->writable = writable;
    f->positionKnown = true;
    f->size = length;
    if (writable && (flags & O_TRUNC) && length > 0) {
        if (!ZOT_SetEndOfFile(handle)) {
            ZOT_CloseFile(handle);
            return -EIO;
        }
        f->size = 0;
        f->dirty = true;
        Touched(path);
    }
    *fh = m_nextFile++;
    m_files[*fh] = std::move(f);
    return 0;
}

int CTerminalFs::Create(const std::string& path, mode_t mode, uint64_t* fh) {
    if (m_readOnly) return -EROFS;
    zot::WString device;
    if (const int rc = ToDevicePath(path, &device); rc != 0) return rc;
    const CCall create;
    const int32_t handle = ZOT_CreateFileW(device.c_str(), ZOT_GENERIC_READ | ZOT_GENERIC_WRITE);
    if (handle == -1) {
        if (create.Slow()) {
            m_worker.LineFailed();
            return -EIO;
        }
        return -EACCES;
    }
    auto f = std::make_unique<OpenFile>();
    f->path = path;
    f->device = device;
    f->handle = handle;
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
    const CCall open;
    f.handle = ZOT_OpenFileW(f.device.c_str(), f.writable ? kOpenReadWrite : kOpenRead);
    if (f.handle == -1) {
        if (open.Slow()) m_worker.LineFailed();
        return -EIO;
    }
    f.positionKnown = true;
    f.position = 0;
    return 0;
}

int CTerminalFs::Seek(int32_t handle, uint32_t offset, bool positionKnown, uint32_t position) {
    if (positionKnown && position == offset) return 0;
    if (offset > kMaxOffset) return -EFBIG;
    const CCall seek;
    const auto at = static_cast<uint32_t>(
        ZOT_SetFilePointer(handle, static_cast<int32_t>(offset), ZOT_FILE_BEGIN));
    // The call answers the new position; failure is 0 too, told apart by the time it took.
    if (at == offset && !(offset == 0 && seek.Slow())) return 0;
    if (seek.Slow()) m_worker.LineFailed();
    return -EIO;
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
    uint32_t got = 0;
    const CCall read;
    // Short only by failure: the read never runs past the size the terminal gave.
    if (!ZOT_ReadFile(f->handle, data.data(), fetch, &got) || got != fetch) {
        f->positionKnown = false;
        f->ahead.clear();
        if (read.Slow()) m_worker.LineFailed();
        return -EIO;
    }
    f->position = at + fetch;
    std::memcpy(buffer, data.data(), want);
    f->aheadOffset = at;
    f->ahead = std::move(data);
    return static_cast<int>(want);
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
    uint32_t done = 0;
    const CCall write;
    const int ok = ZOT_WriteFile(f->handle, data, static_cast<uint32_t>(size), &done);
    // What the terminal confirmed is in the file, whatever came after.
    f->size = std::max(f->size, at + done);
    if (!ok || done != size) {
        f->positionKnown = false;
        if (write.Slow()) m_worker.LineFailed();
        return -EIO;
    }
    f->position = at + done;
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
    const CCall close;
    const int ok = ZOT_CloseFile(f->handle);
    f->handle = -1;
    Touched(f->path);
    if (!ok) {
        if (close.Slow()) m_worker.LineFailed();
        return -EIO;
    }
    f->dirty = false;
    return 0;
}

int CTerminalFs::Release(uint64_t fh) {
    const auto it = m_files.find(fh);
    if (it == m_files.end()) return -EBADF;
    OpenFile& f = *it->second;
    // A handle of an earlier connection may belong to another file by now: leave it alone.
    // With the line down it is left to the terminal too, rather than wait on the line.
    if (!Stale(f) && !m_worker.Down()) {
        if (f.handle != -1) ZOT_CloseFile(f.handle);
        if (f.readOnlyOnClose)
            ZOT_SetFileAttributesW(f.device.c_str(), WithReadOnly(ZOT_FILE_ATTRIBUTE_NORMAL, true));
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
        const CCall cut;
        if (!ZOT_SetEndOfFile(f->handle)) {
            if (cut.Slow()) m_worker.LineFailed();
            return -EIO;
        }
        f->dirty = true;
    } else {
        zot::WString device;
        if ((rc = ToDevicePath(path, &device)) != 0) return rc;
        Entry e;
        if ((rc = Lookup(path, &e)) != 0) return rc;
        if (IsDirectory(e)) return -EISDIR;
        if (IsReadOnly(e)) return -EACCES;
        const CCall open;
        const int32_t handle = ZOT_OpenFileW(device.c_str(), kOpenReadWrite);
        if (handle == -1) {
            if (open.Slow()) m_worker.LineFailed();
            return open.Slow() ? -EIO : -EACCES;
        }
        rc = Seek(handle, length, true, 0);
        const CCall cut;
        if (rc == 0 && !ZOT_SetEndOfFile(handle)) {
            if (cut.Slow()) m_worker.LineFailed();
            rc = -EIO;
        }
        if (!ZOT_CloseFile(handle) && rc == 0) rc = -EIO;
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
    zot::WString device;
    if (const int rc = ToDevicePath(path, &device); rc != 0) return rc;
    Entry e;
    if (const int rc = Lookup(path, &e); rc != 0) return rc;
    if (IsDirectory(e)) return -EISDIR;
    // The terminal deletes no file it has open; what was written is confirmed first.
    if (const int rc = CloseTerminalFiles(path); rc != 0) return rc;
    Touched(path);
    // The terminal keeps read-only files from deletion; here, as on POSIX, the folder decides.
    if (IsReadOnly(e) && !ZOT_SetFileAttributesW(device.c_str(), WithReadOnly(e.attributes, false)))
        return -EACCES;
    const CCall remove;
    if (ZOT_DeleteFileW(device.c_str())) return 0;
    if (remove.Slow()) {
        m_worker.LineFailed();
        return -EIO;
    }
    if (IsReadOnly(e)) ZOT_SetFileAttributesW(device.c_str(), e.attributes);
    return -EACCES;
}

int CTerminalFs::MakeDirectory(const std::string& path) {
    if (m_readOnly) return -EROFS;
    zot::WString device;
    // Room for the "\*.*" that lists it, or it could be made but never listed.
    if (const int rc = ToDevicePath(path, &device, 4); rc != 0) return rc;
    Touched(path);
    const CCall make;
    if (ZOT_CreateDirectoryW(device.c_str())) return 0;
    if (make.Slow()) {
        m_worker.LineFailed();
        return -EIO;
    }
    Entry e;
    const int rc = Lookup(path, &e);
    if (rc == 0) return -EEXIST;
    return rc == -EIO ? rc : -EACCES;
}

int CTerminalFs::RemoveDirectory(const std::string& path) {
    if (m_readOnly) return -EROFS;
    if (path == "/") return -EBUSY;
    zot::WString device;
    if (const int rc = ToDevicePath(path, &device); rc != 0) return rc;
    Entry e;
    if (const int rc = Lookup(path, &e); rc != 0) return rc;
    if (!IsDirectory(e)) return -ENOTDIR;
    Touched(path);
    m_cache.Drop(path);
    const CCall remove;
    if (ZOT_RemoveDirectoryW(device.c_str())) return 0;
    if (remove.Slow()) {
        m_worker.LineFailed();
        return -EIO;
    }
    std::vector<Entry> inside;
    const int rc = Fetch(path, device, &inside);
    if (rc != 0) return rc;
    return inside.empty() ? -EACCES : -ENOTEMPTY;
}

int CTerminalFs::SetWriteTime(int32_t handle, const uint32_t* access, const uint32_t* write) {
    const CCall set;
    const int ok = ZOT_SetFileTime(handle, nullptr, access, write);
    // SetFileTime reports success when the terminal never answered: read the time back.
    uint32_t written = 0;
    if (ok && ZOT_GetFileTime(handle, nullptr, nullptr, &written) &&
        (!write || (written + kTimeSlack >= *write && written <= *write + kTimeSlack)))
        return 0;
    if (set.Slow()) {
        m_worker.LineFailed();
        return -EIO;
    }
    return -EPERM;
}

int CTerminalFs::MoveFile(const std::string& from, const zot::WString& source,
                          const zot::WString& target, const Entry& e) {
    // The terminal keeps a read-only file from deletion, the last step of a move.
    if (IsReadOnly(e) && !ZOT_SetFileAttributesW(source.c_str(), WithReadOnly(e.attributes, false)))
        return -EACCES;
    const CCall move;
    if (!ZOT_MoveFileW(source.c_str(), target.c_str())) {
        const bool slow = move.Slow();
        if (slow) m_worker.LineFailed();
        if (IsReadOnly(e)) ZOT_SetFileAttributesW(source.c_str(), e.attributes);
        return slow ? -EIO : -EACCES;
    }
    Touched(from);
    // The move wrote a new file: give it the time and attributes of the one it replaces.
    // The data has moved either way, so the rename stands even if these do not take.
    if (e.time != 0) {
        const int32_t handle = ZOT_OpenFileW(target.c_str(), kOpenReadWrite);
        if (handle != -1) {
            SetWriteTime(handle, nullptr, &e.time);
            ZOT_CloseFile(handle);
        }
    }
    if (IsReadOnly(e)) ZOT_SetFileAttributesW(target.c_str(), e.attributes);
    return 0;
}

int CTerminalFs::Rename(const std::string& from, const std::string& to, unsigned int flags) {
    if (m_readOnly) return -EROFS;
    if (flags & RENAME_EXCHANGE) return -EINVAL;
    zot::WString source, target;
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
        zot::WString between;
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
    zot::WString device;
    if (const int rc = ToDevicePath(path, &device); rc != 0) return rc;
    Entry e;
    if (const int rc = Lookup(path, &e); rc != 0) return rc;
    // The terminal keeps one permission: whether an entry is read-only.
    const bool readOnly = (mode & 0222) == 0;
    if (IsReadOnly(e) == readOnly) return 0;
    Touched(path);
    const CCall set;
    if (ZOT_SetFileAttributesW(device.c_str(), WithReadOnly(e.attributes, readOnly))) return 0;
    if (set.Slow()) {
        m_worker.LineFailed();
        return -EIO;
    }
    return -EPERM;
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
    zot::WString device;
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
    const CCall open;
    const int32_t handle = ZOT_OpenFileW(device.c_str(), kOpenReadWrite);
    if (handle == -1) {
        if (open.Slow()) m_worker.LineFailed();
        return open.Slow() ? -EIO : -EACCES;
    }
    const int rc = SetWriteTime(handle, access ? &access : nullptr, write ? &write : nullptr);
    if (!ZOT_CloseFile(handle) && rc == 0) return -EIO;
    return rc;
}

int CTerminalFs::StatFs(struct statvfs* st) {
    ZOT_STORE_INFORMATION info{};
    const CCall call;
    if (!ZOT_GetStoreInformation(&info, 1)) {
        if (call.Slow()) m_worker.LineFailed();
        return -EIO;
    }
    constexpr unsigned long kBlock = 1024;
    *st = {};
    st->f_bsize = st->f_frsize = kBlock;
    st->f_blocks = info.dwStoreSize / kBlock;
    st->f_bfree = st->f_bavail = info.dwFreeSize / kBlock;
    st->f_namemax = kMaxNameBytes;
    if (m_readOnly) st->f_flag |= ST_RDONLY;
    return 0;
}

}  // namespace zotfs
