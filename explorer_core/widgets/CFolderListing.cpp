#include "CFolderListing.h"

#include <QGuiApplication>

#include "CDevicePath.h"
#include "CFolderTree.h"
#include "CIconCache.h"
#include "CTextFormats.h"
#include "CVolumes.h"

namespace {
struct WaitCursor {
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
};
}  // namespace

void CFolderListing::Show(const CFolderTree& tree, CFileListView& list, const QTreeWidgetItem* item,
                          const Texts& texts, const Hooks& hooks) {
    WaitCursor wait;
    list.Clear();
    if (!item) return;
    switch (CFolderTree::KindOf(item)) {
        case CFolderTree::Kind::Computer:
            AppendDriveRows(tree, list, texts.drives);
            break;
        case CFolderTree::Kind::Devices:
            AppendDeviceRows(tree, list, texts, hooks);
            break;
        case CFolderTree::Kind::Root:
            AppendRootRows(tree, list, texts.systemFolder);
            break;
        default: {
            AppendFolderRows(item, list, texts.folder);
            list.Icons()->TrimToFixed();
            const QString path = tree.CurrentPath();
            if (CDevicePath::IsDevicePath(path)) {
                if (hooks.listDevice) hooks.listDevice();
            } else {
                list.AppendPcFiles(path);
            }
            break;
        }
    }
    list.FinishFill();
}

void CFolderListing::AppendRootRows(const CFolderTree& tree, CFileListView& list,
                                    const QString& typeText) {
    CFileListModel* model = list.Model();
    for (QTreeWidgetItem* item : {tree.ComputerItem(), tree.DevicesItem()}) {
        const int row =
            model->AppendRow(item->text(0), CFolderTree::ImageOf(item), CFolderTree::IdOf(item));
        model->SetText(row, CFileListModel::kType, typeText);
    }
}

void CFolderListing::AppendFolderRows(const QTreeWidgetItem* item, CFileListView& list,
                                      const QString& typeText) {
    CFileListModel* model = list.Model();
    for (int i = 0; i < item->childCount(); ++i) {
        const QTreeWidgetItem* child = item->child(i);
        const int row =
            model->AppendRow(child->text(0), CIconCache::kFolder, CFolderTree::IdOf(child));
        model->SetText(row, CFileListModel::kType, typeText);
    }
}

void CFolderListing::AppendDriveRows(const CFolderTree& tree, CFileListView& list,
                                     const CFileListView::DriveTexts& texts) {
    CFileListModel* model = list.Model();
    QTreeWidgetItem* computer = tree.ComputerItem();
    for (int i = 0; i < computer->childCount(); ++i) {
        QTreeWidgetItem* drive = computer->child(i);
        const int image = CFolderTree::ImageOf(drive);
        const int row = model->AppendRow(drive->text(0), image, CFolderTree::IdOf(drive));
        model->SetText(row, CFileListModel::kType, texts.typeOf(image));
        if (image == CIconCache::kRemovable) {
            // A removable drive is not touched: asking it might spin up or wait for a medium.
            model->SetText(row, CFileListModel::kSize, texts.noDisk);
            continue;
        }
        double total = 0, free = 0;
        if (CVolumes::Space(tree.PathOf(drive), &total, &free)) {
            model->SetText(row, CFileListModel::kSize,
                           CTextFormats::DriveSpace(total, free, texts.gbFormat, texts.mbFormat));
            model->SetSortKey(row, CFileListModel::kSize, static_cast<qint64>(total));
        }
    }
}

void CFolderListing::AppendDeviceRows(const CFolderTree& tree, CFileListView& list,
                                      const Texts& texts, const Hooks& hooks) {
    CFileListModel* model = list.Model();
    QTreeWidgetItem* devices = tree.DevicesItem();
    for (int i = 0; i < devices->childCount(); ++i) {
        QTreeWidgetItem* device = devices->child(i);
        const int row =
            model->AppendRow(device->text(0), CIconCache::kFixedDrive, CFolderTree::IdOf(device));
        model->SetText(row, CFileListModel::kType, texts.devicesType);
        uint64_t total = 0, free = 0;
        if (hooks.storeInfo) hooks.storeInfo(&total, &free);
        model->SetText(row, CFileListModel::kSize,
                       CTextFormats::StoreSpace(total, free, texts.storeFormat));
    }
}
