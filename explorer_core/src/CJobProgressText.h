#pragma once
// The progress line under a job dialog's bar, from the job's figures and the program's words:
// "File 3 of 10, 1.5 MiB of 4.0 MiB, 12.0 KiB/s, 0:03:20 left, retries: 0". Figures not known
// yet are left out.
#include <QString>

#include "CJobProgress.h"

class CJobProgressText {
  public:
    struct Words {
        QString file;     // "%1" the file's number, "%2" the count
        QString bytes;    // "%1" done, "%2" total
        QString rate;     // "%1" an amount of bytes
        QString left;     // "%1" a time
        QString retries;  // "%1" the count
    };
    static QString Line(const CJobProgress& progress, const Words& words);
    // "1.5 MiB"; "0:03:20".
    static QString Amount(double bytes);
    static QString Duration(double seconds);
};
