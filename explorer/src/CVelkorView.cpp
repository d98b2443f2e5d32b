#include "CVelkorView.h"

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
    AppendRootRows(*m_tree, tr("System folder"));
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
    AppendFolderRows(item, tr("Folder"));
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
