// Whole-file copies and moves between a PC folder and the terminal simulator.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "copy_thread.h"
#include "sim_session.h"

namespace zot::test {
namespace {

using namespace std::chrono_literals;

class FileTransfer : public SimSession {
  protected:
    std::atomic<bool> running{false};
    void SetUp() override { SimSession::SetUp(); }
    WString Pc(const std::string& name) { return W(PcPath(name).string()); }
    static WString Term(const std::string& name) { return W("ZOT:\\" + name); }

    // Runs a threaded copy to its end; returns every distinct status value seen, in order.
    std::vector<int> CopyEx(const WString& from, const WString& to, int cancelAt = -1) {
        int32_t status = 0, cancel = 0;
        std::atomic_ref<int32_t> s(status), c(cancel);
        std::vector<int> seen;
        EXPECT_EQ(transfer::StartCopy(session, running, from, to, &status, &cancel), 1);
        for (int v = 0; (v = s.load()) < 100;) {
            if (seen.empty() || seen.back() != v) seen.push_back(v);
            if (cancelAt >= 0 && v >= cancelAt) c.store(1);
            std::this_thread::sleep_for(1ms);
        }
        seen.push_back(s.load());
        return seen;
    }
};

TEST_F(FileTransfer, PcToTerminalAndBackIsByteIdentical) {
    Start();
    const std::string data = RandomBytes(10000);
    WriteBytes(PcPath("src.bin"), data);
    EXPECT_EQ(transfer::CopyFile(session, Pc("src.bin"), Term("copy.bin")), 1);
    EXPECT_EQ(ReadBytes(TerminalPath("copy.bin")), data);
    EXPECT_EQ(transfer::CopyFile(session, Term("copy.bin"), Pc("back.bin")), 1);
    EXPECT_EQ(ReadBytes(PcPath("back.bin")), data);
}

TEST_F(FileTransfer, ResumeKeepsAMatchingPartialAndCopiesAnyOtherAnewKeepingTheTime) {
    Start();
    const std::string data = RandomBytes(10 * 2048 + 100);
    WriteBytes(PcPath("src.bin"), data);
    // What a broken put left: four whole blocks and part of a fifth.
    WriteBytes(TerminalPath("dst.bin"), data.substr(0, 4 * 2048 + 500));
    const auto when = fs::last_write_time(PcPath("src.bin")) - std::chrono::hours(24 * 400);
    fs::last_write_time(PcPath("src.bin"), when);
    CopyControl control;
    control.resume = true;
    control.keepTime = true;
    CopyResult r =
        session.Copy({false, PcPath("src.bin").string()}, {true, "ZOT:\\dst.bin"}, control);
    EXPECT_EQ(r.code, kCopyDone);
    EXPECT_EQ(r.resumedAt, 4u * 2048);
    EXPECT_EQ(ReadBytes(TerminalPath("dst.bin")), data);
    EXPECT_EQ(std::chrono::duration_cast<std::chrono::seconds>(
                  fs::last_write_time(TerminalPath("dst.bin")) - when)
                  .count(),
              0);
    // A partial file that is not this source's beginning is copied anew.
    std::string other = data.substr(0, 3 * 2048);
    other[3 * 2048 - 1] ^= 1;
    WriteBytes(PcPath("back.bin"), other);
    r = session.Copy({true, "ZOT:\\dst.bin"}, {false, PcPath("back.bin").string()}, control);
    EXPECT_EQ(r.code, kCopyDone);
    EXPECT_EQ(r.resumedAt, 0u);
    EXPECT_EQ(ReadBytes(PcPath("back.bin")), data);
}

TEST_F(FileTransfer, SizesAroundTheBlockCopyExactly) {
    Start({}, false);
    for (size_t n : {0u, 1u, 1023u, 1024u, 2047u, 2048u, 2049u, 5000u}) {
        const std::string data = RandomBytes(n, static_cast<unsigned>(n));
        const std::string name = "f" + std::to_string(n);
        WriteBytes(PcPath(name), data);
        EXPECT_EQ(CopyEx(Pc(name), Term(name)).back(), 100) << n;
        EXPECT_EQ(ReadBytes(TerminalPath(name)), data) << n;
        EXPECT_EQ(CopyEx(Term(name), Pc(name + ".back")).back(), 100) << n;
        EXPECT_EQ(ReadBytes(PcPath(name + ".back")), data) << n;
    }
}

TEST_F(FileTransfer, StatusRisesTwoThenFiftyThenDone) {
    zotsim::Options slow;
    slow.latencyMs = 20;
    Start(slow);
    WriteBytes(TerminalPath("5000.bin"), RandomBytes(5000));
    EXPECT_EQ(CopyEx(Term("5000.bin"), Pc("5000.bin")), (std::vector<int>{0, 2, 50, 100}));
    WriteBytes(TerminalPath("2048.bin"), RandomBytes(2048));
    EXPECT_EQ(CopyEx(Term("2048.bin"), Pc("2048.bin")), (std::vector<int>{0, 2, 100}));
    WriteBytes(TerminalPath("empty"), "");
    EXPECT_EQ(CopyEx(Term("empty"), Pc("empty")), (std::vector<int>{0, 100}));
    EXPECT_TRUE(fs::exists(PcPath("empty")));
}

TEST_F(FileTransfer, ExistingDestinationsAreReplaced) {
    Start();
    WriteBytes(PcPath("new"), "new contents");
    WriteBytes(TerminalPath("old"), "old contents that are longer");
    EXPECT_EQ(CopyEx(Pc("new"), Term("old")).back(), 100);
    EXPECT_EQ(ReadBytes(TerminalPath("old")), "new contents");
    WriteBytes(PcPath("old"), "something else entirely");
    EXPECT_EQ(CopyEx(Term("old"), Pc("old")).back(), 100);
    EXPECT_EQ(ReadBytes(PcPath("old")), "new contents");
}

TEST_F(FileTransfer, DestinationThatCannotBeReplacedGives105) {
    Start();
    WriteBytes(PcPath("a"), "a");
    fs::create_directory(TerminalPath("dir"));
    EXPECT_EQ(CopyEx(Pc("a"), Term("dir")).back(), 105);
    fs::create_directory(PcPath("pcdir"));
    WriteBytes(TerminalPath("t"), "t");
    EXPECT_EQ(CopyEx(Term("t"), Pc("pcdir")).back(), 105);
    EXPECT_TRUE(fs::is_directory(PcPath("pcdir")));
}

TEST_F(FileTransfer, MissingSourceGives102) {
    Start();
    EXPECT_EQ(CopyEx(Term("nothing"), Pc("x")).back(), 102);
    EXPECT_EQ(CopyEx(Pc("nothing"), Term("x")).back(), 102);
    EXPECT_FALSE(fs::exists(PcPath("x")));
}

TEST_F(FileTransfer, CancelStopsAfterTheBlockAndKeepsThePartialFile) {
    zotsim::Options slow;
    slow.latencyMs = 10;
    Start(slow);
    WriteBytes(PcPath("big"), RandomBytes(2048 * 20));
    const auto seen = CopyEx(Pc("big"), Term("big"), 2);
    EXPECT_EQ(seen.back(), 104);
    const auto size = fs::file_size(TerminalPath("big"));
    EXPECT_GT(size, 0u);
    EXPECT_LT(size, 2048u * 20);
    EXPECT_EQ(size % 2048, 0u);
}

TEST_F(FileTransfer, SecondCopyWhileOneRunsIsRefusedAndTheFirstFinishes) {
    zotsim::Options slow;
    slow.latencyMs = 10;
    Start(slow);
    const std::string data = RandomBytes(2048 * 6);
    WriteBytes(PcPath("one"), data);
    WriteBytes(PcPath("two"), "two");
    int32_t status = 0, cancel = 0, status2 = 0, cancel2 = 0;
    std::atomic_ref<int32_t> s(status);
    ASSERT_EQ(transfer::StartCopy(session, running, Pc("one"), Term("one"), &status, &cancel), 1);
    EXPECT_EQ(transfer::StartCopy(session, running, Pc("two"), Term("two"), &status2, &cancel2), 0);
    while (s.load() < 100) std::this_thread::sleep_for(1ms);
    EXPECT_EQ(status, 100);
    EXPECT_EQ(status2, 0);
    EXPECT_EQ(ReadBytes(TerminalPath("one")), data);
    EXPECT_FALSE(fs::exists(TerminalPath("two")));
    // Once the first has ended the next one starts.
    EXPECT_EQ(CopyEx(Pc("two"), Term("two")).back(), 100);
}

TEST_F(FileTransfer, SourceTooBigForTheTerminalIsRefusedBeforeAnythingIsSent) {
    Start();
    const fs::path big = PcPath("4g");
    WriteBytes(big, "");
    fs::resize_file(big, (1ull << 32));  // sparse: costs no disk
    const uint32_t before = sim->RequestCount();
    EXPECT_EQ(CopyEx(W(big.string()), Term("4g")).back(), 102);
    EXPECT_EQ(sim->RequestCount(), before);
    EXPECT_FALSE(fs::exists(TerminalPath("4g")));
}

TEST_F(FileTransfer, DroppedRepliesDuringACopyStillGiveAnIdenticalFile) {
    Start();
    app.SetReplyTimeout(300);
    const std::string data = RandomBytes(9000, 9);
    WriteBytes(TerminalPath("n.bin"), data);
    sim->AddFault({zotsim::Fault::Kind::kDrop, 0, kReadFile, 0, 2});
    EXPECT_EQ(CopyEx(Term("n.bin"), Pc("n.bin")).back(), 100);
    EXPECT_EQ(ReadBytes(PcPath("n.bin")), data);
}

TEST_F(FileTransfer, MoveDeletesTheSourceOnlyAfterACopy) {
    Start();
    WriteBytes(PcPath("m"), "move me");
    EXPECT_EQ(transfer::MoveFile(session, Pc("m"), Term("m")), 1);
    EXPECT_FALSE(fs::exists(PcPath("m")));
    EXPECT_EQ(ReadBytes(TerminalPath("m")), "move me");
    EXPECT_EQ(transfer::MoveFile(session, Term("m"), Pc("m2")), 1);
    EXPECT_FALSE(fs::exists(TerminalPath("m")));
    EXPECT_EQ(transfer::MoveFile(session, Term("gone"), Pc("m3")), 0);
}

TEST_F(FileTransfer, PcToPcAndTerminalToTerminalCopiesWork) {
    Start();
    const std::string data = RandomBytes(3000, 5);
    WriteBytes(PcPath("p1"), data);
    EXPECT_EQ(transfer::CopyFile(session, Pc("p1"), Pc("p2")), 1);
    EXPECT_EQ(ReadBytes(PcPath("p2")), data);
    WriteBytes(TerminalPath("t1"), data);
    EXPECT_EQ(transfer::CopyFile(session, Term("t1"), Term("t2")), 1);
    EXPECT_EQ(ReadBytes(TerminalPath("t2")), data);
}

TEST(PathClassification, OnlyUpperCaseZotPrefixNamesTheTerminal) {
    EXPECT_TRUE(transfer::IsTerminalPath(u"ZOT:\\a"));
    EXPECT_TRUE(transfer::IsTerminalPath(u"ZOTTER/file"));
    EXPECT_FALSE(transfer::IsTerminalPath(u"zot:\\a"));
    EXPECT_FALSE(transfer::IsTerminalPath(u"Zot:\\a"));
    EXPECT_FALSE(transfer::IsTerminalPath(u"/home/ZOT"));
    EXPECT_FALSE(transfer::IsTerminalPath(u"ZO"));
}

}  // namespace
}  // namespace zot::test
