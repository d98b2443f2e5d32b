#pragma once
// What the terminal last said about its folders. A listing costs one round trip per entry, so
// it is kept for a short while (kListingLifetime) for the lookups that follow it; every change
// made through the mount drops the folders it touched. Worker thread only.
#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace zotfs {

struct Entry {
    std::string name;  // locale charset
    uint32_t attributes = 0;
    uint32_t time = 0;  // seconds since 1970 UTC, 0 unknown
    uint32_t size = 0;
};

inline constexpr std::chrono::seconds kListingLifetime{2};

class CListingCache {
  public:
    enum class Found { kYes, kNo, kUnknown };
    using Clock = std::chrono::steady_clock;

    // A folder's whole listing.
    void StoreListing(const std::string& folder, std::vector<Entry> entries);
    // One entry looked up on its own.
    void StoreEntry(const std::string& folder, const Entry& entry);
    // kNo only when the folder's whole listing is known and lacks the name.
    Found Lookup(const std::string& folder, const std::string& name, Entry* out);
    // The whole listing when it is known and fresh, else null.
    const std::vector<Entry>* Listing(const std::string& folder);
    void Drop(const std::string& folder);
    void Clear() { m_folders.clear(); }

  private:
    struct Folder {
        Clock::time_point taken;
        bool complete = false;
        std::vector<Entry> entries;
        std::map<std::string, size_t> byName;  // folded name -> index
    };
    Folder* Fresh(const std::string& folder);

    std::map<std::string, Folder> m_folders;  // by folded folder path
};

}  // namespace zotfs
