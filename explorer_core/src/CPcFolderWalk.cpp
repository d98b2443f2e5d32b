#include "CPcFolderWalk.h"

#include <QDir>

#include "CDevicePath.h"

namespace {
// Every entry, hidden ones included; "." and ".." are not entries.
QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
}

bool Stopped(const CPcFolderWalk::Hooks& hooks) {
    return hooks.stopped && hooks.stopped();
}
}  // namespace

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
        if (!RemoveFile(child)) {
            if (hooks.fileDeleteFailed) hooks.fileDeleteFailed(name);
            return false;
        }
    }
    if (!RemoveFolder(folder)) {
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
