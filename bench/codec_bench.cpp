// The wire codec on its own: framing, parsing, compressing and inflating 1 KiB messages, the
// size of every read and write block of a copy.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common.h"
#include "deflate_codec.h"
#include "frame_codec.h"
#include "protocol.h"

namespace {

// A WriteFile request carrying 1024 bytes of data: the largest message a copy sends.
std::vector<uint8_t> WriteMessage(bool csv) {
    const std::string data = csv ? bench::BarcodeCsv(1024, 3) : bench::RandomBytes(1024, 3);
    std::vector<uint8_t> m(zot::kHeaderSize + 8 + data.size());
    zot::PutHeader(m.data(), zot::kTypeRequest, zot::kWriteFile, 1,
                   static_cast<uint16_t>(8 + data.size()));
    zot::PutU32(m.data() + 7, 1);
    zot::PutU32(m.data() + 11, 1024);
    std::memcpy(m.data() + 15, data.data(), data.size());
    return m;
}

void SetBytes(benchmark::State& state, size_t perIteration) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * perIteration));
}

void EncodeFrame(benchmark::State& state) {
    const auto m = WriteMessage(state.range(0) != 0);
    uint8_t frame[zot::kMaxFrame];
    for (auto _ : state) benchmark::DoNotOptimize(zot::EncodeFrame(m.data(), m.size(), frame));
    SetBytes(state, m.size());
}

void ParseFrame(benchmark::State& state) {
    const auto m = WriteMessage(state.range(0) != 0);
    uint8_t frame[zot::kMaxFrame];
    const size_t n = zot::EncodeFrame(m.data(), m.size(), frame);
    zot::FrameParser parser;
    for (auto _ : state) {
        // As the link reads: the whole chunk at once.
        size_t frames = 0;
        for (size_t i = 0; i < n;) {
            size_t used = 0;
            frames += parser.Feed(frame + i, n - i, &used) == zot::FrameParser::Result::kFrame;
            i += used;
        }
        benchmark::DoNotOptimize(frames);
    }
    SetBytes(state, m.size());
}

void Compress(benchmark::State& state) {
    const auto m = WriteMessage(state.range(0) != 0);
    zot::CDeflateCodec codec;
    for (auto _ : state) benchmark::DoNotOptimize(codec.Compress(m.data(), m.size(), 6));
    SetBytes(state, m.size());
    state.counters["ratio"] =
        static_cast<double>(m.size()) / static_cast<double>(codec.OutputSize());
}

void Inflate(benchmark::State& state) {
    const auto m = WriteMessage(state.range(0) != 0);
    zot::CDeflateCodec deflater;
    deflater.Compress(m.data(), m.size(), 6);
    const std::vector<uint8_t> z(deflater.Output(), deflater.Output() + deflater.OutputSize());
    zot::CDeflateCodec codec;
    for (auto _ : state) benchmark::DoNotOptimize(codec.Decompress(z.data(), z.size()));
    SetBytes(state, m.size());
}

// Argument 0: random data, 1: barcode CSV.
BENCHMARK(EncodeFrame)->Arg(0)->Arg(1);
BENCHMARK(ParseFrame)->Arg(0)->Arg(1);
BENCHMARK(Compress)->Arg(0)->Arg(1);
BENCHMARK(Inflate)->Arg(0)->Arg(1);

}  // namespace

// The table as usual, then one line: how many times faster than the line carries it each
// step handles a 1 KiB message.
class FigureReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            const auto it = r.counters.find("bytes_per_second");
            if (it != r.counters.end() && it->second.value > 0)
                m_rates.emplace_back(r.benchmark_name(), it->second.value);
        }
    }
    std::vector<std::pair<std::string, double>> m_rates;
};

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    FigureReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    if (reporter.m_rates.empty()) return 1;
    auto slowest = reporter.m_rates.front();
    for (const auto& r : reporter.m_rates)
        if (r.second < slowest.second) slowest = r;
    std::printf("figure 5 codec: slowest step %s at %.1f MB/s, %.0f times the 115200 line\n",
                slowest.first.c_str(), slowest.second / 1e6,
                slowest.second / bench::kLineBytesPerSecond);
    return 0;
}
