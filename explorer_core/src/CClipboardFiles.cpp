#include "CClipboardFiles.h"

#include <QDir>
#include <QMimeData>
#include <QUrl>

#include "CDevicePath.h"
#include "CPcPath.h"

const QString& CClipboardFiles::OwnMimeType() {
    static const QString s = QStringLiteral("application/x-quayside-file-list");
    return s;
}

const QString& CClipboardFiles::GnomeMimeType() {
    static const QString s = QStringLiteral("x-special/gnome-copied-files");
    return s;
}

QString CClipboardFiles::Accept(const QString& path) {
    if (path.isEmpty() || path.size() > kMaxPathLength) return {};
    for (QChar c : path) {
        // Control characters have no business in a file name handed between programs, and a
        // NUL would cut the path short in every C call below us.
        if (c.unicode() < 0x20 || c.unicode() == 0x7f) return {};
    }
    if (CDevicePath::IsDevicePath(path)) {
        if (path != CDevicePath::Root() && !path.startsWith(CDevicePath::EntryPrefix())) return {};
        return path;
    }
    if (!CPcPath::IsAbsolute(path)) return {};
    // "/a/b/.." names "/a": cleaning first keeps a name of ".." from reaching the jobs.
    const QString clean = QDir::cleanPath(path);
    // Cleaning keeps a ".." that climbs above the root ("/.."); such a path is refused.
    if (clean.split(QLatin1Char('/')).contains(QLatin1String(".."))) return {};
    return clean;
}

QByteArray CClipboardFiles::EncodeOwn(const QStringList& paths) {
    QByteArray out;
    for (const QString& p : paths) {
        out += p.toUtf8();
        out += '\0';
    }
    out += '\0';
    return out;
}

QStringList CClipboardFiles::DecodeOwn(const QByteArray& bytes) {
    QStringList paths;
    qsizetype at = 0;
    while (at < bytes.size() && paths.size() < kMaxPaths) {
        qsizetype end = bytes.indexOf('\0', at);
        if (end < 0) end = bytes.size();  // unterminated last path: taken as it stands
        if (end == at) break;             // the empty string ends the list
        const QByteArray raw = bytes.mid(at, end - at);
        const QString path = QString::fromUtf8(raw);
        // Invalid UTF-8 does not survive the round trip; such a path is not ours.
        if (path.toUtf8() == raw) {
            const QString accepted = Accept(path);
            if (!accepted.isEmpty()) paths << accepted;
        }
        at = end + 1;
    }
    return paths;
}

QMimeData* CClipboardFiles::Make(const QStringList& paths) {
    auto* data = new QMimeData;
    QList<QUrl> urls;
    QByteArray gnome("copy");
    for (const QString& p : paths) {
        if (CDevicePath::IsDevicePath(p)) continue;
        const QUrl url = QUrl::fromLocalFile(p);
        urls << url;
        gnome += '\n';
        gnome += url.toEncoded();
    }
    if (!urls.isEmpty()) {
        data->setUrls(urls);
        data->setData(GnomeMimeType(), gnome);
    }
    data->setData(OwnMimeType(), EncodeOwn(paths));
    return data;
}

namespace {
QStringList FromUrls(const QList<QUrl>& urls) {
    QStringList paths;
    for (const QUrl& url : urls) {
        if (paths.size() >= CClipboardFiles::kMaxPaths) break;
        // Only local files: a remote URL names nothing this program can open.
        if (!url.isValid() || !url.isLocalFile()) continue;
        const QString accepted = CClipboardFiles::Accept(url.toLocalFile());
        if (!accepted.isEmpty()) paths << accepted;
    }
    return paths;
}
}  // namespace

QStringList CClipboardFiles::Read(const QMimeData* data) {
    if (!data) return {};
    if (data->hasFormat(OwnMimeType())) {
        const QStringList own = DecodeOwn(data->data(OwnMimeType()));
        if (!own.isEmpty()) return own;
    }
    if (data->hasUrls()) {
        const QStringList fromUrls = FromUrls(data->urls());
        if (!fromUrls.isEmpty()) return fromUrls;
    }
    if (data->hasFormat(GnomeMimeType())) {
        const QList<QByteArray> lines = data->data(GnomeMimeType()).split('\n');
        QList<QUrl> urls;
        // The first line says copy or cut; cut is taken as copy, nothing is moved here.
        for (qsizetype i = 1; i < lines.size() && urls.size() < kMaxPaths; ++i) {
            const QByteArray line = lines[i].trimmed();
            if (!line.isEmpty()) urls << QUrl::fromEncoded(line, QUrl::StrictMode);
        }
        return FromUrls(urls);
    }
    return {};
}

bool CClipboardFiles::HasFiles(const QMimeData* data) {
    // Only what Paste would take: URLs that name no local file make no file list.
    return data && !Read(data).isEmpty();
}
