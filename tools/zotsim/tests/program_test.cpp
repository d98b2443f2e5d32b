#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "protocol.h"
#include "sim_fixture.h"

namespace zotsim::test {
namespace {

// The zotsim program as scripts use it: start, read the slave's name, talk, stop.
class Program : public SimulatorTest {
  protected:
    // Starts the program with extra arguments; returns the line it prints first.
    std::string Launch(const std::vector<std::string>& extra) {
        int out[2];
        if (::pipe(out) != 0) return {};
        std::vector<std::string> args = {ZOTSIM_PROGRAM, "--root", m_root};
        args.insert(args.end(), extra.begin(), extra.end());
        m_pid = ::fork();
        if (m_pid == 0) {
            ::dup2(out[1], 1);
            ::close(out[0]);
            std::vector<char*> argv;
            for (auto& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(out[1]);
        std::string line;
        char c = 0;
        while (::read(out[0], &c, 1) == 1 && c != '\n') line += c;
        ::close(out[0]);
        return line;
    }
    int Terminate() {
        ::kill(m_pid, SIGTERM);
        int status = 0;
        ::waitpid(m_pid, &status, 0);
        m_pid = -1;
        return status;
    }
    void TearDown() override {
        if (m_pid > 0) Terminate();
        SimulatorTest::TearDown();
    }
    pid_t m_pid = -1;
};

TEST_F(Program, PrintsThePtyServesAndRemovesTheLinkOnSigterm) {
    const std::string link = m_outside + "/ttyZOT";
    const std::string line = Launch({"--link", link, "--server-name", "Prog", "--drop", "2"});
    ASSERT_EQ(line.rfind("PTY /dev/", 0), 0u) << line;
    ASSERT_TRUE(m_client.Open(link));
    ASSERT_TRUE(m_client.SendMessage(zot::kGetSystemInfo, 1, {}, false));
    const auto reply = m_client.Receive(2000);
    ASSERT_TRUE(reply);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(reply->data.data())), "Prog");
    ASSERT_TRUE(m_client.SendMessage(zot::kGetVersion, 2, {}, false));
    EXPECT_FALSE(m_client.Receive(300));  // --drop 2
    m_client.Close();
    const int status = Terminate();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
}

TEST_F(Program, RefusesUnknownOptions) {
    EXPECT_EQ(Launch({"--no-such-option"}), "");
    int status = 0;
    ::waitpid(m_pid, &status, 0);
    m_pid = -1;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2);
}

}  // namespace
}  // namespace zotsim::test
