// Pastes 200 files of 1 KiB from a PC folder to the terminal through the frame's Paste and
// the file-operation job over the unpaced simulator, then copies the same files with
// ZOT_CopyFileW alone, and prints the time per file of each and their difference.
#include <zotlink.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdio>
#include <mutex>
#include <string>

#include "CClipboardFiles.h"
#include "CJobRegistry.h"
#include "CLeftView.h"
#include "CMainFrame.h"
#include "CSimFixture.h"
#include "CVelkorApp.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    CVelkorSettings().Clear();  // the defaults: connect at start on COM1
    constexpr int kFiles = 200;
    CSimFixture sim({.port = 1});
    QTemporaryDir dir;
    if (!sim.Ok() || !dir.isValid()) {
        std::fprintf(stderr, "no simulator or folder\n");
        return 1;
    }
    QStringList sources;
    for (int i = 0; i < kFiles; ++i) {
        const QString path = dir.path() + QStringLiteral("/f%1.bin").arg(i, 3, 10, QChar('0'));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly)) return 1;
        f.write(QByteArray(1024, static_cast<char>('a' + i % 26)));
        sources << path;
    }
    double jobMs = 0, plainMs = 0;
    {
        CVelkorApp app(CVelkorApp::Edition::English);
        CMainFrame* frame = app.InitInstance({});
        if (!app.Connected()) {
            std::fprintf(stderr, "not connected\n");
            return 1;
        }
        frame->LeftView()->SelectFolder(frame->LeftView()->DevicesItem()->child(0));
        QGuiApplication::clipboard()->setMimeData(CClipboardFiles::Make(sources));
        QElapsedTimer t;
        t.start();
        frame->OnPaste();
        jobMs = static_cast<double>(t.nsecsElapsed()) / 1e6;
        if (QDir(sim.Root()).entryList(QDir::Files).size() != kFiles) {
            std::fprintf(stderr, "paste copied %lld files\n",
                         static_cast<long long>(QDir(sim.Root()).entryList(QDir::Files).size()));
            return 1;
        }
        for (const QString& n : QDir(sim.Root()).entryList(QDir::Files)) QDir(sim.Root()).remove(n);
        std::lock_guard<std::mutex> lock(app.Backend().Gate());
        t.restart();
        for (const QString& src : sources) {
            const QString dst = QStringLiteral("ZOT:\\") + src.mid(src.lastIndexOf('/') + 1);
            if (ZOT_CopyFileW(reinterpret_cast<const char16_t*>(src.utf16()),
                              reinterpret_cast<const char16_t*>(dst.utf16()), 1) == 0)
                return 1;
        }
        plainMs = static_cast<double>(t.nsecsElapsed()) / 1e6;
    }
    CJobRegistry::WaitAll();
    std::printf("paste job: %.2f ms a file (%.0f ms for %d)\n", jobMs / kFiles, jobMs, kFiles);
    std::printf("ZOT_CopyFileW alone: %.2f ms a file (%.0f ms)\n", plainMs / kFiles, plainMs);
    std::printf("difference: %.2f ms a file (target under 20)\n", (jobMs - plainMs) / kFiles);
    return 0;
}
