// zotfs: the terminal's file store as a folder of the PC, through FUSE.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fuse_ops.h"
#include "line_connect.h"
#include "link_worker.h"
#include "options.h"
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

// The mount point as the kernel will list it, so that unmounting from "/" finds it.
std::string MountPointPath(const std::string& path) {
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

// Going into the background happens first, before the line is opened or a thread started, so
// that the process that serves the mount is the one holding the line from the start. The
// process started from the shell waits until the mount is up or has failed, and exits with
// that status; the messages reach the shell either way, as they are written before the
// background process lets go of the terminal.
class CBackground {
  public:
    // Returns in the background process only (false when there can be none): the starting
    // process never returns from here.
    bool Enter() {
        int fds[2];
        if (::pipe(fds) != 0) return false;
        const pid_t child = ::fork();
        if (child < 0) {
            ::close(fds[0]);
            ::close(fds[1]);
            return false;
        }
        if (child > 0) {
            ::close(fds[1]);
            unsigned char status = kExitFailed;  // a child that died says nothing
            while (::read(fds[0], &status, 1) < 0 && errno == EINTR) {
            }
            ::_exit(status);
        }
        ::close(fds[0]);
        m_verdict = fds[1];
        return true;
    }
    // The mount is up: the starting process may return, and the terminal is let go. Until
    // then both are in the shell's process group, so Ctrl-C ends both.
    void Ready() {
        if (m_verdict < 0) return;
        ::setsid();
        const int null = ::open("/dev/null", O_RDWR);
        if (null >= 0) {
            ::dup2(null, STDIN_FILENO);
            ::dup2(null, STDOUT_FILENO);
            ::dup2(null, STDERR_FILENO);
            if (null > STDERR_FILENO) ::close(null);
        }
        Tell(kExitOk);
    }
    // The mount failed with status; does nothing once Ready was told.
    void Tell(int status) {
        if (m_verdict < 0) return;
        const auto byte = static_cast<unsigned char>(status);
        while (::write(m_verdict, &byte, 1) < 0 && errno == EINTR) {
        }
        ::close(m_verdict);
        m_verdict = -1;
    }

  private:
    int m_verdict = -1;
};

int Serve(const zotfs::Options& o, const char* program, CBackground& background) {
    using namespace zotfs;
    const LinkParameters link{o.port, Absolute(o.device), o.baud, o.compress};
    CTerminalFs* fsPointer = nullptr;
    CLinkWorker worker(link, [&fsPointer] {
        if (fsPointer) fsPointer->Reconnected();
    });
    // The line is opened and the terminal asked before anything is mounted, so a missing
    // terminal is reported here and not as a folder whose every operation fails; from here
    // on the mount holds the line, so no other program can take it from under the mount.
    if (const zot::Status answered = worker.Open(); !answered) {
        for (const auto& message : zottools::ConnectFailure(
                 worker.Session(), answered, zottools::LineName(o.port, o.device), o.baud))
            Fail(message);
        return kExitNoTerminal;
    }

    std::string mountOptions = "fsname=zotfs,subtype=zotfs,default_permissions";
    if (o.readOnly) mountOptions += ",ro";
    for (const auto& extra : o.mountOptions) mountOptions += "," + extra;
    std::vector<std::string> arguments = {program, "-o", mountOptions};
    if (o.debug) arguments.push_back("-d");
    std::vector<char*> argvFuse;
    for (auto& a : arguments) argvFuse.push_back(a.data());
    fuse_args args = FUSE_ARGS_INIT(static_cast<int>(argvFuse.size()), argvFuse.data());

    CTerminalFs fs(worker, o.readOnly, o.strictTimes);
    fsPointer = &fs;
    Mount mount{&worker, &fs};

    fuse* f = fuse_new(&args, &Operations(), sizeof(fuse_operations), &mount);
    if (!f) {
        fuse_opt_free_args(&args);
        return kExitFailed;
    }
    const std::string mountPoint = MountPointPath(o.mountPoint);
    if (fuse_mount(f, mountPoint.c_str()) != 0) {
        Fail("cannot mount on " + o.mountPoint);
        fuse_destroy(f);
        fuse_opt_free_args(&args);
        return kExitFailed;
    }
    fuse_session* session = fuse_get_session(f);
    int rc = kExitFailed;
    if (fuse_set_signal_handlers(session) == 0) {
        if (worker.Start()) {
            (void)::chdir("/");
            background.Ready();
            // Ctrl-C, SIGTERM and fusermount3 -u all end the loop.
            const int loop = fuse_loop_mt(f, 0);
            rc = (loop == 0 || loop == SIGINT || loop == SIGTERM || loop == SIGHUP) ? kExitOk
                                                                                    : kExitFailed;
        }
        fuse_remove_signal_handlers(session);
    }
    // The line goes first: after fusermount3 -u the kernel has already let go of the mount,
    // and a program started next (zot on the same device) must find the line free. Files the
    // kernel never released (a lazy unmount) are closed on the terminal before that.
    worker.Run(
        [&fs] {
            fs.CloseAll();
            return 0;
        },
        false);
    worker.Stop();
    fuse_unmount(f);
    fuse_destroy(f);
    fuse_opt_free_args(&args);
    return rc;
}

}  // namespace

int main(int argc, char** argv) {
    zotfs::Options o;
    std::string error;
    if (!zotfs::ParseOptions(argc, argv, &o, &error)) {
        Fail(error);
        std::fputs(zotfs::UsageText(), stderr);
        return kExitUsage;
    }
    if (o.help) {
        std::fputs(zotfs::UsageText(), stdout);
        return kExitOk;
    }
    CBackground background;
    if (!o.foreground && !background.Enter()) {
        Fail(std::string("cannot go into the background: ") + std::strerror(errno));
        return kExitFailed;
    }
    const int rc = Serve(o, argv[0], background);
    background.Tell(rc);
    return rc;
}
