#include "CFileListView.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QHeaderView>
#include <QListView>
#include <QStyle>
#include <QTreeView>
#include <QUrl>

#include "CDevicePath.h"
#include "CFolderTree.h"
#include "CIconCache.h"
#include "CTextFormats.h"
#include "CVolumes.h"

namespace {
constexpr int kColumnWidths[CFileListModel::kColumnCount] = {130, 100, 85, 135};
}  // namespace

CFileListView::CFileListView(CIconCache* icons, QWidget* parent)
    : QStackedWidget(parent),
      m_icons(icons),
      m_model(new CFileListModel(this)),
      m_iconView(new QListView(this)),
      m_details(new QTreeView(this)) {
    m_model->SetIconSource([this](int image) { return m_icons->Icon(image); });
    m_iconView->setModel(m_model);
    m_details->setModel(m_model);
    m_selection = m_details->selectionModel();
    m_iconView->setSelectionModel(m_selection);

    m_details->setRootIsDecorated(false);
    m_details->setUniformRowHeights(true);
    m_details->setItemsExpandable(false);
    m_details->setSortingEnabled(false);
    m_details->header()->setSectionsClickable(false);
    m_details->header()->setSectionsMovable(false);
    m_details->setAllColumnsShowFocus(true);
    for (int c = 0; c < CFileListModel::kColumnCount; ++c)
        m_details->setColumnWidth(c, kColumnWidths[c]);

    m_iconView->setUniformItemSizes(true);
    m_iconView->setResizeMode(QListView::Adjust);
    m_iconView->setMovement(QListView::Static);
    m_iconView->setWordWrap(true);

    Hook(m_iconView);
    Hook(m_details);
    connect(this, &CFileListView::rowActivated, this, &CFileListView::OnRowActivated);
    addWidget(m_iconView);
    addWidget(m_details);
    SetMode(Mode::Icon);
}

int CFileListView::DetailsWidth() const {
    // From the widths the columns start with: once shown, the last one stretches to the edge.
    int width = 2 * m_details->frameWidth() +
                m_details->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_details);
    for (int w : kColumnWidths) width += w;
    return width;
}

void CFileListView::Hook(QAbstractItemView* view) {
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setDragDropMode(QAbstractItemView::NoDragDrop);
    view->setAcceptDrops(false);
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { emit rowActivated(index.row()); });
    connect(view, &QWidget::customContextMenuRequested, this, [this, view](const QPoint& pos) {
        emit contextMenuRequestedAt(view->viewport()->mapToGlobal(pos));
    });
}

void CFileListView::SetMode(Mode mode) {
    m_mode = mode;
    switch (mode) {
        case Mode::Icon:
            m_iconView->setViewMode(QListView::IconMode);
            m_iconView->setIconSize(QSize(32, 32));
            m_iconView->setGridSize(QSize(96, 64));
            m_iconView->setFlow(QListView::LeftToRight);
            m_iconView->setWrapping(true);
            setCurrentWidget(m_iconView);
            break;
        case Mode::SmallIcon:
            m_iconView->setViewMode(QListView::ListMode);
            m_iconView->setIconSize(QSize(16, 16));
            m_iconView->setGridSize(QSize(160, 20));
            m_iconView->setFlow(QListView::LeftToRight);
            m_iconView->setWrapping(true);
            setCurrentWidget(m_iconView);
            break;
        case Mode::List:
            m_iconView->setViewMode(QListView::ListMode);
            m_iconView->setIconSize(QSize(16, 16));
            m_iconView->setGridSize(QSize(160, 20));
            m_iconView->setFlow(QListView::TopToBottom);
            m_iconView->setWrapping(true);
            setCurrentWidget(m_iconView);
            break;
        case Mode::Details:
            m_details->setIconSize(QSize(16, 16));
            setCurrentWidget(m_details);
            break;
    }
}

QAbstractItemView* CFileListView::ActiveView() const {
    return m_mode == Mode::Details ? static_cast<QAbstractItemView*>(m_details) : m_iconView;
}

void CFileListView::Clear() {
    m_model->Clear();
}

void CFileListView::AppendPcFiles(const QString& folder) {
    m_icons->TrimToFixed();
    QDir dir(folder);
    // Hidden entries come along so that hidden folders can be kept; hidden files are dropped.
    const QFileInfoList entries = dir.entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
    for (const QFileInfo& info : entries) {
        if (info.isHidden() && !info.isDir()) continue;
        AddOrUpdatePcRow(folder, info, false);
    }
}

int CFileListView::AddOrUpdatePcRow(const QString& folder, const QFileInfo& info, bool select) {
    const QString name = info.fileName();
    int row = m_model->FindRow(name);
    if (row < 0) {
        QString type;
        const int image =
            m_icons->AppendFileIcon(CDevicePath::JoinPc(folder, name), info.isDir(), &type);
        row = m_model->AppendRow(name, image, 0);
        m_model->SetText(row, CFileListModel::kType,
                         type.isEmpty() ? CTextFormats::FallbackType(name) : type);
    }
    if (!info.isDir())
        m_model->SetText(row, CFileListModel::kSize, CTextFormats::PcSize(info.size()));
    const QDateTime modified = info.lastModified();
    if (modified.isValid())
        m_model->SetText(row, CFileListModel::kTime, CTextFormats::PcTime(modified.toLocalTime()));
    if (select) SelectRow(row);
    return row;
}

int CFileListView::AddOrUpdateDeviceRow(const IDeviceBackend::Entry& entry, bool select) {
    int row = m_model->FindRow(entry.name);
    if (row < 0) row = m_model->AppendRow(entry.name, CIconCache::kDeviceFile, 0);
    m_model->SetText(row, CFileListModel::kType, QString());
    m_model->SetText(
        row, CFileListModel::kSize,
        CTextFormats::DeviceSize(static_cast<uint32_t>(entry.size), m_texts.deviceSizeFormat));
    m_model->SetText(
        row, CFileListModel::kTime,
        CTextFormats::DeviceTime(static_cast<uint32_t>(entry.timeMs / 1000), m_texts.unknownTime));
    if (select) SelectRow(row);
    return row;
}

void CFileListView::SelectRow(int row) {
    const QModelIndex index = m_model->index(row, 0);
    m_selection->select(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    m_selection->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
}

void CFileListView::DeselectAll() {
    m_selection->clearSelection();
    m_selection->clearCurrentIndex();
}

QList<int> CFileListView::SelectedRows() const {
    QList<int> rows;
    for (const QModelIndex& i : m_selection->selectedRows()) rows << i.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

void CFileListView::FocusList() {
    ActiveView()->setFocus();
}

void CFileListView::AppendRootRows(const CFolderTree& tree, const QString& typeText) {
    for (QTreeWidgetItem* item : {tree.ComputerItem(), tree.DevicesItem()}) {
        const int row =
            m_model->AppendRow(item->text(0), CFolderTree::ImageOf(item), CFolderTree::IdOf(item));
        m_model->SetText(row, CFileListModel::kType, typeText);
    }
}

void CFileListView::AppendFolderRows(const QTreeWidgetItem* item, const QString& typeText) {
    for (int i = 0; i < item->childCount(); ++i) {
        const QTreeWidgetItem* child = item->child(i);
        const int row =
            m_model->AppendRow(child->text(0), CIconCache::kFolder, CFolderTree::IdOf(child));
        m_model->SetText(row, CFileListModel::kType, typeText);
    }
}

void CFileListView::OnRowActivated(int row) {
    if (!m_tree || row < 0 || row >= m_model->Count()) return;
    if (const quintptr id = m_model->RowAt(row).itemData) {
        if (QTreeWidgetItem* item = m_tree->ItemOfId(id)) m_tree->SelectFolder(item);
        return;
    }
    const QString path = m_tree->CurrentPath();
    // The desktop cannot open a file that lives on the terminal.
    if (path.isEmpty() || CDevicePath::IsDevicePath(path)) return;
    QDesktopServices::openUrl(QUrl::fromLocalFile(
        CDevicePath::JoinPc(path, m_model->RowAt(row).text[CFileListModel::kName])));
}

void CFileListView::AppendDriveRows(const CFolderTree& tree, const DriveTexts& texts) {
    QTreeWidgetItem* computer = tree.ComputerItem();
    for (int i = 0; i < computer->childCount(); ++i) {
        QTreeWidgetItem* drive = computer->child(i);
        const int image = CFolderTree::ImageOf(drive);
        const int row = m_model->AppendRow(drive->text(0), image, CFolderTree::IdOf(drive));
        m_model->SetText(row, CFileListModel::kType, texts.typeOf(image));
        if (image == CIconCache::kRemovable) {
            // A removable drive is not touched: asking it might spin up or wait for a medium.
            m_model->SetText(row, CFileListModel::kSize, texts.noDisk);
            continue;
        }
        double total = 0, free = 0;
        if (CVolumes::Space(tree.PathOf(drive), &total, &free))
            m_model->SetText(row, CFileListModel::kSize,
                             CTextFormats::DriveSpace(total, free, texts.gbFormat, texts.mbFormat));
    }
}

void CFileListView::AppendDeviceRows(const CFolderTree& tree, const QString& type,
                                     const QString& spaceFormat, const StoreInfo& storeInfo) {
    QTreeWidgetItem* devices = tree.DevicesItem();
    for (int i = 0; i < devices->childCount(); ++i) {
        QTreeWidgetItem* device = devices->child(i);
        const int row =
            m_model->AppendRow(device->text(0), CIconCache::kFixedDrive, CFolderTree::IdOf(device));
        m_model->SetText(row, CFileListModel::kType, type);
        uint64_t total = 0, free = 0;
        storeInfo(&total, &free);
        m_model->SetText(row, CFileListModel::kSize,
                         CTextFormats::StoreSpace(total, free, spaceFormat));
    }
}
