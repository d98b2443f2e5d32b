#pragma once
// What a copy job tells about its progress, beside the status word's bar: the figures the job
// dialog shows. Made by CJobProgressMeter on the job's thread and posted to the dialog.
#include <cstdint>

struct CJobProgress {
    int fileIndex = 0;  // the file in hand, from 1; 0 before the first
    int fileCount = 0;
    uint64_t bytesDone = 0;  // of the files handled so far, skipped ones included
    uint64_t bytesTotal = 0;
    double bytesPerSecond = -1;  // over the last seconds, bytes that moved; < 0 unknown
    double secondsLeft = -1;     // < 0 unknown
    uint32_t retries = 0;        // requests the line had to send again during the job
};
