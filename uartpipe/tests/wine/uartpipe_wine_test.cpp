// The pipe's read modes and error codes on Win32 under Wine. ZOT_WINE_PIPE_PORT is served by
// a simulator: a version request written down the pipe brings a reply frame to read back.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdlib>

#include "IDriftUartPipe.h"
#include "IUartBasic.h"
#include "message_codec.h"
#include "open_failure.h"

namespace {

using Clock = std::chrono::steady_clock;

long long MsSince(Clock::time_point t) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

class PipeUnderWine : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* v = std::getenv("ZOT_WINE_PIPE_PORT");
        m_port = v ? std::atoi(v) : 0;
        if (!m_port) GTEST_SKIP() << "run by scripts/windows.sh";
        m_pipe = OpenDriftUartPipe(m_port, 115200);
        ASSERT_NE(m_pipe, nullptr);
    }
    void TearDown() override { CloseDriftUartPipe(m_pipe); }

    // A plain version request; the simulator answers with a frame of replyLength bytes.
    void AskVersion() {
        const uint8_t request[7] = {0x10, 0, 0, ++m_sequence, 0, 0, 0};
        uint8_t frame[4096];
        zot::CMessageCodec codec;
        const size_t n = codec.EncodeMessage(request, sizeof request, false, frame);
        ASSERT_EQ(WriteUartPipe(m_pipe, frame, static_cast<int>(n), 0), 0);
    }

    int m_port = 0;
    DriftUartPipe* m_pipe = nullptr;
    uint8_t m_sequence = 0;
};

TEST_F(PipeUnderWine, ATimeOutOfZeroReturnsAtOnceWhenNothingWaits) {
    uint8_t buf[16];
    const auto t = Clock::now();
    EXPECT_EQ(ReadUartPipe(m_pipe, buf, -10, 0), -26);
    EXPECT_LT(MsSince(t), 200);
}

TEST_F(PipeUnderWine, APositiveTimeOutWaitsThatLongForTheFirstByte) {
    uint8_t buf[16];
    const auto t = Clock::now();
    EXPECT_EQ(ReadUartPipe(m_pipe, buf, 10, 300), -26);
    const long long ms = MsSince(t);
    EXPECT_GE(ms, 250);
    EXPECT_LT(ms, 1500);
}

TEST_F(PipeUnderWine, BytesThatWaitComeBackAtOnceInSingleMode) {
    AskVersion();
    Sleep(300);
    uint8_t buf[256];
    const auto t = Clock::now();
    const int n = ReadUartPipe(m_pipe, buf, -256, 5000);
    EXPECT_GT(n, 7);
    EXPECT_LT(MsSince(t), 1000);
    EXPECT_EQ(buf[0], 0x02) << "a frame";
}

TEST_F(PipeUnderWine, TimeOutMinusOneWaitsForTheFullCount) {
    AskVersion();
    uint8_t buf[8];
    const auto t = Clock::now();
    EXPECT_EQ(ReadUartPipe(m_pipe, buf, 8, -1), 8);
    EXPECT_LT(MsSince(t), 3000);
    EXPECT_EQ(buf[0], 0x02);
}

TEST_F(PipeUnderWine, TheUartReportsItsOwnCodes) {
    int error = 0;
    IUartBasic* uart = CreateUartBasic(&error);
    ASSERT_NE(uart, nullptr);
    EXPECT_EQ(uart->OpenPort(256, 9600, 8, 0, 1), IUartBasic::kNoSuchDevice);
    EXPECT_EQ(uart->OpenPort(97, 9600, 8, 0, 1), IUartBasic::kNoSuchDevice);
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(OpenDriftUartPipe(97, 9600), nullptr);
    EXPECT_EQ(qs::OpenFailureFromSystemError(static_cast<int>(GetLastError())),
              qs::OpenFailure::kMissing)
        << GetLastError();
    // Wine opens the device behind a COM port once per handle and does not refuse a second
    // open, so "in use" (-12) is only seen on Windows.
    EXPECT_EQ(uart->Read(nullptr, 1, 0), IUartBasic::kNotOpen);
    EXPECT_EQ(uart->Write(nullptr, 1), IUartBasic::kNotOpen);
    uart->Release();
    EXPECT_EQ(OpenUartPipe(m_pipe), -4) << "already open";
    EXPECT_EQ(ReadUartPipe(nullptr, nullptr, 1, 0), -3);
    uint8_t b = 0;
    EXPECT_EQ(WriteUartPipe(m_pipe, &b, 0, 0), 0);
    EXPECT_EQ(ReadUartPipe(m_pipe, &b, 0, 0), 0);
}

}  // namespace
