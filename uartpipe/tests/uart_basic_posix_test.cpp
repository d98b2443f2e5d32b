// The POSIX UART against real pseudo-terminals: opening, line format, reads and writes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "IUartBasic.h"
#include "pty_pair.h"

namespace {

struct UartRelease {
    void operator()(IUartBasic* uart) const { uart->Release(); }
};
using UartPtr = std::unique_ptr<IUartBasic, UartRelease>;

UartPtr MakeUart() {
    int error = 1;
    UartPtr uart(CreateUartBasic(&error));
    EXPECT_EQ(error, 0);
    return uart;
}

// The fields a format change touches, for before/after comparisons.
struct LineFormat {
    tcflag_t cflag;
    speed_t ispeed;
    speed_t ospeed;
    bool operator==(const LineFormat&) const = default;
};

LineFormat FormatOf(const termios& tio) {
    constexpr tcflag_t kBits = CSIZE | PARENB | PARODD | CSTOPB;
    return {tio.c_cflag & kBits, cfgetispeed(&tio), cfgetospeed(&tio)};
}

// A terminal-like state nothing in the library would set, to see what open and close do.
// (A pty holds neither parity nor other sizes than 8 bits, so those stay out.)
termios CookedState(termios tio) {
    tio.c_iflag |= ICRNL | IXON;
    tio.c_oflag |= OPOST;
    tio.c_lflag |= ICANON | ECHO | ISIG;
    tio.c_cflag |= CSTOPB | HUPCL;
    cfsetispeed(&tio, B1200);
    cfsetospeed(&tio, B1200);
    return tio;
}

class UartTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_pty.Ok());
        ASSERT_TRUE(m_uart);
    }

    int OpenPty(int baud = 9600, int size = 8, int parity = 0, int stop = 1) {
        return m_uart->OpenDevice(m_pty.SlaveName().c_str(), baud, size, parity, stop);
    }

    PtyPair m_pty;
    UartPtr m_uart = MakeUart();
};

// ---- Opening and closing ----

using UartOpenTest = UartTest;

TEST_F(UartOpenTest, PortAbove255IsMissingEvenWhenItsNameWouldResolve) {
    ::setenv("COM256", m_pty.SlaveName().c_str(), 1);
    EXPECT_EQ(m_uart->OpenPort(256, 9600, 8, 0, 1), -11);
    ::unsetenv("COM256");
}

TEST_F(UartOpenTest, Port255IsStillResolvedThroughTheEnvironment) {
    ::setenv("COM255", m_pty.SlaveName().c_str(), 1);
    EXPECT_EQ(m_uart->OpenPort(255, 9600, 8, 0, 1), 0);
    ::unsetenv("COM255");
}

TEST_F(UartOpenTest, MissingDeviceIsReportedAsMissing) {
    EXPECT_EQ(m_uart->OpenDevice("/nonexistent/ttyQ0", 9600, 8, 0, 1), -11);
    ::setenv("COM77", "/nonexistent/ttyQ1", 1);
    EXPECT_EQ(m_uart->OpenPort(77, 9600, 8, 0, 1), -11);
    ::unsetenv("COM77");
}

TEST_F(UartOpenTest, DeviceHeldByAnotherUartIsInUse) {
    ASSERT_EQ(OpenPty(), 0);
    UartPtr other = MakeUart();
    EXPECT_EQ(other->OpenDevice(m_pty.SlaveName().c_str(), 9600, 8, 0, 1), -12);
}

TEST_F(UartOpenTest, DeviceLockedByAnotherProgramIsInUse) {
    ASSERT_EQ(::flock(m_pty.SlaveFd(), LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(OpenPty(), -12);
    ::flock(m_pty.SlaveFd(), LOCK_UN);
    EXPECT_EQ(OpenPty(), 0);
}

TEST_F(UartOpenTest, FileThatIsNoTerminalIsRefused) {
    const auto path =
        std::filesystem::temp_directory_path() / ("uartpipe-notatty-" + std::to_string(::getpid()));
    {
        std::FILE* f = std::fopen(path.c_str(), "w");
        ASSERT_TRUE(f);
        std::fclose(f);
    }
    EXPECT_EQ(m_uart->OpenDevice(path.c_str(), 9600, 8, 0, 1), -10);
    std::filesystem::remove(path);
}

TEST_F(UartOpenTest, NullOrEmptyNameIsABadArgument) {
    EXPECT_EQ(m_uart->OpenDevice(nullptr, 9600, 8, 0, 1), -4);
    EXPECT_EQ(m_uart->OpenDevice("", 9600, 8, 0, 1), -4);
}

TEST_F(UartOpenTest, OpeningAnOpenUartIsRefused) {
    ASSERT_EQ(OpenPty(), 0);
    EXPECT_EQ(OpenPty(), -13);
    ::setenv("COM3", m_pty.SlaveName().c_str(), 1);
    EXPECT_EQ(m_uart->OpenPort(3, 9600, 8, 0, 1), -13);
    ::unsetenv("COM3");
}

TEST_F(UartOpenTest, OpenSetsRawLineWithoutFlowControlAndTheCallersFormat) {
    m_pty.SetSlaveSettings(CookedState(m_pty.SlaveSettings()));
    ASSERT_EQ(OpenPty(19200, 8, 0, 2), 0);
    const termios tio = m_pty.SlaveSettings();
    EXPECT_EQ(cfgetospeed(&tio), B19200);
    EXPECT_EQ(tio.c_cflag & CSIZE, CS8);
    EXPECT_FALSE(tio.c_cflag & PARENB);
    EXPECT_TRUE(tio.c_cflag & CSTOPB);
    EXPECT_TRUE(tio.c_cflag & CLOCAL);
    EXPECT_TRUE(tio.c_cflag & CREAD);
    EXPECT_FALSE(tio.c_cflag & HUPCL);
    EXPECT_FALSE(tio.c_cflag & CRTSCTS);
    EXPECT_FALSE(tio.c_iflag & (IXON | IXOFF | ICRNL));
    EXPECT_FALSE(tio.c_oflag & OPOST);
    EXPECT_FALSE(tio.c_lflag & (ICANON | ECHO | ISIG));
}

TEST_F(UartOpenTest, CloseGivesTheDeviceItsFormerSettingsBack) {
    m_pty.SetSlaveSettings(CookedState(m_pty.SlaveSettings()));
    const termios before = m_pty.SlaveSettings();
    ASSERT_EQ(OpenPty(115200, 8, 0, 1), 0);
    m_uart->Close();
    const termios after = m_pty.SlaveSettings();
    EXPECT_EQ(FormatOf(after), FormatOf(before));
    EXPECT_EQ(after.c_iflag, before.c_iflag);
    EXPECT_EQ(after.c_oflag, before.c_oflag);
    EXPECT_EQ(after.c_lflag, before.c_lflag);
    EXPECT_EQ(after.c_cflag, before.c_cflag);
}

TEST_F(UartOpenTest, ClosedUartReopensAndReleasesTheDeviceToOthers) {
    ASSERT_EQ(OpenPty(), 0);
    m_uart->Close();
    m_uart->Close();  // closing twice is harmless
    ASSERT_EQ(OpenPty(), 0);
    m_uart->Close();
    UartPtr other = MakeUart();
    EXPECT_EQ(other->OpenDevice(m_pty.SlaveName().c_str(), 9600, 8, 0, 1), 0);
}

TEST_F(UartOpenTest, RefusedFormatClosesThePortAgainWithSettingsRestored) {
    m_pty.SetSlaveSettings(CookedState(m_pty.SlaveSettings()));
    const termios before = m_pty.SlaveSettings();
    EXPECT_EQ(OpenPty(9600, 8, 3, 1), -4);
    EXPECT_EQ(OpenPty(9600, 8, 0, 0), -4);
    EXPECT_EQ(OpenPty(9600, 8, 0, 15), -22);
    EXPECT_EQ(OpenPty(12345, 8, 0, 1), -22);
    EXPECT_EQ(OpenPty(9600, 7, 2, 1), -22);  // the pty cannot hold it
    EXPECT_EQ(m_uart->Write("x", 1), -5);
    EXPECT_EQ(FormatOf(m_pty.SlaveSettings()), FormatOf(before));
    EXPECT_EQ(m_pty.SlaveSettings().c_lflag, before.c_lflag);
    UartPtr other = MakeUart();
    EXPECT_EQ(other->OpenDevice(m_pty.SlaveName().c_str(), 9600, 8, 0, 1), 0);
}

// ---- Line format ----

using UartFormatTest = UartTest;

TEST_F(UartFormatTest, ClosedPortIsNotOpen) {
    EXPECT_EQ(m_uart->SetFormat(9600, 8, 0, 1), -5);
}

TEST_F(UartFormatTest, ValidFormatIsApplied) {
    ASSERT_EQ(OpenPty(), 0);
    ASSERT_EQ(m_uart->SetFormat(57600, 8, 0, 2), 0);
    termios tio = m_pty.SlaveSettings();
    EXPECT_EQ(cfgetispeed(&tio), B57600);
    EXPECT_EQ(cfgetospeed(&tio), B57600);
    EXPECT_TRUE(tio.c_cflag & CSTOPB);
    ASSERT_EQ(m_uart->SetFormat(4800, 8, 0, 1), 0);
    tio = m_pty.SlaveSettings();
    EXPECT_EQ(cfgetospeed(&tio), B4800);
    EXPECT_FALSE(tio.c_cflag & CSTOPB);
}

// A pty takes any termios call but keeps 8 bits and no parity; only reading the settings back
// shows the request was not honoured.
TEST_F(UartFormatTest, FormatTheDeviceSilentlyIgnoresIsRefused) {
    ASSERT_EQ(OpenPty(19200, 8, 0, 1), 0);
    const LineFormat before = FormatOf(m_pty.SlaveSettings());
    EXPECT_EQ(m_uart->SetFormat(9600, 7, 0, 1), -22);
    EXPECT_EQ(m_uart->SetFormat(9600, 8, 2, 1), -22);
    EXPECT_EQ(FormatOf(m_pty.SlaveSettings()), before);
}

TEST_F(UartFormatTest, UnlistedParityOrStopCodeIsABadArgumentAndChangesNothing) {
    ASSERT_EQ(OpenPty(19200, 8, 0, 1), 0);
    const LineFormat before = FormatOf(m_pty.SlaveSettings());
    EXPECT_EQ(m_uart->SetFormat(9600, 7, 3, 1), -4);
    EXPECT_EQ(m_uart->SetFormat(9600, 7, -1, 1), -4);
    EXPECT_EQ(m_uart->SetFormat(9600, 7, 0, 0), -4);
    EXPECT_EQ(m_uart->SetFormat(9600, 7, 0, 3), -4);
    EXPECT_EQ(FormatOf(m_pty.SlaveSettings()), before);
}

TEST_F(UartFormatTest, FormatsThePortCannotDoAreRefusedAndChangeNothing) {
    ASSERT_EQ(OpenPty(19200, 8, 0, 1), 0);
    const LineFormat before = FormatOf(m_pty.SlaveSettings());
    EXPECT_EQ(m_uart->SetFormat(9600, 5, 0, 15), -22);  // termios has no 1.5 stop bits
    EXPECT_EQ(m_uart->SetFormat(12345, 8, 0, 1), -22);
    EXPECT_EQ(m_uart->SetFormat(9600, 9, 0, 1), -22);
    EXPECT_EQ(m_uart->SetFormat(9600, 264, 0, 1), -22);  // not silently cut to 8
    EXPECT_EQ(FormatOf(m_pty.SlaveSettings()), before);
}

// ---- Reading ----

class UartReadTest : public UartTest {
  protected:
    void SetUp() override {
        UartTest::SetUp();
        ASSERT_EQ(OpenPty(), 0);
    }
    char m_buf[64] = {};
};

TEST_F(UartReadTest, ClosedPortIsNotOpen) {
    m_uart->Close();
    EXPECT_EQ(m_uart->Read(m_buf, 10, 0), -5);
}

TEST_F(UartReadTest, BadArgumentsAreRefusedAndEmptyReadIsZero) {
    EXPECT_EQ(m_uart->Read(nullptr, 10, 0), -4);
    EXPECT_EQ(m_uart->Read(m_buf, 10, -2), -4);
    EXPECT_EQ(m_uart->Read(m_buf, 0, 0), 0);
    EXPECT_EQ(m_uart->Read(m_buf, 0, -1), 0);
}

TEST_F(UartReadTest, SingleReadWithoutWaitReturnsWhatIsBuffered) {
    EXPECT_EQ(m_uart->Read(m_buf, -10, 0), 0);
    ASSERT_TRUE(m_pty.Send("abcd"));
    ASSERT_TRUE(m_pty.WaitSlaveQueue(4));
    ASSERT_EQ(m_uart->Read(m_buf, -10, 0), 4);
    EXPECT_EQ(std::string(m_buf, 4), "abcd");
}

TEST_F(UartReadTest, SingleReadTakesAtMostTheAskedCount) {
    ASSERT_TRUE(m_pty.Send("0123456789ABCDE"));
    ASSERT_TRUE(m_pty.WaitSlaveQueue(15));
    ASSERT_EQ(m_uart->Read(m_buf, -10, 0), 10);
    EXPECT_EQ(std::string(m_buf, 10), "0123456789");
    ASSERT_EQ(m_uart->Read(m_buf, -10, 0), 5);
    EXPECT_EQ(std::string(m_buf, 5), "ABCDE");
}

TEST_F(UartReadTest, FillReadEndsOnceTheFullCountArrived) {
    ASSERT_TRUE(m_pty.Send("0123456789xyz"));
    ASSERT_EQ(m_uart->Read(m_buf, 10, 100), 10);
    EXPECT_EQ(std::string(m_buf, 10), "0123456789");
    EXPECT_TRUE(m_pty.WaitSlaveQueue(3));
}

TEST_F(UartReadTest, FillReadEndsWhenTheLineStaysQuietForTheTimeOut) {
    ASSERT_TRUE(m_pty.Send("abcd"));
    ASSERT_TRUE(m_pty.WaitSlaveQueue(4));
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(m_uart->Read(m_buf, 10, 100), 4);
    // A lower bound only: the read must have waited for more before giving up.
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(90));
    EXPECT_EQ(std::string(m_buf, 4), "abcd");
}

TEST_F(UartReadTest, ReadWithoutTimeOutWaitsForTheFullCountAcrossPieces) {
    std::thread far([&] {
        for (char c : std::string("0123456789")) m_pty.Send(std::string(1, c));
    });
    const int got = m_uart->Read(m_buf, 10, -1);
    far.join();
    ASSERT_EQ(got, 10);
    EXPECT_EQ(std::string(m_buf, 10), "0123456789");

    std::thread far2([&] {
        m_pty.Send("abc");
        m_pty.Send("def");
    });
    const int single = m_uart->Read(m_buf, -6, -1);
    far2.join();
    ASSERT_EQ(single, 6);
    EXPECT_EQ(std::string(m_buf, 6), "abcdef");
}

TEST_F(UartReadTest, BytesGatheredBeforeAHangUpAreReturnedNotDropped) {
    ASSERT_TRUE(m_pty.Send("abc"));
    ASSERT_TRUE(m_pty.WaitSlaveQueue(3));
    // The far end hangs up once the read has taken the three bytes and waits for more.
    std::thread far([&] {
        m_pty.WaitSlaveQueue(0);
        m_pty.CloseMaster();
    });
    const int got = m_uart->Read(m_buf, 10, 10000);
    far.join();
    ASSERT_EQ(got, 3);
    EXPECT_EQ(std::string(m_buf, 3), "abc");
}

TEST_F(UartReadTest, HungUpLineIsAFailureNotAnEmptyRead) {
    m_pty.CloseMaster();
    EXPECT_EQ(m_uart->Read(m_buf, 10, 100), -1);
    EXPECT_EQ(m_uart->Read(m_buf, -10, 0), -1);
    EXPECT_EQ(m_uart->Read(m_buf, 10, -1), -1);  // must not wait forever
}

TEST_F(UartReadTest, MostNegativeLengthIsASingleReadNotAnOverflow) {
    ASSERT_TRUE(m_pty.Send("ab"));
    ASSERT_TRUE(m_pty.WaitSlaveQueue(2));
    EXPECT_EQ(m_uart->Read(m_buf, INT_MIN, 0), 2);
}

TEST_F(UartReadTest, HasInputTellsWhetherBytesWait) {
    EXPECT_FALSE(m_uart->HasInput());
    ASSERT_TRUE(m_pty.Send("z"));
    ASSERT_TRUE(m_pty.WaitSlaveQueue(1));
    EXPECT_TRUE(m_uart->HasInput());
    ASSERT_EQ(m_uart->Read(m_buf, 1, 0), 1);
    EXPECT_FALSE(m_uart->HasInput());
    m_uart->Close();
    EXPECT_FALSE(m_uart->HasInput());
}

// ---- Writing ----

class UartWriteTest : public UartTest {
  protected:
    void SetUp() override {
        UartTest::SetUp();
        ASSERT_EQ(OpenPty(), 0);
    }
};

TEST_F(UartWriteTest, ClosedPortIsNotOpen) {
    m_uart->Close();
    EXPECT_EQ(m_uart->Write("x", 1), -5);
}

TEST_F(UartWriteTest, EmptyWriteSucceedsAndBadArgumentsAreRefused) {
    EXPECT_EQ(m_uart->Write("x", 0), 0);
    EXPECT_EQ(m_uart->Write(nullptr, 0), -4);
    EXPECT_EQ(m_uart->Write(nullptr, 4), -4);
    EXPECT_EQ(m_uart->Write("x", -1), -4);
    EXPECT_EQ(m_pty.Receive(1, 20), "");
}

TEST_F(UartWriteTest, EveryByteArrivesEvenBeyondTheKernelBuffers) {
    std::string data(256 * 1024, '\0');
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7 + i / 251);
    std::string received;
    std::thread far([&] { received = m_pty.Receive(data.size()); });
    EXPECT_EQ(m_uart->Write(data.data(), static_cast<int>(data.size())), 0);
    far.join();
    EXPECT_EQ(received, data);
}

TEST_F(UartWriteTest, BytesPassUnchanged) {
    const std::string binary("\x11\x13\r\n\x00\x03\x7f\xff", 8);
    ASSERT_EQ(m_uart->Write(binary.data(), 8), 0);
    EXPECT_EQ(m_pty.Receive(8), binary);
    ASSERT_TRUE(m_pty.Send(binary));
    char buf[8];
    ASSERT_EQ(m_uart->Read(buf, 8, 1000), 8);
    EXPECT_EQ(std::string(buf, 8), binary);
}

TEST_F(UartWriteTest, WriteToAHungUpLineFails) {
    m_pty.CloseMaster();
    EXPECT_EQ(m_uart->Write("abc", 3), -1);
}

}  // namespace
