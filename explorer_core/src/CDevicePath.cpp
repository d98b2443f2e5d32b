#include "CDevicePath.h"

const QString& CDevicePath::Root() {
    static const QString s = QStringLiteral("ZOT:");
    return s;
}

const QString& CDevicePath::EntryPrefix() {
    static const QString s = QStringLiteral("ZOT:\\");
    return s;
}

const QString& CDevicePath::RootPattern() {
    static const QString s = QStringLiteral("ZOT:\\*.*");
    return s;
}

bool CDevicePath::IsDevicePath(const QString& path) {
    return path.startsWith(QLatin1String("ZOT"), Qt::CaseSensitive);
}

QString CDevicePath::EntryPath(const QString& name) {
    return EntryPrefix() + name;
}

QString CDevicePath::BareName(const QString& devicePath) {
    if (devicePath.startsWith(EntryPrefix())) return devicePath.mid(EntryPrefix().size());
    return devicePath;
}

bool CDevicePath::IsSafeName(const QString& name) {
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) return false;
    for (QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.isNull()) return false;
    }
    return true;
}

std::optional<QString> CDevicePath::PcPathFor(const QString& pcFolder, const QString& deviceName) {
    if (!IsSafeName(deviceName) || pcFolder.isEmpty() || IsDevicePath(pcFolder))
        return std::nullopt;
    return JoinPc(pcFolder, deviceName);
}

QString CDevicePath::JoinPc(const QString& folder, const QString& name) {
    if (folder.endsWith(QLatin1Char('/'))) return folder + name;
    return folder + QLatin1Char('/') + name;
}
