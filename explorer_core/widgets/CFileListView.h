#pragma once
#include <functional>
// The explorers' file list: one model shown either as icons (large, small, list) or as a
// details table with four columns, in the order rows were added. Offers the row operations
// the fills and the file jobs use: add or update PC and terminal rows by name.
#include <QFileInfo>
#include <QStackedWidget>

#include "CFileListModel.h"
#include "IDeviceBackend.h"

class QAbstractItemView;
class QListView;
class QTreeView;
class QItemSelectionModel;
class CIconCache;

class CFolderTree;
class QTreeWidgetItem;

class CFileListView : public QStackedWidget {
    Q_OBJECT
  public:
    enum class Mode { Icon, SmallIcon, List, Details };
    struct Texts {
        QString deviceSizeFormat;  // printf, one unsigned: "%u bytes"
        QString unknownTime;       // "Unknown"
    };

    CFileListView(CIconCache* icons, QWidget* parent = nullptr);

    void SetTreeView(CFolderTree* tree) { m_tree = tree; }
    // Double-click on a row: into the tree item it stands for, or the desktop's default action
    // for a PC file. A row whose tree item is gone does nothing.
    void OnRowActivated(int row);
    void SetTexts(const Texts& texts) { m_texts = texts; }
    void SetMode(Mode mode);
    Mode CurrentMode() const { return m_mode; }

    CFileListModel* Model() const { return m_model; }
    CIconCache* Icons() const { return m_icons; }
    QAbstractItemView* ActiveView() const;
    QTreeView* DetailsView() const { return m_details; }
    QListView* IconView() const { return m_iconView; }
    // How wide the list must be to show the details columns in full, scroll bar included.
    int DetailsWidth() const;

    void Clear();
    // Texts of the drive summary rows, each program's own.
    struct DriveTexts {
        std::function<QString(int image)> typeOf;  // type column for a drive image
        QString noDisk;                            // size column of a removable drive
        QString gbFormat, mbFormat;                // CTextFormats::DriveSpace formats
    };
    // One row per drive under the tree's "My Computer" item.
    void AppendDriveRows(const CFolderTree& tree, const DriveTexts& texts);
    // One row per device under the tree's devices item; its size column is the store space
    // storeInfo reports (total and free bytes, left at 0 when it cannot ask), in spaceFormat.
    using StoreInfo = std::function<void(uint64_t* total, uint64_t* free)>;
    void AppendDeviceRows(const CFolderTree& tree, const QString& type, const QString& spaceFormat,
                          const StoreInfo& storeInfo);
    // Appends the files and folders of a PC folder the way a refresh does: hidden files, "."
    // and ".." are left out, hidden folders kept. Per-file icons are dropped first.
    void AppendPcFiles(const QString& folder);
    // The root's two rows, "My Computer" and the devices item, with their type text.
    void AppendRootRows(const CFolderTree& tree, const QString& typeText);
    // Rows of the tree item's child folders, in tree order, with their type text.
    void AppendFolderRows(const QTreeWidgetItem* item, const QString& typeText);
    // Each program may show its rows its own way.
    virtual int AddOrUpdatePcRow(const QString& folder, const QFileInfo& info, bool select);
    virtual int AddOrUpdateDeviceRow(const IDeviceBackend::Entry& entry, bool select);
    int FindRow(const QString& name) const { return m_model->FindRow(name); }
    bool HasRow(const QString& name) const { return FindRow(name) >= 0; }
    void SelectRow(int row);
    void DeselectAll();
    QList<int> SelectedRows() const;
    void FocusList();

  signals:
    void rowActivated(int row);
    void contextMenuRequestedAt(const QPoint& globalPos);

  private:
    void Hook(QAbstractItemView* view);

  protected:
    CFolderTree* m_tree = nullptr;

  private:
    CIconCache* m_icons;
    CFileListModel* m_model;
    QListView* m_iconView;
    QTreeView* m_details;
    QItemSelectionModel* m_selection;
    Mode m_mode = Mode::Icon;
    Texts m_texts;
};
