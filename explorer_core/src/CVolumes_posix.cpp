#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <algorithm>

#include "CVolumes.h"

namespace {

CVolumes::Kind KindOf(const QStorageInfo& info) {
    const QByteArray type = info.fileSystemType();
    if (type == "iso9660" || type == "udf") return CVolumes::Kind::Optical;
    if (type == "nfs" || type == "nfs4" || type == "cifs" || type == "smb3" || type == "smbfs" ||
        type.startsWith("fuse.sshfs") || type == "9p" || type == "afs")
        return CVolumes::Kind::Network;
    // A block device whose kernel entry says removable (USB sticks, card readers).
    const QString dev = QFileInfo(QString::fromLocal8Bit(info.device())).canonicalFilePath();
    if (dev.startsWith(QLatin1String("/dev/"))) {
        QString name = dev.mid(5);
        // Partitions report through their parent disk.
        QString disk = name;
        while (!disk.isEmpty() && disk.back().isDigit()) disk.chop(1);
        // nvme0n1p2 and mmcblk0p1 put a "p" between disk and partition number.
        if (disk.size() > 1 && disk.back() == QLatin1Char('p') && disk[disk.size() - 2].isDigit())
            disk.chop(1);
        for (const QString& candidate : {name, disk}) {
            QFile f(QStringLiteral("/sys/block/%1/removable").arg(candidate));
            if (f.open(QIODevice::ReadOnly) && f.read(1) == "1") return CVolumes::Kind::Removable;
        }
    }
    return CVolumes::Kind::Fixed;
}

}  // namespace

std::vector<CVolumes::Volume> CVolumes::Mounted() {
    std::vector<Volume> out;
    for (const QStorageInfo& info : QStorageInfo::mountedVolumes()) {
        if (!info.isValid() || !info.isReady()) continue;
        if (IsPseudoFileSystem(info.fileSystemType())) continue;
        // Containers bind single files (/etc/hosts) as mounts; only folders are drives.
        if (!QFileInfo(info.rootPath()).isDir()) continue;
        out.push_back({info.rootPath(), info.name(), KindOf(info), info.rootPath()});
    }
    std::sort(out.begin(), out.end(),
              [](const Volume& a, const Volume& b) { return a.rootPath < b.rootPath; });
    out.erase(
        std::unique(out.begin(), out.end(),
                    [](const Volume& a, const Volume& b) { return a.rootPath == b.rootPath; }),
        out.end());
    return out;
}
