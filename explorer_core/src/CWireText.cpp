#include "CWireText.h"

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <cstdlib>

namespace {

QByteArray Convert(const char* to, const char* from, const QByteArray& in, bool* ok) {
    *ok = false;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return {};
    QByteArray out(in.size() * 4 + 8, '\0');
    char* src = const_cast<char*>(in.constData());
    size_t srcLeft = static_cast<size_t>(in.size());
    char* dst = out.data();
    size_t dstLeft = static_cast<size_t>(out.size());
    const size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    iconv_close(cd);
    if (r == static_cast<size_t>(-1)) return {};
    out.truncate(out.size() - static_cast<qsizetype>(dstLeft));
    *ok = true;
    return out;
}

}  // namespace

QByteArray CWireText::CodePage() {
    if (const char* env = std::getenv("ZOTLINK_CODEPAGE"); env && *env) return QByteArray(env);
    locale_t loc = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0));
    if (!loc) return "UTF-8";
    QByteArray cs = nl_langinfo_l(CODESET, loc);
    freelocale(loc);
    if (cs.isEmpty() || cs == "ANSI_X3.4-1968") cs = "UTF-8";
    return cs;
}

QString CWireText::Decode(const QByteArray& bytes) {
    const QByteArray cp = CodePage();
    if (cp.compare("UTF-8", Qt::CaseInsensitive) == 0) return QString::fromUtf8(bytes);
    bool ok = false;
    const QByteArray utf8 = Convert("UTF-8", cp.constData(), bytes, &ok);
    if (!ok) return QString::fromUtf8(bytes);
    return QString::fromUtf8(utf8);
}

QByteArray CWireText::Encode(const QString& text, bool* ok) {
    bool done = false;
    const QByteArray cp = CodePage();
    QByteArray out;
    if (cp.compare("UTF-8", Qt::CaseInsensitive) == 0) {
        out = text.toUtf8();
        done = true;
    } else {
        out = Convert(cp.constData(), "UTF-8", text.toUtf8(), &done);
    }
    if (ok) *ok = done;
    return out;
}

qsizetype CWireText::EncodedLength(const QString& text) {
    bool ok = false;
    const QByteArray b = Encode(text, &ok);
    return ok ? b.size() : -1;
}
