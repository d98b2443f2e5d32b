#pragma once
// The terminal's file store: a folder on the PC, reachable only through device names and
// never beyond it, with the tables of open files and directory searches the terminal keeps.
// Used by one thread at a time (the serving thread).
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "unique_fd.h"

namespace zotsim {

inline constexpr uint32_t kInvalidValue = 0xFFFFFFFF;  // failed handle, attributes, size
inline constexpr uint32_t kAttrReadOnly = 0x01;
inline constexpr uint32_t kAttrDirectory = 0x10;
inline constexpr uint32_t kAttrNormal = 0x80;

struct FindEntry {
    uint32_t attributes = 0;
    uint32_t time = 0;  // seconds since 1970 UTC
    uint32_t size = 0;
    std::string name;
};

class CFileStore {
  public:
    static constexpr size_t kMaxOpenFiles = 256;
    static constexpr size_t kMaxFinds = 64;
    // Read/write requests per handle whose starting position can still be restored; the PC
    // only ever rewinds its latest request.
    static constexpr size_t kHistoryDepth = 16;

    // nameLimit: longest entry name accepted when creating (0: only the system's limit).
    CFileStore(const std::string& root, size_t nameLimit);
    bool Valid() const { return m_root.Valid(); }

    uint32_t GetAttributes(std::string_view name);
    bool SetAttributes(std::string_view name, uint32_t attributes);
    bool CreateDirectory(std::string_view name);
    bool RemoveDirectory(std::string_view name);
    bool DeleteFile(std::string_view name);

    // Handles, or kInvalidValue.
    uint32_t CreateFile(std::string_view name);
    uint32_t OpenFile(std::string_view name, uint32_t mode);
    bool CloseFile(uint32_t handle);
    // sequence: the request's, remembered with the position before it for RewindTo().
    bool Read(uint32_t handle, uint16_t sequence, uint32_t count, std::vector<uint8_t>* data);
    // What Read() would give now, without moving the position or remembering anything.
    bool Peek(uint32_t handle, uint32_t count, std::vector<uint8_t>* data);
    bool Write(uint32_t handle, uint16_t sequence, const uint8_t* data, uint32_t count,
               uint32_t* written);
    bool RewindTo(uint32_t handle, uint16_t sequence);
    // The new position, or kInvalidValue.
    uint32_t Seek(uint32_t handle, int32_t distance, uint32_t method);
    bool SetEndOfFile(uint32_t handle);
    uint32_t FileSize(uint32_t handle);
    // Creation, last access, last write.
    bool FileTimes(uint32_t handle, uint32_t times[3]);
    bool SetFileTimes(uint32_t handle, const uint32_t times[3]);

    // Returns the search handle (0 when nothing matches) and the first entry.
    uint32_t FindFirst(std::string_view pattern, FindEntry* first);
    bool FindNext(uint32_t handle, FindEntry* next);
    bool FindClose(uint32_t handle);

    // Bytes of all regular files under the root.
    uint64_t BytesUsed() const;

  private:
    struct OpenFileEntry {
        CUniqueFd fd;
        uint64_t position = 0;
        bool writable = false;
        std::deque<std::pair<uint16_t, uint64_t>> history;  // sequence, position before
    };
    struct Search {
        std::vector<FindEntry> entries;
        size_t next = 0;
        uint64_t opened = 0;  // order of FindFirst, for making room
    };
    // The folder holding a name's last component, and that component as it exists on disk
    // (matched without regard to case), or as given when no entry matches. An empty leaf is
    // the root itself.
    struct Location {
        CUniqueFd dir;
        std::string leaf;
    };

    std::optional<Location> Locate(std::string_view name) const;
    bool NameAllowed(const std::string& leaf) const;
    OpenFileEntry* FindFile(uint32_t handle);
    void Remember(OpenFileEntry& file, uint16_t sequence);
    template <typename Table>
    static uint32_t NextHandle(const Table& table, uint32_t* counter);

    CUniqueFd m_root;
    size_t m_nameLimit;
    std::map<uint32_t, OpenFileEntry> m_files;
    std::map<uint32_t, Search> m_searches;
    uint64_t m_searchesOpened = 0;
    uint32_t m_nextFile = 0;
    uint32_t m_nextSearch = 0;
};

}  // namespace zotsim
