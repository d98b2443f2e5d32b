#pragma once
// The PC's volumes: the drive letters on Windows, the mounted real file systems elsewhere (one
// file per OS: CVolumes_posix.cpp, CVolumes_win32.cpp), in root-path order, each with the kind
// that picks its icon and label.
#include <QString>
#include <vector>

class CVolumes {
  public:
    enum class Kind { Removable, Fixed, Optical, Network };
    struct Volume {
        QString rootPath;  // mount point, or "C:/"
        QString label;     // volume label; may be empty
        Kind kind = Kind::Fixed;
        QString shown;  // how the tree names it: the mount point, or "C:" as Windows does
    };

    static std::vector<Volume> Mounted();
    // Total and free space in megabytes; false when the volume cannot be asked.
    static bool Space(const QString& rootPath, double* totalMb, double* freeMb);
    // True for kernel and runtime file systems that hold no user files.
    static bool IsPseudoFileSystem(const QByteArray& type);
};
