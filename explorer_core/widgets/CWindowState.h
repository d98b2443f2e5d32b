#pragma once
// Where an explorer's main window was left: its size, position and splitter, kept in the
// program's settings from one run to the next.
class QMainWindow;
class QSplitter;
class CSettingsBase;

class CWindowState {
  public:
    // Before the window is first shown. Puts it where it was last closed; restoreGeometry
    // brings a window saved on a screen that is gone back onto one that is there. At the first
    // start the splitter's panes get treeWidth and listWidth (what the list needs to show all
    // its columns), the window as much as that takes, but never more than the screen.
    static void Restore(QMainWindow* window, QSplitter* splitter, int treeWidth, int listWidth,
                        const CSettingsBase& settings);
    // When the window closes.
    static void Save(const QMainWindow* window, const QSplitter* splitter, CSettingsBase& settings);
};
