#include "CPcPath.h"

namespace {
bool IsSeparator(QChar c) {
    return c == QLatin1Char('/') || c == QLatin1Char('\\');
}
}  // namespace

bool CPcPath::IsAbsolute(const QString& path) {
    // "\foo" and "C:foo" depend on the current drive or its current folder.
    if (path.size() >= 3 && path[0].isLetter() && path[0].unicode() < 0x80 &&
        path[1] == QLatin1Char(':') && IsSeparator(path[2]))
        return true;
    return path.size() >= 3 && IsSeparator(path[0]) && IsSeparator(path[1]) &&
           !IsSeparator(path[2]);
}
