// sync: makes a destination folder hold what a source folder holds, copying only the files
// that are missing or differ in size or time. Run again after an interruption, it finds the
// half-copied file different (its size, or the time it has not yet been given) and copies
// it again, so it finishes.

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "commands.h"
#include "copying.h"
#include "platform.h"
#include "report.h"
#include "terminal_path.h"
#include "terminal_tree.h"
#include "text.h"

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

// Empty when the folder is there afterwards, else why not.
std::string MakeFolder(Terminal& t, const Sides& s, const std::string& rel) {
    const std::string path = DestinationPath(s, rel);
    if (!s.toPc) {
        const zot::Status made = MakeDeviceFolders(t.session, path);
        t.Note(made);
        return made ? std::string() : zot::Describe(made);
    }
    std::error_code ec;
    fs::create_directories(PcPath(path), ec);
    if (IsPcDirectory(path)) return {};
    return ec ? ec.message() : "a file is in the way";
}

// Empty when the entry is gone, else why not.
std::string RemoveEntry(Terminal& t, const Sides& s, const Entry& e) {
    const std::string path = DestinationPath(s, e.relative);
    if (s.toPc) {
        std::error_code ec;
        if (fs::remove(PcPath(path), ec)) return {};
        return ec ? ec.message() : "it is not there";
    }
    const auto wire = WireText(path);
    const auto removed = e.isDir ? t.session.RemoveFolder(wire) : t.session.Delete(wire);
    t.Note(removed.status);
    return removed ? std::string() : zot::Describe(removed.status);
}

// Every entry below a side's folder, or false with the reason said: a side known only in part
// would read as files missing from it.
bool Walk(Terminal& t, bool terminal, const std::string& folder, std::vector<Entry>* out) {
    if (terminal) {
        const zot::Status walked = DeviceWalk(t.session, folder, true, out);
        if (!walked) t.Failed("sync: cannot list " + folder, walked);
        return walked.Ok();
    }
    std::string error;
    const bool walked = PcWalk(folder, true, out, &error);
    if (!walked) t.Fail("sync: " + error);
    return walked;
}

// --exclude: an entry whose name or path below the synced folder, or that of a folder it is
// in, matches a pattern. Excluded entries are neither copied nor deleted.
bool Excluded(const Options& o, const std::string& relative) {
    for (size_t end = relative.find('/');; end = relative.find('/', end + 1)) {
        const std::string path = relative.substr(0, end);
        const std::string name = path.substr(path.rfind('/') + 1);
        for (const auto& pattern : o.excludes)
            if (zottools::WildcardMatch(pattern, name) || zottools::WildcardMatch(pattern, path))
                return true;
        if (end == std::string::npos) return false;
    }
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

int Sync(Terminal& t) {
    const Options& o = t.options;
    std::string error;
    if (!CheckSyncUsage(o, &error)) {
        t.Fail(error);
        return kExitUsage;
    }
    Sides s{o.args[0], o.args[1], o.toPc};
    if (s.toPc) {
        s.source = zottools::DevicePath(s.source);
        if (!t.ownFolder.empty()) s.destination += "/" + t.ownFolder;
    } else {
        s.destination = zottools::DevicePath(s.destination);
    }
    const auto top = DeviceStat(t.session, DeviceOf(s));
    if (!top && !top.status.Is(zot::Refusal::kNoSuchEntry))
        return t.Failed("sync " + DeviceOf(s), top.status);
    if (s.toPc && !(top && top.value.isDir)) {
        t.Fail("sync: " + s.source + " is not a terminal folder");
        return kExitFailed;
    }
    if (!s.toPc && top && !top.value.isDir) {
        t.Fail("sync: " + s.destination + " is a terminal file, not a folder");
        return kExitFailed;
    }
    // Both sides are known whole before anything changes.
    std::vector<Entry> sources, destinations;
    if (!Walk(t, s.toPc, s.source, &sources)) return t.Exit(kExitFailed);
    const bool destinationExists = s.toPc ? IsPcDirectory(s.destination) : top.Ok();
    if (destinationExists && !Walk(t, !s.toPc, s.destination, &destinations))
        return t.Exit(kExitFailed);
    std::map<std::string, Entry> present;
    for (Entry& e : destinations) present.emplace(e.relative, std::move(e));

    CopyReport report(t);
    int rc = kExitOk;
    if (!destinationExists) {
        if (o.dryRun)
            report.Say("mkdir " + s.destination);
        else if (const std::string why = MakeFolder(t, s, ""); !why.empty()) {
            t.Fail("sync: cannot create the folder " + s.destination + ": " + why);
            return t.Exit(kExitFailed);
        }
    }
    std::map<std::string, bool> wanted;
    for (const Entry& e : sources) {
        if (Interrupted() || t.gone) break;
        if (Excluded(o, e.relative)) continue;
        wanted[e.relative] = true;
        const auto it = present.find(e.relative);
        const bool missing = it == present.end();
        const std::string from = SourcePath(s, e.relative);
        const std::string to = DestinationPath(s, e.relative);
        if (e.isDir) {
            if (!missing && it->second.isDir) continue;
            if (o.dryRun) {
                report.Say("mkdir " + to);
            } else if (!missing) {
                t.Fail("sync: cannot create the folder " + to + ": a file is in the way");
                rc = kExitFailed;
            } else if (const std::string why = MakeFolder(t, s, e.relative); !why.empty()) {
                t.Fail("sync: cannot create the folder " + to + ": " + why);
                rc = kExitFailed;
            }
            continue;
        }
        if (!missing && !Differs(o, e, it->second)) continue;
        if (!missing && it->second.isDir) {
            t.Fail("sync: " + to + " is a folder where the source has a file");
            report.File(from, to, 0, "failed", "a folder is in the way");
            rc = kExitFailed;
            continue;
        }
        if (o.dryRun) {
            report.Say("copy " + from + " -> " + to);
            report.File(from, to, e.size, "planned");
            continue;
        }
        if (!CopyFileTo(t, s.toPc, s.toPc ? from : to, s.toPc ? to : from, e.size, e.time, report))
            rc = kExitFailed;
    }
    // Only a sync that went through deletes: a source cut short would want too little.
    if (o.deleteExtra && !Interrupted() && !t.gone) {
        // Deepest first, so a folder is empty when its turn comes.
        for (auto it = present.rbegin(); it != present.rend(); ++it) {
            const Entry& e = it->second;
            if (wanted.count(e.relative) || Excluded(o, e.relative)) continue;
            const std::string path = DestinationPath(s, e.relative);
            if (o.dryRun) {
                report.Say("delete " + path);
                report.File("", path, e.size, "would delete");
            } else if (const std::string why = RemoveEntry(t, s, e); why.empty()) {
                report.Say("deleted " + path);
                report.File("", path, e.size, "deleted");
            } else {
                t.Fail("sync: cannot delete " + path + ": " + why);
                report.File("", path, e.size, "failed", "cannot delete: " + why);
                rc = kExitFailed;
                if (t.gone) break;
            }
        }
    }
    if (Interrupted()) rc = kExitFailed;
    return rc;
}

}  // namespace zotcli
