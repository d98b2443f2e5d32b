// Two connection handles on two COM ports under Wine (ZOT_WINE_PORT, ZOT_WINE_PORT2), each
// served by a simulator with a store of its own; the USB start takes DRIFTBOX_USB.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "DriftboxClient.h"
#include "open_failure.h"

namespace {

int Port(const char* var) {
    const char* v = std::getenv(var);
    return v ? std::atoi(v) : 0;
}

std::string FirstName(int32_t handle) {
    DRIFTBOX_FIND_DATA d{};
    if (RequestFindFileOpenExt(handle, "*.*", &d) != 100) return {};
    RequestFindFileCloseExt(handle);
    return d.szName;
}

TEST(DriftboxClientUnderWine, TwoHandlesReachTwoTerminals) {
    if (!Port("ZOT_WINE_PORT") || !Port("ZOT_WINE_PORT2")) GTEST_SKIP() << "run by windows.sh";
    int32_t error = 0;
    const int32_t a = DriftboxClient_COM_Start(&error, Port("ZOT_WINE_PORT"), 115200);
    ASSERT_NE(a, 0) << error;
    const int32_t b = DriftboxClient_COM_Start(&error, Port("ZOT_WINE_PORT2"), 115200);
    ASSERT_NE(b, 0) << error;
    EXPECT_EQ(FirstName(b), "second.txt");
    EXPECT_NE(FirstName(a), "second.txt");
    DriftboxClient_ShutDown(a, 0);
    DriftboxClient_ShutDown(b, 0);
}

TEST(DriftboxClientUnderWine, AStartOnAMissingPortLeavesWhyForGetLastError) {
    int32_t error = 0;
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(DriftboxClient_COM_Start(&error, 98, 115200), 0);
    EXPECT_EQ(error, 2);
    EXPECT_EQ(qs::OpenFailureFromSystemError(static_cast<int>(GetLastError())),
              qs::OpenFailure::kMissing)
        << GetLastError();
}

TEST(DriftboxClientUnderWine, TheUsbStartTakesThePortNamedByDriftboxUsb) {
    const int port = Port("ZOT_WINE_PORT2");
    if (!port) GTEST_SKIP() << "run by windows.sh";
    SetEnvironmentVariableA("DRIFTBOX_USB", ("COM" + std::to_string(port)).c_str());
    _putenv_s("DRIFTBOX_USB", ("COM" + std::to_string(port)).c_str());
    int32_t error = 0;
    const int32_t h = DriftboxClient_USB_Start(&error);
    ASSERT_NE(h, 0) << error;
    EXPECT_EQ(FirstName(h), "second.txt");
    DriftboxClient_ShutDown(h, 0);
}

}  // namespace
