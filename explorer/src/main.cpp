// Velkor (Chinese edition) and Velkor_en (English edition) differ only in this choice.
#include <QApplication>

#include "CVelkorApp.h"

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
#ifdef VELKOR_CHINESE
    const auto edition = CVelkorApp::Edition::Chinese;
    // The menu entry's file name, so the desktop files the window under that entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.corvale.velkor"));
#else
    const auto edition = CVelkorApp::Edition::English;
    QGuiApplication::setDesktopFileName(QStringLiteral("com.corvale.velkor_en"));
#endif
    int rc = 0;
    {
        CVelkorApp app(edition);
        app.InitInstance(QApplication::arguments());
        rc = QApplication::exec();
    }
    return rc;
}
