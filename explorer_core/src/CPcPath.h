#pragma once
// What makes a PC path whole, one file per OS (CPcPath_posix.cpp, CPcPath_win32.cpp): a path
// handed in from outside (the clipboard, a drop) is taken only when it names one place on its
// own, never relative to some current folder.
#include <QString>

class CPcPath {
  public:
    // "/..." on POSIX; "C:/..." or "//server/share..." (either separator) on Windows.
    static bool IsAbsolute(const QString& path);
};
