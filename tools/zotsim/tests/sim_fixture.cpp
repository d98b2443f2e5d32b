#include "sim_fixture.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "protocol.h"

namespace zotsim::test {

uint32_t ReplyMessage::U32(size_t offset) const {
    return offset + 4 <= data.size() ? zot::GetU32(data.data() + offset) : 0xDEADBEEF;
}

bool CTestClient::Open(const std::string& path) {
    Close();
    m_fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0) return false;
    termios tio{};
    if (::tcgetattr(m_fd, &tio) != 0) return false;
    ::cfmakeraw(&tio);
    if (::tcsetattr(m_fd, TCSANOW, &tio) != 0) return false;
    m_parser.Abandon();
    return true;
}

void CTestClient::Close() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

bool CTestClient::SendRaw(const std::vector<uint8_t>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd p{m_fd, POLLOUT, 0};
            ::poll(&p, 1, 100);
            continue;
        }
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

bool CTestClient::SendMessage(uint16_t command, uint16_t sequence, const std::vector<uint8_t>& data,
                              bool compress) {
    std::vector<uint8_t> message(zot::kHeaderSize + data.size());
    zot::PutHeader(message.data(), zot::kTypeRequest, command, sequence,
                   static_cast<uint16_t>(data.size()));
    std::copy(data.begin(), data.end(), message.begin() + zot::kHeaderSize);
    std::vector<uint8_t> frame(zot::kMaxFrame);
    const size_t n = m_codec.EncodeMessage(message.data(), message.size(), compress, frame.data());
    if (n == 0) return false;
    frame.resize(n);
    return SendRaw(frame);
}

std::optional<ReplyMessage> CTestClient::Receive(int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        uint8_t byte = 0;
        const ssize_t n = ::read(m_fd, &byte, 1);
        if (n == 1) {
            const auto result = m_parser.Feed(byte);
            if (result == zot::FrameParser::Result::kBadFrame) ++m_badFrames;
            if (result != zot::FrameParser::Result::kFrame) continue;
            ReplyMessage reply;
            reply.compressed = m_parser.Payload()[0] == zot::kZlibFirstByte;
            const uint8_t* message = nullptr;
            size_t length = 0;
            if (!m_codec.DecodePayload(m_parser.Payload(), m_parser.Length(), &message, &length) ||
                length < zot::kHeaderSize)
                continue;
            reply.type = message[0];
            reply.command = zot::GetU16(message + 1);
            reply.sequence = zot::GetU16(message + 3);
            const uint16_t d = zot::GetU16(message + 5);
            reply.data.assign(message + zot::kHeaderSize, message + length);
            if (reply.data.size() != d) continue;
            return reply;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) return std::nullopt;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0) return std::nullopt;
        pollfd p{m_fd, POLLIN, 0};
        ::poll(&p, 1, static_cast<int>(left));
    }
}

std::vector<uint8_t> U32s(std::initializer_list<uint32_t> values) {
    std::vector<uint8_t> out;
    for (uint32_t v : values) {
        uint8_t b[4];
        zot::PutU32(b, v);
        out.insert(out.end(), b, b + 4);
    }
    return out;
}

std::vector<uint8_t> PathString(const std::string& path) {
    std::vector<uint8_t> out(1 + path.size());
    out[0] = static_cast<uint8_t>(path.size());
    std::copy(path.begin(), path.end(), out.begin() + 1);
    return out;
}

std::vector<uint8_t> operator+(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

void SimulatorTest::SetUp() {
    char pattern[] = "/tmp/zotsim_test_XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::string base = pattern;
    m_root = base + "/store";
    m_outside = base + "/outside";
    std::filesystem::create_directory(m_root);
    std::filesystem::create_directory(m_outside);
}

void SimulatorTest::TearDown() {
    m_client.Close();
    m_sim.reset();
    std::error_code ec;
    const auto base = std::filesystem::path(m_root).parent_path();
    // Read-only files left by a test must not stop the clean-up.
    for (const auto& e : std::filesystem::recursive_directory_iterator(base, ec))
        if (!e.is_symlink())
            std::filesystem::permissions(e.path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(base, ec);
}

void SimulatorTest::Start(Options options) {
    options.root = m_root;
    m_sim = std::make_unique<CSimulator>(options);
    ASSERT_TRUE(m_sim->OpenPty());
    ASSERT_TRUE(m_sim->Start());
    ASSERT_TRUE(m_client.Open(m_sim->SlavePath()));
}

std::optional<ReplyMessage> SimulatorTest::Call(uint16_t command, const std::vector<uint8_t>& data,
                                                bool compress, int timeoutMs) {
    ++m_sequence;
    if (!m_client.SendMessage(command, m_sequence, data, compress)) return std::nullopt;
    return m_client.Receive(timeoutMs);
}

ReplyMessage SimulatorTest::MustCall(uint16_t command, const std::vector<uint8_t>& data) {
    auto reply = Call(command, data);
    EXPECT_TRUE(reply.has_value()) << "no reply to command " << command;
    if (!reply) return {};
    EXPECT_EQ(reply->type, zot::kTypeReply);
    EXPECT_EQ(reply->command, command);
    EXPECT_EQ(reply->sequence, m_sequence);
    return *reply;
}

uint32_t SimulatorTest::CallPath(uint16_t command, const std::string& path) {
    const auto reply = MustCall(command, PathString(path));
    EXPECT_EQ(reply.data.size(), 4u);
    return reply.U32(0);
}

uint32_t SimulatorTest::CallPathValue(uint16_t command, const std::string& path, uint32_t value) {
    const auto reply = MustCall(command, PathString(path) + U32s({value}));
    EXPECT_EQ(reply.data.size(), 4u);
    return reply.U32(0);
}

uint32_t SimulatorTest::CallHandle(uint16_t command, uint32_t handle) {
    const auto reply = MustCall(command, U32s({handle}));
    return reply.U32(0);
}

void SimulatorTest::WriteHostFile(const std::string& relative, const std::string& content) {
    std::ofstream(HostPath(relative), std::ios::binary) << content;
}

std::string SimulatorTest::ReadHostFile(const std::string& relative) const {
    std::ifstream in(HostPath(relative), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace zotsim::test
