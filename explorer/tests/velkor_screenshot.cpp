// Saves a picture of the explorer's main window showing the terminal's files: the README's
// screenshots. Runs the real application object against the terminal on COM1.
// Usage: velkor_screenshot en|zh output.png
#include <QApplication>
#include <QStandardPaths>
#include <QTimer>
#include <cstdio>

#include "CLeftView.h"
#include "CMainFrame.h"
#include "CVelkorApp.h"
#include "CVelkorView.h"

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: velkor_screenshot en|zh output.png\n");
        return 2;
    }
    // The user's own settings play no part in a picture.
    QStandardPaths::setTestModeEnabled(true);
    CVelkorSettings().Clear();
    const bool chinese = QByteArray(argv[1]) == "zh";
    CVelkorApp app(chinese ? CVelkorApp::Edition::Chinese : CVelkorApp::Edition::English);
    CMainFrame* frame = app.InitInstance({});
    frame->resize(820, 460);
    CLeftView* tree = frame->LeftView();
    if (tree->DevicesItem()->childCount() == 0) {
        std::fprintf(stderr, "not connected\n");
        return 1;
    }
    tree->ComputerItem()->setExpanded(true);
    frame->ListView()->SetMode(CFileListView::Mode::Details);
    tree->SelectFolder(tree->DevicesItem()->child(0));
    QApplication::processEvents();
    const bool ok = frame->grab().save(QString::fromLocal8Bit(argv[2]));
    return ok ? 0 : 1;
}
