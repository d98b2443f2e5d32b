#pragma once
// What the two explorers' copy, paste and delete commands and jobs do differently: their texts
// and a few rules.
#include <QString>
#include <functional>

struct CJobPolicy {
    QString errorCaption;        // caption of the dialog's error boxes
    QString cannotPasteCaption;  // caption of "Cannot paste to here!"
    QString cannotPasteHere;
    QString samePath;
    QString appCaption;  // caption of the application's boxes
    std::function<QString(const QString& src)> cannotCopyFolder;
    std::function<QString(const QString& name, int limit)> nameTooLong;
    // The outcome of a failed file copy: "[" + src + "]" + outcome(code) + continueNext.
    std::function<QString(int status)> outcome;
    QString continueNext;
    std::function<QString(const QString& target)> overwriteQuestion;
    QString copyFailed;  // the library refused to start a copy
    std::function<QString(const QString& name)> deleteFileFailed;
    std::function<QString(const QString& name)> deleteFolderFailed;
    QString folderType;  // type column of a folder row the paste adds

    // The frame's side: the clipboard did not take a Copy, or offers nothing to Paste, and the
    // question before a delete of one folder, one file or several items.
    QString clipboardRefused;
    QString clipboardUnavailable;
    QString confirmFolderCaption, confirmFileCaption, confirmManyCaption;
    std::function<QString(const QString&name)> confirmFolder, confirmFile;
    std::function<QString(int count)> confirmMany;

    // Texts of the explorers' own, beside the ones above: each names the real cause.
    // A copy whose line broke off; Yes goes on from where it stopped once the line is back.
    std::function<QString(const QString& src)> lineBroke;
    // A link to a folder, which is never followed; Yes goes on with the next file.
    std::function<QString(const QString& src)> linkToFolder;
    // A PC entry that is neither a file nor a folder (a named pipe, a device, a socket).
    std::function<QString(const QString& src)> notAFile;
    // A folder on the terminal, which a paste does not copy.
    std::function<QString(const QString& src)> terminalFolder;

    // Longest name of a file pasted to the terminal, in bytes of the wire code page.
    int nameLimit = 16;
    // A pasted PC folder whose name exists in the destination is copied into; else the
    // paste ends there.
    bool mergeIntoExistingFolder = false;
    // A file inside a pasted folder that cannot be copied asks whether to go on; else the
    // rest of that folder is left and the enclosing folder goes on.
    bool askAfterFailureInFolder = false;
    // The row of a file pasted to the terminal shows the PC's wall-clock time; else unknown.
    bool stampDeviceRows = false;

    // Messages of our own, kept apart from the standard ones above. Null: the step stays
    // silent as the original was.
    // Why a pasted PC folder could not be made in the destination (it exists, or not).
    std::function<QString(const QString& folder, bool exists)> folderNotCreated;
};
