#include "CVelkorView.h"

#include <QDesktopServices>
#include <QUrl>
#include <mutex>

#include "CDevicePath.h"
#include "CLeftView.h"
#include "CListFilesDlg.h"
#include "CVelkorApp.h"
#include "CVolumes.h"

CVelkorView::CVelkorView(CVelkorApp* app, QWidget* parent)
    : CFileListView(&app->Icons(), parent), m_app(app) {
    Model()->SetHeaders({tr("Name"), tr("Size"), tr("Type"), tr("Modify time")});
    SetTexts({tr("%u bytes"), tr("Unknown")});
    connect(this, &CFileListView::rowActivated, this, &CVelkorView::OnRowActivated);
}

QTreeWidgetItem* CVelkorView::TreeItemOf(int row) const {
    return reinterpret_cast<QTreeWidgetItem*>(Model()->RowAt(row).itemData);
}

QString CVelkorView::TypeTextForImage(int image) const {
    switch (image) {
        case CIconCache::kRemovable:
            return tr("3.5 Floppy");
        case CIconCache::kFixedDrive:
            return tr("Local driver");
        case CIconCache::kOptical:
            return tr("CDROM");
        case CIconCache::kNetwork:
            return tr("Network driver");
        default:
            return {};
    }
}

void CVelkorView::FillRoot() {
    for (QTreeWidgetItem* item : {m_tree->ComputerItem(), m_tree->DevicesItem()}) {
        const int row = Model()->AppendRow(item->text(0), CFolderTree::ImageOf(item),
                                           reinterpret_cast<quintptr>(item));
        Model()->SetText(row, CFileListModel::kType, tr("System folder"));
    }
}

void CVelkorView::FillComputer() {
    AppendDriveRows(*m_tree, {[this](int image) { return TypeTextForImage(image); }, tr("No Disk"),
                              tr("%.2f GB(%.0f MB free)"), tr("%.0f MB((%.0f MB free))")});
}

void CVelkorView::FillDevices() {
    AppendDeviceRows(*m_tree, tr("Devices"), tr("%.0f KB(%.0f KB free)"),
                     [this](uint64_t* total, uint64_t* free) {
                         // A worker abandoned by a cancelled dialog may still hold the library;
                         // then the store shows as empty rather than the window waiting for it.
                         std::unique_lock<std::mutex> lock(m_app->Backend().Gate(),
                                                           std::try_to_lock);
                         if (lock.owns_lock()) m_app->Backend().StoreInfo(total, free);
                     });
}

void CVelkorView::FillFolder(QTreeWidgetItem* item) {
    for (int i = 0; i < item->childCount(); ++i) {
        QTreeWidgetItem* child = item->child(i);
        const int row = Model()->AppendRow(child->text(0), CIconCache::kFolder,
                                           reinterpret_cast<quintptr>(child));
        Model()->SetText(row, CFileListModel::kType, tr("Folder"));
    }
    if (item != m_tree->RootItem() && item != m_tree->ComputerItem() &&
        item != m_tree->DevicesItem())
        RefreshFiles();
}

void CVelkorView::RefreshFiles() {
    Icons()->TrimToFixed();
    const QString path = m_tree->CurrentPath();
    if (CDevicePath::IsDevicePath(path)) {
        CListFilesDlg dlg(this, &m_app->Backend(), window());
        dlg.exec();
        return;
    }
    AppendPcFiles(path);
}

void CVelkorView::OnRowActivated(int row) {
    if (row < 0 || row >= Model()->Count()) return;
    if (QTreeWidgetItem* item = TreeItemOf(row)) {
        m_tree->SelectFolder(item);
        return;
    }
    const QString path = m_tree->CurrentPath();
    // The desktop cannot open a file that lives on the terminal.
    if (path.isEmpty() || CDevicePath::IsDevicePath(path)) return;
    QDesktopServices::openUrl(QUrl::fromLocalFile(
        CDevicePath::JoinPc(path, Model()->RowAt(row).text[CFileListModel::kName])));
}
