#pragma once
// DriftboxGUI's folder tree: the explorers' one tree with this program's labels. The device
// item never has children.
#include "CFolderTree.h"

class CTallowApp;

class CLeftView : public CFolderTree {
    Q_OBJECT
  public:
    explicit CLeftView(CTallowApp* app, QWidget* parent = nullptr);

    static Labels TreeLabels();
};
