#include <sys/stat.h>
#include <unistd.h>

#include <QFile>

#include "CPcFolderWalk.h"

namespace {
bool Lstat(const QString& path, struct stat* st) {
    return ::lstat(QFile::encodeName(path).constData(), st) == 0;
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

bool CPcFolderWalk::RemoveFile(const QString& path) {
    return ::unlink(QFile::encodeName(path).constData()) == 0;
}

bool CPcFolderWalk::RemoveFolder(const QString& path) {
    return ::rmdir(QFile::encodeName(path).constData()) == 0;
}
