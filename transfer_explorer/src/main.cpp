// DriftboxGUI, the transfer explorer.
#include <QApplication>

#include "CTallowApp.h"

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("DriftboxGUI"));
    // The menu entry's file name, so the desktop files the window under that entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.corvale.driftboxgui"));
    int rc = 0;
    {
        CTallowApp app;
        app.InitInstance(QApplication::arguments());
        rc = QApplication::exec();
    }
    return rc;
}
