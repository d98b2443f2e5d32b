#pragma once
// What a test can do only where the PC is POSIX, one file per OS (CPosixOnly.cpp,
// CPosixOnly_win32.cpp): name serial devices by path (the COMn and DRIFTBOX_USB variables, the
// port map's device files), give files names that Windows forbids, read a file name's raw bytes.
#include <QString>

class CPosixOnly {
  public:
    // Why the test cannot run here; empty on POSIX.
    static QString Why(const char* what);
};

// At the start of a test that needs what POSIX alone gives: skipped elsewhere, saying why.
#define QS_POSIX_ONLY(what)                                                                    \
    do {                                                                                       \
        if (const QString why = CPosixOnly::Why(what); !why.isEmpty()) QSKIP(qPrintable(why)); \
    } while (false)
