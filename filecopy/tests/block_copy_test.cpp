// The one copy loop and its PC file end, against real files in a temporary folder.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <string>

#include "pc_file.h"

namespace zot::copy {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// A source that reports more bytes than it then hands out, as a terminal file that shrank
// between the size query and the reads.
class ShrunkSource final : public IFileEnd {
  public:
    ShrunkSource(uint64_t reported, size_t real) : m_reported(reported), m_left(real) {}
    size_t Read(uint8_t* buffer, size_t n) override {
        const size_t got = std::min(n, m_left);
        std::fill(buffer, buffer + got, uint8_t{'x'});
        m_left -= got;
        return got;
    }
    size_t Write(const uint8_t*, size_t, const uint8_t*, size_t) override { return 0; }
    uint64_t Size() const override { return m_reported; }

  private:
    uint64_t m_reported;
    size_t m_left;
};

class BlockCopy : public ::testing::Test {
  protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() / ("block_copy_" + std::to_string(::getpid()));
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }
    std::string Path(const std::string& name) const { return (m_dir / name).string(); }
    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(Path(name), std::ios::binary) << bytes;
    }
    Status CopyPc(const std::string& from, const std::string& to, int32_t* cancel = nullptr) {
        auto in = CPcFile::OpenSource(Path(from));
        if (!in) return kReadFailed;
        auto out = CPcFile::CreateDestination(Path(to));
        if (!out) return kCreateFailed;
        int32_t status = 0;
        return Copy(*in, *out, &status, cancel);
    }

    fs::path m_dir;
};

TEST_F(BlockCopy, AShortReadKeepsEveryWholeBlockThatArrived) {
    ShrunkSource in(5000, 3000);
    auto out = CPcFile::CreateDestination(Path("dst"));
    ASSERT_TRUE(out);
    int32_t status = 0;
    EXPECT_EQ(Copy(in, *out, &status, nullptr), kReadFailed);
    out.reset();
    EXPECT_EQ(fs::file_size(Path("dst")), 2048u);
}

TEST_F(BlockCopy, ACancelDuringTheLastBlockStillFinishesTheFile) {
    int32_t cancel = 1;
    Write("whole", std::string(kBlock, 'a'));
    EXPECT_EQ(CopyPc("whole", "whole.copy", &cancel), kDone);
    EXPECT_EQ(fs::file_size(Path("whole.copy")), kBlock);
    Write("more", std::string(kBlock + 1, 'a'));
    EXPECT_EQ(CopyPc("more", "more.copy", &cancel), kCancelled);
    EXPECT_EQ(fs::file_size(Path("more.copy")), kBlock);
}

TEST_F(BlockCopy, ANamedPipeIsRefusedWithoutWaitingForAWriter) {
    ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);
    auto copy = std::async(std::launch::async, [&] { return CopyPc("fifo", "out"); });
    ASSERT_EQ(copy.wait_for(5s), std::future_status::ready);
    EXPECT_EQ(copy.get(), kReadFailed);
    EXPECT_FALSE(fs::exists(Path("out")));
}

TEST_F(BlockCopy, ZerosStaySparseAndTheCopyIsIdentical) {
    std::string data(8 * kBlock, '\0');
    data[3 * kBlock + 5] = 'y';
    Write("sparse", data);
    EXPECT_EQ(CopyPc("sparse", "sparse.copy"), kDone);
    std::ifstream f(Path("sparse.copy"), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(f), {}), data);
    struct stat st {};
    ASSERT_EQ(::stat(Path("sparse.copy").c_str(), &st), 0);
    EXPECT_LT(st.st_blocks * 512, static_cast<long>(data.size()));
}

}  // namespace
}  // namespace zot::copy
