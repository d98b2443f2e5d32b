#include "CMainFrame.h"

#include "CFileOpDlg.h"
#include "CLeftView.h"
#include "CVelkorApp.h"
#include "CVelkorView.h"

CMainFrame::CMainFrame(CVelkorApp* app)
    : CExplorerFrame(*app, new CLeftView(app), new CVelkorView(app), FrameTexts(app->IsChinese()),
                     FrameRules()) {}

CLeftView* CMainFrame::LeftView() const {
    return static_cast<CLeftView*>(Tree());
}

CVelkorView* CMainFrame::ListView() const {
    return static_cast<CVelkorView*>(List());
}

CExplorerFrame::Texts CMainFrame::FrameTexts(bool chinese) {
    Texts t;
    t.fileMenu = tr("File(&F)");
    t.editMenu = tr("Edit(&E)");
    t.viewMenu = tr("View(&V)");
    t.helpMenu = tr("Help(&H)");
    t.setup = tr("Setup(&S)");
    t.connect = tr("Connect(&C)");
    // The Chinese edition has no prompts for these two.
    if (!chinese) {
        t.setupPrompt = tr("Setup COM port, baud rate...");
        t.connectPrompt = tr("Detect and connect with device");
    }
    t.exit = tr("Exit(&X)");
    t.copy = tr("Copy(&C)\tCtrl+C");
    t.copyTip = tr("Copy");
    t.paste = tr("Paste(&P)\tCtrl+V");
    t.pastePrompt = tr("Inserts the items you have copied into the selected location\nPase");
    t.del = tr("Delete(&D)");
    t.deletePrompt = tr("Deletes selected items\nDelete");
    t.up = tr("Up");
    t.upPrompt = tr("Go to upper folder\nUp");
    t.refresh = tr("Refresh(&R)");
    t.refreshPrompt = tr("Refreshes the contents of the current page\nRefresh");
    t.modes[0] = tr("Large Icons(&G)");
    t.modes[1] = tr("Small Icons(&M)");
    t.modes[2] = tr("List(&L)");
    t.modes[3] = tr("Details(&D)");
    t.toolBar = tr("Toolbar");
    t.toolBarToggle = tr("Toolbar(&T)");
    t.statusBarToggle = tr("Status(&S)");
    t.about = tr("About Quaysides(&A)...");
    t.ready = tr("Ready");
    t.linkDown = tr(" - the device is not answering");
    t.tree = CLeftView::EditionLabels();
    t.listing = CVelkorView::ListingTexts();
    t.job = CFileOpDlg::Texts();
    return t;
}

CExplorerFrame::Rules CMainFrame::FrameRules() {
    Rules r;
    r.toolBarIconSize = 32;
    r.toolBarMovable = true;
    r.refreshCtrlR = true;
    return r;
}
