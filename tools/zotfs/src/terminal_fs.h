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
    // Sequential reads fetch at least this much, the rest kept for the reads that follow.
    static constexpr uint32_t kReadAhead = 64 * 1024;

    CTerminalFs(CLinkWorker& worker, bool readOnly);

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
    };

    // What a refused call was asked to do: something to an entry, or to move a file's data.
    enum class Asked { kEntry, kData };

    zot::CSession& Line() { return m_worker.Session(); }
    // The one place a call's outcome becomes an errno (negative); a call that found no
    // answer also puts the line down.
    int Failed(const zot::Status& status, Asked asked = Asked::kEntry);
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
    const uid_t m_uid;
    const gid_t m_gid;
    CListingCache m_cache;
    std::map<uint64_t, std::unique_ptr<OpenFile>> m_files;
    uint64_t m_nextFile = 1;
};

}  // namespace zotfs
