#include "CPosixOnly.h"

QString CPosixOnly::Why(const char* what) {
    return QStringLiteral("POSIX only: ") + QLatin1String(what);
}
