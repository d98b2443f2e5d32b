// Saves a picture of DriftboxGUI's main window showing the terminal's files, for the README.
// Runs the real application object against the terminal named by DRIFTBOX_USB. With a second
// file, also the settings dialog with its port list open, USB bound to that terminal in a
// port map of the picture's own.
// Usage: tallow_screenshot output.png [setup.png]
#include <QApplication>
#include <QComboBox>
#include <QStandardPaths>
#include <cstdio>

#include "CLeftView.h"
#include "CMainFrame.h"
#include "CPortMapFixture.h"
#include "CSetupDlg.h"
#include "CTallowApp.h"
#include "CTallowView.h"
#include "SaveWithOpenList.h"
#include "port_map.h"
#include "port_name.h"

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: tallow_screenshot output.png [setup.png]\n");
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
    bool ok = frame->grab().save(QString::fromLocal8Bit(argv[1]));
    if (argc > 2) {
        // The user's own map plays no part either; the terminal is the one device listed.
        const std::string terminal = qs::SerialDeviceForUsb();
        CPortMapFixture map({{terminal, terminal, "", ""}});
        qs::EditPortMap({{"USB", terminal}});
        ::unsetenv(qs::PortVariable("USB").c_str());
        CSetupDlg dlg(&app, frame);
        ok = SaveWithOpenList(dlg, *dlg.PortList(), QString::fromLocal8Bit(argv[2])) && ok;
    }
    return ok ? 0 : 1;
}
