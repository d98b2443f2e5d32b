#pragma once
// The explorers' folder tree: a root, "My Computer" with the user's home folder and one item
// per mounted volume, "Remote
// Devices" with the terminal, and folders enumerated lazily one level ahead of what is shown.
// Paths are recomputed from the items: a volume's mount point stands where a drive letter
// stood, and the terminal's item is the device root "ZOT:". It knows nothing of the file list:
// selections, drags and drops are told to the frame.
#include <QTreeWidget>

#include "CVolumes.h"

class CIconCache;
class IDeviceBackend;

class CFolderTree : public QTreeWidget {
    Q_OBJECT
  public:
    enum class Kind { Root, Computer, Devices, Drive, Device, Folder };
    struct Labels {
        QString root, computer, devices;
        QString removable;  // "%1" is the mount point
        QString optical;    // "%1" is the mount point
        QString volume;     // "%1" the volume label, "%2" the mount point
        QString home;       // the user's home folder, the first item of "My Computer"
        QString deviceItem;
    };

    CFolderTree(CIconCache* icons, IDeviceBackend* backend, QWidget* parent = nullptr);

    // Deletes all items and builds the tree again; the device item only when connected.
    // The root becomes current, the current path empty. Emits no folder change.
    void Build(const Labels& labels, bool connected);

    QString PathOf(const QTreeWidgetItem* item) const;
    // What a list row keeps of the item it stands for: an id that is never used again, so a
    // row whose item is gone finds nothing rather than freed memory. 0 for null.
    static quintptr IdOf(const QTreeWidgetItem* item);
    QTreeWidgetItem* ItemOfId(quintptr id) const;
    // Makes item current and selected; the file list follows, also when it already was.
    void SelectFolder(QTreeWidgetItem* item);
    // Up: the parent of a folder that has a path. Refresh: the current folder's sub-folders
    // read again (folders made or removed since are found) and the folder listed again.
    void UpOneLevel();
    void Refresh();
    static Kind KindOf(const QTreeWidgetItem* item);
    static int ImageOf(const QTreeWidgetItem* item);

    QTreeWidgetItem* RootItem() const { return m_root; }
    QTreeWidgetItem* ComputerItem() const { return m_computer; }
    QTreeWidgetItem* DevicesItem() const { return m_devices; }
    QTreeWidgetItem* CurrentFolderItem() const { return m_current; }
    const QString& CurrentPath() const { return m_currentPath; }

    // Adds item's sub-folders as its children (one level).
    void Enumerate(QTreeWidgetItem* item);
    // Inserts a folder child in sorted position.
    QTreeWidgetItem* InsertFolder(QTreeWidgetItem* parent, const QString& label);

  signals:
    // The selection moved to item; current item and path are already updated.
    void folderSelected(QTreeWidgetItem* item);
    // A drag of a folder begins: the frame fills the payload.
    void dragRequested(const QString& path, QMimeData** payload);
    // Files were dropped on item.
    void filesDropped(const QMimeData* data, QTreeWidgetItem* item);

  protected:
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QList<QTreeWidgetItem*>& items) const override;
    bool dropMimeData(QTreeWidgetItem* parent, int index, const QMimeData* payload,
                      Qt::DropAction action) override;
    Qt::DropActions supportedDropActions() const override { return Qt::CopyAction; }
    void dragMoveEvent(QDragMoveEvent* event) override;

  private:
    // The names of item's sub-folders, sorted; false when they cannot be read now.
    bool ChildFolderNames(QTreeWidgetItem* item, QStringList* names);
    // Makes item's children the folders that are there now.
    void SyncChildren(QTreeWidgetItem* item);
    QTreeWidgetItem* MakeItem(const QString& label, Kind kind, int image);
    void SetImage(QTreeWidgetItem* item, int image);
    void OnCurrentItemChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous);
    void OnItemExpanded(QTreeWidgetItem* item);

    CIconCache* m_icons;
    IDeviceBackend* m_backend;
    QTreeWidgetItem* m_root = nullptr;
    QTreeWidgetItem* m_computer = nullptr;
    QTreeWidgetItem* m_devices = nullptr;
    QTreeWidgetItem* m_current = nullptr;
    QString m_currentPath;
    bool m_building = false;
    quintptr m_nextId = 1;
};
