// One thread writes while another reads on the same pipe; run under ThreadSanitizer too.
#include <IDriftUartPipe.h>
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "pty_pair.h"

namespace {

TEST(PipeThreadsTest, ReaderAndWriterRunTogetherOnOnePipe) {
    PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    DriftUartPipe* pipe = InitUartPipe();
    ASSERT_NE(pipe, nullptr);
    ASSERT_EQ(SetUartCharParam(pipe, pty.SlaveName().c_str(), 115200, 8, 0, 1), 0);
    ASSERT_EQ(OpenUartPipe(pipe), 0);

    constexpr int kChunks = 200;
    constexpr int kChunkSize = 97;
    std::string sent;
    for (int i = 0; i < kChunks * kChunkSize; ++i) sent += static_cast<char>(i % 251);

    // The far end echoes everything, so the reader gets back what the writer sent.
    std::thread echo([&] {
        size_t done = 0;
        int quietRounds = 0;  // gives up if the writer stalls, so a failure cannot hang
        while (done < sent.size() && quietRounds < 50) {
            const std::string part = pty.Receive(sent.size() - done, 100);
            if (part.empty()) {
                ++quietRounds;
                continue;
            }
            quietRounds = 0;
            if (!pty.Send(part)) break;
            done += part.size();
        }
    });
    int writeFailures = 0;
    std::thread writer([&] {
        for (int i = 0; i < kChunks; ++i)
            if (WriteUartPipe(pipe, sent.data() + i * kChunkSize, kChunkSize, 0) != 0)
                ++writeFailures;
    });
    std::string received;
    int readFailures = 0;
    std::thread reader([&] {
        char buf[512];
        while (received.size() < sent.size() && readFailures == 0) {
            const int got = ReadUartPipe(pipe, buf, -static_cast<int>(sizeof buf), 5000);
            if (got > 0)
                received.append(buf, static_cast<size_t>(got));
            else
                ++readFailures;
        }
    });
    writer.join();
    reader.join();
    echo.join();

    EXPECT_EQ(writeFailures, 0);
    EXPECT_EQ(readFailures, 0);
    EXPECT_EQ(received, sent);
    EXPECT_EQ(CloseUartPipe(pipe), 0);
    EXPECT_EQ(UnInitUartPipe(pipe), 0);
}

}  // namespace
