#include "text.h"

#include "codepage.h"

namespace zotcli {
namespace {

// Command lines and names are short; the bound only keeps a runaway string in check.
constexpr size_t kMaxText = 1 << 16;

}  // namespace

WString Widen(const std::string& localText) {
    zot::WString w;
    zot::FromLocal(localText, &w, kMaxText);
    return w;
}

std::string Narrow(const WString& wide) {
    std::string s;
    zot::ToLocal(wide, &s, kMaxText * 4);
    return s;
}

std::string FromWire(const char* bytes, size_t length) {
    zot::WString w;
    if (!zot::FromWire(std::string_view(bytes, length), &w, kMaxText))
        return std::string(bytes, length);
    return Narrow(w);
}

size_t WireLength(const std::string& localText) {
    std::string wire;
    zot::ToWire(Widen(localText), &wire, kMaxText * 4);
    return wire.size();
}

}  // namespace zotcli
