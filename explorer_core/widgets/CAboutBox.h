#pragma once
// The About box both explorers show: an icon, the program's name, version and build date, and
// OK.
#include <QDialog>

class CAboutBox : public QDialog {
    Q_OBJECT
  public:
    // ok: the button's text; empty keeps Qt's.
    CAboutBox(const QString& title, const QIcon& icon, const QString& text, const QString& ok,
              QWidget* parent);
};
