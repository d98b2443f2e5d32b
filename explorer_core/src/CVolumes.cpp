#include "CVolumes.h"

#include <QStorageInfo>

bool CVolumes::IsPseudoFileSystem(const QByteArray& type) {
    static const char* const kPseudo[] = {
        "proc",        "sysfs",     "devtmpfs",    "devpts",     "tmpfs",
        "cgroup",      "cgroup2",   "mqueue",      "securityfs", "debugfs",
        "tracefs",     "pstore",    "bpf",         "autofs",     "configfs",
        "fusectl",     "hugetlbfs", "binfmt_misc", "nsfs",       "ramfs",
        "efivarfs",    "squashfs",  "rpc_pipefs",  "selinuxfs",  "fuse.gvfsd-fuse",
        "fuse.portal", "nfsd"};
    for (const char* p : kPseudo) {
        if (type == p) return true;
    }
    return false;
}

bool CVolumes::Space(const QString& rootPath, double* totalMb, double* freeMb) {
    QStorageInfo info(rootPath);
    if (!info.isValid() || !info.isReady() || info.bytesTotal() <= 0) return false;
    *totalMb = static_cast<double>(info.bytesTotal()) / (1024.0 * 1024.0);
    *freeMb = static_cast<double>(info.bytesFree()) / (1024.0 * 1024.0);
    return true;
}
