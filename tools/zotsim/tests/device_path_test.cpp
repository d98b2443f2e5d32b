#include "device_path.h"

#include <gtest/gtest.h>

namespace zotsim {
namespace {

using Parts = std::vector<std::string>;

TEST(DevicePath, SplitsPrefixedAndBareNamesWithEitherSeparator) {
    EXPECT_EQ(SplitDevicePath("ZOT:\\dir\\file.txt"), Parts({"dir", "file.txt"}));
    EXPECT_EQ(SplitDevicePath("zot:/dir/file.txt"), Parts({"dir", "file.txt"}));
    EXPECT_EQ(SplitDevicePath("\\dir\\\\sub\\.\\x"), Parts({"dir", "sub", "x"}));
    EXPECT_EQ(SplitDevicePath("dir/x"), Parts({"dir", "x"}));
}

TEST(DevicePath, RootNamesHaveNoComponents) {
    EXPECT_EQ(SplitDevicePath("ZOT:\\"), Parts{});
    EXPECT_EQ(SplitDevicePath("ZOT:"), Parts{});
    EXPECT_EQ(SplitDevicePath(""), Parts{});
}

TEST(DevicePath, RefusesNamesThatCouldLeaveTheStore) {
    EXPECT_FALSE(SplitDevicePath("ZOT:\\..\\x"));
    EXPECT_FALSE(SplitDevicePath("ZOT:\\a\\..\\..\\x"));
    EXPECT_FALSE(SplitDevicePath("../x"));
    EXPECT_FALSE(SplitDevicePath("C:\\Windows"));
    EXPECT_FALSE(SplitDevicePath("ZOT:\\C:\\x"));
    EXPECT_FALSE(SplitDevicePath("ZOT:ZOT:\\x"));
    EXPECT_FALSE(SplitDevicePath("\\\\server\\share"));
    EXPECT_FALSE(SplitDevicePath(std::string_view("a\0b", 3)));
}

struct MatchCase {
    const char* pattern;
    const char* name;
    bool matches;
};

TEST(Wildcard, MatchesLikeTheTerminal) {
    const MatchCase cases[] = {
        {"*.*", "file.txt", true},
        {"*.*", "noext", true},
        {"*", "a.b.c", true},
        {"*.txt", "A.TXT", true},
        {"*.txt", "a.txt.bak", false},
        {"?.c", "x.c", true},
        {"?.c", "xy.c", false},
        {"file.*", "file", true},
        {"file.*", "FILE.doc", true},
        {"a*b*c", "aXXbYYc", true},
        {"a*b*c", "aXXbYY", false},
        {"readme", "README", true},
        {"*.", "x", false},
        {"", "x", false},
        {"**?", "x", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MatchWildcard(c.pattern, c.name), c.matches) << c.pattern << " vs " << c.name;
}

TEST(Wildcard, HostilePatternEndsQuickly) {
    const std::string pattern(100, '*');
    const std::string name(255, 'a');
    EXPECT_FALSE(MatchWildcard(pattern + "b", name));
}

}  // namespace
}  // namespace zotsim
