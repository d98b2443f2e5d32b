#include "SaveWithOpenList.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QPainter>
#include <QPixmap>

bool SaveWithOpenList(QDialog& dialog, QComboBox& list, const QString& file) {
    dialog.show();
    QApplication::processEvents();
    list.showPopup();
    QApplication::processEvents();
    // The drop-down is a window of its own: a grab of the dialog leaves it out.
    QWidget* popup = list.view()->window();
    const QRect dialogRect(dialog.mapToGlobal(QPoint()), dialog.size());
    const QRect popupRect(popup->mapToGlobal(QPoint()), popup->size());
    const QRect all = dialogRect.united(popupRect);
    QPixmap picture(all.size());
    picture.fill(dialog.palette().color(QPalette::Window));
    {
        QPainter painter(&picture);
        painter.drawPixmap(dialogRect.topLeft() - all.topLeft(), dialog.grab());
        painter.drawPixmap(popupRect.topLeft() - all.topLeft(), popup->grab());
    }
    list.hidePopup();
    return picture.save(file);
}
