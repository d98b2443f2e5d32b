#pragma once
// The file system operations of the mount in terms of the terminal's calls. Every member runs
// on the link worker's thread (CLinkWorker::Run); results are 0 or more, or -errno.
//
// Writes go straight through: a write returns only after the terminal confirmed every byte,
// and the close that follows writing closes the terminal's file before it returns, so what
// close reports is on the terminal.
#include <sys/stat.h>
#include <sys/statvfs.h>

#include <cstdint>
#include <ctime>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "link_worker.h"
#include "listing_cache.h"
#include "zot_session.h"

namespace zotfs {

class CTerminalFs {
  public:
    // A read fetches at least what it was asked for, in whole blocks, and more when it
    // follows the one before: twice what that one fetched, up to kReadAheadMax. The rest is
    // kept for the reads that follow. A program that reads a few bytes costs one block.
    static constexpr uint32_t kReadBlock = 1024;
    static constexpr uint32_t kReadAheadMax = 64 * 1024;

    // strictTimes: a folder's time cannot be set (EPERM), rather than kept in memory.
    CTerminalFs(CLinkWorker& worker, bool readOnly, bool strictTimes);

    // The stat of an entry as the mount shows it.
    void FillStat(const Entry& entry, struct stat* st) const;

    int GetAttr(const std::string& path, struct stat* st, uint64_t fh);
    int ReadDir(const std::string& path, std::vector<Entry>* out);
    int Open(const std::string& path, int flags, uint64_t* fh);
    int Create(const std::string& path, mode_t mode, uint64_t* fh);
    int Read(uint64_t fh, char* buffer, size_t size, off_t offset);
    int Write(uint64_t fh, const char* data, size_t size, off_t offset);
    int Flush(uint64_t fh);
    int Release(uint64_t fh);
    int Truncate(const std::string& path, off_t size, uint64_t fh);
    int Unlink(const std::string& path);
    int MakeDirectory(const std::string& path);
    int RemoveDirectory(const std::string& path);
    int Rename(const std::string& from, const std::string& to, unsigned int flags);
    int ChangeMode(const std::string& path, mode_t mode);
    int ChangeOwner(const std::string& path, uid_t uid, gid_t gid);
    int SetTimes(const std::string& path, const struct timespec times[2], uint64_t fh);
    int StatFs(struct statvfs* st);

    // Closes every terminal file still open (at unmount).
    void CloseAll();
    // The terminal may have changed or restarted while the line was away.
    void Reconnected() { m_cache.Clear(); }

  private:
    struct OpenFile {
        std::string path;
        std::string device;
        int32_t handle = -1;  // -1 while the terminal has it closed (after a flush)
        uint32_t generation = 0;
        bool writable = false;
        bool dirty = false;  // written since the terminal last closed it
        bool readOnlyOnClose = false;
        bool positionKnown = false;
        uint32_t position = 0;
        uint32_t size = 0;
        uint32_t aheadOffset = 0;
        std::vector<char> ahead;
        uint32_t readEnd = 0;  // where the last read ended
        uint32_t window = 0;   // the last fetch's read-ahead; 0 before the first
    };
    struct FolderTimes {
        timespec access{}, write{};
    };

    zot::CSession& Line() { return m_worker.Session(); }
    // A call's outcome as an errno (negative); a call that found no answer also puts the
    // line down.
    int Failed(const zot::Status& status);
    // Whether more calls may follow in this operation: not once one found no answer.
    bool LineUp() const { return !m_worker.Down(); }
    OpenFile* File(uint64_t fh);
    bool Stale(const OpenFile& f) const { return f.generation != m_worker.Generation(); }
    int Lookup(const std::string& path, Entry* out);
    int EnsureOpen(OpenFile& f);
    int Seek(int32_t handle, uint32_t offset, bool positionKnown, uint32_t position);
    int SeekFile(OpenFile& f, uint32_t offset);
    int SetWriteTime(int32_t handle, const uint32_t* access, const uint32_t* write);
    int MoveFile(const std::string& from, const std::string& source, const std::string& target,
                 const Entry& entry);
    // The folders holding path no longer list what they did; nor do reads of it.
    void Touched(const std::string& path);
    // Closes a file opened for one operation, unless the line went down in it.
    int CloseAfter(int32_t handle);
    // Closes the terminal's handles of every descriptor open on path; they open it again
    // when they are next used. Fails when written data was not confirmed.
    int CloseTerminalFiles(const std::string& path);

    CLinkWorker& m_worker;
    const bool m_readOnly;
    const bool m_strictTimes;
    const uid_t m_uid;
    const gid_t m_gid;
    CListingCache m_cache;
    std::map<uint64_t, std::unique_ptr<OpenFile>> m_files;
    // The terminal keeps no folder times: those set through the mount live here until
    // unmount, by folded path.
    std::map<std::string, FolderTimes> m_folderTimes;
    uint64_t m_nextFile = 1;
};

}  // namespace zotfs
