#include "terminal.h"

#include "line_connect.h"
#include "terminal_path.h"
#include "text.h"

namespace zotcli {
namespace {

// A listing record holds a name of at most 99 bytes and its NUL; servers that call themselves
// Plinth keep only 16 bytes of a name.
constexpr size_t kListedNameLimit = 99;
constexpr size_t kPlinthNameLimit = 16;

}  // namespace

LineChoice LineOf(const std::string& device) {
    LineChoice line;
    line.port = ComPortNumber(device);
    if (line.port) {
        line.label = "COM" + std::to_string(line.port);
    } else {
        line.device = device;
        line.label = zottools::BaseName(device);
    }
    return line;
}

LineChoice SingleLine(const Options& o) {
    if (!o.devices.empty()) return LineOf(o.devices.front());
    LineChoice line;
    line.port = o.ports.empty() ? o.port : o.ports.front();
    line.label = "COM" + std::to_string(line.port);
    return line;
}

int Terminal::Connect() {
    const std::string named = zottools::LineName(line.port, line.device);
    const zot::Status answered =
        zottools::Connect(session, line.port, line.device, options.baud, options.compress);
    if (answered) return kExitOk;
    for (const auto& message : zottools::ConnectFailure(session, answered, named, options.baud))
        Fail(message);
    return kExitNoTerminal;
}

int Terminal::Failed(const std::string& what, const zot::Status& why) {
    Fail(what + ": " + zot::Describe(why));
    Note(why);
    return gone ? kExitNoTerminal : kExitFailed;
}

std::string Terminal::NameRefusal(const std::string& devicePath) {
    if (m_nameLimit == 0) {
        m_nameLimit = kListedNameLimit;
        const auto system = session.System();
        const std::string_view text(reinterpret_cast<const char*>(system.value.data()),
                                    system.value.size());
        if (system && text.substr(0, text.find('\0')).find("Plinth") != std::string_view::npos)
            m_nameLimit = kPlinthNameLimit;
    }
    for (const auto& name : zottools::SplitDevicePath(devicePath)) {
        std::string wire;
        if (!ExactWireText(name, &wire))
            return "the name " + name + " cannot be written in the terminal's code page (" +
                   zot::WireCodePage() + ")";
        if (wire.size() > m_nameLimit)
            return "name too long for the terminal (" + std::to_string(wire.size()) +
                   " bytes, at most " + std::to_string(m_nameLimit) + ")";
    }
    return {};
}

}  // namespace zotcli
