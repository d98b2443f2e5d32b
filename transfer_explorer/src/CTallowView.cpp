#include "CTallowView.h"

#include <QGuiApplication>

#include "CDevicePath.h"
#include "CFindInfoDlg.h"
#include "CLeftView.h"
#include "CTallowApp.h"
#include "CTextFormats.h"
#include "CVolumes.h"

namespace {
struct WaitCursor {
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
};
}  // namespace

CTallowView::CTallowView(CTallowApp* app, QWidget* parent)
    : CFileListView(&app->Icons(), parent), m_app(app) {
    Model()->SetHeaders({tr("名称"), tr("大小"), tr("类型"), tr("修改时间")});
    // Rows the jobs remove change what the commands may do.
    connect(Model(), &QAbstractItemModel::rowsRemoved, this, &CTallowView::contentsChanged);
}

void CTallowView::ShowFolder(QTreeWidgetItem* item) {
    WaitCursor wait;
    Clear();
    if (!item || !m_tree) return;
    if (item == m_tree->ComputerItem()) {
        DriveSummary();
    } else if (item == m_tree->DevicesItem()) {
        DeviceSummary();
    } else if (item == m_tree->RootItem()) {
        AppendRootRows(*m_tree, tr("系统文件夹"));
    } else {
        AppendFolderRows(item, tr("文件夹"));
        Icons()->TrimToFixed();
        const QString path = m_tree->CurrentPath();
        if (CDevicePath::IsDevicePath(path))
            RunFindDialog();
        else
            AppendPcFiles(path);
    }
    emit contentsChanged();
}

QString CTallowView::DriveTypeText(int image) const {
    switch (image) {
        case CIconCache::kRemovable:
            return tr("3.5英寸软盘");
        case CIconCache::kOptical:
            return tr("光盘");
        case CIconCache::kNetwork:
            return tr("网络驱动器");
        case CIconCache::kFixedDrive:
        default:
            return tr("本地磁盘");
    }
}

void CTallowView::DriveSummary() {
    AppendDriveRows(*m_tree, {[this](int image) { return DriveTypeText(image); }, tr("没有检测"),
                              tr("%.2f GB(剩余%.0f MB)"), tr("%.0f MB((剩余%.0f MB))")});
}

void CTallowView::DeviceSummary() {
    AppendDeviceRows(*m_tree, tr("掌上识读设备"), tr("%.0f KB(剩余%.0f KB)"),
                     [this](uint64_t* total, uint64_t* free) {
                         auto lock = m_app->LockGateServing();
                         if (m_app->Backend().Handle() != 0) m_app->ConnectProcedure();
                         // Asked even without a connection: the values that come back are shown.
                         m_app->Backend().StoreInfo(total, free);
                     });
}

int CTallowView::AddOrUpdatePcRow(const QString& folder, const QFileInfo& info, bool select) {
    return AddLocalRow(folder, info, select);
}

int CTallowView::AddLocalRow(const QString& folder, const QFileInfo& info, bool select) {
    const bool known = FindRow(info.fileName()) >= 0;
    const int row = CFileListView::AddOrUpdatePcRow(folder, info, select);
    // Types are named by extension, as the desktop registers them; the database also matches
    // whole names such as README, which would hide the program's own rule for such files.
    if (!known && !info.isDir() && info.suffix().isEmpty())
        Model()->SetText(row, CFileListModel::kType, CTextFormats::FallbackType(info.fileName()));
    emit contentsChanged();
    return row;
}

QString CTallowView::DeviceSizeText(uint64_t size) {
    return QString::asprintf("%llu", static_cast<unsigned long long>(size)) + tr("字节");
}

QString CTallowView::DeviceTimeText(int64_t timeMs) {
    if (timeMs == 0) return tr("未知");
    const QDateTime utc = QDateTime::fromSecsSinceEpoch(timeMs / 1000, Qt::UTC);
    if (!utc.isValid() || utc.date().year() < 0 || utc.date().year() > 9999)
        return QStringLiteral("0000-00-00 00:00:00");
    return CTextFormats::PcTime(utc);
}

int CTallowView::AddOrUpdateDeviceRow(const IDeviceBackend::Entry& entry, bool select) {
    int row = FindRow(entry.name);
    if (row < 0) row = Model()->AppendRow(entry.name, CIconCache::kDeviceFile, 0);
    Model()->SetText(row, CFileListModel::kType, QString());
    Model()->SetText(row, CFileListModel::kSize, DeviceSizeText(entry.size));
    Model()->SetText(row, CFileListModel::kTime, DeviceTimeText(entry.timeMs));
    if (select) SelectRow(row);
    emit contentsChanged();
    return row;
}

void CTallowView::RunFindDialog() {
    CFindInfoDlg dlg(m_app, this, window());
    dlg.exec();
}
