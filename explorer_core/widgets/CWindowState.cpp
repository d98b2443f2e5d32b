#include "CWindowState.h"

#include <QMainWindow>
#include <QScreen>
#include <QSplitter>
#include <QStyle>
#include <algorithm>

#include "CSettingsBase.h"

namespace {

void FirstStartSize(QMainWindow* window, QSplitter* splitter, int treeWidth, int listWidth) {
    const int handle = splitter->handleWidth();
    QSize size(treeWidth + handle + listWidth, 0);
    // Landscape, two thirds as high as wide, but never lower than menus, tool bar and panes
    // need.
    size.setHeight(std::max(window->sizeHint().height(), size.width() * 2 / 3));
    if (const QScreen* screen = window->screen()) {
        // The frame the window manager adds is not known before the window is shown; leave
        // room for its title bar.
        QSize room = screen->availableGeometry().size();
        room.rheight() -= window->style()->pixelMetric(QStyle::PM_TitleBarHeight);
        size = size.boundedTo(room);
    }
    window->resize(size);
    splitter->setSizes({treeWidth, std::max(0, size.width() - treeWidth - handle)});
}

}  // namespace

void CWindowState::Restore(QMainWindow* window, QSplitter* splitter, int treeWidth, int listWidth,
                           const CSettingsBase& settings) {
    const QByteArray geometry = settings.WindowGeometry();
    if (geometry.isEmpty() || !window->restoreGeometry(geometry)) {
        FirstStartSize(window, splitter, treeWidth, listWidth);
        return;
    }
    const QByteArray state = settings.SplitterState();
    if (!state.isEmpty()) splitter->restoreState(state);
}

void CWindowState::Save(const QMainWindow* window, const QSplitter* splitter,
                        CSettingsBase& settings) {
    settings.SetWindowGeometry(window->saveGeometry());
    settings.SetSplitterState(splitter->saveState());
}
