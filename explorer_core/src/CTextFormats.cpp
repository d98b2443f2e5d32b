#include "CTextFormats.h"

QString CTextFormats::PcSize(qint64 size) {
    if (size / 1024 == 0) return QString::asprintf("%lld B", static_cast<long long>(size));
    return QString::asprintf("%lld KB", static_cast<long long>(size / 1024));
}

QString CTextFormats::DeviceSize(uint32_t size, const QString& format) {
    return QString::asprintf(format.toUtf8().constData(), static_cast<unsigned>(size));
}

QString CTextFormats::PcTime(const QDateTime& local) {
    const QDate d = local.date();
    const QTime t = local.time();
    return QString::asprintf("%d-%02d-%02d %02d:%02d:%02d", d.year(), d.month(), d.day(), t.hour(),
                             t.minute(), t.second());
}

QString CTextFormats::DeviceTime(uint32_t seconds, const QString& unknownText) {
    if (seconds == 0) return unknownText;
    // Unsigned: the count is a uint32 on the wire, so dates after 2038 stay dates.
    const QDateTime utc = QDateTime::fromSecsSinceEpoch(static_cast<qint64>(seconds), Qt::UTC);
    return PcTime(utc);
}

QString CTextFormats::Format2(const QString& format, double a, double b) {
    return QString::asprintf(format.toUtf8().constData(), a, b);
}

QString CTextFormats::DriveSpace(double totalMb, double freeMb, const QString& gbFormat,
                                 const QString& mbFormat) {
    if (totalMb > 1024) return Format2(gbFormat, totalMb / 1024, freeMb);
    return Format2(mbFormat, totalMb, freeMb);
}

QString CTextFormats::StoreSpace(uint64_t totalBytes, uint64_t freeBytes, const QString& format) {
    return Format2(format, static_cast<double>(totalBytes) / 1024,
                   static_cast<double>(freeBytes) / 1024);
}

QString CTextFormats::FallbackType(const QString& name) {
    return (name.right(3) + QStringLiteral(" 文件")).toUpper();
}
