// Each reason a port does not open, produced for real: a missing path, a file that is no
// tty, a pseudo-terminal another holder has, a device file the user may not open.
#include "open_failure.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "refused_access.h"
#include "tty_posix.h"

namespace {

namespace fs = std::filesystem;

TEST(OpenFailure, EachReasonIsToldApart) {
    char pattern[] = "/tmp/openfail-XXXXXX";
    const fs::path dir = ::mkdtemp(pattern);
    EXPECT_EQ(qs::ProbeOpen((dir / "ttyUSB9").string()), qs::OpenFailure::kMissing);
    std::ofstream(dir / "file") << "x";
    EXPECT_EQ(qs::ProbeOpen((dir / "file").string()), qs::OpenFailure::kNotSerial);

    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    const std::string slave = ::ptsname(master);
    EXPECT_EQ(qs::ProbeOpen(slave), qs::OpenFailure::kNone);
    const int held = qs::OpenTtyExclusive(slave.c_str());
    ASSERT_GE(held, 0);
    EXPECT_EQ(qs::ProbeOpen(slave), qs::OpenFailure::kInUse);
    qs::CloseTty(held);
    EXPECT_EQ(qs::ProbeOpen(slave), qs::OpenFailure::kNone);

    const std::string locked = (dir / "locked").string();
    ASSERT_TRUE(qs::test::MakeUnopenable(locked));
    EXPECT_TRUE(qs::test::AsUnprivilegedUser(
        [&] { return qs::ProbeOpen(locked) == qs::OpenFailure::kPermissionDenied; }));

    ::close(master);
    fs::remove_all(dir);
}

}  // namespace
