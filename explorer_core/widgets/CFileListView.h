#pragma once
// The explorers' file list: one model shown either as icons (large, small, list) or as a
// details table with four columns, in the order rows were added until the user sorts the
// details by a column (folders first). Offers the row operations the fills and the file jobs
// use: add or update PC and terminal rows by name. It knows nothing of the folder tree: a
// row's tree item is an id, and activating or dropping on a row is told to the frame.
#include <QFileInfo>
#include <QStackedWidget>
#include <functional>

#include "CFileListModel.h"
#include "IDeviceBackend.h"

class QAbstractItemView;
class QListView;
class QMimeData;
class QTreeView;
class QItemSelectionModel;
class CIconCache;

class CFileListView : public QStackedWidget {
    Q_OBJECT
  public:
    enum class Mode { Icon, SmallIcon, List, Details };
    // How each program shows a terminal row's size and time, and a PC file's type.
    struct Texts {
        std::function<QString(uint64_t size)> deviceSize = [](uint64_t size) {
            return QString::number(size);
        };
        std::function<QString(int64_t timeMs)> deviceTime = [](int64_t) { return QString(); };
        // A file name without an extension gets the fallback type even when the desktop knows
        // one (its database also matches whole names such as README).
        bool fallbackTypeWithoutExtension = false;
    };
    // Texts of the drive summary rows, each program's own.
    struct DriveTexts {
        std::function<QString(int image)> typeOf;  // type column for a drive image
        QString noDisk;                            // size column of a removable drive
        QString gbFormat, mbFormat;                // CTextFormats::DriveSpace formats
    };

    CFileListView(CIconCache* icons, QWidget* parent = nullptr);

    void SetTexts(const Texts& texts) { m_texts = texts; }
    void SetMode(Mode mode);
    Mode CurrentMode() const { return m_mode; }
    // Double-click or Enter on a row; the frame decides what it opens.
    void ActivateRow(int row) { emit rowActivated(row); }

    // Sorts the rows by column, folders first; a second click on the same column reverses.
    void SortBy(int column, Qt::SortOrder order);
    // After a refill: the sort the user chose, again, and the columns widened to their texts.
    void FinishFill();

    CFileListModel* Model() const { return m_model; }
    CIconCache* Icons() const { return m_icons; }
    QAbstractItemView* ActiveView() const;
    QTreeView* DetailsView() const { return m_details; }
    QListView* IconView() const { return m_iconView; }
    // How wide the list must be to show the details columns in full, scroll bar included.
    int DetailsWidth() const;

    void Clear();
    // Appends the files and folders of a PC folder the way a refresh does: hidden files, "."
    // and ".." are left out, hidden folders kept. Per-file icons are dropped first.
    void AppendPcFiles(const QString& folder);
    int AddOrUpdatePcRow(const QString& folder, const QFileInfo& info, bool select);
    int AddOrUpdateDeviceRow(const IDeviceBackend::Entry& entry, bool select);
    int FindRow(const QString& name) const { return m_model->FindRow(name); }
    bool HasRow(const QString& name) const { return FindRow(name) >= 0; }
    void SelectRow(int row);
    void DeselectAll();
    QList<int> SelectedRows() const;
    void FocusList();

  signals:
    void rowActivated(int row);
    void contextMenuRequestedAt(const QPoint& globalPos);
    // The rows or the selection changed.
    void contentsChanged();
    // A drag of the selected rows begins; the frame fills the payload.
    void dragRequested(QMimeData** payload);
    // Files were dropped on row (-1: on no row).
    void filesDropped(const QMimeData* data, int row);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Hook(QAbstractItemView* view);
    void FitNames(int first, int last);
    void FitGrid();
    void FitColumns();

    CIconCache* m_icons;
    CFileListModel* m_model;
    QListView* m_iconView;
    QTreeView* m_details;
    QItemSelectionModel* m_selection;
    Mode m_mode = Mode::Icon;
    Texts m_texts;
    int m_widestName = 0;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    QPoint m_pressPos;
};
