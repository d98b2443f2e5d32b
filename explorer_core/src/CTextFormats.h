#pragma once
// The size, time and type texts of the file list. Formats that differ between language
// editions come in as printf-style strings from the program's own texts.
#include <QDateTime>
#include <QString>
#include <cstdint>

class CTextFormats {
  public:
    // "%lld B" below one KiB, else "%lld KB" with the size divided by 1024 and truncated.
    static QString PcSize(qint64 size);
    // The terminal's size in the edition's format ("%u bytes"). The size is shown unsigned:
    // as a signed number a file of 2 GiB or more would show a negative size.
    static QString DeviceSize(uint32_t size, const QString& format);
    // "%d-%02d-%02d %02d:%02d:%02d" of a local time.
    static QString PcTime(const QDateTime& local);
    // The terminal's seconds since 1970 broken down as UTC without any zone shift;
    // unknownText for 0.
    static QString DeviceTime(uint32_t seconds, const QString& unknownText);
    // Free-space text of a drive: gbFormat with total/1024 and free when total exceeds
    // 1024 MB, else mbFormat with total and free.
    static QString DriveSpace(double totalMb, double freeMb, const QString& gbFormat,
                              const QString& mbFormat);
    // Store text of the terminal: format with total/1024 and free/1024.
    static QString StoreSpace(uint64_t totalBytes, uint64_t freeBytes, const QString& format);
    // Type text for a file the desktop knows no type of: the last three characters that exist,
    // a blank and the word for file, upper-cased.
    static QString FallbackType(const QString& name);
    // printf with two doubles over a UTF-8 format held in a QString.
    static QString Format2(const QString& format, double a, double b);
};
