#include "CIconCache.h"

#include <QFileInfo>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

const char* const kThemeNames[CIconCache::kFixedCount] = {
    "system-file-manager", "computer",       "phone",  "drive-removable-media", "drive-harddisk",
    "drive-optical",       "network-server", "folder", "text-x-generic",        "folder-open"};

void Paint(QPainter& p, CIconCache::Fixed which, int s) {
    p.setRenderHint(QPainter::Antialiasing);
    const qreal u = s / 16.0;
    auto rect = [&](qreal x, qreal y, qreal w, qreal h) {
        return QRectF(x * u, y * u, w * u, h * u);
    };
    p.setPen(QPen(QColor(40, 40, 40), std::max<qreal>(1.0, u * 0.8)));
    switch (which) {
        case CIconCache::kFolder:
        case CIconCache::kFolderOpen: {
            p.setBrush(QColor(230, 190, 70));
            p.drawRect(rect(1, 3, 6, 3));
            p.drawRect(rect(1, 5, 14, 9));
            if (which == CIconCache::kFolderOpen) {
                p.setBrush(QColor(250, 220, 120));
                QPolygonF lid;
                lid << QPointF(3 * u, 8 * u) << QPointF(15.5 * u, 8 * u) << QPointF(14 * u, 14 * u)
                    << QPointF(1 * u, 14 * u);
                p.drawPolygon(lid);
            }
            break;
        }
        case CIconCache::kComputer:
            p.setBrush(QColor(90, 140, 210));
            p.drawRect(rect(1, 2, 14, 9));
            p.setBrush(QColor(180, 180, 180));
            p.drawRect(rect(5, 12, 6, 2));
            break;
        case CIconCache::kRoot:
            p.setBrush(QColor(230, 190, 70));
            p.drawRect(rect(1, 4, 14, 10));
            p.setBrush(QColor(90, 140, 210));
            p.drawEllipse(rect(7, 6, 7, 7));
            break;
        case CIconCache::kDevices:
            p.setBrush(QColor(70, 70, 70));
            p.drawRoundedRect(rect(4, 1, 8, 14), 1.5 * u, 1.5 * u);
            p.setBrush(QColor(140, 220, 140));
            p.drawRect(rect(5.5, 3, 5, 5));
            break;
        case CIconCache::kRemovable:
            p.setBrush(QColor(60, 60, 160));
            p.drawRect(rect(2, 2, 12, 12));
            p.setBrush(QColor(220, 220, 220));
            p.drawRect(rect(4, 2, 8, 5));
            break;
        case CIconCache::kFixedDrive:
        case CIconCache::kNetwork:
            p.setBrush(QColor(170, 170, 170));
            p.drawRect(rect(1, 5, 14, 7));
            p.setBrush(QColor(60, 200, 60));
            p.drawEllipse(rect(12, 8, 2, 2));
            if (which == CIconCache::kNetwork) {
                p.drawLine(QPointF(8 * u, 12 * u), QPointF(8 * u, 15 * u));
                p.drawLine(QPointF(3 * u, 15 * u), QPointF(13 * u, 15 * u));
            }
            break;
        case CIconCache::kOptical:
            p.setBrush(QColor(200, 200, 230));
            p.drawEllipse(rect(1, 1, 14, 14));
            p.setBrush(Qt::white);
            p.drawEllipse(rect(6, 6, 4, 4));
            break;
        case CIconCache::kDeviceFile:
        default:
            p.setBrush(Qt::white);
            p.drawRect(rect(3, 1, 10, 14));
            p.drawLine(QPointF(5 * u, 5 * u), QPointF(11 * u, 5 * u));
            p.drawLine(QPointF(5 * u, 8 * u), QPointF(11 * u, 8 * u));
            p.drawLine(QPointF(5 * u, 11 * u), QPointF(11 * u, 11 * u));
            break;
    }
}

}  // namespace

QIcon CIconCache::Drawn(const std::function<void(QPainter& painter, int size)>& paint) {
    QIcon icon;
    for (int s : {16, 32}) {
        QPixmap pm(s, s);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        paint(p, s);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

QIcon CIconCache::DrawnIcon(Fixed which) {
    return Drawn([which](QPainter& p, int size) { Paint(p, which, size); });
}

CIconCache::CIconCache() {
    m_icons.reserve(kFixedCount);
    for (int i = 0; i < kFixedCount; ++i) {
        const auto which = static_cast<Fixed>(i);
        m_icons.push_back(QIcon::fromTheme(QString::fromLatin1(kThemeNames[i]), DrawnIcon(which)));
    }
}

QIcon CIconCache::Icon(int index) const {
    if (index < 0 || index >= Count()) return {};
    return m_icons[static_cast<size_t>(index)];
}

void CIconCache::TrimToFixed() {
    m_icons.resize(kFixedCount);
}

int CIconCache::AppendFileIcon(const QString& path, bool isDir, QString* typeName) {
    // Extension-only matching: reading every file's content would make big folders slow.
    const QMimeType type = isDir ? m_mime.mimeTypeForName(QStringLiteral("inode/directory"))
                                 : m_mime.mimeTypeForFile(path, QMimeDatabase::MatchExtension);
    auto it = m_byType.find(type.name());
    if (it == m_byType.end()) {
        TypeInfo info;
        const QIcon fallback = isDir ? m_icons[kFolder] : m_provider.icon(QFileIconProvider::File);
        info.icon =
            QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName(), fallback));
        // The generic "plain data" type is no type name at all for the user.
        if (type.isValid() && !type.isDefault()) info.name = type.comment();
        it = m_byType.insert(type.name(), info);
    }
    if (typeName) *typeName = it->name;
    m_icons.push_back(it->icon);
    return Count() - 1;
}
