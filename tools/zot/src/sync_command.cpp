// sync: makes a destination folder hold what a source folder holds, copying only the files
// that are missing or differ in size or time. Run again after an interruption, it finds the
// half-copied file different (its size, or the time it has not yet been given) and copies
// it again, so it finishes.

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "commands.h"
#include "copying.h"
#include "platform.h"
#include "report.h"
#include "resume.h"
#include "terminal_path.h"
#include "terminal_tree.h"
#include "text.h"
#include "zotlink.h"

namespace fs = std::filesystem;

namespace zotcli {
namespace {

bool IsPcDirectory(const std::string& path) {
    PcStat st;
    return StatPc(path, &st) && st.isDirectory;
}

bool Differs(const Options& o, const Entry& source, const Entry& destination) {
    if (source.isDir != destination.isDir || source.size != destination.size) return true;
    // A side that keeps no time (0) cannot tell; the size alone decides then.
    return o.times && source.time != 0 && destination.time != 0 && source.time != destination.time;
}

struct Sides {
    std::string source, destination;  // as given, one of them a terminal folder
    bool toPc;
};

std::string DeviceOf(const Sides& s) {
    return s.toPc ? s.source : s.destination;
}
std::string SourcePath(const Sides& s, const std::string& rel) {
    return s.toPc ? DeviceBelow(s.source, rel) : s.source + "/" + rel;
}
std::string DestinationPath(const Sides& s, const std::string& rel) {
    return s.toPc ? s.destination + "/" + rel : DeviceBelow(s.destination, rel);
}

bool MakeFolder(const Sides& s, const std::string& rel) {
    if (!s.toPc) return MakeDeviceFolders(DestinationPath(s, rel));
    std::error_code ec;
    fs::create_directories(PcPath(DestinationPath(s, rel)), ec);
    return IsPcDirectory(DestinationPath(s, rel));
}

bool RemoveEntry(const Sides& s, const Entry& e) {
    const std::string path = DestinationPath(s, e.relative);
    if (s.toPc) {
        std::error_code ec;
        return fs::remove(PcPath(path), ec);
    }
    const auto wide = Widen(path);
    return (e.isDir ? ZOT_RemoveDirectoryW : ZOT_DeleteFileW)(wide.c_str()) != 0;
}

}  // namespace

bool CheckSyncUsage(const Options& o, std::string* error) {
    if (o.toPc == o.toTerminal) {
        *error = "sync: give one of --to-terminal and --to-pc";
        return false;
    }
    if (o.args.size() != 2) {
        *error = o.toPc ? "sync --to-pc takes TERMINAL_DIR LOCAL_DIR"
                        : "sync --to-terminal takes LOCAL_DIR TERMINAL_DIR";
        return false;
    }
    if (o.toTerminal && !IsPcDirectory(o.args[0])) {
        *error = "sync: " + o.args[0] + " is not a PC folder";
        return false;
    }
    if (o.toPc && fs::exists(PcPath(o.args[1])) && !IsPcDirectory(o.args[1])) {
        *error = "sync: " + o.args[1] + " exists and is not a folder";
        return false;
    }
    return true;
}

int Sync(const Options& o) {
    std::string error;
    if (!CheckSyncUsage(o, &error)) {
        Fail(error);
        return kExitUsage;
    }
    Sides s{o.args[0], o.args[1], o.toPc};
    if (s.toPc) {
        s.source = zottools::DevicePath(s.source);
        if (!o.terminalLabel.empty()) s.destination += "/" + o.terminalLabel;
    } else {
        s.destination = zottools::DevicePath(s.destination);
    }
    const std::optional<Entry> top = DeviceStat(DeviceOf(s));
    if (s.toPc && !(top && top->isDir)) {
        Fail("sync: " + s.source + " is not a terminal folder");
        return kExitFailed;
    }
    if (!s.toPc && top && !top->isDir) {
        Fail("sync: " + s.destination + " is a terminal file, not a folder");
        return kExitFailed;
    }
    const std::vector<Entry> sources = s.toPc ? DeviceWalk(s.source, true) : PcWalk(s.source, true);
    std::map<std::string, Entry> present;
    const bool destinationExists = s.toPc ? IsPcDirectory(s.destination) : top.has_value();
    if (destinationExists)
        for (Entry& e : s.toPc ? PcWalk(s.destination, true) : DeviceWalk(s.destination, true))
            present.emplace(e.relative, std::move(e));

    CatchInterrupt();
    CopyReport report(o);
    int rc = kExitOk;
    if (!destinationExists) {
        if (o.dryRun)
            report.Say("mkdir " + s.destination);
        else if (!MakeFolder(s, "")) {
            Fail("sync: cannot create the folder " + s.destination);
            return kExitFailed;
        }
    }
    std::map<std::string, bool> wanted;
    for (const Entry& e : sources) {
        if (Interrupted()) break;
        wanted[e.relative] = true;
        const auto it = present.find(e.relative);
        const bool missing = it == present.end();
        const std::string from = SourcePath(s, e.relative);
        const std::string to = DestinationPath(s, e.relative);
        if (e.isDir) {
            if (!missing && it->second.isDir) continue;
            if (o.dryRun) {
                report.Say("mkdir " + to);
            } else if (!missing || !MakeFolder(s, e.relative)) {
                Fail("sync: cannot create the folder " + to);
                rc = kExitFailed;
            }
            continue;
        }
        if (!missing && !Differs(o, e, it->second)) continue;
        if (!missing && it->second.isDir) {
            Fail("sync: " + to + " is a folder where the source has a file");
            report.File(from, to, 0, "failed", "a folder is in the way");
            rc = kExitFailed;
            continue;
        }
        if (o.dryRun) {
            report.Say("copy " + from + " -> " + to);
            report.File(from, to, e.size, "planned");
            continue;
        }
        if (!CopyFileTo(o, s.toPc, s.toPc ? from : to, s.toPc ? to : from, e.size, e.time, report))
            rc = kExitFailed;
    }
    if (o.deleteExtra && !Interrupted()) {
        // Deepest first, so a folder is empty when its turn comes.
        for (auto it = present.rbegin(); it != present.rend(); ++it) {
            const Entry& e = it->second;
            if (wanted.count(e.relative)) continue;
            const std::string path = DestinationPath(s, e.relative);
            if (o.dryRun) {
                report.Say("delete " + path);
                report.File("", path, e.size, "would delete");
            } else if (RemoveEntry(s, e)) {
                report.Say("deleted " + path);
                report.File("", path, e.size, "deleted");
            } else {
                Fail("sync: cannot delete " + path);
                report.File("", path, e.size, "failed", "cannot delete");
                rc = kExitFailed;
            }
        }
    }
    if (Interrupted()) rc = kExitFailed;
    return rc;
}

}  // namespace zotcli
