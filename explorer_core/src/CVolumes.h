#pragma once
// The PC's mounted volumes in place of drive letters: real file systems only, in mount-point
// order, each with the kind that picks its icon and label.
#include <QString>
#include <vector>

class CVolumes {
  public:
    enum class Kind { Removable, Fixed, Optical, Network };
    struct Volume {
        QString rootPath;  // mount point
        QString label;     // volume label; may be empty
        Kind kind = Kind::Fixed;
    };

    static std::vector<Volume> Mounted();
    // Total and free space in megabytes; false when the volume cannot be asked.
    static bool Space(const QString& rootPath, double* totalMb, double* freeMb);
    // True for kernel and runtime file systems that hold no user files.
    static bool IsPseudoFileSystem(const QByteArray& type);
};
