// Clipboard file lists come from any program: whatever the payload, reading it must not crash
// and every path it yields must be one the checks accept, unchanged by a second check.
#include <QByteArray>
#include <QMimeData>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <cstdlib>

#include "CClipboardFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    // The first byte picks which forms the payload offers; the rest is split between them.
    const uint8_t forms = data[0];
    const QByteArray rest(reinterpret_cast<const char*>(data + 1), static_cast<int>(size - 1));
    const int third = static_cast<int>(rest.size() / 3);
    QMimeData mime;
    if (forms & 1) mime.setData(CClipboardFiles::OwnMimeType(), rest.left(third));
    if (forms & 2) mime.setData("text/uri-list", rest.mid(third, third));
    if (forms & 4) mime.setData(CClipboardFiles::GnomeMimeType(), rest.mid(2 * third));
    if (forms & 8) mime.setData(CClipboardFiles::OwnMimeType(), rest);
    const QStringList paths = CClipboardFiles::Read(&mime);
    if (paths.size() > CClipboardFiles::kMaxPaths) std::abort();
    if (!paths.isEmpty() && !CClipboardFiles::HasFiles(&mime)) std::abort();
    for (const QString& p : paths) {
        if (p.isEmpty() || p.size() > CClipboardFiles::kMaxPathLength) std::abort();
        if (CClipboardFiles::Accept(p) != p) std::abort();
        for (QChar c : p)
            if (c.unicode() < 0x20) std::abort();
    }
    // What we write we read back the same.
    if (CClipboardFiles::DecodeOwn(CClipboardFiles::EncodeOwn(paths)) != paths) std::abort();
    return 0;
}
