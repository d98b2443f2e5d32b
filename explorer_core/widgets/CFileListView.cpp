#include "CFileListView.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListView>
#include <QMimeData>
#include <QShortcut>
#include <QStyle>
#include <QTreeView>
#include <algorithm>

#include "CClipboardFiles.h"
#include "CDevicePath.h"
#include "CIconCache.h"
#include "CTextFormats.h"

namespace {
// The widths the columns start with; a fill widens the name and size columns to their texts.
constexpr int kColumnWidths[CFileListModel::kColumnCount] = {130, 100, 85, 135};
constexpr int kMaxFittedColumnWidth = 400;
// A grid cell of the small-icon and list modes: icon, gap and this many pixels of name at most.
constexpr int kMinNameWidth = 120;
constexpr int kMaxNameWidth = 360;
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
    // Sorting follows a click only: the rows keep the order they came in until then.
    m_details->header()->setSectionsClickable(true);
    m_details->header()->setSortIndicatorShown(false);
    m_details->header()->setSectionsMovable(false);
    m_details->setAllColumnsShowFocus(true);
    for (int c = 0; c < CFileListModel::kColumnCount; ++c)
        m_details->setColumnWidth(c, kColumnWidths[c]);
    connect(m_details->header(), &QHeaderView::sectionClicked, this, [this](int column) {
        const Qt::SortOrder order = column == m_sortColumn && m_sortOrder == Qt::AscendingOrder
                                        ? Qt::DescendingOrder
                                        : Qt::AscendingOrder;
        SortBy(column, order);
    });

    m_iconView->setResizeMode(QListView::Adjust);
    m_iconView->setMovement(QListView::Static);
    m_iconView->setWordWrap(true);

    Hook(m_iconView);
    Hook(m_details);
    connect(m_model, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) { FitNames(first, last); });
    connect(m_model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& from, const QModelIndex& to) {
                if (from.column() == CFileListModel::kName) FitNames(from.row(), to.row());
            });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        m_widestName = 0;
        FitGrid();
    });
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(m_model, signal, this, &CFileListView::contentsChanged);
    connect(m_model, &QAbstractItemModel::modelReset, this, &CFileListView::contentsChanged);
    connect(m_selection, &QItemSelectionModel::selectionChanged, this,
            &CFileListView::contentsChanged);
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
    // Drags and drops are handled here, as file lists, not as the model's rows.
    view->setDragDropMode(QAbstractItemView::NoDragDrop);
    view->setAcceptDrops(true);
    view->viewport()->setAcceptDrops(true);
    view->viewport()->installEventFilter(this);
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { emit rowActivated(index.row()); });
    connect(view, &QWidget::customContextMenuRequested, this, [this, view](const QPoint& pos) {
        emit contextMenuRequestedAt(view->viewport()->mapToGlobal(pos));
    });
    for (const QKeySequence& key : {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)}) {
        auto* enter = new QShortcut(key, view, nullptr, nullptr, Qt::WidgetShortcut);
        connect(enter, &QShortcut::activated, this, [this, view] {
            const QModelIndex current = view->currentIndex();
            if (current.isValid()) emit rowActivated(current.row());
        });
    }
}

bool CFileListView::eventFilter(QObject* watched, QEvent* event) {
    QAbstractItemView* view = nullptr;
    if (watched == m_details->viewport()) view = m_details;
    if (watched == m_iconView->viewport()) view = m_iconView;
    if (!view) return QStackedWidget::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::MouseButtonPress:
            m_pressPos = static_cast<QMouseEvent*>(event)->position().toPoint();
            break;
        case QEvent::MouseMove: {
            const auto* move = static_cast<QMouseEvent*>(event);
            if (!(move->buttons() & Qt::LeftButton)) break;
            if ((move->position().toPoint() - m_pressPos).manhattanLength() <
                QApplication::startDragDistance())
                break;
            const QModelIndex pressed = view->indexAt(m_pressPos);
            if (!pressed.isValid() || !m_selection->isRowSelected(pressed.row())) break;
            QMimeData* payload = nullptr;
            emit dragRequested(&payload);
            if (!payload) break;
            auto* drag = new QDrag(view);
            drag->setMimeData(payload);
            drag->exec(Qt::CopyAction);
            return true;
        }
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDropEvent*>(event);
            if (!CClipboardFiles::HasFiles(drag->mimeData())) break;
            drag->setDropAction(Qt::CopyAction);
            drag->accept();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            if (!CClipboardFiles::HasFiles(drop->mimeData())) break;
            drop->setDropAction(Qt::CopyAction);
            drop->accept();
            const QModelIndex at = view->indexAt(drop->position().toPoint());
            emit filesDropped(drop->mimeData(), at.isValid() ? at.row() : -1);
            return true;
        }
        default:
            break;
    }
    return QStackedWidget::eventFilter(watched, event);
}

void CFileListView::SetMode(Mode mode) {
    m_mode = mode;
    switch (mode) {
        case Mode::Icon:
            m_iconView->setViewMode(QListView::IconMode);
            m_iconView->setIconSize(QSize(32, 32));
            m_iconView->setFlow(QListView::LeftToRight);
            m_iconView->setWrapping(true);
            setCurrentWidget(m_iconView);
            break;
        case Mode::SmallIcon:
            m_iconView->setViewMode(QListView::ListMode);
            m_iconView->setIconSize(QSize(16, 16));
            m_iconView->setFlow(QListView::LeftToRight);
            m_iconView->setWrapping(true);
            setCurrentWidget(m_iconView);
            break;
        case Mode::List:
            m_iconView->setViewMode(QListView::ListMode);
            m_iconView->setIconSize(QSize(16, 16));
            m_iconView->setFlow(QListView::TopToBottom);
            m_iconView->setWrapping(true);
            setCurrentWidget(m_iconView);
            break;
        case Mode::Details:
            m_details->setIconSize(QSize(16, 16));
            setCurrentWidget(m_details);
            break;
    }
    FitGrid();
}

void CFileListView::FitNames(int first, int last) {
    const QFontMetrics metrics = m_iconView->fontMetrics();
    const int widest = m_widestName;
    for (int row = first; row <= last && row < m_model->Count(); ++row)
        m_widestName =
            std::max(m_widestName,
                     metrics.horizontalAdvance(m_model->RowAt(row).text[CFileListModel::kName]));
    if (m_widestName != widest) FitGrid();
}

void CFileListView::FitGrid() {
    if (m_mode == Mode::Icon) {
        m_iconView->setGridSize(QSize(96, 64));
        return;
    }
    if (m_mode == Mode::Details) return;
    // A cell of the small-icon and list modes is as wide as the longest name needs, within
    // bounds, so that names are not cut to a few letters.
    const int name = std::clamp(m_widestName, kMinNameWidth, kMaxNameWidth);
    const int height = std::max(20, m_iconView->fontMetrics().height() + 4);
    m_iconView->setGridSize(QSize(16 + 12 + name, height));
}

void CFileListView::FitColumns() {
    // Only wider: a column the user narrowed stays as the texts allow.
    for (const int column : {int(CFileListModel::kName), int(CFileListModel::kSize)}) {
        const int wanted =
            std::min(static_cast<QAbstractItemView*>(m_details)->sizeHintForColumn(column),
                     kMaxFittedColumnWidth);
        if (wanted > m_details->columnWidth(column)) m_details->setColumnWidth(column, wanted);
    }
}

QAbstractItemView* CFileListView::ActiveView() const {
    return m_mode == Mode::Details ? static_cast<QAbstractItemView*>(m_details) : m_iconView;
}

void CFileListView::SortBy(int column, Qt::SortOrder order) {
    m_sortColumn = column;
    m_sortOrder = order;
    m_details->header()->setSortIndicatorShown(true);
    m_details->header()->setSortIndicator(column, order);
    m_model->sort(column, order);
}

void CFileListView::FinishFill() {
    if (m_sortColumn >= 0) m_model->sort(m_sortColumn, m_sortOrder);
    FitColumns();
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
        if (type.isEmpty() ||
            (m_texts.fallbackTypeWithoutExtension && !info.isDir() && info.suffix().isEmpty()))
            type = CTextFormats::FallbackType(name);
        m_model->SetText(row, CFileListModel::kType, type);
    }
    if (info.isDir()) {
        m_model->SetFolder(row);
    } else {
        m_model->SetText(row, CFileListModel::kSize, CTextFormats::PcSize(info.size()));
        m_model->SetSortKey(row, CFileListModel::kSize, info.size());
    }
    const QDateTime modified = info.lastModified();
    if (modified.isValid()) {
        m_model->SetText(row, CFileListModel::kTime, CTextFormats::PcTime(modified.toLocalTime()));
        m_model->SetSortKey(row, CFileListModel::kTime, modified.toSecsSinceEpoch());
    }
    if (select) SelectRow(row);
    return row;
}

int CFileListView::AddOrUpdateDeviceRow(const IDeviceBackend::Entry& entry, bool select) {
    int row = m_model->FindRow(entry.name);
    if (row < 0) row = m_model->AppendRow(entry.name, CIconCache::kDeviceFile, 0);
    m_model->SetText(row, CFileListModel::kType, QString());
    m_model->SetText(row, CFileListModel::kSize, m_texts.deviceSize(entry.size));
    m_model->SetSortKey(row, CFileListModel::kSize, static_cast<qint64>(entry.size));
    m_model->SetText(row, CFileListModel::kTime, m_texts.deviceTime(entry.timeMs));
    m_model->SetSortKey(row, CFileListModel::kTime, entry.timeMs / 1000);
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
