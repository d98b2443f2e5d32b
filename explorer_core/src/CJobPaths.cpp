#include "CJobPaths.h"

#include "CDevicePath.h"

namespace {
QChar Separator(const QString& path) {
    return CDevicePath::IsDevicePath(path) ? QLatin1Char('\\') : QLatin1Char('/');
}
}  // namespace

QString CJobPaths::LastName(const QString& path) {
    return path.mid(path.lastIndexOf(Separator(path)) + 1);
}

QString CJobPaths::Join(const QString& folder, const QString& name) {
    if (CDevicePath::IsDevicePath(folder)) return folder + QLatin1Char('\\') + name;
    return CDevicePath::JoinPc(folder, name);
}

bool CJobPaths::IsSameOrInside(const QString& src, const QString& dst) {
    if (dst == src) return true;
    if (CDevicePath::IsDevicePath(src) != CDevicePath::IsDevicePath(dst)) return false;
    const QChar sep = Separator(src);
    const QString prefix = src.endsWith(sep) ? src : src + sep;
    return dst.startsWith(prefix);
}
