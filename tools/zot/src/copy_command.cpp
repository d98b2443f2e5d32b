// get and put: whole-file copies through the session, with progress, Ctrl-C, kept times and
// an optional read-back check; folders with -r.

#include <atomic>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "commands.h"
#include "copying.h"
#include "platform.h"
#include "progress.h"
#include "resume.h"
#include "terminal_path.h"
#include "terminal_time.h"
#include "terminal_tree.h"
#include "text.h"

namespace fs = std::filesystem;

namespace zotcli {
namespace {

using zottools::BaseName;
using zottools::DeviceJoin;
using zottools::DevicePath;
using zottools::NamesDeviceFolder;

// Set by the signal handler, read by every terminal's thread.
std::atomic<bool> g_interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free);

void OnInterrupt(int) {
    g_interrupted.store(true);
}

}  // namespace

bool Interrupted() {
    return g_interrupted.load();
}

void CatchInterrupt() {
    OnInterruptSignals(OnInterrupt);
}

namespace {

bool IsPcDirectory(const std::string& path) {
    PcStat st;
    return StatPc(path, &st) && st.isDirectory;
}

bool PcExists(const std::string& path) {
    PcStat st;
    return StatPc(path, &st);
}

uint64_t PcSize(const std::string& path) {
    PcStat st;
    return StatPc(path, &st) ? st.size : 0;
}

// Why a copy stopped. A read fails on the source's side, a create or a write on the
// destination's; the session says why for the terminal's side only.
std::string CopyFailure(const zot::CopyResult& r, bool toPc) {
    if (r.code == zot::kCopyCancelled) return "cancelled";
    const bool terminalSide = r.code == zot::kCopyReadFailed ? toPc : !toPc;
    if (terminalSide) return zot::Describe(r.status);
    switch (r.code) {
        case zot::kCopyReadFailed:
            return "cannot read the PC file";
        case zot::kCopyCreateFailed:
            return "cannot create the PC file";
        default:
            return "cannot write the PC file";
    }
}

// A failure that going on from the last confirmed byte can mend: the line, not the terminal
// or the PC, let the copy down.
bool LineLetDown(const zot::CopyResult& r) {
    return (r.code == zot::kCopyReadFailed || r.code == zot::kCopyWriteFailed) &&
           (r.status.outcome == zot::Outcome::kBadReply ||
            (r.status.outcome == zot::Outcome::kNoAnswer &&
             r.status.silence == zot::Silence::kLineFailed));
}

// Compares the terminal file with the PC file byte for byte.
bool SameContents(Terminal& t, const std::string& devicePath, const std::string& pcPath,
                  std::string* why) {
    std::ifstream pc(PcPath(pcPath), std::ios::binary);
    if (!pc) {
        *why = "cannot read " + pcPath + " back";
        return false;
    }
    const auto opened = t.session.OpenFile(WireText(devicePath), kOpenReadWrite);
    if (!opened) {
        t.Note(opened.status);
        *why = "cannot open " + devicePath + " to read it back: " + zot::Describe(opened.status);
        return false;
    }
    std::vector<char> a(64 * 1024), b(64 * 1024);
    bool same = true;
    for (;;) {
        const auto got = t.session.Read(opened.value, a.data(), static_cast<uint32_t>(a.size()));
        if (!got) {
            t.Note(got.status);
            *why = "cannot read " + devicePath + " back: " + zot::Describe(got.status);
            same = false;
            break;
        }
        pc.read(b.data(), static_cast<std::streamsize>(b.size()));
        const auto pcGot = static_cast<uint32_t>(pc.gcount());
        if (got.value != pcGot || std::memcmp(a.data(), b.data(), got.value) != 0) {
            same = false;
            *why = "the copy differs from its source";
            break;
        }
        if (got.value < a.size()) break;  // end of both files
    }
    t.session.CloseFile(opened.value);
    return same;
}

bool DestinationExists(Terminal& t, bool toPc, const std::string& devicePath,
                       const std::string& pcPath) {
    if (toPc) return PcExists(pcPath);
    return t.session.Attributes(WireText(devicePath)).Ok();
}

// Runs one copy, going on from where it broke off while retries last; true when it arrived
// whole (and, with --verify, read back identical).
bool CopyOne(Terminal& t, bool toPc, const std::string& devicePath, const std::string& pcPath,
             uint64_t size, std::string* why) {
    const Options& o = t.options;
    const std::string label = BaseName(toPc ? devicePath : pcPath);
    ProgressBar bar(t.out, label, size);
    auto resume = [&] {
        return toPc ? ResumeGet(t.session, devicePath, pcPath, size, bar)
                    : ResumePut(t.session, pcPath, devicePath, size, bar);
    };
    auto whole = [&] {
        const zot::CopyEnd terminal{true, WireText(devicePath)};
        const zot::CopyEnd pc{false, PcEndPath(pcPath)};
        zot::CopyControl control;
        control.progress = [&](uint64_t, uint64_t, uint64_t bytes) { bar.Update(bytes); };
        control.cancelled = [] { return g_interrupted.load(); };
        return toPc ? t.session.Copy(terminal, pc, control) : t.session.Copy(pc, terminal, control);
    };
    zot::CopyResult r =
        o.resume && DestinationExists(t, toPc, devicePath, pcPath) ? resume() : whole();
    for (int attempt = 1; LineLetDown(r) && attempt <= o.retries && !g_interrupted; ++attempt) {
        bar.Finish(false);
        t.Fail(label + ": " + CopyFailure(r, toPc) + "; resuming, attempt " +
               std::to_string(attempt) + " of " + std::to_string(o.retries));
        // Going on needs a terminal that answers again; until it does, the copy stays broken
        // off on the terminal's side, for the reason the terminal gives now.
        if (const auto back = t.session.Version(); !back) {
            r.status = back.status;
            continue;
        }
        r = resume();
    }
    bar.Finish(r.code == zot::kCopyDone);
    if (r.code != zot::kCopyDone) {
        *why = CopyFailure(r, toPc);
        t.Fail(label + ": " + *why);
        t.Note(r.status);
        return false;
    }
    if (o.verify && !SameContents(t, devicePath, pcPath, why)) {
        t.Fail(label + ": verify failed: " + *why);
        return false;
    }
    return true;
}

// Gives the copy its source's time. A terminal that keeps no times refuses this, which is
// not a failure of the copy; a terminal that no longer answers is.
zot::Status KeepTime(Terminal& t, bool toPc, const std::string& devicePath,
                     const std::string& pcPath, uint32_t time) {
    if (time == 0) return zot::Status::Done();
    if (toPc) {
        const timespec when = zottools::TerminalTimeToTimespec(time);
        SetPcTimes(pcPath, when);
        return zot::Status::Done();
    }
    const auto opened = t.session.OpenFile(WireText(devicePath), kOpenReadWrite);
    if (!opened)
        return opened.status.outcome == zot::Outcome::kRefused ? zot::Status::Done()
                                                               : opened.status;
    const auto set = t.session.SetFileTime(opened.value, nullptr, nullptr, &time);
    t.session.CloseFile(opened.value);
    return set.status.outcome == zot::Outcome::kRefused ? zot::Status::Done() : set.status;
}

// The modification time of a PC file in the terminal's terms, 0 when unknown.
uint32_t PcTime(const std::string& path) {
    PcStat st;
    if (!StatPc(path, &st)) return 0;
    return zottools::TimespecToTerminalTime(st.modified);
}

// Turns a -r copy of one folder into the copies of what it holds, creating folders first.
// The whole source folder is known before anything is copied.
bool CopyFolder(Terminal& t, bool toPc, const std::string& deviceFolder,
                const std::string& pcFolder, CopyReport& report) {
    const std::string& source = toPc ? deviceFolder : pcFolder;
    const std::string& destination = toPc ? pcFolder : deviceFolder;
    const std::string what = std::string(toPc ? "get " : "put ") + source;
    auto failed = [&](const std::string& why) {
        t.Fail(what + ": " + why);
        report.File(source, destination, 0, "failed", why);
        return false;
    };
    std::vector<Entry> entries;
    std::string error;
    if (toPc) {
        if (const zot::Status walked = DeviceWalk(t.session, deviceFolder, true, &entries);
            !walked) {
            t.Note(walked);
            return failed(zot::Describe(walked));
        }
    } else if (!PcWalk(pcFolder, true, &entries, &error)) {
        return failed(error);
    }
    auto makeFolder = [&](const std::string& rel) {
        if (toPc) {
            const std::string pc = rel.empty() ? pcFolder : pcFolder + "/" + rel;
            std::error_code ec;
            fs::create_directories(PcPath(pc), ec);
            return IsPcDirectory(pc) ? std::string() : "cannot create the folder " + pc;
        }
        const std::string device = DeviceBelow(deviceFolder, rel);
        const zot::Status made = MakeDeviceFolders(t.session, device);
        t.Note(made);
        return made ? std::string()
                    : "cannot create the terminal folder " + device + ": " + zot::Describe(made);
    };
    if (const std::string why = makeFolder(""); !why.empty()) return failed(why);
    bool ok = true;
    for (const Entry& e : entries) {
        if (g_interrupted || t.gone) return false;
        if (e.isDir) {
            if (const std::string why = makeFolder(e.relative); !why.empty()) {
                t.Fail(what + ": " + why);
                ok = false;
            }
            continue;
        }
        ok = CopyFileTo(t, toPc, DeviceBelow(deviceFolder, e.relative), pcFolder + "/" + e.relative,
                        e.size, e.time, report) &&
             ok;
    }
    return ok;
}

// The PC folder that gets what this terminal sends: DEST itself, or with several terminals
// at once DEST/<terminal>, so that their files never meet.
std::string PcTargetFor(const Terminal& t, const std::string& dest) {
    if (t.ownFolder.empty()) return dest;
    const std::string target = dest + "/" + t.ownFolder;
    std::error_code ec;
    fs::create_directories(PcPath(target), ec);
    return target;
}

}  // namespace

bool CopyFileTo(Terminal& t, bool toPc, const std::string& devicePath, const std::string& pcPath,
                uint64_t size, uint32_t time, CopyReport& report) {
    const std::string& source = toPc ? devicePath : pcPath;
    const std::string& destination = toPc ? pcPath : devicePath;
    if (!toPc && WireText(devicePath).size() > 255) {
        t.Fail("put " + pcPath + ": terminal path longer than 255 bytes");
        report.File(source, destination, 0, "failed", "terminal path longer than 255 bytes");
        return false;
    }
    std::string why;
    if (!CopyOne(t, toPc, devicePath, pcPath, size, &why)) {
        report.File(source, destination, 0, "failed", why);
        return false;
    }
    if (t.options.times) {
        if (const zot::Status kept = KeepTime(t, toPc, devicePath, pcPath, time); !kept) {
            why = "cannot give it its time: " + std::string(zot::Describe(kept));
            t.Failed(BaseName(source) + ": cannot give it its time", kept);
            report.File(source, destination, 0, "failed", why);
            return false;
        }
    }
    report.File(source, destination, size, "copied");
    return true;
}

bool CheckGetUsage(const Options& o, std::string* error) {
    if (o.args.empty()) {
        *error = "get: name missing";
        return false;
    }
    if (o.args.size() > 2 && !IsPcDirectory(o.args.back())) {
        *error =
            "get: " + o.args.back() + " must be an existing PC folder when several names are given";
        return false;
    }
    return true;
}

bool CheckPutUsage(const Options& o, std::string* error) {
    if (o.args.empty()) {
        *error = "put: file missing";
        return false;
    }
    return true;
}

int Get(Terminal& t) {
    const Options& o = t.options;
    std::string error;
    if (!CheckGetUsage(o, &error)) {
        t.Fail(error);
        return kExitUsage;
    }
    std::vector<std::string> names = o.args;
    std::string dest = ".";
    if (names.size() >= 2) {
        dest = names.back();
        names.pop_back();
    }
    dest = PcTargetFor(t, dest);
    const bool destIsFolder = names.size() > 1 || IsPcDirectory(dest);
    CopyReport report(t);
    int rc = kExitOk;
    for (const auto& name : names) {
        if (g_interrupted || t.gone) break;
        const std::string device = DevicePath(name);
        const std::string base = BaseName(device);
        const auto entry = DeviceStat(t.session, device);
        if (!entry) {
            rc = t.Failed("get " + device, entry.status);
            report.File(device, dest, 0, "failed", zot::Describe(entry.status));
            continue;
        }
        const bool isFolder = entry.value.isDir;
        if (isFolder && !o.recursive) {
            t.Fail("get " + name + ": is a folder (use -r)");
            report.File(device, dest, 0, "failed", "is a folder");
            rc = kExitFailed;
            continue;
        }
        if (destIsFolder && !isFolder && (base.empty() || base == "." || base == "..")) {
            t.Fail("get " + name + ": not a file name");
            rc = kExitFailed;
            continue;
        }
        const std::string pc =
            destIsFolder ? dest + "/" + (base.empty() ? std::string("ZOT") : base) : dest;
        const bool ok =
            isFolder ? CopyFolder(t, true, device, pc, report)
                     : CopyFileTo(t, true, device, pc, entry.value.size, entry.value.time, report);
        if (!ok) rc = kExitFailed;
    }
    if (g_interrupted) rc = kExitFailed;
    return rc;
}

int Put(Terminal& t) {
    const Options& o = t.options;
    std::string error;
    if (!CheckPutUsage(o, &error)) {
        t.Fail(error);
        return kExitUsage;
    }
    std::vector<std::string> files = o.args;
    std::string target = "ZOT:\\";
    if (files.size() >= 2) {
        target = files.back();
        files.pop_back();
    }
    bool targetIsFolder = NamesDeviceFolder(target) || DevicePath(target) == "ZOT:\\";
    if (!targetIsFolder) {
        const auto e = DeviceStat(t.session, DevicePath(target));
        if (!e && !e.status.Is(zot::Refusal::kNoSuchEntry))
            return t.Failed("put " + DevicePath(target), e.status);
        targetIsFolder = e && e.value.isDir;
        if (files.size() > 1 && !targetIsFolder) {
            t.Fail("put: " + target + " must be a terminal folder when several files are given" +
                   (e ? "" : " (end it with \\ to create it)"));
            return kExitUsage;
        }
    }
    if (files.size() > 1) {
        if (const zot::Status made = MakeDeviceFolders(t.session, DevicePath(target)); !made)
            return t.Failed("put: cannot create the terminal folder " + DevicePath(target), made);
    }
    CopyReport report(t);
    int rc = kExitOk;
    for (const auto& file : files) {
        if (g_interrupted || t.gone) break;
        const std::string device =
            targetIsFolder ? DeviceJoin(target, BaseName(file)) : DevicePath(target);
        if (IsPcDirectory(file)) {
            if (!o.recursive) {
                t.Fail("put " + file + ": is a folder (use -r)");
                report.File(file, device, 0, "failed", "is a folder");
                rc = kExitFailed;
            } else if (!CopyFolder(t, false, device, file, report)) {
                rc = kExitFailed;
            }
            continue;
        }
        if (!PcExists(file)) {
            t.Fail("put " + file + ": no such file");
            report.File(file, device, 0, "failed", "no such file");
            rc = kExitFailed;
            continue;
        }
        if (!CopyFileTo(t, false, device, file, PcSize(file), PcTime(file), report))
            rc = kExitFailed;
    }
    if (g_interrupted) rc = kExitFailed;
    return rc;
}

}  // namespace zotcli
