#include "line_connect.h"

#include "open_failure.h"
#include "port_name.h"

namespace zottools {

std::string LineName(int port, const std::string& device) {
    if (!device.empty()) return device;
    const std::string path = qs::SerialDeviceForPort(port);
    return "port " + std::to_string(port) + (path.empty() ? "" : " (" + path + ")");
}

zot::Status Connect(zot::CSession& session, int port, const std::string& device, int baud,
                    bool compress) {
    if (!session.IsOpen()) {
        const zot::Status opened = device.empty() ? session.Open(port, baud, compress)
                                                  : session.OpenDevice(device, baud, compress);
        if (!opened) return opened;
    }
    return session.Version().status;
}

std::vector<std::string> ConnectFailure(const zot::CSession& session, const zot::Status& failed,
                                        const std::string& lineName, int baud) {
    if (!session.IsOpen()) {
        const int err = session.OpenError();
        const qs::OpenFailure why = qs::OpenFailureFromSystemError(err);
        std::vector<std::string> lines{
            "cannot open " + lineName + ": " +
            (why == qs::OpenFailure::kSettingsRefused
                 ? "it cannot be set up at " + std::to_string(baud) + " baud"
                 : qs::OpenFailureReason(why, qs::SystemErrorText(err)))};
        if (why == qs::OpenFailure::kPermissionDenied) lines.push_back(qs::PermissionDeniedHint());
        return lines;
    }
    if (failed.outcome == zot::Outcome::kNoAnswer && failed.silence == zot::Silence::kLineFailed)
        return {"no terminal answered on " + lineName + ": the port is open, but nothing replies"};
    return {lineName + ": " + zot::Describe(failed)};
}

}  // namespace zottools
