// Low-latency mode on real ttys: a pty has no such setting and is left alone; a UART that
// has it (the machine's first serial port, when it is there and free) gets it and gets its
// old flags back.
#include "low_latency.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/serial.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "tty_posix.h"

namespace {

TEST(LowLatency, PtyRefusesAndNothingChanges) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    const int fd = qs::OpenTtyExclusive(::ptsname(master));
    ASSERT_GE(fd, 0);
    qs::LowLatency state;
    qs::SetLowLatency(fd, &state);
    EXPECT_FALSE(state.changed);
    qs::RestoreLowLatency(fd, &state);
    qs::CloseTty(fd);
    ::close(master);
}

TEST(LowLatency, UartGetsItAndGivesItBack) {
    const int fd = qs::OpenTtyExclusive("/dev/ttyS0");
    serial_struct before{};
    if (fd < 0 || ::ioctl(fd, TIOCGSERIAL, &before) != 0 || (before.flags & ASYNC_LOW_LATENCY)) {
        if (fd >= 0) qs::CloseTty(fd);
        GTEST_SKIP() << "no free UART without low-latency mode at /dev/ttyS0";
    }
    qs::LowLatency state;
    qs::SetLowLatency(fd, &state);
    serial_struct during{};
    ASSERT_EQ(::ioctl(fd, TIOCGSERIAL, &during), 0);
    if (state.changed) {
        EXPECT_TRUE(during.flags & ASYNC_LOW_LATENCY);
    }
    qs::RestoreLowLatency(fd, &state);
    serial_struct after{};
    ASSERT_EQ(::ioctl(fd, TIOCGSERIAL, &after), 0);
    EXPECT_EQ(after.flags, before.flags);
    qs::CloseTty(fd);
}

}  // namespace
