#pragma once
// DriftboxGUI's file list: the explorers' one list with this program's headers and texts. A
// terminal row shows its full 64-bit size (a low-32-bit signed view would show 2 GiB and more
// as negative) and its time as UTC.
#include "CFileListView.h"
#include "CFolderListing.h"

class CTallowApp;

class CTallowView : public CFileListView {
    Q_OBJECT
  public:
    explicit CTallowView(CTallowApp* app, QWidget* parent = nullptr);

    static QString DeviceSizeText(uint64_t size);
    // Milliseconds since 1970 as a UTC date; "未知" for 0, zeros when out of range.
    static QString DeviceTimeText(int64_t timeMs);
    static QString DriveTypeText(int image);
    // The texts of the rows a tree item fills the list with.
    static CFolderListing::Texts ListingTexts();
};
