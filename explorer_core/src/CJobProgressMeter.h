#pragma once
// Works out a copy job's progress figures from what the job tells it: the files, the bytes that
// moved and when. The rate is taken over the last few seconds of moving, so it follows a line
// that slows down or recovers; skipped files add to the bytes done but not to the rate.
//
// The clock is handed in (milliseconds, steady), so that tests can tell the time.
#include <cstdint>
#include <deque>
#include <functional>

#include "CJobProgress.h"

class CJobProgressMeter {
  public:
    using Clock = std::function<int64_t()>;
    // The steady clock when none is given.
    explicit CJobProgressMeter(Clock clock = {});

    static constexpr int64_t kWindowMs = 5000;

    void Begin(int fileCount, uint64_t bytesTotal);
    // File index (from 1) of size bytes is in hand.
    void StartFile(int index, uint64_t size);
    // The file in hand has moved done of its bytes so far.
    void FileMoved(uint64_t done);
    // The file in hand is over: whole when copied, passed over when skipped (its bytes count
    // as done without moving).
    void EndFile();
    void SkipFile();
    void SetRetries(uint32_t retries) { m_figures.retries = retries; }

    CJobProgress Figures() const;
    int64_t Now() const { return m_clock(); }

  private:
    void Sample();

    Clock m_clock;
    CJobProgress m_figures;
    uint64_t m_fileSize = 0;
    uint64_t m_fileDone = 0;
    uint64_t m_doneBefore = 0;  // bytes of the files before the one in hand
    uint64_t m_moved = 0;       // bytes that crossed, all files
    struct Point {
        int64_t ms;
        uint64_t moved;
    };
    std::deque<Point> m_points;
};
