#pragma once
// What a job dialog's progress line shows beside the bar: which file of how many, bytes done of
// the total, the rate and the time left (negative while unknown), and the line's retries.
#include <cstdint>

struct CJobProgress {
    int fileIndex = 0;  // 1-based; 0 before the first file
    int fileCount = 0;
    uint64_t bytesDone = 0;
    uint64_t bytesTotal = 0;
    double bytesPerSecond = -1;
    double secondsLeft = -1;
    int retries = 0;
};
