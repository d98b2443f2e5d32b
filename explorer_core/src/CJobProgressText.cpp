#include "CJobProgressText.h"

#include <QLocale>
#include <QStringList>
#include <cmath>

QString CJobProgressText::Amount(double bytes) {
    return QLocale::c().formattedDataSize(static_cast<qint64>(std::llround(bytes)), 1);
}

QString CJobProgressText::Duration(double seconds) {
    const long long s = std::llround(seconds);
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600)
        .arg((s / 60) % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

QString CJobProgressText::Line(const CJobProgress& progress, const Words& words) {
    QStringList parts;
    if (progress.fileCount > 0) parts << words.file.arg(progress.fileIndex).arg(progress.fileCount);
    if (progress.bytesTotal > 0)
        parts << words.bytes.arg(Amount(static_cast<double>(progress.bytesDone)),
                                 Amount(static_cast<double>(progress.bytesTotal)));
    if (progress.bytesPerSecond >= 0) parts << words.rate.arg(Amount(progress.bytesPerSecond));
    if (progress.secondsLeft >= 0) parts << words.left.arg(Duration(progress.secondsLeft));
    // Only what the line is known to have sent again; the libraries do not tell it yet.
    if (progress.retries > 0) parts << words.retries.arg(progress.retries);
    return parts.join(QStringLiteral(", "));
}
