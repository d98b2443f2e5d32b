#include "CPcFolderWalk.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

#include "CDevicePath.h"

namespace {
bool Lstat(const QString& path, struct stat* st) {
    return ::lstat(QFile::encodeName(path).constData(), st) == 0;
}

// Every entry, hidden ones included; "." and ".." are not entries.
QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
}

bool Stopped(const CPcFolderWalk::Hooks& hooks) {
    return hooks.stopped && hooks.stopped();
}
}  // namespace

bool CPcFolderWalk::IsFolder(const QString& path) {
    struct stat st {};
    return Lstat(path, &st) && S_ISDIR(st.st_mode);
}

bool CPcFolderWalk::IsLink(const QString& path) {
    struct stat st {};
    return Lstat(path, &st) && S_ISLNK(st.st_mode);
}

bool CPcFolderWalk::Exists(const QString& path) {
    struct stat st {};
    return Lstat(path, &st);
}

bool CPcFolderWalk::IsReadOnly(const QString& path) {
    struct stat st {};
    return Lstat(path, &st) && !S_ISLNK(st.st_mode) && (st.st_mode & S_IWUSR) == 0;
}

bool CPcFolderWalk::ClearReadOnly(const QString& path) {
    struct stat st {};
    if (!Lstat(path, &st) || S_ISLNK(st.st_mode)) return false;
    if (st.st_mode & S_IWUSR) return true;
    return ::chmod(QFile::encodeName(path).constData(), (st.st_mode & 07777) | S_IWUSR) == 0;
}

bool CPcFolderWalk::DeleteTree(const QString& folder, const Hooks& hooks) {
    // A folder without the owner's write bit keeps its entries; it is about to go anyway.
    ClearReadOnly(folder);
    for (const QString& name : Entries(folder)) {
        if (Stopped(hooks)) return false;
        const QString child = CDevicePath::JoinPc(folder, name);
        if (IsFolder(child)) {
            if (!DeleteTree(child, hooks)) return false;
            continue;
        }
        if (hooks.current) hooks.current(name);
        ClearReadOnly(child);
        if (::unlink(QFile::encodeName(child).constData()) != 0) {
            if (hooks.fileDeleteFailed) hooks.fileDeleteFailed(name);
            return false;
        }
    }
    if (::rmdir(QFile::encodeName(folder).constData()) != 0) {
        if (hooks.folderDeleteFailed)
            hooks.folderDeleteFailed(folder.mid(folder.lastIndexOf('/') + 1));
        return false;
    }
    return true;
}

bool CPcFolderWalk::CopyTree(const QString& src, const QString& dst, const Hooks& hooks) {
    constexpr int kDone = 100, kReadFailed = 102, kCreateFailed = 105;
    for (const QString& name : Entries(src)) {
        if (Stopped(hooks)) return false;
        const QString cs = CDevicePath::JoinPc(src, name);
        const QString cd = CDevicePath::JoinPc(dst, name);
        int status = kDone;
        if (IsFolder(cs)) {
            // An existing folder of that name is copied into.
            if (!IsFolder(cd) && !QDir().mkdir(cd)) {
                status = kCreateFailed;
            } else {
                if (!CopyTree(cs, cd, hooks)) return false;
                continue;
            }
        } else {
            if (hooks.current) hooks.current(name);
            if (IsLink(cs))
                status = kReadFailed;
            else
                status = hooks.copyFile ? hooks.copyFile(cs, cd) : kReadFailed;
        }
        if (status == kDone) continue;
        switch (hooks.fileCopyFailed ? hooks.fileCopyFailed(cs, status) : Next::Stop) {
            case Next::GoOn:
                continue;
            case Next::EndFolder:
                return true;
            case Next::Stop:
                return false;
        }
    }
    return true;
}
