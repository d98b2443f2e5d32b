// Low-latency mode, asked for by the exclusive open every library uses: a pty has no such
// setting and is left alone; a UART that has it (the machine's first serial port, when it is
// there and free) gets it while open and its old flags back at close.
#include "low_latency.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/serial.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "tty_posix.h"

namespace {

TEST(LowLatency, PtyRefusesAndStillOpensAndCloses) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    qs::LowLatency state;
    const int fd = qs::OpenTtyExclusive(::ptsname(master), &state);
    ASSERT_GE(fd, 0);
    EXPECT_FALSE(state.changed);
    qs::CloseTty(fd, &state);
    const int again = qs::OpenTtyExclusive(::ptsname(master), &state);
    EXPECT_GE(again, 0);
    qs::CloseTty(again, &state);
    ::close(master);
}

TEST(LowLatency, UartGetsItWhileOpenAndGivesItBackAtClose) {
    const int probe = qs::OpenTtyExclusive("/dev/ttyS0", nullptr);
    serial_struct before{};
    const bool usable = probe >= 0 && ::ioctl(probe, TIOCGSERIAL, &before) == 0 &&
                        !(before.flags & ASYNC_LOW_LATENCY);
    qs::CloseTty(probe, nullptr);
    if (!usable) GTEST_SKIP() << "no free UART without low-latency mode at /dev/ttyS0";

    qs::LowLatency state;
    const int fd = qs::OpenTtyExclusive("/dev/ttyS0", &state);
    ASSERT_GE(fd, 0);
    serial_struct during{};
    ASSERT_EQ(::ioctl(fd, TIOCGSERIAL, &during), 0);
    if (state.changed) {
        EXPECT_TRUE(during.flags & ASYNC_LOW_LATENCY);
    }
    qs::CloseTty(fd, &state);
    const int after = qs::OpenTtyExclusive("/dev/ttyS0", nullptr);
    ASSERT_GE(after, 0);
    serial_struct flags{};
    ASSERT_EQ(::ioctl(after, TIOCGSERIAL, &flags), 0);
    EXPECT_EQ(flags.flags, before.flags);
    qs::CloseTty(after, nullptr);
}

}  // namespace
