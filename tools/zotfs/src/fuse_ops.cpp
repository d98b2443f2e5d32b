#include "fuse_ops.h"

#include <cerrno>
#include <string>
#include <vector>

#include "link_worker.h"
#include "listing_cache.h"
#include "terminal_fs.h"

namespace zotfs {
namespace {

Mount& Current() {
    return *static_cast<Mount*>(fuse_get_context()->private_data);
}

// Runs f(fs) on the worker thread; the caller's buffers stay valid, as Run waits for it.
template <typename F>
int OnWorker(F&& f) {
    Mount& m = Current();
    return m.worker->Run([&] { return f(*m.fs); });
}

uint64_t Handle(const fuse_file_info* fi) {
    return fi ? fi->fh : 0;
}

void* Init(fuse_conn_info*, fuse_config* cfg) {
    // An open file that is deleted goes at once; the default would rename it to a hidden
    // name, which on this terminal is a copy of the whole file.
    cfg->hard_remove = 1;
    cfg->use_ino = 0;
    // The kernel keeps what it learnt as long as the mount keeps its listings.
    cfg->entry_timeout = cfg->attr_timeout =
        static_cast<double>(std::chrono::seconds(kListingLifetime).count());
    cfg->negative_timeout = 0;
    return fuse_get_context()->private_data;
}

int GetAttr(const char* path, struct stat* st, fuse_file_info* fi) {
    return OnWorker([&](CTerminalFs& fs) { return fs.GetAttr(path, st, Handle(fi)); });
}

int ReadDir(const char* path, void* buffer, fuse_fill_dir_t fill, off_t, fuse_file_info*,
            fuse_readdir_flags) {
    std::vector<Entry> entries;
    Mount& m = Current();
    const int rc = m.worker->Run([&] { return m.fs->ReadDir(path, &entries); });
    if (rc < 0) return rc;
    fill(buffer, ".", nullptr, 0, static_cast<fuse_fill_dir_flags>(0));
    fill(buffer, "..", nullptr, 0, static_cast<fuse_fill_dir_flags>(0));
    for (const Entry& e : entries) {
        struct stat st {};
        m.fs->FillStat(e, &st);
        if (fill(buffer, e.name.c_str(), &st, 0, static_cast<fuse_fill_dir_flags>(0)) != 0) break;
    }
    return 0;
}

// Reads and writes reach the mount as the program made them, not in the page cache's pages
// and read-ahead: a program that reads ten bytes costs the line one block, and the mount's
// own read-ahead grows with reads that follow each other.
void Direct(fuse_file_info* fi) {
    fi->direct_io = 1;
}

int Open(const char* path, fuse_file_info* fi) {
    Direct(fi);
    return OnWorker([&](CTerminalFs& fs) { return fs.Open(path, fi->flags, &fi->fh); });
}

int Create(const char* path, mode_t mode, fuse_file_info* fi) {
    Direct(fi);
    return OnWorker([&](CTerminalFs& fs) { return fs.Create(path, mode, &fi->fh); });
}

int Read(const char*, char* buffer, size_t size, off_t offset, fuse_file_info* fi) {
    return OnWorker([&](CTerminalFs& fs) { return fs.Read(fi->fh, buffer, size, offset); });
}

int Write(const char*, const char* data, size_t size, off_t offset, fuse_file_info* fi) {
    return OnWorker([&](CTerminalFs& fs) { return fs.Write(fi->fh, data, size, offset); });
}

int Flush(const char*, fuse_file_info* fi) {
    return OnWorker([&](CTerminalFs& fs) { return fs.Flush(fi->fh); });
}

int Fsync(const char*, int, fuse_file_info* fi) {
    return OnWorker([&](CTerminalFs& fs) { return fs.Flush(fi->fh); });
}

int Release(const char*, fuse_file_info* fi) {
    // The descriptor is gone whatever happens; with the line down the handle is left behind
    // (the terminal's next restart frees it) but the mount's record of it must go.
    Mount& m = Current();
    m.worker->Run([&] { return m.fs->Release(fi->fh); }, false);
    return 0;
}

int Truncate(const char* path, off_t size, fuse_file_info* fi) {
    return OnWorker([&](CTerminalFs& fs) { return fs.Truncate(path, size, Handle(fi)); });
}

int Unlink(const char* path) {
    return OnWorker([&](CTerminalFs& fs) { return fs.Unlink(path); });
}

int MakeDirectory(const char* path, mode_t) {
    return OnWorker([&](CTerminalFs& fs) { return fs.MakeDirectory(path); });
}

int RemoveDirectory(const char* path) {
    return OnWorker([&](CTerminalFs& fs) { return fs.RemoveDirectory(path); });
}

int Rename(const char* from, const char* to, unsigned int flags) {
    return OnWorker([&](CTerminalFs& fs) { return fs.Rename(from, to, flags); });
}

int ChangeMode(const char* path, mode_t mode, fuse_file_info*) {
    return OnWorker([&](CTerminalFs& fs) { return fs.ChangeMode(path, mode); });
}

int ChangeOwner(const char* path, uid_t uid, gid_t gid, fuse_file_info*) {
    return OnWorker([&](CTerminalFs& fs) { return fs.ChangeOwner(path, uid, gid); });
}

int SetTimes(const char* path, const struct timespec times[2], fuse_file_info* fi) {
    return OnWorker([&](CTerminalFs& fs) { return fs.SetTimes(path, times, Handle(fi)); });
}

int StatFs(const char*, struct statvfs* st) {
    return OnWorker([&](CTerminalFs& fs) { return fs.StatFs(st); });
}

fuse_operations MakeOperations() {
    fuse_operations ops{};
    ops.init = Init;
    ops.getattr = GetAttr;
    ops.readdir = ReadDir;
    ops.open = Open;
    ops.create = Create;
    ops.read = Read;
    ops.write = Write;
    ops.flush = Flush;
    ops.fsync = Fsync;
    ops.release = Release;
    ops.truncate = Truncate;
    ops.unlink = Unlink;
    ops.mkdir = MakeDirectory;
    ops.rmdir = RemoveDirectory;
    ops.rename = Rename;
    ops.chmod = ChangeMode;
    ops.chown = ChangeOwner;
    ops.utimens = SetTimes;
    ops.statfs = StatFs;
    return ops;
}

}  // namespace

const fuse_operations& Operations() {
    static const fuse_operations ops = MakeOperations();
    return ops;
}

}  // namespace zotfs
