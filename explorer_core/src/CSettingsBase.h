#pragma once
// An explorer's settings under organisation / application / group, in the desktop's settings
// store (an INI file on Linux): the four connection values both explorers keep, where the main
// window was left, and the integer access under them. The explorers differ only in their
// application name and the port they start on, which each passes in.
#include <QByteArray>
#include <QString>
#include <QVariant>

class CSettingsBase {
  public:
    static constexpr int kDefaultRate = 115200;
    static constexpr int kDefaultCompress = 1;
    static constexpr int kDefaultAutoLink = 1;

    CSettingsBase(QString organisation, QString application, QString group, int defaultPort = 1);
    virtual ~CSettingsBase() = default;

    int Port() const;
    int Rate() const;
    int Compress() const;
    int AutoLink() const;
    void SetPort(int port);
    void SetRate(int rate);
    void SetCompress(int compress);
    void SetAutoLink(int autoLink);

    // The file list's view mode (0 large icons, 1 small icons, 2 list, 3 details), kept under
    // "ViewMode" beside the four connection values.
    int ViewMode() const;
    void SetViewMode(int mode);

    // The main window's size and position (QWidget::saveGeometry) and its splitter
    // (QSplitter::saveState); empty until a window was closed once.
    QByteArray WindowGeometry() const;
    QByteArray SplitterState() const;
    void SetWindowGeometry(const QByteArray& geometry);
    void SetSplitterState(const QByteArray& state);

    int ReadInt(const QString& key, int defaultValue) const;
    void WriteInt(const QString& key, int value);
    // Removes every value of the group.
    void Clear();

  private:
    QVariant Read(const QString& key) const;
    void Write(const QString& key, const QVariant& value);

    QString m_organisation;
    QString m_application;
    QString m_group;
    int m_defaultPort;
};
