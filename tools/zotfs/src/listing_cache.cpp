#include "listing_cache.h"

#include "terminal_names.h"

namespace zotfs {

CListingCache::Folder* CListingCache::Fresh(const std::string& folder) {
    const auto it = m_folders.find(Folded(folder));
    if (it == m_folders.end()) return nullptr;
    if (Clock::now() - it->second.taken > kListingLifetime) {
        m_folders.erase(it);
        return nullptr;
    }
    return &it->second;
}

void CListingCache::StoreListing(const std::string& folder, std::vector<Entry> entries) {
    Folder f;
    f.taken = Clock::now();
    f.complete = true;
    f.entries = std::move(entries);
    for (size_t i = 0; i < f.entries.size(); ++i) f.byName.emplace(Folded(f.entries[i].name), i);
    m_folders[Folded(folder)] = std::move(f);
}

void CListingCache::StoreEntry(const std::string& folder, const Entry& entry) {
    Folder* f = Fresh(folder);
    if (!f) {
        f = &m_folders[Folded(folder)];
        f->taken = Clock::now();
    }
    const std::string key = Folded(entry.name);
    if (const auto it = f->byName.find(key); it != f->byName.end()) {
        f->entries[it->second] = entry;
        return;
    }
    f->byName.emplace(key, f->entries.size());
    f->entries.push_back(entry);
}

CListingCache::Found CListingCache::Lookup(const std::string& folder, const std::string& name,
                                           Entry* out) {
    Folder* f = Fresh(folder);
    if (!f) return Found::kUnknown;
    const auto it = f->byName.find(Folded(name));
    if (it != f->byName.end()) {
        *out = f->entries[it->second];
        return Found::kYes;
    }
    return f->complete ? Found::kNo : Found::kUnknown;
}

const std::vector<Entry>* CListingCache::Listing(const std::string& folder) {
    Folder* f = Fresh(folder);
    return f && f->complete ? &f->entries : nullptr;
}

void CListingCache::Drop(const std::string& folder) {
    m_folders.erase(Folded(folder));
}

}  // namespace zotfs
