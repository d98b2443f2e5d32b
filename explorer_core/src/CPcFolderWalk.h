#pragma once
// The PC side of the copy and delete jobs: the entry primitives, one file per OS
// (CPcFolderWalk_posix.cpp, CPcFolderWalk_win32.cpp), and the recursive folder delete and copy.
//
// A symbolic link is never a folder here and never followed: a walk that followed links could
// leave the folder it was given (deleting or copying what lies elsewhere) or never end. A
// delete removes the link itself; a copy refuses it like a file that cannot be read.
#include <QString>
#include <functional>

class CPcFolderWalk {
  public:
    // What a walk asks of its job. Every hook is optional.
    // What a folder copy does after a file that could not be copied.
    enum class Next { GoOn, EndFolder, Stop };
    struct Hooks {
        std::function<bool()> stopped;                // polled before every entry
        std::function<void(const QString&)> current;  // the name of the file about to be handled
        std::function<void(const QString&)> fileDeleteFailed;    // entry name
        std::function<void(const QString&)> folderDeleteFailed;  // last component of the folder
        // Copies one file; the block copy's status, 100 when done (or passed over on purpose).
        std::function<int(const QString& from, const QString& to)> copyFile;
        // An entry of a folder copy failed with status (105: a folder that cannot be made).
        // Without the hook the copy stops.
        std::function<Next(const QString& from, int status)> fileCopyFailed;
    };

    // A folder and not a link (on Windows: not a reparse point, so no junction either); false for a
    // path that does not exist (any more).
    static bool IsFolder(const QString& path);
    static bool IsLink(const QString& path);
    // Exists as any kind of entry, a dangling link included.
    static bool Exists(const QString& path);
    // No write bit for the owner; the read-only attribute on Windows.
    static bool IsReadOnly(const QString& path);
    // Gives the owner the write bit; only ever used on what is about to be deleted.
    static bool ClearReadOnly(const QString& path);
    // Deletes a file or a link itself, never what a link points at.
    static bool RemoveFile(const QString& path);
    // Deletes a folder that is empty.
    static bool RemoveFolder(const QString& path);

    // Deletes folder with everything in it. Fails at the first entry that cannot be deleted
    // (after telling the hooks) or when stopped (silently).
    static bool DeleteTree(const QString& folder, const Hooks& hooks);
    // Copies the contents of src into the existing folder dst; sub-folders are created (an
    // existing one is copied into). Fails when stopped or when fileCopyFailed says Stop;
    // EndFolder leaves the rest of that folder and its parent goes on.
    static bool CopyTree(const QString& src, const QString& dst, const Hooks& hooks);
};
