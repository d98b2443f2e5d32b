#pragma once
// The file list an explorer's Copy puts on the clipboard and its Paste takes from it.
//
// PC paths travel as the desktop's file URLs (text/uri-list, and GNOME's copied-files form
// beside it), so the desktop's file managers paste what the explorers copied and the other way
// round. Device paths ("ZOT:\name") have no URL form; every path, in order, also travels in a
// form of our own, so Copy in one explorer and Paste in either keeps device paths and order.
//
// The clipboard is written by any program, so reading trusts nothing: limits on count and
// length, no empty or control-character paths, PC paths absolute and cleaned, device paths
// under "ZOT:". A path that passes may still name anything; the jobs decide what its last
// component may become.
#include <QString>
#include <QStringList>

class QMimeData;

class CClipboardFiles {
  public:
    static const QString& OwnMimeType();    // application/x-quayside-file-list
    static const QString& GnomeMimeType();  // x-special/gnome-copied-files
    static constexpr int kMaxPaths = 10000;
    // Longest path accepted, in UTF-16 units (a PC path of PATH_MAX bytes is at most this).
    static constexpr int kMaxPathLength = 4096;

    // The clipboard payload for paths in the given order. The caller owns the result.
    static QMimeData* Make(const QStringList& paths);
    // The paths a payload carries, in order: our own form when present, else the desktop's
    // URLs, else GNOME's form. Paths that fail the checks are dropped.
    static QStringList Read(const QMimeData* data);
    // True when the payload offers a file list in any of the forms (the Paste command's rule).
    static bool HasFiles(const QMimeData* data);

    // One path as it would be accepted from the clipboard, or empty when it is refused.
    static QString Accept(const QString& path);
    // Our own form: each path as UTF-8 followed by a NUL, then one more NUL.
    static QByteArray EncodeOwn(const QStringList& paths);
    static QStringList DecodeOwn(const QByteArray& bytes);
};
