#pragma once
// Names on the wire travel in the PC's "ANSI" code page: ZOTLINK_CODEPAGE when set, else the
// charset of the environment's locale, converted by the libraries' own code-page module so
// that the explorers count and show names exactly as the libraries send them.
#include <QByteArray>
#include <QString>

class CWireText {
  public:
    static QByteArray CodePage();
    static QString Decode(const QByteArray& bytes);
    // The bytes a name takes on the wire; -1 when the code page cannot hold it.
    static qsizetype EncodedLength(const QString& text);
    // Empty, and *ok false, when the code page cannot hold the text.
    static QByteArray Encode(const QString& text, bool* ok = nullptr);
};
