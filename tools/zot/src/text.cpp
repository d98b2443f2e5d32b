#include "text.h"

namespace zotcli {
namespace {

// Command lines and names are short; the bound only keeps a runaway string in check.
constexpr size_t kMaxText = 1 << 12;

}  // namespace

zot::WString Widen(const std::string& localText) {
    zot::WString w;
    zot::FromLocal(localText, &w, kMaxText);
    return w;
}

// Conversions replace what they cannot map, so they fail only on text beyond every limit of
// the terminal; that text goes on as it is and the session refuses it by its length.
std::string WireText(const std::string& localText) {
    zot::WString w;
    std::string wire;
    if (!zot::FromLocal(localText, &w, kMaxText) || !zot::ToWire(w, &wire, kMaxText * 4))
        return localText;
    return wire;
}

std::string FromWire(std::string_view bytes) {
    zot::WString w;
    std::string local;
    if (!zot::FromWire(bytes, &w, kMaxText) || !zot::ToLocal(w, &local, kMaxText * 4))
        return std::string(bytes);
    return local;
}

std::string PcEndPath(const std::string& localText) {
    std::string path;
    if (!zot::LocalToPcPath(localText, &path, kMaxText * 4)) return localText;
    return path;
}

}  // namespace zotcli
