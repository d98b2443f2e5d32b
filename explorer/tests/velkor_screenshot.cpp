// Saves a picture of the explorer's main window showing the terminal's files: the README's
// screenshots. Runs the real application object against the terminal on COM1. With a third
// file, also the Setup dialog with its port list open, COM1 bound to that terminal in a port
// map of the picture's own.
// Usage: velkor_screenshot en|zh output.png [setup.png]
#include <QApplication>
#include <QComboBox>
#include <QStandardPaths>
#include <QTimer>
#include <cstdio>

#include "CLeftView.h"
#include "CMainFrame.h"
#include "CPortMapFixture.h"
#include "CSetupDlg.h"
#include "CVelkorApp.h"
#include "CVelkorView.h"
#include "SaveWithOpenList.h"
#include "port_map.h"
#include "port_name.h"

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: velkor_screenshot en|zh output.png [setup.png]\n");
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
    bool ok = frame->grab().save(QString::fromLocal8Bit(argv[2]));
    if (argc > 3) {
        // The user's own map plays no part either; the terminal is the one device listed.
        const std::string terminal = qs::SerialDeviceForPort(1);
        CPortMapFixture map({{terminal, terminal, "", ""}});
        qs::EditPortMap({{"COM1", terminal}});
        ::unsetenv(qs::PortVariable("COM1").c_str());
        CSetupDlg dlg(&app, frame);
        ok = SaveWithOpenList(dlg, *dlg.PortList(), QString::fromLocal8Bit(argv[3])) && ok;
    }
    return ok ? 0 : 1;
}
