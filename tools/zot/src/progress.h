#pragma once
#include <chrono>
#include <cstdint>
#include <string>

#include "output.h"

namespace zotcli {

// One line of progress (bytes, rate, time left), redrawn in place; silent when the output
// shows no progress (standard error is not a terminal).
class ProgressBar {
  public:
    ProgressBar(IOutput& out, std::string label, uint64_t total);
    void Update(uint64_t done);
    // Ends the line; prints a summary with the rate when enabled.
    void Finish(bool ok);

  private:
    void Draw(uint64_t done);
    IOutput& m_out;
    std::string m_label;
    uint64_t m_total;
    bool m_enabled;
    uint64_t m_done = 0;
    std::chrono::steady_clock::time_point m_start;
    std::chrono::steady_clock::time_point m_drawn{};
};

std::string FormatRate(double bytesPerSecond);
std::string FormatBytes(uint64_t bytes);

}  // namespace zotcli
