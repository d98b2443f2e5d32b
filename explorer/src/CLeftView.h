#pragma once
// The device explorer's folder tree: the explorers' one tree with this edition's labels.
#include "CFolderTree.h"

class CVelkorApp;

class CLeftView : public CFolderTree {
    Q_OBJECT
  public:
    explicit CLeftView(CVelkorApp* app, QWidget* parent = nullptr);

    static Labels EditionLabels();
};
