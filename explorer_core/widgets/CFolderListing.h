#pragma once
// What the file list shows for a tree item: the root's two places, the drives, the devices,
// or a folder's sub-folders followed by its files. It knows both views so that neither has to
// know the other; the frame calls it on every selection.
#include <QString>
#include <cstdint>
#include <functional>

#include "CFileListView.h"

class CFolderTree;
class QTreeWidgetItem;

class CFolderListing {
  public:
    struct Texts {
        QString systemFolder;  // type column of the root's rows
        QString folder;        // type column of folder rows
        CFileListView::DriveTexts drives;
        QString devicesType;  // type column of the device row
        QString storeFormat;  // CTextFormats::StoreSpace format of the device row
    };
    struct Hooks {
        std::function<void(uint64_t* total, uint64_t* free)> storeInfo;
        // Lists the tree's current terminal folder into the list.
        std::function<void()> listDevice;
    };

    // Refills list for item; nothing for null.
    static void Show(const CFolderTree& tree, CFileListView& list, const QTreeWidgetItem* item,
                     const Texts& texts, const Hooks& hooks);

    // One row per drive under "My Computer", per device under the devices item, the root's
    // two places, and the item's child folders in tree order.
    static void AppendDriveRows(const CFolderTree& tree, CFileListView& list,
                                const CFileListView::DriveTexts& texts);
    static void AppendDeviceRows(const CFolderTree& tree, CFileListView& list, const Texts& texts,
                                 const Hooks& hooks);
    static void AppendRootRows(const CFolderTree& tree, CFileListView& list,
                               const QString& typeText);
    static void AppendFolderRows(const QTreeWidgetItem* item, CFileListView& list,
                                 const QString& typeText);
};
