// The exported pipe functions, through the shared library, over real pseudo-terminals.
#include <IDriftUartPipe.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "pty_pair.h"
#include "refused_access.h"

namespace {

class PipeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_pty.Ok());
        ASSERT_NE(m_pipe, nullptr);
    }
    void TearDown() override {
        if (m_pipe) {
            EXPECT_EQ(UnInitUartPipe(m_pipe), 0);
        }
        for (const char* var : {"COM1", "COM5", "COM7", "COM9"}) ::unsetenv(var);
    }

    int32_t ConfigurePty(int32_t baud = 9600, int32_t parity = 0, int32_t stop = 1) {
        return SetUartCharParam(m_pipe, m_pty.SlaveName().c_str(), baud, 8, parity, stop);
    }
    int32_t OpenPty() {
        EXPECT_EQ(ConfigurePty(), 0);
        return OpenUartPipe(m_pipe);
    }

    PtyPair m_pty;
    DriftUartPipe* m_pipe = InitUartPipe();
    char m_buf[64] = {};
};

// ---- Handles ----

TEST(PipeHandleTest, EveryExportRefusesANullHandle) {
    char buf[4] = {};
    EXPECT_EQ(UnInitUartPipe(nullptr), -3);
    EXPECT_EQ(UnInitUartPipeExt(nullptr), -3);
    EXPECT_EQ(SetUartIntParam(nullptr, 1, 9600, 8, 0, 1), -3);
    EXPECT_EQ(SetUartIntParamExt(nullptr, 1, 9600, 8, 0, 1), -3);
    EXPECT_EQ(SetUartCharParam(nullptr, "/dev/null", 9600, 8, 0, 1), -3);
    EXPECT_EQ(SetUartCharParamExt(nullptr, "/dev/null", 9600, 8, 0, 1), -3);
    EXPECT_EQ(OpenUartPipe(nullptr), -3);
    EXPECT_EQ(OpenUartPipeExt(nullptr), -3);
    EXPECT_EQ(CloseUartPipe(nullptr), -3);
    EXPECT_EQ(CloseUartPipeExt(nullptr), -3);
    EXPECT_EQ(WriteUartPipe(nullptr, buf, 1, 0), -3);
    EXPECT_EQ(WriteUartPipeExt(nullptr, buf, 1, 0), -3);
    EXPECT_EQ(ReadUartPipe(nullptr, buf, 1, 0), -3);
    EXPECT_EQ(ReadUartPipeExt(nullptr, buf, 1, 0), -3);
    CloseDriftUartPipe(nullptr);
}

TEST(PipeHandleTest, ExtFormsMakeAndDestroyPipesToo) {
    DriftUartPipe* pipe = InitUartPipeExt();
    ASSERT_NE(pipe, nullptr);
    EXPECT_EQ(UnInitUartPipeExt(pipe), 0);
}

// ---- Configuration and open ----

using PipeOpenTest = PipeTest;

TEST_F(PipeOpenTest, NeverConfiguredPipeOpensPort1At9600EightNoneOne) {
    ::setenv("COM1", m_pty.SlaveName().c_str(), 1);
    termios tio = m_pty.SlaveSettings();
    tio.c_cflag |= CSTOPB;
    cfsetospeed(&tio, B1200);
    cfsetispeed(&tio, B1200);
    m_pty.SetSlaveSettings(tio);

    ASSERT_EQ(OpenUartPipe(m_pipe), 0);
    const termios now = m_pty.SlaveSettings();
    EXPECT_EQ(cfgetospeed(&now), B9600);
    EXPECT_EQ(now.c_cflag & CSIZE, CS8);
    EXPECT_FALSE(now.c_cflag & PARENB);
    EXPECT_FALSE(now.c_cflag & CSTOPB);
}

TEST_F(PipeOpenTest, DeviceNameWinsOverThePortNumberAndIsCopied) {
    ::setenv("COM7", "/nonexistent/ttyQ7", 1);
    ASSERT_EQ(SetUartIntParam(m_pipe, 7, 9600, 8, 0, 1), 0);
    std::string name = m_pty.SlaveName();
    ASSERT_EQ(SetUartCharParamExt(m_pipe, name.c_str(), 9600, 8, 0, 1), 0);
    std::fill(name.begin(), name.end(), 'x');  // the caller's string changes before the open
    EXPECT_EQ(OpenUartPipe(m_pipe), 0);
}

TEST_F(PipeOpenTest, EveryOpenFailureIsMinus4AndLeavesThePipeUsable) {
    ASSERT_EQ(SetUartCharParam(m_pipe, "/nonexistent/ttyQ0", 9600, 8, 0, 1), 0);
    EXPECT_EQ(OpenUartPipe(m_pipe), -4);
    ASSERT_EQ(SetUartIntParam(m_pipe, 256, 9600, 8, 0, 1), 0);
    EXPECT_EQ(OpenUartPipe(m_pipe), -4);
    ASSERT_EQ(SetUartCharParam(m_pipe, nullptr, 9600, 8, 0, 1), 0);
    EXPECT_EQ(OpenUartPipeExt(m_pipe), -4);
    ASSERT_EQ(ConfigurePty(9600, 3, 1), 0);
    EXPECT_EQ(OpenUartPipe(m_pipe), -4);
    ASSERT_EQ(ConfigurePty(9600, 0, 15), 0);
    EXPECT_EQ(OpenUartPipe(m_pipe), -4);
    ASSERT_EQ(ConfigurePty(9600, 2, 1), 0);  // a pty cannot hold parity
    EXPECT_EQ(OpenUartPipe(m_pipe), -4);

    DriftUartPipe* holder = InitUartPipe();
    ASSERT_EQ(SetUartCharParam(holder, m_pty.SlaveName().c_str(), 9600, 8, 0, 1), 0);
    ASSERT_EQ(OpenUartPipe(holder), 0);
    ASSERT_EQ(ConfigurePty(), 0);
    EXPECT_EQ(OpenUartPipe(m_pipe), -4);  // in use
    EXPECT_EQ(UnInitUartPipe(holder), 0);

    EXPECT_EQ(OpenUartPipe(m_pipe), 0);
}

// -4 says only that the open failed; errno says why, as after the system's own open, and a
// read that found the open line quiet leaves it 0.
TEST_F(PipeOpenTest, ErrnoTellsWhyAnOpenFailedAndIsZeroOnAQuietLine) {
    char pattern[] = "/tmp/uartpipe-open-XXXXXX";
    const std::string dir = ::mkdtemp(pattern);
    ASSERT_EQ(SetUartCharParam(m_pipe, (dir + "/ttyUSB9").c_str(), 9600, 8, 0, 1), 0);
    errno = 0;
    EXPECT_EQ(OpenUartPipe(m_pipe), -4);
    EXPECT_EQ(errno, ENOENT);

    const std::string locked = dir + "/locked";
    ASSERT_TRUE(qs::test::MakeUnopenable(locked));
    ::setenv("COM5", locked.c_str(), 1);
    EXPECT_TRUE(qs::test::AsUnprivilegedUser([] {
        errno = 0;
        return OpenDriftUartPipe(5, 9600) == nullptr && errno == EACCES;
    }));
    ::unlink(locked.c_str());
    ::rmdir(dir.c_str());

    ASSERT_EQ(OpenPty(), 0);
    errno = EAGAIN;
    EXPECT_EQ(ReadUartPipe(m_pipe, m_buf, 4, 0), -26);
    EXPECT_EQ(errno, 0);
}

TEST_F(PipeOpenTest, OpeningAnOpenPipeFailsAndLeavesItOpen) {
    ASSERT_EQ(OpenPty(), 0);
    EXPECT_EQ(OpenUartPipe(m_pipe), -4);
    EXPECT_EQ(WriteUartPipe(m_pipe, "ok", 2, 0), 0);
    EXPECT_EQ(m_pty.Receive(2), "ok");
}

// ---- Close ----

using PipeCloseTest = PipeTest;

TEST_F(PipeCloseTest, NeverConfiguredPipeCannotBeClosed) {
    EXPECT_EQ(CloseUartPipe(m_pipe), -4);
    EXPECT_EQ(CloseUartPipeExt(m_pipe), -4);
}

TEST_F(PipeCloseTest, ConfiguredNeverOpenedPipeClosesFine) {
    ASSERT_EQ(ConfigurePty(), 0);
    EXPECT_EQ(CloseUartPipe(m_pipe), 0);
}

TEST_F(PipeCloseTest, ClosedPipeRefusesIoAndReopens) {
    ASSERT_EQ(OpenPty(), 0);
    ASSERT_EQ(CloseUartPipe(m_pipe), 0);
    EXPECT_EQ(WriteUartPipe(m_pipe, "x", 1, 0), -5);
    EXPECT_EQ(ReadUartPipe(m_pipe, m_buf, 1, 0), -5);
    ASSERT_EQ(OpenUartPipe(m_pipe), 0);
    EXPECT_EQ(WriteUartPipe(m_pipe, "y", 1, 0), 0);
    EXPECT_EQ(m_pty.Receive(1), "y");
}

TEST_F(PipeCloseTest, DestroyingAnOpenPipeClosesItAndRestoresTheDevice) {
    termios before = m_pty.SlaveSettings();
    cfsetospeed(&before, B2400);
    cfsetispeed(&before, B2400);
    m_pty.SetSlaveSettings(before);
    ASSERT_EQ(OpenPty(), 0);
    ASSERT_EQ(UnInitUartPipe(m_pipe), 0);
    m_pipe = nullptr;
    const termios after = m_pty.SlaveSettings();
    EXPECT_EQ(cfgetospeed(&after), B2400);
    EXPECT_EQ(after.c_lflag, before.c_lflag);

    DriftUartPipe* next = InitUartPipe();
    ASSERT_EQ(SetUartCharParam(next, m_pty.SlaveName().c_str(), 9600, 8, 0, 1), 0);
    EXPECT_EQ(OpenUartPipe(next), 0);
    EXPECT_EQ(UnInitUartPipe(next), 0);
}

// ---- Reading and writing ----

using PipeIoTest = PipeTest;

TEST_F(PipeIoTest, NeverConfiguredPipeRefusesIo) {
    EXPECT_EQ(WriteUartPipe(m_pipe, "x", 1, 0), -22);
    EXPECT_EQ(ReadUartPipe(m_pipe, m_buf, 1, 0), -22);
    EXPECT_EQ(ReadUartPipe(m_pipe, m_buf, 0, 0), -22);
}

TEST_F(PipeIoTest, ZeroLengthReadReturnsZeroWithoutTouchingThePort) {
    ASSERT_EQ(ConfigurePty(), 0);  // configured, never opened
    EXPECT_EQ(ReadUartPipe(m_pipe, nullptr, 0, 0), 0);
    EXPECT_EQ(ReadUartPipe(m_pipe, m_buf, 1, 0), -5);
}

TEST_F(PipeIoTest, ReadWithNothingReceivedIsMinus26) {
    ASSERT_EQ(OpenPty(), 0);
    EXPECT_EQ(ReadUartPipe(m_pipe, m_buf, 10, 0), -26);
    EXPECT_EQ(ReadUartPipeExt(m_pipe, m_buf, -10, 0), -26);
    EXPECT_EQ(ReadUartPipe(m_pipe, m_buf, 10, 10), -26);
}

TEST_F(PipeIoTest, ReadDeliversWhatTheFarEndSent) {
    ASSERT_EQ(OpenPty(), 0);
    ASSERT_TRUE(m_pty.Send("hello"));
    ASSERT_EQ(ReadUartPipe(m_pipe, m_buf, 5, 1000), 5);
    EXPECT_EQ(std::string(m_buf, 5), "hello");
    ASSERT_TRUE(m_pty.Send("again"));
    ASSERT_EQ(ReadUartPipeExt(m_pipe, m_buf, 5, -1), 5);
    EXPECT_EQ(std::string(m_buf, 5), "again");
}

TEST_F(PipeIoTest, WriteIgnoresItsTimeOutAndSendsEveryByte) {
    ASSERT_EQ(OpenPty(), 0);
    const std::string data(3000, 'w');
    EXPECT_EQ(WriteUartPipe(m_pipe, data.data(), static_cast<int32_t>(data.size()), 0), 0);
    EXPECT_EQ(m_pty.Receive(data.size()), data);
    EXPECT_EQ(WriteUartPipeExt(m_pipe, "abc", 3, -7), 0);
    EXPECT_EQ(m_pty.Receive(3), "abc");
}

TEST_F(PipeIoTest, WriteOfNothingSucceedsAndNullDataIsRefused) {
    ASSERT_EQ(OpenPty(), 0);
    EXPECT_EQ(WriteUartPipe(m_pipe, "x", 0, 0), 0);
    EXPECT_EQ(WriteUartPipe(m_pipe, nullptr, 4, 0), -4);
    EXPECT_EQ(WriteUartPipe(m_pipe, "x", -1, 0), -4);
}

TEST_F(PipeIoTest, HungUpLineFailsRatherThanLookingEmpty) {
    ASSERT_EQ(OpenPty(), 0);
    m_pty.CloseMaster();
    EXPECT_EQ(ReadUartPipe(m_pipe, m_buf, 10, 50), -1);
    EXPECT_EQ(WriteUartPipe(m_pipe, "x", 1, 0), -1);
}

// ---- One-call forms ----

TEST(PipeOneCallTest, OpenDriftUartPipeOpensEightNoneOneAndCloseReleasesThePort) {
    PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    ::setenv("COM5", pty.SlaveName().c_str(), 1);
    DriftUartPipe* pipe = OpenDriftUartPipe(5, 19200);
    ASSERT_NE(pipe, nullptr);
    const termios tio = pty.SlaveSettings();
    EXPECT_EQ(cfgetospeed(&tio), B19200);
    EXPECT_EQ(tio.c_cflag & CSIZE, CS8);
    EXPECT_FALSE(tio.c_cflag & (PARENB | CSTOPB));
    EXPECT_EQ(WriteUartPipe(pipe, "hi", 2, 0), 0);
    EXPECT_EQ(pty.Receive(2), "hi");

    EXPECT_EQ(OpenDriftUartPipe(5, 19200), nullptr);  // in use
    CloseDriftUartPipe(pipe);
    DriftUartPipe* again = OpenDriftUartPipe(5, 9600);
    EXPECT_NE(again, nullptr);
    CloseDriftUartPipe(again);
    ::unsetenv("COM5");
}

TEST(PipeOneCallTest, OpenDriftUartPipeGivesNullForAMissingPortOrBadBaud) {
    EXPECT_EQ(OpenDriftUartPipe(256, 9600), nullptr);
    ::setenv("COM5", "/nonexistent/ttyQ5", 1);
    EXPECT_EQ(OpenDriftUartPipe(5, 9600), nullptr);
    PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    ::setenv("COM5", pty.SlaveName().c_str(), 1);
    EXPECT_EQ(OpenDriftUartPipe(5, 12345), nullptr);
    ::unsetenv("COM5");
}

}  // namespace
