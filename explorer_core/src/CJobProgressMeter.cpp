#include "CJobProgressMeter.h"

#include <algorithm>
#include <chrono>

CJobProgressMeter::CJobProgressMeter(Clock clock) : m_clock(std::move(clock)) {
    if (!m_clock) {
        m_clock = [] {
            return std::chrono::duration_cast<std::chrono::milliseconds>(
                       std::chrono::steady_clock::now().time_since_epoch())
                .count();
        };
    }
}

void CJobProgressMeter::Begin(int fileCount, uint64_t bytesTotal) {
    m_figures = CJobProgress{};
    m_figures.fileCount = fileCount;
    m_figures.bytesTotal = bytesTotal;
    m_doneBefore = m_moved = m_fileSize = m_fileDone = 0;
    m_points.clear();
}

void CJobProgressMeter::StartFile(int index, uint64_t size) {
    m_figures.fileIndex = index;
    m_fileSize = size;
    m_fileDone = 0;
    Sample();
}

void CJobProgressMeter::FileMoved(uint64_t done) {
    done = std::min(done, m_fileSize);
    if (done > m_fileDone) m_moved += done - m_fileDone;
    m_fileDone = done;
    Sample();
}

void CJobProgressMeter::EndFile() {
    FileMoved(m_fileSize);
    m_doneBefore += m_fileSize;
    m_fileSize = m_fileDone = 0;
}

void CJobProgressMeter::SkipFile() {
    m_doneBefore += m_fileSize;
    m_fileSize = m_fileDone = 0;
}

void CJobProgressMeter::Sample() {
    const int64_t now = m_clock();
    m_points.push_back({now, m_moved});
    while (m_points.size() > 2 && now - m_points[1].ms >= kWindowMs) m_points.pop_front();
}

CJobProgress CJobProgressMeter::Figures() const {
    CJobProgress f = m_figures;
    f.bytesDone = m_doneBefore + m_fileDone;
    f.bytesTotal = std::max(f.bytesTotal, f.bytesDone);
    if (m_points.size() >= 2) {
        const Point& first = m_points.front();
        const Point& last = m_points.back();
        if (last.ms > first.ms) {
            f.bytesPerSecond =
                double(last.moved - first.moved) * 1000.0 / double(last.ms - first.ms);
            if (f.bytesPerSecond > 0)
                f.secondsLeft = double(f.bytesTotal - f.bytesDone) / f.bytesPerSecond;
        }
    }
    return f;
}
