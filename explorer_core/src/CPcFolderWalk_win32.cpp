#include <windows.h>

#include <QDir>
#include <string>

#include "CPcFolderWalk.h"

namespace {
std::wstring Native(const QString& path) {
    return QDir::toNativeSeparators(path).toStdWString();
}

DWORD Attributes(const QString& path) {
    return GetFileAttributesW(Native(path).c_str());
}

// Symbolic links and junctions are reparse points; a walk treats them as links either way.
bool IsReparse(DWORD a) {
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_REPARSE_POINT);
}
}  // namespace

bool CPcFolderWalk::IsFolder(const QString& path) {
    const DWORD a = Attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) && !IsReparse(a);
}

bool CPcFolderWalk::IsLink(const QString& path) {
    return IsReparse(Attributes(path));
}

bool CPcFolderWalk::Exists(const QString& path) {
    return Attributes(path) != INVALID_FILE_ATTRIBUTES;
}

bool CPcFolderWalk::IsReadOnly(const QString& path) {
    const DWORD a = Attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && !IsReparse(a) && (a & FILE_ATTRIBUTE_READONLY);
}

bool CPcFolderWalk::ClearReadOnly(const QString& path) {
    const DWORD a = Attributes(path);
    if (a == INVALID_FILE_ATTRIBUTES || IsReparse(a)) return false;
    if (!(a & FILE_ATTRIBUTE_READONLY)) return true;
    return SetFileAttributesW(Native(path).c_str(), a & ~DWORD(FILE_ATTRIBUTE_READONLY)) != 0;
}

bool CPcFolderWalk::RemoveFile(const QString& path) {
    const DWORD a = Attributes(path);
    // A link to a folder is removed as a folder; the folder it names is left alone.
    if (IsReparse(a) && (a & FILE_ATTRIBUTE_DIRECTORY))
        return RemoveDirectoryW(Native(path).c_str()) != 0;
    return DeleteFileW(Native(path).c_str()) != 0;
}

bool CPcFolderWalk::RemoveFolder(const QString& path) {
    return RemoveDirectoryW(Native(path).c_str()) != 0;
}
