// Names on the wire in a double-byte code page (run with ZOTLINK_CODEPAGE=GBK).
#include "codepage.h"

#include <gtest/gtest.h>

#include "remote_calls.h"
#include "sim_session.h"

namespace zot::test {
namespace {

TEST(WireCodePage, ComesFromTheEnvironment) {
    EXPECT_EQ(WireCodePage(), "GBK");
}

TEST(WireCodePage, ChineseCharactersTakeTwoBytesEach) {
    std::string wire;
    ASSERT_TRUE(ToWire(u"中文.txt", &wire, 255));
    EXPECT_EQ(wire, "\xD6\xD0\xCE\xC4.txt");
    WString back;
    ASSERT_TRUE(FromWire(wire, &back, 255));
    EXPECT_EQ(back, u"中文.txt");
}

TEST(WireCodePage, TheByteLimitCountsWireBytesNotCharacters) {
    std::string wire;
    EXPECT_TRUE(ToWire(WString(127, u'中'), &wire, 255));
    EXPECT_EQ(wire.size(), 254u);
    EXPECT_FALSE(ToWire(WString(128, u'中'), &wire, 255));
}

TEST(WireCodePage, UnconvertibleCharactersBecomeTheDefaultCharacter) {
    std::string wire;
    ASSERT_TRUE(ToWire(u"a\u0E01b", &wire, 255));  // Thai letter: not in GBK
    EXPECT_EQ(wire, "a?b");
}

class GbkNames : public SimSession {};

TEST_F(GbkNames, ReachTheTerminalAsGbkBytes) {
    Start();
    std::string wire;
    ASSERT_TRUE(ToWire(u"ZOT:\\数据", &wire, 255));
    EXPECT_NE(calls::CreateDirectory(app, wire), 0);
    EXPECT_TRUE(fs::is_directory(TerminalPath("\xCA\xFD\xBE\xDD")));
}

}  // namespace
}  // namespace zot::test
