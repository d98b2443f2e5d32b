#pragma once
// Path rules of the copy and delete jobs, for PC paths ("/") and device paths ("ZOT:\").
#include <QString>

class CJobPaths {
  public:
    // The last component: after the last "\" of a device path, the last "/" of a PC path.
    static QString LastName(const QString& path);
    // folder + separator + name, with the separator of the folder's side.
    static QString Join(const QString& folder, const QString& name);
    // True when dst is src itself or lies inside it. "/a" is not inside "/ab".
    static bool IsSameOrInside(const QString& src, const QString& dst);
};
