#pragma once
// The device explorer's file list: the explorers' one list with this edition's headers and
// texts.
#include "CFileListView.h"
#include "CFolderListing.h"

class CVelkorApp;

class CVelkorView : public CFileListView {
    Q_OBJECT
  public:
    explicit CVelkorView(CVelkorApp* app, QWidget* parent = nullptr);

    static QString TypeTextForImage(int image);
    // The texts of the rows a tree item fills the list with.
    static CFolderListing::Texts ListingTexts();
};
