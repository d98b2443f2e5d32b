#pragma once
// The PC side of the copy and delete jobs: attributes as Linux has them, and the recursive
// folder delete and copy.
//
// A symbolic link is never a folder here: a walk that followed links could leave the folder
// it was given (deleting or copying what lies elsewhere) or never end.
#include <QString>
#include <functional>

class CPcFolderWalk {
  public:
    // What a walk asks of its job. Every hook is optional.
    struct Hooks {
        std::function<bool()> stopped;                // polled before every entry
        std::function<void(const QString&)> current;  // the name of the file about to be handled
        std::function<void(const QString&)> fileDeleteFailed;    // entry name
        std::function<void(const QString&)> folderDeleteFailed;  // last component of the folder
        // Copies one file, replacing an existing one; true on success.
        std::function<bool(const QString& from, const QString& to)> copyFile;
        // A file of a folder copy failed: true to go on with the folder's other entries.
        std::function<bool(const QString& from)> fileCopyFailed;
    };

    // A folder and not a link; false for a path that does not exist (any more).
    static bool IsFolder(const QString& path);
    // Exists as any kind of entry, a dangling link included.
    static bool Exists(const QString& path);
    // No write bit for the owner.
    static bool IsReadOnly(const QString& path);
    // Gives the owner the write bit; only ever used on what is about to be deleted.
    static bool ClearReadOnly(const QString& path);

    // Deletes folder with everything in it. Fails at the first entry that cannot be deleted
    // (after telling the hooks) or when stopped (silently).
    static bool DeleteTree(const QString& folder, const Hooks& hooks);
    // Copies the contents of src into the existing folder dst; sub-folders are created, files
    // replace files of the same name. Fails when stopped, when a folder cannot be created, or
    // when fileCopyFailed says not to go on.
    static bool CopyTree(const QString& src, const QString& dst, const Hooks& hooks);
};
