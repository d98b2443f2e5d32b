#include "file_store.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>

#include "device_path.h"

namespace zotsim {
namespace {

constexpr int kMaxWalkDepth = 64;

bool Folded(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i) {
        const auto fa = static_cast<unsigned char>(a[i]), fb = static_cast<unsigned char>(b[i]);
        if (fa != fb && !(fa < 128 && fb < 128 && std::tolower(fa) == std::tolower(fb)))
            return false;
    }
    return i == a.size() && b[i] == '\0';
}

// Calls f(name) for every entry of the folder open as dirFd except "." and "..".
template <typename F>
void ForEachEntry(int dirFd, F&& f) {
    // fdopendir takes ownership of its descriptor, so hand it a duplicate.
    const int fd = ::openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return;
    }
    while (const dirent* e = ::readdir(dir)) {
        const std::string_view name = e->d_name;
        if (name == "." || name == "..") continue;
        if (!f(e->d_name)) break;
    }
    ::closedir(dir);
}

// The existing entry the terminal would take for part: the exact name when present,
// otherwise one equal without regard to ASCII case, otherwise part itself.
std::string ActualName(int dirFd, const std::string& part) {
    struct stat st {};
    if (::fstatat(dirFd, part.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) return part;
    std::string found = part;
    ForEachEntry(dirFd, [&](const char* name) {
        if (!Folded(part, name)) return true;
        found = name;
        return false;
    });
    return found;
}

uint32_t Seconds(time_t t) {
    if (t <= 0) return 0;
    return t > static_cast<time_t>(0xFFFFFFFF) ? 0xFFFFFFFF : static_cast<uint32_t>(t);
}

uint32_t Clamp32(uint64_t v) {
    return v >= kInvalidValue ? kInvalidValue - 1 : uint32_t(v);
}

bool ReadOnly(const struct stat& st) {
    return (st.st_mode & 0222) == 0;
}

// Only folders and regular files are visible: links, devices and pipes could lead outside
// the store or block the server.
std::optional<uint32_t> Attributes(const struct stat& st) {
    if (S_ISDIR(st.st_mode)) return kAttrDirectory;
    if (S_ISREG(st.st_mode)) return ReadOnly(st) ? kAttrReadOnly : kAttrNormal;
    return std::nullopt;
}

bool StatLeaf(int dirFd, const std::string& leaf, struct stat* st) {
    return ::fstatat(dirFd, leaf.c_str(), st, AT_SYMLINK_NOFOLLOW) == 0;
}

bool IsRegularFd(int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}

uint64_t WalkBytes(int dirFd, int depth) {
    uint64_t total = 0;
    ForEachEntry(dirFd, [&](const char* name) {
        struct stat st {};
        if (::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return true;
        if (S_ISREG(st.st_mode)) {
            total += static_cast<uint64_t>(st.st_size);
        } else if (S_ISDIR(st.st_mode) && depth < kMaxWalkDepth) {
            CUniqueFd sub(::openat(dirFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
            if (sub.Valid()) total += WalkBytes(sub.Get(), depth + 1);
        }
        return true;
    });
    return total;
}

}  // namespace

CFileStore::CFileStore(const std::string& root, size_t nameLimit)
    : m_root(::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)), m_nameLimit(nameLimit) {}

std::optional<CFileStore::Location> CFileStore::Locate(std::string_view name) const {
    const auto parts = SplitDevicePath(name);
    if (!parts || !m_root.Valid()) return std::nullopt;
    Location loc{CUniqueFd(::fcntl(m_root.Get(), F_DUPFD_CLOEXEC, 0)), {}};
    if (!loc.dir.Valid()) return std::nullopt;
    if (parts->empty()) return loc;
    for (size_t i = 0; i + 1 < parts->size(); ++i) {
        const std::string actual = ActualName(loc.dir.Get(), (*parts)[i]);
        // O_NOFOLLOW refuses a link as any folder on the way: the walk stays in the store.
        loc.dir.Reset(::openat(loc.dir.Get(), actual.c_str(),
                               O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!loc.dir.Valid()) return std::nullopt;
    }
    loc.leaf = ActualName(loc.dir.Get(), parts->back());
    return loc;
}

bool CFileStore::NameAllowed(const std::string& leaf) const {
    return !leaf.empty() && (m_nameLimit == 0 || leaf.size() <= m_nameLimit);
}

uint32_t CFileStore::GetAttributes(std::string_view name) {
    const auto loc = Locate(name);
    if (!loc) return kInvalidValue;
    if (loc->leaf.empty()) return kAttrDirectory;
    struct stat st {};
    if (!StatLeaf(loc->dir.Get(), loc->leaf, &st)) return kInvalidValue;
    return Attributes(st).value_or(kInvalidValue);
}

bool CFileStore::SetAttributes(std::string_view name, uint32_t attributes) {
    const auto loc = Locate(name);
    if (!loc || loc->leaf.empty()) return false;
    struct stat st {};
    if (!StatLeaf(loc->dir.Get(), loc->leaf, &st)) return false;
    if (S_ISDIR(st.st_mode)) return true;  // folders carry no read-only state here
    if (!S_ISREG(st.st_mode)) return false;
    const mode_t mode = (attributes & kAttrReadOnly) ? (st.st_mode & 07555) : (st.st_mode | 0200);
    return ::fchmodat(loc->dir.Get(), loc->leaf.c_str(), mode & 07777, 0) == 0;
}

bool CFileStore::CreateDirectory(std::string_view name) {
    const auto loc = Locate(name);
    if (!loc || !NameAllowed(loc->leaf)) return false;
    return ::mkdirat(loc->dir.Get(), loc->leaf.c_str(), 0755) == 0;
}

bool CFileStore::RemoveDirectory(std::string_view name) {
    const auto loc = Locate(name);
    if (!loc || loc->leaf.empty()) return false;
    struct stat st {};
    if (!StatLeaf(loc->dir.Get(), loc->leaf, &st) || !S_ISDIR(st.st_mode)) return false;
    return ::unlinkat(loc->dir.Get(), loc->leaf.c_str(), AT_REMOVEDIR) == 0;
}

bool CFileStore::DeleteFile(std::string_view name) {
    const auto loc = Locate(name);
    if (!loc || loc->leaf.empty()) return false;
    struct stat st {};
    if (!StatLeaf(loc->dir.Get(), loc->leaf, &st) || !S_ISREG(st.st_mode) || ReadOnly(st))
        return false;
    return ::unlinkat(loc->dir.Get(), loc->leaf.c_str(), 0) == 0;
}

uint32_t CFileStore::CreateFile(std::string_view name) {
    if (m_files.size() >= kMaxOpenFiles) return kInvalidValue;
    const auto loc = Locate(name);
    if (!loc || loc->leaf.empty()) return kInvalidValue;
    struct stat st {};
    // O_NONBLOCK: should a pipe appear in the store meanwhile, opening it must not hang.
    int flags = O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    if (StatLeaf(loc->dir.Get(), loc->leaf, &st)) {
        // Checked here, not left to open(): a server running as root could write anyway.
        if (!S_ISREG(st.st_mode) || ReadOnly(st)) return kInvalidValue;
        flags |= O_TRUNC;
    } else {
        if (!NameAllowed(loc->leaf)) return kInvalidValue;
        flags |= O_CREAT | O_EXCL;
    }
    CUniqueFd fd(::openat(loc->dir.Get(), loc->leaf.c_str(), flags, 0644));
    if (!fd.Valid() || !IsRegularFd(fd.Get())) return kInvalidValue;
    const uint32_t handle = NextHandle(m_files, &m_nextFile);
    m_files[handle] = OpenFileEntry{std::move(fd), 0, true, {}};
    return handle;
}

uint32_t CFileStore::OpenFile(std::string_view name, uint32_t mode) {
    if (m_files.size() >= kMaxOpenFiles) return kInvalidValue;
    const auto loc = Locate(name);
    if (!loc || loc->leaf.empty()) return kInvalidValue;
    struct stat st {};
    if (!StatLeaf(loc->dir.Get(), loc->leaf, &st) || !S_ISREG(st.st_mode)) return kInvalidValue;
    // Modes 1 and 2 ask for writing. A read-only file still opens, for reading: the PC asks
    // for read/write even when it only copies a file off the terminal.
    bool writable = (mode & 3) != 0 && !ReadOnly(st);
    const int common = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    CUniqueFd fd(
        ::openat(loc->dir.Get(), loc->leaf.c_str(), (writable ? O_RDWR : O_RDONLY) | common));
    if (!fd.Valid() && writable) {
        writable = false;
        fd.Reset(::openat(loc->dir.Get(), loc->leaf.c_str(), O_RDONLY | common));
    }
    if (!fd.Valid() || !IsRegularFd(fd.Get())) return kInvalidValue;
    const uint32_t handle = NextHandle(m_files, &m_nextFile);
    m_files[handle] = OpenFileEntry{std::move(fd), 0, writable, {}};
    return handle;
}

bool CFileStore::CloseFile(uint32_t handle) {
    return m_files.erase(handle) == 1;
}

CFileStore::OpenFileEntry* CFileStore::FindFile(uint32_t handle) {
    const auto it = m_files.find(handle);
    return it == m_files.end() ? nullptr : &it->second;
}

void CFileStore::Remember(OpenFileEntry& file, uint16_t sequence) {
    if (file.history.size() >= kHistoryDepth) file.history.pop_front();
    file.history.emplace_back(sequence, file.position);
}

namespace {

// Up to count bytes at offset; fewer at the end of the file.
void ReadAt(int fd, uint64_t offset, uint32_t count, std::vector<uint8_t>* data) {
    data->resize(count);
    size_t got = 0;
    while (got < count) {
        const ssize_t r =
            ::pread(fd, data->data() + got, count - got, static_cast<off_t>(offset + got));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) break;
        got += static_cast<size_t>(r);
    }
    data->resize(got);
}

}  // namespace

bool CFileStore::Read(uint32_t handle, uint16_t sequence, uint32_t count,
                      std::vector<uint8_t>* data) {
    data->clear();
    OpenFileEntry* file = FindFile(handle);
    if (!file) return false;
    Remember(*file, sequence);
    ReadAt(file->fd.Get(), file->position, count, data);
    file->position += data->size();
    return true;  // a short count, even 0 at the end of the file, is still a success
}

bool CFileStore::Peek(uint32_t handle, uint32_t count, std::vector<uint8_t>* data) {
    data->clear();
    const OpenFileEntry* file = FindFile(handle);
    if (!file) return false;
    ReadAt(file->fd.Get(), file->position, count, data);
    return true;
}

bool CFileStore::Write(uint32_t handle, uint16_t sequence, const uint8_t* data, uint32_t count,
                       uint32_t* written) {
    *written = 0;
    OpenFileEntry* file = FindFile(handle);
    if (!file) return false;
    Remember(*file, sequence);
    if (!file->writable) return false;
    size_t done = 0;
    while (done < count) {
        const ssize_t w = ::pwrite(file->fd.Get(), data + done, count - done,
                                   static_cast<off_t>(file->position + done));
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) break;
        done += static_cast<size_t>(w);
    }
    file->position += done;
    *written = static_cast<uint32_t>(done);
    return done == count;
}

bool CFileStore::RewindTo(uint32_t handle, uint16_t sequence) {
    OpenFileEntry* file = FindFile(handle);
    if (!file) return false;
    // Newest first: after the counter wraps, an old entry may carry the same number.
    for (auto it = file->history.rbegin(); it != file->history.rend(); ++it) {
        if (it->first == sequence) {
            file->position = it->second;
            return true;
        }
    }
    return false;
}

uint32_t CFileStore::Seek(uint32_t handle, int32_t distance, uint32_t method) {
    OpenFileEntry* file = FindFile(handle);
    if (!file) return kInvalidValue;
    int64_t base = 0;
    if (method == 1) {
        base = static_cast<int64_t>(file->position);
    } else if (method == 2) {
        struct stat st {};
        if (::fstat(file->fd.Get(), &st) != 0) return kInvalidValue;
        base = st.st_size;
    } else if (method != 0) {
        return kInvalidValue;
    }
    const int64_t target = base + distance;
    if (target < 0 || target >= static_cast<int64_t>(kInvalidValue)) return kInvalidValue;
    file->position = static_cast<uint64_t>(target);
    return static_cast<uint32_t>(target);
}

bool CFileStore::SetEndOfFile(uint32_t handle) {
    OpenFileEntry* file = FindFile(handle);
    return file && file->writable &&
           ::ftruncate(file->fd.Get(), static_cast<off_t>(file->position)) == 0;
}

uint32_t CFileStore::FileSize(uint32_t handle) {
    OpenFileEntry* file = FindFile(handle);
    struct stat st {};
    if (!file || ::fstat(file->fd.Get(), &st) != 0) return kInvalidValue;
    return Clamp32(static_cast<uint64_t>(st.st_size));
}

bool CFileStore::FileTimes(uint32_t handle, uint32_t times[3]) {
    OpenFileEntry* file = FindFile(handle);
    struct stat st {};
    if (!file || ::fstat(file->fd.Get(), &st) != 0) return false;
    // POSIX keeps no creation time; the status-change time is the nearest there is.
    times[0] = Seconds(st.st_ctime);
    times[1] = Seconds(st.st_atime);
    times[2] = Seconds(st.st_mtime);
    return true;
}

bool CFileStore::SetFileTimes(uint32_t handle, const uint32_t times[3]) {
    OpenFileEntry* file = FindFile(handle);
    if (!file) return false;
    // The creation time (times[0]) cannot be set on POSIX and is accepted silently.
    timespec ts[2] = {};
    for (int i = 0; i < 2; ++i) {
        const uint32_t t = times[i + 1];
        ts[i].tv_sec = static_cast<time_t>(t);
        ts[i].tv_nsec = t == 0 ? UTIME_OMIT : 0;
    }
    return ::futimens(file->fd.Get(), ts) == 0;
}

uint32_t CFileStore::FindFirst(std::string_view pattern, FindEntry* first) {
    *first = FindEntry{};
    // A PC whose FindFirst reply was lost never learns that search's handle, so it can never
    // close it: when the table is full the oldest search makes room, rather than every later
    // listing coming back empty.
    if (m_searches.size() >= kMaxFinds) {
        const auto oldest = std::min_element(
            m_searches.begin(), m_searches.end(),
            [](const auto& a, const auto& b) { return a.second.opened < b.second.opened; });
        m_searches.erase(oldest);
    }
    const auto loc = Locate(pattern);
    if (!loc || loc->leaf.empty()) return 0;
    Search search;
    const int dirFd = loc->dir.Get();
    ForEachEntry(dirFd, [&](const char* name) {
        if (!MatchWildcard(loc->leaf, name)) return true;
        struct stat st {};
        if (::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return true;
        const auto attributes = Attributes(st);
        if (!attributes) return true;
        search.entries.push_back(FindEntry{*attributes, Seconds(st.st_mtime),
                                           Clamp32(static_cast<uint64_t>(st.st_size)), name});
        return true;
    });
    if (search.entries.empty()) return 0;
    // Directory order differs between file systems; a sorted listing makes runs repeatable.
    std::sort(search.entries.begin(), search.entries.end(),
              [](const FindEntry& a, const FindEntry& b) { return a.name < b.name; });
    *first = search.entries.front();
    search.next = 1;
    search.opened = ++m_searchesOpened;
    const uint32_t handle = NextHandle(m_searches, &m_nextSearch);
    m_searches[handle] = std::move(search);
    return handle;
}

bool CFileStore::FindNext(uint32_t handle, FindEntry* next) {
    *next = FindEntry{};
    const auto it = m_searches.find(handle);
    if (it == m_searches.end() || it->second.next >= it->second.entries.size()) return false;
    *next = it->second.entries[it->second.next++];
    return true;
}

bool CFileStore::FindClose(uint32_t handle) {
    return m_searches.erase(handle) == 1;
}

uint64_t CFileStore::BytesUsed() const {
    return m_root.Valid() ? WalkBytes(m_root.Get(), 0) : 0;
}

template <typename Table>
uint32_t CFileStore::NextHandle(const Table& table, uint32_t* counter) {
    // Never 0 (no search) nor 0xFFFFFFFF (failure), never one in use; the tables are
    // bounded far below 2^32, so this ends.
    do {
        ++*counter;
    } while (*counter == 0 || *counter == kInvalidValue || table.count(*counter) != 0);
    return *counter;
}

}  // namespace zotsim
