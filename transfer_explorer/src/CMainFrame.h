#pragma once
// DriftboxGUI's main window: the explorers' one frame with this program's texts, rules and
// views.
#include "CExplorerFrame.h"

class CTallowApp;
class CLeftView;
class CTallowView;

class CMainFrame : public CExplorerFrame {
    Q_OBJECT
  public:
    explicit CMainFrame(CTallowApp* app);

    CLeftView* LeftView() const;
    CTallowView* ListView() const;

    static Texts FrameTexts();
    static Rules FrameRules();
};
