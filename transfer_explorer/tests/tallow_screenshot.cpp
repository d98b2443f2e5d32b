// Saves a picture of DriftboxGUI's main window showing the terminal's files, for the README.
// Runs the real application object against the terminal named by DRIFTBOX_USB.
// Usage: tallow_screenshot output.png
#include <QApplication>
#include <QStandardPaths>
#include <cstdio>

#include "CLeftView.h"
#include "CMainFrame.h"
#include "CTallowApp.h"
#include "CTallowView.h"

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: tallow_screenshot output.png\n");
        return 2;
    }
    // The user's own settings play no part in a picture.
    QStandardPaths::setTestModeEnabled(true);
    CTallowSettings().Clear();
    CTallowApp app;
    CMainFrame* frame = app.InitInstance({});
    frame->resize(820, 460);
    CLeftView* tree = frame->LeftView();
    if (tree->DevicesItem()->childCount() == 0) {
        std::fprintf(stderr, "not connected\n");
        return 1;
    }
    tree->ComputerItem()->setExpanded(true);
    tree->DevicesItem()->setExpanded(true);
    frame->ListView()->SetMode(CFileListView::Mode::Details);
    tree->SelectFolder(tree->DevicesItem()->child(0));
    QApplication::processEvents();
    return frame->grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
