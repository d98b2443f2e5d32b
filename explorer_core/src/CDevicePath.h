#pragma once
// How a path names the terminal: a path is a device path exactly when it starts with "ZOT".
// "ZOT:" is the terminal's root, "ZOT:\" + name an entry of it.
#include <QString>
#include <optional>

class CDevicePath {
  public:
    static const QString& Root();         // "ZOT:"
    static const QString& EntryPrefix();  // "ZOT:\"
    static const QString& RootPattern();  // "ZOT:\*.*"

    static bool IsDevicePath(const QString& path);
    static QString EntryPath(const QString& name);
    // The name a device entry path carries; the path itself when it has no "ZOT:\" prefix.
    static QString BareName(const QString& devicePath);

    // A terminal name can become part of a PC path only when it stays one component inside the
    // chosen folder: no separator of either kind, not "." or "..", not empty, no NUL.
    static bool IsSafeName(const QString& name);
    // folder + separator + name on the PC, or nothing for a name that would leave the folder.
    static std::optional<QString> PcPathFor(const QString& pcFolder, const QString& deviceName);
    // Joins a PC folder and a name without doubling the separator of the root "/".
    static QString JoinPc(const QString& folder, const QString& name);
};
