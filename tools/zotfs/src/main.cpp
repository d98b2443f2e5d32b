// zotfs: the terminal's file store as a folder of the PC, through FUSE.
#include <signal.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuse_ops.h"
#include "link_worker.h"
#include "open_failure.h"
#include "options.h"
#include "port_name.h"
#include "terminal_fs.h"
#include "zot_session.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitNoTerminal = 3;

void Fail(const std::string& message) {
    std::fprintf(stderr, "zotfs: %s\n", message.c_str());
}

// The daemon works from "/", so a relative device path would name nothing there. Links are
// kept as given: a simulator or a udev rule may point the same name at a new device later.
std::string Absolute(const std::string& path) {
    if (path.empty() || path[0] == '/') return path;
    char cwd[PATH_MAX];
    if (!::getcwd(cwd, sizeof cwd)) return path;
    return std::string(cwd) + "/" + path;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace zotfs;
    Options o;
    std::string error;
    if (!ParseOptions(argc, argv, &o, &error)) {
        Fail(error);
        std::fputs(UsageText(), stderr);
        return kExitUsage;
    }
    if (o.help) {
        std::fputs(UsageText(), stdout);
        return kExitOk;
    }
    const LinkParameters link{o.port, Absolute(o.device), o.baud, o.compress};
    std::string where = o.device;
    if (where.empty()) {
        const std::string device = qs::SerialDeviceForPort(o.port);
        where = "port " + std::to_string(o.port) + (device.empty() ? "" : " (" + device + ")");
    }
    // Asked once before mounting, so a missing terminal is reported here and not as a folder
    // whose every operation fails. The line is closed again: its thread would not survive
    // the move into the background.
    {
        zot::CSession session;
        const zot::Status answered = CLinkWorker::Connect(session, link);
        if (!session.IsOpen()) {
            const int err = session.OpenError();
            const qs::OpenFailure why = qs::OpenFailureFromSystemError(err);
            Fail("cannot open " + where + ": " +
                 (why == qs::OpenFailure::kSettingsRefused
                      ? "it cannot be set up at " + std::to_string(o.baud) + " baud"
                      : qs::OpenFailureReason(why, qs::SystemErrorText(err))));
            if (why == qs::OpenFailure::kPermissionDenied) Fail(qs::PermissionDeniedHint());
            return kExitNoTerminal;
        }
        if (!answered) {
            Fail("no terminal answered on " + where + ": " +
                 (answered.silence == zot::Silence::kLineFailed
                      ? "the port is open, but nothing replies"
                      : zot::Describe(answered)));
            return kExitNoTerminal;
        }
    }

    std::string mountOptions = "fsname=zotfs,subtype=zotfs,default_permissions";
    if (o.readOnly) mountOptions += ",ro";
    for (const auto& extra : o.mountOptions) mountOptions += "," + extra;
    std::vector<std::string> arguments = {argv[0], "-o", mountOptions};
    if (o.debug) arguments.push_back("-d");
    std::vector<char*> argvFuse;
    for (auto& a : arguments) argvFuse.push_back(a.data());
    fuse_args args = FUSE_ARGS_INIT(static_cast<int>(argvFuse.size()), argvFuse.data());

    CTerminalFs* fsPointer = nullptr;
    CLinkWorker worker(link, [&fsPointer] {
        if (fsPointer) fsPointer->Reconnected();
    });
    CTerminalFs fs(worker, o.readOnly);
    fsPointer = &fs;
    Mount mount{&worker, &fs};

    fuse* f = fuse_new(&args, &Operations(), sizeof(fuse_operations), &mount);
    if (!f) {
        fuse_opt_free_args(&args);
        return kExitFailed;
    }
    if (fuse_mount(f, o.mountPoint.c_str()) != 0) {
        Fail("cannot mount on " + o.mountPoint);
        fuse_destroy(f);
        fuse_opt_free_args(&args);
        return kExitFailed;
    }
    fuse_session* session = fuse_get_session(f);
    int rc = kExitFailed;
    if (fuse_daemonize(o.foreground ? 1 : 0) == 0 && fuse_set_signal_handlers(session) == 0) {
        if (worker.Start()) {
            // Ctrl-C, SIGTERM and fusermount3 -u all end the loop with the mount intact.
            const int loop = fuse_loop_mt(f, 0);
            rc = (loop == 0 || loop == SIGINT || loop == SIGTERM || loop == SIGHUP) ? kExitOk
                                                                                    : kExitFailed;
        }
        fuse_remove_signal_handlers(session);
    }
    fuse_unmount(f);
    // Files the kernel never released (a lazy unmount) are closed on the terminal too.
    worker.Run(
        [&fs] {
            fs.CloseAll();
            return 0;
        },
        false);
    worker.Stop();
    fuse_destroy(f);
    fuse_opt_free_args(&args);
    return rc;
}
