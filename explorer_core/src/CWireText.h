#pragma once
// Names on the wire travel in the PC's "ANSI" code page: ZOTLINK_CODEPAGE when set, else the
// charset of the environment's locale (UTF-8 for the plain C locale), as the library does.
#include <QByteArray>
#include <QString>

class CWireText {
  public:
    static QByteArray CodePage();
    static QString Decode(const QByteArray& bytes);
    // The bytes a name takes on the wire; -1 when the code page cannot hold it.
    static qsizetype EncodedLength(const QString& text);
    static QByteArray Encode(const QString& text, bool* ok = nullptr);
};
