// Folder listings that never lose or repeat an entry on a bad line.
//
// A find step moves the terminal's search on by one entry. When the reply to a step is lost
// after the terminal carried it out, the step sent again moves the search on once more, and
// the entry in between is never seen. So the answer to a step that went out more than once is
// not trusted: the session searches again from the start and walks forward to the entry the
// caller has last. Names within a folder are unique, which makes every answer of that walk
// say where the search stands, even when one of its own steps went out twice.
#include <algorithm>
#include <string>
#include <vector>

#include "protocol.h"
#include "remote_app.h"
#include "remote_calls.h"
#include "search_state.h"

namespace zot {
namespace {

// Searches started again for one step before the listing fails: each needs only the step
// after the walk to go through at the first attempt.
constexpr int kMaxRestarts = 8;

}  // namespace

Result<int32_t> CSession::FindFirst(std::string_view pattern, FindRecord* record) {
    if (pattern.size() > kMaxPathBytes) return {Status::Refused(Refusal::kBadName), -1};
    m_app->ClearLastReply();
    FindRecord first;
    const int32_t handle = calls::FindFirstFile(*m_app, pattern, &first);
    const Status status = Answered();
    if (!status) return {status, -1};
    if (record) *record = first;
    if (handle == -1) return {status, -1};
    auto search = std::make_unique<Search>();
    search->pattern = pattern;
    search->terminal = handle;
    search->names.emplace_back(first.Name());
    // A handle the terminal gives out again belongs to the new search.
    m_searches[handle] = std::move(search);
    return {status, handle};
}

Result<int32_t> CSession::FindNext(int32_t find, FindRecord* record) {
    const auto it = m_searches.find(find);
    if (it != m_searches.end()) return Step(*it->second, record);
    // A search this session did not start: asked as it is.
    m_app->ClearLastReply();
    FindRecord next;
    const int32_t result = calls::FindNextFile(*m_app, find, &next);
    const Status status = Answered();
    if (status && record) *record = next;
    return {status, result};
}

Result<int32_t> CSession::FindClose(int32_t find) {
    int32_t terminal = find;
    const auto it = m_searches.find(find);
    if (it != m_searches.end()) {
        terminal = it->second->terminal;
        m_searches.erase(it);
    }
    m_app->ClearLastReply();
    const int32_t result = calls::FindClose(*m_app, terminal);
    Status status = Answered();
    if (status && result == 0) status = Status::Refused(Refusal::kOther);
    return {status, result};
}

Result<int32_t> CSession::Step(Search& search, FindRecord* record) {
    for (int restarts = 0;;) {
        m_app->ClearLastReply();
        FindRecord next;
        const int32_t result = calls::FindNextFile(*m_app, search.terminal, &next);
        const Status status = Answered();
        if (!status) return {status, 0};
        if (m_app->LastAttempts() == 1) {
            if (record) *record = next;
            if (result != 0) search.names.emplace_back(next.Name());
            return {status, result};
        }
        if (++restarts > kMaxRestarts) return {Status::NoAnswer(Silence::kLineFailed), 0};
        const Status again = Restart(search);
        if (!again) return {again, 0};
    }
}

Status CSession::Restart(Search& search) {
    const std::vector<std::string>& names = search.names;
    for (int tries = 0; tries < kMaxRestarts; ++tries) {
        // The old search's position is unknown: it is closed, and its answer does not matter.
        m_app->ClearLastReply();
        calls::FindClose(*m_app, search.terminal);
        m_app->ClearLastReply();
        FindRecord entry;
        const int32_t handle = calls::FindFirstFile(*m_app, search.pattern, &entry);
        const Status status = Answered();
        if (!status) return status;
        if (handle == -1 || entry.Name() != names.front())
            return Status::Refused(Refusal::kChanged);
        search.terminal = handle;
        size_t at = 0;  // the index in names of the entry the search stands on
        bool unsure = false;
        while (at + 1 < names.size()) {
            m_app->ClearLastReply();
            const int32_t result = calls::FindNextFile(*m_app, handle, &entry);
            const Status step = Answered();
            if (!step) return step;
            const bool resent = m_app->LastAttempts() > 1;
            const auto found = result == 0
                                   ? names.end()
                                   : std::find(names.begin() + static_cast<std::ptrdiff_t>(at) + 1,
                                               names.end(), entry.Name());
            const size_t moved =
                found == names.end() ? 0 : static_cast<size_t>(found - names.begin()) - at;
            // A step that went out once moves the search on by exactly one entry; one sent
            // again may have moved it further, but never past an entry it then named.
            if (moved == 1 || (moved > 1 && resent)) {
                at += moved;
                continue;
            }
            if (!resent) return Status::Refused(Refusal::kChanged);
            // Past the end, or onto an entry the caller has not had: where the entries the
            // caller has end is unknown, so search once more.
            unsure = true;
            break;
        }
        if (!unsure) return Status::Done();
    }
    return Status::NoAnswer(Silence::kLineFailed);
}

Result<FindRecord> CSession::Stat(std::string_view path) {
    const auto listing = List(path);
    if (!listing) return {listing.status, {}};
    if (listing.value.empty()) return {Status::Refused(Refusal::kNoSuchEntry), {}};
    return {listing.status, listing.value.front()};
}

Result<std::vector<FindRecord>> CSession::List(std::string_view pattern) {
    Result<std::vector<FindRecord>> r;
    FindRecord entry;
    const auto first = FindFirst(pattern, &entry);
    if (!first) {
        r.status = first.status;
        return r;
    }
    if (first.value == -1) {
        // Nothing matched: an empty folder, or none at all, which its attributes tell.
        const std::string_view folder = FolderOf(pattern);
        if (folder.empty()) return r;
        const auto a = Attributes(folder);
        if (!a)
            r.status = a.status;
        else if (!(a.value & kAttributeDirectory))
            r.status = Status::Refused(Refusal::kNotAFolder);
        return r;
    }
    r.value.push_back(entry);
    for (;;) {
        const auto next = FindNext(first.value, &entry);
        if (!next) {
            FindClose(first.value);
            r.status = next.status;
            r.value.clear();
            return r;
        }
        if (next.value == 0) break;
        r.value.push_back(entry);
    }
    FindClose(first.value);
    return r;
}

}  // namespace zot
