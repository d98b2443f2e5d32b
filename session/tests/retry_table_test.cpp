// How the session judges a request it had to send again, on a line in memory under a manual
// clock: the terminal below carries out every request it gets, and the test throws away the
// replies it chooses, which is what a noisy line does to a reply.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "protocol.h"
#include "remote_app.h"
#include "scripted_line.h"
#include "serial_link.h"
#include "zot_session.h"

namespace zot::test {
namespace {

// A folder of a few files on a terminal that keeps its searches by handle.
class FolderTerminal {
  public:
    std::vector<std::string> names{"A.TXT", "B.TXT", "C.TXT", "D.TXT", "E.TXT"};
    std::set<std::string> folders;
    // Requests (counted from 0) carried out whose reply never arrives.
    std::set<int> lost;

    void Serve(ScriptedLine& line, const Request& r) {
        const int index = m_count++;
        const Bytes reply = Answer(r);
        if (!lost.count(index)) line.AnswerAfter(0, r, reply);
    }

  private:
    static std::string Leaf(const Bytes& data) {
        const std::string path(data.begin() + 1, data.begin() + 1 + data[0]);
        return path.substr(path.rfind('\\') + 1);
    }
    static Bytes U32(uint32_t v) {
        Bytes b(4);
        PutU32(b.data(), v);
        return b;
    }
    Bytes Record(size_t at, uint32_t last) const {
        Bytes b(kFindRecordSize + 4, 0);
        if (at < names.size())
            std::copy(names[at].begin(), names[at].end(), b.begin() + kFindNameOffset);
        PutU32(b.data() + kFindRecordSize, last);
        return b;
    }
    Bytes Answer(const Request& r) {
        const Bytes data = r.data();
        switch (r.command()) {
            case kFindFirstFile: {
                const uint32_t handle = ++m_lastHandle;
                m_searches[handle] = 1;
                return Record(0, handle);
            }
            case kFindNextFile: {
                const uint32_t handle = GetU32(data.data());
                size_t& next = m_searches[handle];
                const size_t at = next < names.size() ? next++ : names.size();
                return Record(at, at < names.size() ? 1 : 0);
            }
            case kFindClose:
                return U32(m_searches.erase(GetU32(data.data())) ? 1 : 0);
            case kGetFileAttributes: {
                const std::string leaf = Leaf(data);
                if (folders.count(leaf)) return U32(kAttributeDirectory);
                const bool file = std::count(names.begin(), names.end(), leaf) > 0;
                return U32(file ? kAttributeArchive : kNoAttributes);
            }
            case kDeleteFile: {
                const auto it = std::find(names.begin(), names.end(), Leaf(data));
                if (it == names.end()) return U32(0);
                names.erase(it);
                return U32(1);
            }
            case kCreateDirectory:
                return U32(folders.insert(Leaf(data)).second ? 1 : 0);
            default:
                return U32(0);
        }
    }

    int m_count = 0;
    uint32_t m_lastHandle = 0;
    std::map<uint32_t, size_t> m_searches;
};

class RetryTable : public ::testing::Test {
  protected:
    void SetUp() override {
        auto line = std::make_unique<ScriptedLine>(
            clock, [this](ScriptedLine& l, const Request& r) { terminal.Serve(l, r); });
        m_line = line.get();
        ASSERT_TRUE(session.OpenPort(std::move(line), false, false));
        start = clock.Now();
    }
    std::vector<uint16_t> Commands() const {
        std::vector<uint16_t> out;
        for (const auto& s : m_line->Requests()) out.push_back(s.request.command());
        return out;
    }
    double Ms() const { return MsBetween(start, clock.Now()); }

    CManualClock clock;
    CSession session{clock};
    FolderTerminal terminal;
    CManualClock::TimePoint start;

  private:
    ScriptedLine* m_line = nullptr;
};

std::vector<std::string> Names(const std::vector<FindRecord>& records) {
    std::vector<std::string> out;
    for (const auto& r : records) out.emplace_back(r.Name());
    return out;
}

TEST_F(RetryTable, FindStepSentAgainSearchesAgainAndLosesNoEntry) {
    // Requests: 0 FindFirst (A), 1 FindNext (B), 2 FindNext carried out (C) but unanswered.
    terminal.lost = {2};
    const auto listing = session.List("ZOT:\\*.*");
    ASSERT_TRUE(listing.Ok()) << Describe(listing.status);
    EXPECT_EQ(Names(listing.value), terminal.names);
    // The step sent again went past C; the search began again and walked to B before going on.
    EXPECT_EQ(Commands(),
              (std::vector<uint16_t>{kFindFirstFile, kFindNextFile, kFindNextFile, kFindNextFile,
                                     kFindClose, kFindFirstFile, kFindNextFile, kFindNextFile,
                                     kFindNextFile, kFindNextFile, kFindNextFile, kFindClose}));
    // Sending a step again is safe now, so the lost one waited one round trip, not 5 s.
    EXPECT_EQ(Ms(), session.Engine().AttemptTimeout(kFindNextFile, 0, kHeaderSize + 4,
                                                    kHeaderSize + kFindRecordSize + 4));
    EXPECT_LT(Ms(), CSerialLink::kReplyTimeoutMs);
}

TEST_F(RetryTable, ListingWhoseFolderChangedUnderTheRestartFails) {
    terminal.lost = {2};
    // The first request of the new search is request 5: by then A is gone.
    const auto listing = [&] {
        FindRecord record;
        const auto first = session.FindFirst("ZOT:\\*.*", &record);
        session.FindNext(first.value, &record);
        terminal.names.erase(terminal.names.begin());
        return session.FindNext(first.value, &record);
    }();
    EXPECT_TRUE(listing.status.Is(Refusal::kChanged)) << Describe(listing.status);
}

TEST_F(RetryTable, DeleteSentAgainAfterItsReplyWasLostIsDone) {
    terminal.lost = {0};
    const auto deleted = session.Delete("ZOT:\\B.TXT");
    EXPECT_TRUE(deleted.Ok()) << Describe(deleted.status);
    // The second attempt's "no" was checked against the terminal: the file is gone.
    EXPECT_EQ(Commands(), (std::vector<uint16_t>{kDeleteFile, kDeleteFile, kGetFileAttributes}));
    EXPECT_EQ(Ms(), CSerialLink::kReplyTimeoutMs);
    // Without a resend, a "no" is a refusal with its reason.
    EXPECT_TRUE(session.Delete("ZOT:\\B.TXT").status.Is(Refusal::kNoSuchEntry));
}

TEST_F(RetryTable, CreateFolderSentAgainAfterItsReplyWasLostIsDone) {
    terminal.lost = {0};
    const auto made = session.CreateFolder("ZOT:\\NEW");
    EXPECT_TRUE(made.Ok()) << Describe(made.status);
    EXPECT_EQ(Commands(),
              (std::vector<uint16_t>{kCreateDirectory, kCreateDirectory, kGetFileAttributes}));
    EXPECT_EQ(Ms(), CSerialLink::kReplyTimeoutMs);
    EXPECT_TRUE(session.CreateFolder("ZOT:\\NEW").status.Is(Refusal::kExists));
}

}  // namespace
}  // namespace zot::test
