// Time to fill the file list with a local folder of 10,000 files (the target is under one
// second). Prints the time; asserts nothing.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

#include "CFileListView.h"
#include "CIconCache.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
    QTemporaryDir dir;
    const char* const exts[] = {".txt", ".csv", ".bin", ".png", ".log", ""};
    for (int i = 0; i < count; ++i) {
        QFile f(dir.path() + QString("/file%1%2").arg(i).arg(exts[i % 6]));
        if (!f.open(QIODevice::WriteOnly)) return 1;
        f.write("x", i % 3);
    }
    CIconCache icons;
    CFileListView list(&icons);
    list.SetMode(CFileListView::Mode::Details);
    list.resize(800, 600);
    list.show();
    QApplication::processEvents();
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer t;
        t.start();
        list.Clear();
        list.AppendPcFiles(dir.path());
        QApplication::processEvents();
        std::printf("fill %d files: %lld ms (rows %d)\n", count,
                    static_cast<long long>(t.elapsed()), list.Model()->Count());
    }
    return 0;
}
