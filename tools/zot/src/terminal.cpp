#include "terminal.h"

#include "open_failure.h"
#include "port_name.h"
#include "terminal_path.h"

namespace zotcli {

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
    std::string named = line.device;
    if (named.empty()) {
        const std::string device = qs::SerialDeviceForPort(line.port);
        named = "port " + std::to_string(line.port) + (device.empty() ? "" : " (" + device + ")");
    }
    const zot::Status opened =
        line.device.empty() ? session.Open(line.port, options.baud, options.compress)
                            : session.OpenDevice(line.device, options.baud, options.compress);
    if (!opened) {
        const int err = session.OpenError();
        const qs::OpenFailure why = qs::OpenFailureFromSystemError(err);
        Fail("cannot open " + named + ": " +
             (why == qs::OpenFailure::kSettingsRefused
                  ? "it cannot be set up at " + std::to_string(options.baud) + " baud"
                  : qs::OpenFailureReason(why, qs::SystemErrorText(err))));
        if (why == qs::OpenFailure::kPermissionDenied) Fail(qs::PermissionDeniedHint());
        return kExitNoTerminal;
    }
    const auto version = session.Version();
    if (version) return kExitOk;
    if (version.status.outcome == zot::Outcome::kNoAnswer &&
        version.status.silence == zot::Silence::kLineFailed)
        Fail("no terminal answered on " + named + ": the port is open, but nothing replies");
    else
        Fail(named + ": " + zot::Describe(version.status));
    return kExitNoTerminal;
}

int Terminal::Failed(const std::string& what, const zot::Status& why) {
    Fail(what + ": " + zot::Describe(why));
    Note(why);
    return gone ? kExitNoTerminal : kExitFailed;
}

}  // namespace zotcli
