#include <gtest/gtest.h>

#include "terminal_path.h"
#include "terminal_time.h"

using namespace zottools;

TEST(TerminalPath, EverySpellingOfANameGivesOnePath) {
    for (const char* spelling :
         {"dir\\a.txt", "/dir/a.txt", "\\dir\\a.txt", "ZOT:\\dir\\a.txt", "ZOT:dir/a.txt"})
        EXPECT_EQ(DevicePath(spelling), "ZOT:\\dir\\a.txt") << spelling;
    EXPECT_EQ(DevicePath(""), "ZOT:\\");
    EXPECT_EQ(DevicePath("ZOT:"), "ZOT:\\");
}

TEST(TerminalPath, WildcardsMatchWithoutRegardToCase) {
    EXPECT_TRUE(WildcardMatch("*.CSV", "scan.csv"));
    EXPECT_TRUE(WildcardMatch("s?an*", "SCAN.csv"));
    EXPECT_TRUE(WildcardMatch("*.*", "README"));
    EXPECT_FALSE(WildcardMatch("*.csv", "scan.csv.bak"));
    EXPECT_FALSE(WildcardMatch("?", ""));
}

TEST(TerminalPath, SplitJoinParentAndRelativeAgree) {
    EXPECT_EQ(SplitDevicePath("ZOT:\\dir\\\\sub\\f"),
              (std::vector<std::string>{"dir", "sub", "f"}));
    EXPECT_TRUE(SplitDevicePath("ZOT:\\").empty());
    EXPECT_EQ(DeviceJoin("ZOT:\\dir", "f"), "ZOT:\\dir\\f");
    EXPECT_EQ(DeviceJoin("ZOT:\\", "f"), "ZOT:\\f");
    EXPECT_EQ(DeviceParent("ZOT:\\dir\\sub\\f"), "ZOT:\\dir\\sub");
    EXPECT_EQ(DeviceParent("ZOT:\\f"), "ZOT:\\");
    EXPECT_EQ(BaseName("ZOT:\\dir\\f"), "f");
    EXPECT_EQ(DeviceRelative("ZOT:\\dir", "ZOT:\\dir\\sub\\f"), "sub/f");
    EXPECT_EQ(DeviceRelative("ZOT:\\", "ZOT:\\f"), "f");
    EXPECT_EQ(DeviceRelative("ZOT:\\dir", "ZOT:\\dirx\\f"), "");
}

TEST(TerminalTime, ConvertsBothWaysAndKeepsZeroForUnknown) {
    EXPECT_EQ(TerminalTimeIso8601(0), "");
    EXPECT_EQ(TerminalTimeText(0), "Unknown");
    EXPECT_EQ(TerminalTimeIso8601(951782400), "2000-02-29T00:00:00Z");  // leap day
    EXPECT_EQ(TerminalTimeText(4294967295u), "2106-02-07 06:28:15");    // last 32-bit second
    EXPECT_EQ(TerminalTimeToTimespec(1700000000).tv_sec, 1700000000);
    timespec t{};
    t.tv_sec = 1700000000;
    t.tv_nsec = 999999999;
    EXPECT_EQ(TimespecToTerminalTime(t), 1700000000u);
    t.tv_sec = 0;
    EXPECT_EQ(TimespecToTerminalTime(t), 1u);
}
