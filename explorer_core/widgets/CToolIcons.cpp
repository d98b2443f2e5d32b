#include "CToolIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "CIconCache.h"

namespace {
const char* ThemeName(CToolIcons::Kind kind) {
    switch (kind) {
        case CToolIcons::Kind::Up:
            return "go-up";
        case CToolIcons::Kind::Copy:
            return "edit-copy";
        case CToolIcons::Kind::Paste:
            return "edit-paste";
        case CToolIcons::Kind::Delete:
            return "edit-delete";
        case CToolIcons::Kind::LargeIcons:
            return "view-list-icons";
        case CToolIcons::Kind::SmallIcons:
            return "view-list-compact";
        case CToolIcons::Kind::List:
            return "view-list-text";
        case CToolIcons::Kind::Details:
            return "view-list-details";
        case CToolIcons::Kind::Refresh:
            return "view-refresh";
        case CToolIcons::Kind::About:
            return "help-about";
    }
    return "";
}

void Sheet(QPainter& p, QRectF r) {
    p.setPen(QPen(QColor(80, 80, 80), 1.5));
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.setPen(QPen(QColor(150, 150, 150), 1.5));
    for (qreal y = r.top() + 5; y < r.bottom() - 2; y += 4)
        p.drawLine(QPointF(r.left() + 3, y), QPointF(r.right() - 3, y));
}

// Drawn on a 32-pixel square.
void Draw(QPainter& p, CToolIcons::Kind kind) {
    const QColor blue(40, 100, 190);
    const QColor dark(60, 60, 60);
    p.setRenderHint(QPainter::Antialiasing);
    switch (kind) {
        case CToolIcons::Kind::Up: {
            QPainterPath arrow;
            arrow.moveTo(16, 3);
            arrow.lineTo(28, 16);
            arrow.lineTo(20, 16);
            arrow.lineTo(20, 29);
            arrow.lineTo(12, 29);
            arrow.lineTo(12, 16);
            arrow.lineTo(4, 16);
            arrow.closeSubpath();
            p.setPen(QPen(blue.darker(140), 1.5));
            p.setBrush(blue);
            p.drawPath(arrow);
            break;
        }
        case CToolIcons::Kind::Copy:
            Sheet(p, QRectF(3, 3, 17, 21));
            Sheet(p, QRectF(12, 9, 17, 21));
            break;
        case CToolIcons::Kind::Paste:
            // A clipboard with a sheet on it.
            p.setPen(QPen(QColor(120, 80, 30), 1.5));
            p.setBrush(QColor(200, 150, 80));
            p.drawRoundedRect(QRectF(4, 5, 20, 25), 2, 2);
            p.setBrush(QColor(160, 160, 160));
            p.drawRect(QRectF(10, 2, 8, 6));
            Sheet(p, QRectF(13, 12, 16, 18));
            break;
        case CToolIcons::Kind::Delete:
            p.setPen(QPen(QColor(190, 30, 30), 4, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(7, 7), QPointF(25, 25));
            p.drawLine(QPointF(25, 7), QPointF(7, 25));
            break;
        case CToolIcons::Kind::LargeIcons:
            p.setPen(QPen(dark, 1.5));
            p.setBrush(blue);
            for (int x : {3, 18})
                for (int y : {3, 18}) p.drawRect(QRectF(x, y, 11, 11));
            break;
        case CToolIcons::Kind::SmallIcons:
            p.setPen(Qt::NoPen);
            for (int x : {3, 17})
                for (int y : {4, 13, 22}) {
                    p.setBrush(blue);
                    p.drawRect(QRectF(x, y, 5, 5));
                    p.setBrush(dark);
                    p.drawRect(QRectF(x + 7, y + 1.5, 5, 2));
                }
            break;
        case CToolIcons::Kind::List:
            p.setPen(Qt::NoPen);
            for (int y : {4, 11, 18, 25}) {
                p.setBrush(blue);
                p.drawRect(QRectF(3, y, 4, 4));
                p.setBrush(dark);
                p.drawRect(QRectF(10, y + 1, 19, 2));
            }
            break;
        case CToolIcons::Kind::Details:
            p.setPen(QPen(dark, 1));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(2.5, 3.5, 27, 25));
            p.setBrush(QColor(200, 200, 200));
            p.drawRect(QRectF(2.5, 3.5, 27, 5));
            for (int y : {12, 17, 22}) {
                p.drawLine(QPointF(5, y), QPointF(14, y));
                p.drawLine(QPointF(17, y), QPointF(21, y));
                p.drawLine(QPointF(23, y), QPointF(27, y));
            }
            break;
        case CToolIcons::Kind::Refresh: {
            p.setPen(QPen(QColor(30, 140, 60), 3.5, Qt::SolidLine, Qt::RoundCap));
            p.setBrush(Qt::NoBrush);
            p.drawArc(QRectF(6, 6, 20, 20), 60 * 16, 280 * 16);
            QPainterPath head;
            head.moveTo(17, 1);
            head.lineTo(25, 7);
            head.lineTo(16, 11);
            head.closeSubpath();
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(30, 140, 60));
            p.drawPath(head);
            break;
        }
        case CToolIcons::Kind::About: {
            p.setPen(Qt::NoPen);
            p.setBrush(blue);
            p.drawEllipse(QRectF(2, 2, 28, 28));
            p.setBrush(Qt::white);
            p.drawEllipse(QRectF(14, 7, 4.5, 4.5));
            p.drawRoundedRect(QRectF(14, 13.5, 4.5, 12), 1.5, 1.5);
            break;
        }
    }
}
}  // namespace

QIcon CToolIcons::Drawn(Kind kind) {
    return CIconCache::Drawn([kind](QPainter& p, int size) {
        p.scale(size / 32.0, size / 32.0);
        Draw(p, kind);
    });
}

QIcon CToolIcons::Icon(Kind kind) {
    return QIcon::fromTheme(QLatin1String(ThemeName(kind)), Drawn(kind));
}
