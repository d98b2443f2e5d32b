#include "CWireText.h"

#include <string>

#include "codepage.h"

namespace {
// The longest name or path the explorers convert; longer ones are not names of either side.
constexpr size_t kMaxBytes = 4096;

zot::WStringView Units(const QString& text) {
    return zot::WStringView(reinterpret_cast<const zot::WChar*>(text.utf16()),
                            static_cast<size_t>(text.size()));
}
}  // namespace

QByteArray CWireText::CodePage() {
    return QByteArray::fromStdString(zot::WireCodePage());
}

QString CWireText::Decode(const QByteArray& bytes) {
    zot::WString wide;
    if (!zot::FromWire(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())),
                       &wide, kMaxBytes))
        return QString::fromUtf8(bytes);
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(wide.data()),
                              static_cast<qsizetype>(wide.size()));
}

QByteArray CWireText::Encode(const QString& text, bool* ok) {
    std::string wire;
    // The library puts its default character where the code page lacks one; a name that does
    // not come back whole would reach the terminal as another name.
    const bool done = zot::ToWire(Units(text), &wire, kMaxBytes) &&
                      Decode(QByteArray::fromStdString(wire)) == text;
    if (ok) *ok = done;
    return done ? QByteArray::fromStdString(wire) : QByteArray();
}

qsizetype CWireText::EncodedLength(const QString& text) {
    bool ok = false;
    const QByteArray b = Encode(text, &ok);
    return ok ? b.size() : -1;
}
