#include "CPcPath.h"

bool CPcPath::IsAbsolute(const QString& path) {
    return path.startsWith(QLatin1Char('/'));
}
