// Velkor (Chinese edition) and Velkor_en (English edition) differ only in this choice.
#include <QApplication>

#include "CVelkorApp.h"

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
#ifdef VELKOR_CHINESE
    const auto edition = CVelkorApp::Edition::Chinese;
#else
    const auto edition = CVelkorApp::Edition::English;
#endif
    int rc = 0;
    {
        CVelkorApp app(edition);
        app.InitInstance(QApplication::arguments());
        rc = QApplication::exec();
    }
    return rc;
}
