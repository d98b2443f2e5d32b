#include "CFolderTree.h"

#include <QApplication>
#include <QDir>
#include <QDragMoveEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMimeData>
#include <QTreeWidgetItemIterator>
#include <algorithm>
#include <mutex>

#include "CClipboardFiles.h"
#include "CDevicePath.h"
#include "CIconCache.h"
#include "IDeviceBackend.h"

namespace {
constexpr int kKindRole = Qt::UserRole + 1;
constexpr int kImageRole = Qt::UserRole + 2;
constexpr int kRootPathRole = Qt::UserRole + 3;
constexpr int kIdRole = Qt::UserRole + 4;

struct WaitCursor {
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
};
}  // namespace

CFolderTree::CFolderTree(CIconCache* icons, IDeviceBackend* backend, QWidget* parent)
    : QTreeWidget(parent), m_icons(icons), m_backend(backend) {
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::CopyAction);
    setIconSize(QSize(16, 16));
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QTreeWidget::currentItemChanged, this, &CFolderTree::OnCurrentItemChanged);
    connect(this, &QTreeWidget::itemExpanded, this, &CFolderTree::OnItemExpanded);
}

QTreeWidgetItem* CFolderTree::MakeItem(const QString& label, Kind kind, int image) {
    auto* item = new QTreeWidgetItem(QStringList{label});
    item->setData(0, kKindRole, static_cast<int>(kind));
    item->setData(0, kIdRole, QVariant::fromValue<qulonglong>(m_nextId++));
    SetImage(item, image);
    return item;
}

void CFolderTree::SetImage(QTreeWidgetItem* item, int image) {
    item->setData(0, kImageRole, image);
    item->setIcon(0, m_icons->Icon(image));
}

quintptr CFolderTree::IdOf(const QTreeWidgetItem* item) {
    return item ? static_cast<quintptr>(item->data(0, kIdRole).toULongLong()) : 0;
}

QTreeWidgetItem* CFolderTree::ItemOfId(quintptr id) const {
    if (id == 0) return nullptr;
    for (QTreeWidgetItemIterator it(const_cast<CFolderTree*>(this)); *it; ++it)
        if (IdOf(*it) == id) return *it;
    return nullptr;
}

CFolderTree::Kind CFolderTree::KindOf(const QTreeWidgetItem* item) {
    return static_cast<Kind>(item->data(0, kKindRole).toInt());
}

int CFolderTree::ImageOf(const QTreeWidgetItem* item) {
    const int image = item->data(0, kImageRole).toInt();
    // The open-folder image only marks the selection; a folder's image is the folder.
    return image == CIconCache::kFolderOpen ? CIconCache::kFolder : image;
}

void CFolderTree::Build(const Labels& labels, bool connected) {
    m_building = true;
    clear();
    m_root = MakeItem(labels.root, Kind::Root, CIconCache::kRoot);
    addTopLevelItem(m_root);
    m_computer = MakeItem(labels.computer, Kind::Computer, CIconCache::kComputer);
    m_root->addChild(m_computer);
    m_devices = MakeItem(labels.devices, Kind::Devices, CIconCache::kDevices);
    m_root->addChild(m_devices);
    m_root->setExpanded(true);

    // On a desktop the user's own files are where one starts, as in its file managers.
    if (const QString home = QDir::homePath(); !labels.home.isEmpty() && QDir(home).exists()) {
        QTreeWidgetItem* item = MakeItem(labels.home, Kind::Drive, CIconCache::kFixedDrive);
        item->setData(0, kRootPathRole, home);
        m_computer->addChild(item);
        Enumerate(item);
    }
    for (const CVolumes::Volume& v : CVolumes::Mounted()) {
        QString label;
        int image = CIconCache::kFixedDrive;
        switch (v.kind) {
            case CVolumes::Kind::Removable:
                label = labels.removable.arg(v.shown);
                image = CIconCache::kRemovable;
                break;
            case CVolumes::Kind::Optical:
                label = labels.optical.arg(v.shown);
                image = CIconCache::kOptical;
                break;
            case CVolumes::Kind::Network:
                label = labels.volume.arg(v.label, v.shown);
                image = CIconCache::kNetwork;
                break;
            case CVolumes::Kind::Fixed:
                label = labels.volume.arg(v.label, v.shown);
                break;
        }
        QTreeWidgetItem* drive = MakeItem(label, Kind::Drive, image);
        drive->setData(0, kRootPathRole, v.rootPath);
        m_computer->addChild(drive);
        Enumerate(drive);
    }
    if (connected) {
        QTreeWidgetItem* device =
            MakeItem(labels.deviceItem, Kind::Device, CIconCache::kFixedDrive);
        m_devices->addChild(device);
        Enumerate(device);
    }
    setCurrentItem(m_root);
    m_current = m_root;
    m_currentPath.clear();
    m_building = false;
}

QString CFolderTree::PathOf(const QTreeWidgetItem* item) const {
    if (!item) return {};
    QStringList labels;
    const QTreeWidgetItem* top = item;
    while (top && KindOf(top) != Kind::Drive && KindOf(top) != Kind::Device) {
        if (KindOf(top) != Kind::Folder) return {};
        labels.prepend(top->text(0));
        top = top->parent();
    }
    if (!top) return {};
    if (KindOf(top) == Kind::Device) {
        if (labels.isEmpty()) return CDevicePath::Root();
        return CDevicePath::Root() + QLatin1Char('\\') + labels.join(QLatin1Char('\\'));
    }
    QString path = top->data(0, kRootPathRole).toString();
    for (const QString& l : labels) path = CDevicePath::JoinPc(path, l);
    return path;
}

void CFolderTree::UpOneLevel() {
    if (m_currentPath.isEmpty() || !m_current) return;
    if (QTreeWidgetItem* parent = m_current->parent()) SelectFolder(parent);
}

void CFolderTree::SelectFolder(QTreeWidgetItem* item) {
    if (!item) return;
    if (item == currentItem()) {
        emit folderSelected(item);
        return;
    }
    setCurrentItem(item);
}

void CFolderTree::Refresh() {
    QTreeWidgetItem* current = m_current ? m_current : m_root;
    if (!current) return;
    SyncChildren(current);
    SelectFolder(current);
}

void CFolderTree::SyncChildren(QTreeWidgetItem* item) {
    QStringList names;
    if (!ChildFolderNames(item, &names)) return;
    for (int c = item->childCount() - 1; c >= 0; --c) {
        if (!names.contains(item->child(c)->text(0))) delete item->takeChild(c);
    }
    for (const QString& name : names) {
        bool known = false;
        for (int c = 0; c < item->childCount() && !known; ++c)
            known = item->child(c)->text(0) == name;
        // One level ahead, as a build enumerates, so that the new folder shows whether it has
        // sub-folders.
        if (!known) Enumerate(InsertFolder(item, name));
    }
}

QTreeWidgetItem* CFolderTree::InsertFolder(QTreeWidgetItem* parent, const QString& label) {
    int at = 0;
    while (at < parent->childCount() &&
           QString::compare(parent->child(at)->text(0), label, Qt::CaseInsensitive) <= 0)
        ++at;
    QTreeWidgetItem* item = MakeItem(label, Kind::Folder, CIconCache::kFolder);
    parent->insertChild(at, item);
    return item;
}

void CFolderTree::Enumerate(QTreeWidgetItem* item) {
    QStringList names;
    if (!ChildFolderNames(item, &names)) return;
    for (const QString& n : names) InsertFolder(item, n);
}

bool CFolderTree::ChildFolderNames(QTreeWidgetItem* item, QStringList* names) {
    if (!item || item == m_root) return false;
    const QString path = PathOf(item);
    if (path.isEmpty() || path == CDevicePath::Root()) return false;
    if (CDevicePath::IsDevicePath(path)) {
        // Only when no worker holds the library; the user-interface thread never waits for one.
        std::unique_lock<std::mutex> lock(m_backend->Gate(), std::try_to_lock);
        if (!lock.owns_lock()) return false;
        m_backend->List(path + QStringLiteral("\\*.*"), [&](const IDeviceBackend::Entry& e) {
            const uint32_t all =
                IDeviceBackend::kDirectory | IDeviceBackend::kHidden | IDeviceBackend::kSystem;
            if ((e.attributes & IDeviceBackend::kDirectory) && e.name != QLatin1String(".") &&
                e.name != QLatin1String("..") && (e.attributes & all) != all)
                *names << e.name;
            return true;
        });
    } else {
        // Linux has no system attribute, so no folder is left out for being hidden and system.
        *names =
            QDir(path).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::NoSort);
    }
    std::sort(names->begin(), names->end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    return true;
}

QStringList CFolderTree::mimeTypes() const {
    return {CClipboardFiles::OwnMimeType(), QStringLiteral("text/uri-list"),
            CClipboardFiles::GnomeMimeType()};
}

QMimeData* CFolderTree::mimeData(const QList<QTreeWidgetItem*>& items) const {
    // Folders only: a drive, the terminal or a place is not copied whole by a slip of the mouse.
    if (items.size() != 1 || KindOf(items.first()) != Kind::Folder) return nullptr;
    QMimeData* payload = nullptr;
    emit const_cast<CFolderTree*>(this)->dragRequested(PathOf(items.first()), &payload);
    return payload;
}

void CFolderTree::dragMoveEvent(QDragMoveEvent* event) {
    QTreeWidget::dragMoveEvent(event);
    // Only onto an item that has a path.
    const QTreeWidgetItem* target = itemAt(event->position().toPoint());
    if (!target || PathOf(target).isEmpty() || !CClipboardFiles::HasFiles(event->mimeData()))
        event->ignore();
}

bool CFolderTree::dropMimeData(QTreeWidgetItem* parent, int, const QMimeData* payload,
                               Qt::DropAction) {
    if (!parent || PathOf(parent).isEmpty() || !CClipboardFiles::HasFiles(payload)) return false;
    // The copy is the job's; the tree gets no item from the drop itself.
    emit filesDropped(payload, parent);
    return true;
}

void CFolderTree::OnItemExpanded(QTreeWidgetItem* item) {
    if (m_building) return;
    for (int i = 0; i < item->childCount(); ++i) {
        if (item->child(i)->childCount() > 0) return;  // expanded before
    }
    WaitCursor wait;
    for (int i = 0; i < item->childCount(); ++i) Enumerate(item->child(i));
}

void CFolderTree::OnCurrentItemChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous) {
    if (m_building || !current) return;
    if (previous && KindOf(previous) == Kind::Folder) SetImage(previous, CIconCache::kFolder);
    if (KindOf(current) == Kind::Folder) SetImage(current, CIconCache::kFolderOpen);
    m_current = current;
    m_currentPath = PathOf(current);
    emit folderSelected(current);
}
