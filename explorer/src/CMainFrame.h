#pragma once
// The device explorer's main window: the explorers' one frame with this program's texts,
// rules and views.
#include "CExplorerFrame.h"

class CVelkorApp;
class CLeftView;
class CVelkorView;

class CMainFrame : public CExplorerFrame {
    Q_OBJECT
  public:
    explicit CMainFrame(CVelkorApp* app);

    CLeftView* LeftView() const;
    CVelkorView* ListView() const;

    // The menus', toolbar's and status bar's texts of the edition.
    static Texts FrameTexts(bool chinese);
    static Rules FrameRules();
};
