#include "progress.h"

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

ProgressBar::ProgressBar(IOutput& out, std::string label, uint64_t total)
    : m_out(out),
      m_label(std::move(label)),
      m_total(total),
      m_enabled(out.ShowsProgress()),
      m_start(std::chrono::steady_clock::now()) {}

void ProgressBar::Update(uint64_t done) {
    m_done = done;
    if (!m_enabled) return;
    // Every block reports; the eye needs far fewer redraws than a fast line gives.
    const auto now = std::chrono::steady_clock::now();
    if (now - m_drawn < std::chrono::milliseconds(100) && done < m_total) return;
    m_drawn = now;
    Draw(done);
}

std::string FormatBytes(uint64_t bytes) {
    char buf[32];
    if (bytes >= 1024 * 1024)
        std::snprintf(buf, sizeof buf, "%.1f MB", static_cast<double>(bytes) / (1024 * 1024));
    else if (bytes >= 1024)
        std::snprintf(buf, sizeof buf, "%.1f KB", static_cast<double>(bytes) / 1024);
    else
        std::snprintf(buf, sizeof buf, "%llu B", static_cast<unsigned long long>(bytes));
    return buf;
}

void ProgressBar::Draw(uint64_t done) {
    constexpr int kWidth = 20;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
    const int percent = m_total ? static_cast<int>(100 * done / m_total) : 100;
    const int filled = kWidth * percent / 100;
    std::string bar(static_cast<size_t>(filled), '#');
    bar.append(static_cast<size_t>(kWidth - filled), '.');
    std::string rate, left;
    // The first moments say nothing about the line yet.
    if (seconds > 0.2 && done > 0) {
        const double bps = static_cast<double>(done) / seconds;
        rate = FormatRate(bps);
        const auto eta = static_cast<long long>(static_cast<double>(m_total - done) / bps);
        char buf[32];
        std::snprintf(buf, sizeof buf, "%lld:%02lld left", eta / 60, eta % 60);
        left = done < m_total ? buf : "";
    }
    char line[160];
    std::snprintf(line, sizeof line, "%-20.20s [%s] %3d%% %10s %11s %10s", m_label.c_str(),
                  bar.c_str(), percent, FormatBytes(done).c_str(), rate.c_str(), left.c_str());
    m_out.Progress(line);
}

void ProgressBar::Finish(bool ok) {
    if (!m_enabled) return;
    if (ok) Draw(m_total);
    m_out.EndProgress();
}

}  // namespace zotcli
