#include "CFileListModel.h"

#include <algorithm>
#include <utility>

CFileListModel::CFileListModel(QObject* parent) : QAbstractTableModel(parent) {}

void CFileListModel::SetHeaders(const QStringList& titles) {
    m_headers = titles;
    emit headerDataChanged(Qt::Horizontal, 0, kColumnCount - 1);
}

void CFileListModel::SetIconSource(std::function<QIcon(int)> source) {
    m_iconSource = std::move(source);
}

int CFileListModel::AppendRow(const QString& name, int image, quintptr itemData) {
    const int row = Count();
    beginInsertRows({}, row, row);
    Row r;
    r.text[kName] = name;
    r.image = image;
    r.itemData = itemData;
    // A row that stands for a tree item is a folder, a drive or a place.
    r.folder = itemData != 0;
    m_rows.push_back(std::move(r));
    // An earlier row of the same name stays the one that is found.
    const QString key = name.left(kNameCompareLength);
    if (!m_firstByName.contains(key)) m_firstByName.insert(key, row);
    endInsertRows();
    return row;
}

void CFileListModel::SetText(int row, Column column, const QString& text) {
    if (row < 0 || row >= Count()) return;
    Row& r = m_rows[static_cast<size_t>(row)];
    if (r.text[column] == text) return;
    r.text[column] = text;
    if (column == kName) RebuildIndex();
    const QModelIndex i = index(row, column);
    emit dataChanged(i, i);
}

void CFileListModel::SetSortKey(int row, Column column, qint64 key) {
    if (row < 0 || row >= Count()) return;
    Row& r = m_rows[static_cast<size_t>(row)];
    r.hasKey[column] = true;
    r.key[column] = key;
}

void CFileListModel::SetFolder(int row) {
    if (row >= 0 && row < Count()) m_rows[static_cast<size_t>(row)].folder = true;
}

void CFileListModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= kColumnCount || m_rows.empty()) return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> from(m_rows.size());
    for (size_t i = 0; i < from.size(); ++i) from[i] = static_cast<int>(i);
    const auto less = [&](int a, int b) {
        const Row& x = m_rows[static_cast<size_t>(a)];
        const Row& y = m_rows[static_cast<size_t>(b)];
        if (x.folder != y.folder) return x.folder;
        int c = 0;
        if (x.hasKey[column] && y.hasKey[column])
            c = x.key[column] < y.key[column] ? -1 : (x.key[column] > y.key[column] ? 1 : 0);
        else
            c = QString::compare(x.text[column], y.text[column], Qt::CaseInsensitive);
        return order == Qt::AscendingOrder ? c < 0 : c > 0;
    };
    std::stable_sort(from.begin(), from.end(), less);
    std::vector<Row> sorted;
    sorted.reserve(m_rows.size());
    std::vector<int> to(m_rows.size());
    for (size_t i = 0; i < from.size(); ++i) {
        sorted.push_back(std::move(m_rows[static_cast<size_t>(from[i])]));
        to[static_cast<size_t>(from[i])] = static_cast<int>(i);
    }
    m_rows = std::move(sorted);
    const QModelIndexList old = persistentIndexList();
    QModelIndexList now;
    for (const QModelIndex& i : old) now << index(to[static_cast<size_t>(i.row())], i.column());
    changePersistentIndexList(old, now);
    RebuildIndex();
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int CFileListModel::FindRow(const QString& name) const {
    const auto it = m_firstByName.constFind(name.left(kNameCompareLength));
    return it == m_firstByName.constEnd() ? -1 : it.value();
}

void CFileListModel::Clear() {
    if (m_rows.empty()) return;
    beginResetModel();
    m_rows.clear();
    m_firstByName.clear();
    endResetModel();
}

void CFileListModel::RemoveRow(int row) {
    if (row < 0 || row >= Count()) return;
    beginRemoveRows({}, row, row);
    m_rows.erase(m_rows.begin() + row);
    RebuildIndex();
    endRemoveRows();
}

void CFileListModel::RebuildIndex() {
    m_firstByName.clear();
    for (int i = Count() - 1; i >= 0; --i)
        m_firstByName.insert(m_rows[static_cast<size_t>(i)].text[kName].left(kNameCompareLength),
                             i);
}

int CFileListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Count();
}

int CFileListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant CFileListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= Count()) return {};
    const Row& r = m_rows[static_cast<size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
            return r.text[index.column()];
        case Qt::DecorationRole:
            if (index.column() == kName && m_iconSource) return m_iconSource(r.image);
            return {};
        case Qt::TextAlignmentRole:
            if (index.column() == kSize) return QVariant(Qt::AlignRight | Qt::AlignVCenter);
            return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
        default:
            return {};
    }
}

QVariant CFileListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= m_headers.size()) return {};
    if (role == Qt::DisplayRole) return m_headers[section];
    if (role == Qt::TextAlignmentRole)
        return QVariant((section == kSize ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    return {};
}
