#pragma once
// Rows of an explorer's file list: name, size, type and time columns, an image index into the
// icon cache and an item-data value (the tree item a row stands for, 0 for a file). Rows keep
// the order they were added in until sort is asked for.
#include <QAbstractTableModel>
#include <QHash>
#include <QIcon>
#include <QStringList>
#include <functional>
#include <vector>

class CFileListModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column { kName = 0, kSize, kType, kTime, kColumnCount };
    struct Row {
        QString text[kColumnCount];
        int image = 0;
        quintptr itemData = 0;
        // Folders sort before files; a column with a key sorts by it rather than its text.
        bool folder = false;
        bool hasKey[kColumnCount] = {};
        qint64 key[kColumnCount] = {};
    };
    // Names are compared on at most this many characters, as the original list control did.
    static constexpr int kNameCompareLength = 259;

    explicit CFileListModel(QObject* parent = nullptr);

    void SetHeaders(const QStringList& titles);
    // Gives the icon for an image index.
    void SetIconSource(std::function<QIcon(int)> source);

    int AppendRow(const QString& name, int image, quintptr itemData);
    void SetText(int row, Column column, const QString& text);
    void SetSortKey(int row, Column column, qint64 key);
    void SetFolder(int row);
    // First row whose name equals name exactly (case-sensitive), or -1.
    int FindRow(const QString& name) const;
    const Row& RowAt(int row) const { return m_rows[static_cast<size_t>(row)]; }
    int Count() const { return static_cast<int>(m_rows.size()); }
    void Clear();
    // Removes one row (the file jobs remove rows of deleted items).
    void RemoveRow(int row);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // Folders first, then by the column's key or its text (names without regard to case); rows
    // that compare equal keep their order.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

  private:
    void RebuildIndex();

    std::vector<Row> m_rows;
    QHash<QString, int> m_firstByName;
    QStringList m_headers;
    std::function<QIcon(int)> m_iconSource;
};
