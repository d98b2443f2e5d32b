#pragma once
// The explorers' image list: ten fixed images (indices 0-9 never change) followed by one
// per-file icon for every file row of the current list, dropped before each refill. Each QIcon
// carries both the 16- and 32-pixel forms. Per-file icons come from the desktop's type
// database; lookups are remembered per type so a big folder costs one theme lookup per type.
#include <QFileIconProvider>
#include <QHash>
#include <QIcon>
#include <QMimeDatabase>
#include <functional>
#include <vector>

class QPainter;

class CIconCache {
  public:
    enum Fixed {
        kRoot = 0,
        kComputer,
        kDevices,
        kRemovable,
        kFixedDrive,
        kOptical,
        kNetwork,
        kFolder,
        kDeviceFile,
        kFolderOpen,
        kFixedCount
    };

    CIconCache();

    int Count() const { return static_cast<int>(m_icons.size()); }
    QIcon Icon(int index) const;
    // Drops every per-file icon.
    void TrimToFixed();
    // Appends the icon of the PC file at path; gives its type name ("" when the desktop knows
    // none). Returns the new image index.
    int AppendFileIcon(const QString& path, bool isDir, QString* typeName);

    // The fallback artwork, drawn rather than shipped as files so that it always exists.
    static QIcon DrawnIcon(Fixed which);
    // An icon drawn at 16 and 32 pixels by paint(painter, size), on a transparent ground.
    static QIcon Drawn(const std::function<void(QPainter& painter, int size)>& paint);

  private:
    struct TypeInfo {
        QIcon icon;
        QString name;
    };
    std::vector<QIcon> m_icons;
    QHash<QString, TypeInfo> m_byType;
    QMimeDatabase m_mime;
    QFileIconProvider m_provider;
};
