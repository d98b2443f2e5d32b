#include "progress.h"

#include "platform.h"

#include <cstdio>

namespace zotcli {

std::string FormatRate(double bps) {
    char buf[32];
    if (bps >= 1024 * 1024)
        std::snprintf(buf, sizeof buf, "%.1f MB/s", bps / (1024 * 1024));
    else
        std::snprintf(buf, sizeof buf, "%.1f KB/s", bps / 1024);
    return buf;
}

ProgressBar::ProgressBar(std::string label, uint64_t total)
    : m_label(std::move(label)),
      m_total(total),
      m_enabled(StderrIsTerminal()),
      m_start(std::chrono::steady_clock::now()) {}

void ProgressBar::Update(uint64_t done) {
    m_done = done;
    if (m_enabled) Draw(done);
}

void ProgressBar::Draw(uint64_t done) {
    constexpr int kWidth = 30;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
    const int percent = m_total ? static_cast<int>(100 * done / m_total) : 100;
    const int filled = kWidth * percent / 100;
    std::string bar(static_cast<size_t>(filled), '#');
    bar.append(static_cast<size_t>(kWidth - filled), '.');
    std::fprintf(stderr, "\r%-24.24s [%s] %3d%% %12s", m_label.c_str(), bar.c_str(), percent,
                 seconds > 0.2 ? FormatRate(static_cast<double>(done) / seconds).c_str() : "");
    std::fflush(stderr);
}

void ProgressBar::Finish(bool ok) {
    if (!m_enabled) return;
    if (ok) Draw(m_total);
    std::fputc('\n', stderr);
}

}  // namespace zotcli
