// get and put: whole-file copies through the session, with progress, Ctrl-C, kept times and
// an optional read-back check; folders with -r.

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "commands.h"
#include "copying.h"
#include "open_failure.h"
#include "platform.h"
#include "progress.h"
#include "stream_copy.h"
#include "terminal_path.h"
#include "terminal_time.h"
#include "terminal_tree.h"
#include "text.h"

namespace fs = std::filesystem;

namespace zotcli {
namespace {

using zottools::BaseName;
using zottools::DeviceJoin;
using zottools::DeviceParent;
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

bool AnyWildcard(const std::vector<std::string>& names) {
    for (const auto& name : names)
        if (zottools::HasWildcard(name)) return true;
    return false;
}

// Why a copy stopped: the terminal's reason, or the PC file's with the system's own words.
std::string CopyFailure(const zot::CopyResult& r) {
    if (r.code == zot::kCopyCancelled) return "cancelled";
    if (!r.pcFailed) return zot::Describe(r.status);
    const std::string why = r.pcError ? ": " + qs::SystemErrorText(r.pcError) : std::string();
    switch (r.code) {
        case zot::kCopyReadFailed:
            return "cannot read the PC file" + why;
        case zot::kCopyCreateFailed:
            return "cannot create the PC file" + why;
        default:
            return "cannot write the PC file" + why;
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
    const auto opened = t.session.OpenFile(WireText(devicePath), zot::kOpenReadWrite);
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
    // A partial destination is gone on from only where its last whole block is the source's;
    // otherwise it is some other file and is copied anew, which is said.
    auto copy = [&](bool resume) {
        const zot::CopyEnd terminal{true, WireText(devicePath)};
        const zot::CopyEnd pc{false, PcEndPath(pcPath)};
        zot::CopyControl control;
        control.progress = [&](uint64_t, uint64_t, uint64_t bytes) { bar.Update(bytes); };
        control.cancelled = [] { return g_interrupted.load(); };
        control.resume = resume;
        const zot::CopyResult r =
            toPc ? t.session.Copy(terminal, pc, control) : t.session.Copy(pc, terminal, control);
        if (resume && r.resumedAt == 0 && r.code != zot::kCopyReadFailed)
            t.Fail(label +
                   ": no whole block of the partial copy is the source's, copying from "
                   "the start");
        return r;
    };
    auto resume = [&] { return copy(true); };
    auto whole = [&] { return copy(false); };
    zot::CopyResult r =
        o.resume && DestinationExists(t, toPc, devicePath, pcPath) ? resume() : whole();
    for (int attempt = 1; LineLetDown(r) && attempt <= o.retries && !g_interrupted; ++attempt) {
        bar.Finish(false);
        t.Fail(label + ": " + CopyFailure(r) + "; resuming, attempt " + std::to_string(attempt) +
               " of " + std::to_string(o.retries));
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
        *why = CopyFailure(r);
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
    const auto opened = t.session.OpenFile(WireText(devicePath), zot::kOpenReadWrite);
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
// The whole source folder is known before anything is copied. Folders copied to the PC get
// their times, the top one folderTime.
bool CopyFolder(Terminal& t, bool toPc, const std::string& deviceFolder,
                const std::string& pcFolder, CopyReport& report, uint32_t folderTime = 0) {
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
    } else {
        // Every name is judged before the first folder is made.
        std::string why = t.NameRefusal(deviceFolder);
        for (size_t i = 0; i < entries.size() && why.empty(); ++i)
            why = t.NameRefusal(DeviceBelow(deviceFolder, entries[i].relative));
        if (!why.empty()) return failed(why);
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
    // Folders get their times last: each file copied into one gave it a new one.
    if (toPc && t.options.times) {
        for (const Entry& e : entries)
            if (e.isDir && e.time != 0)
                SetPcTimes(pcFolder + "/" + e.relative, zottools::TerminalTimeToTimespec(e.time));
        if (folderTime != 0) SetPcTimes(pcFolder, zottools::TerminalTimeToTimespec(folderTime));
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

// "get NAME -": one terminal file onto standard output, nothing else written there.
int GetToStandardOutput(Terminal& t, const std::string& device) {
    const auto entry = DeviceStat(t.session, device);
    if (!entry) return t.Failed("get " + device, entry.status);
    if (entry.value.isDir) {
        t.Fail("get " + device + ": is a folder");
        return kExitFailed;
    }
    BinaryStandardStreams();
    ProgressBar bar(t.out, BaseName(device), entry.value.size);
    const zot::CopyResult r = StreamGet(t.session, device, stdout, entry.value.size, bar);
    bar.Finish(r.code == zot::kCopyDone);
    if (r.code != zot::kCopyDone) {
        t.Note(r.status);
        t.Fail("get " + device + ": " + CopyFailure(r));
        return kExitFailed;
    }
    return kExitOk;
}

// "put - NAME": standard input to its end into one terminal file.
int PutFromStandardInput(Terminal& t, const std::string& target) {
    if (NamesDeviceFolder(target)) {
        t.Fail("put -: " + target + " names a folder; give the file's name");
        return kExitUsage;
    }
    const std::string device = DevicePath(target);
    if (const std::string why = t.NameRefusal(device); !why.empty()) {
        t.Fail("put -: " + why);
        return kExitFailed;
    }
    BinaryStandardStreams();
    ProgressBar bar(t.out, BaseName(device), 0);
    const zot::CopyResult r = StreamPut(t.session, stdin, device, bar);
    bar.Finish(r.code == zot::kCopyDone);
    if (r.code != zot::kCopyDone) {
        t.Note(r.status);
        t.Fail("put - " + device + ": " + CopyFailure(r));
        return kExitFailed;
    }
    return kExitOk;
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
    if (const std::string why = toPc ? std::string() : t.NameRefusal(devicePath); !why.empty()) {
        t.Fail("put " + pcPath + ": " + why);
        report.File(source, destination, 0, "failed", why);
        return false;
    }
    // -n keeps any destination there is, -u one at least as new as the source.
    if (t.options.noClobber || t.options.update) {
        bool exists = false;
        uint32_t destinationTime = 0;
        if (toPc) {
            PcStat st;
            exists = StatPc(pcPath, &st);
            destinationTime = exists ? zottools::TimespecToTerminalTime(st.modified) : 0;
        } else {
            const auto e = DeviceStat(t.session, devicePath);
            if (!e && !e.status.Is(zot::Refusal::kNoSuchEntry)) {
                t.Failed("put " + devicePath, e.status);
                report.File(source, destination, 0, "failed", zot::Describe(e.status));
                return false;
            }
            exists = e.Ok();
            destinationTime = e.value.time;
        }
        if (exists && (t.options.noClobber || (time != 0 && destinationTime >= time))) {
            report.File(source, destination, 0, "skipped");
            return true;
        }
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
    // Standard output holds the file's bytes and nothing else.
    if (o.args.back() == "-") {
        if (o.args.size() != 2 || zottools::HasWildcard(o.args.front()) || o.json ||
            o.ManyTerminals()) {
            *error = "get: standard output (-) takes one file of one terminal, without --json";
            return false;
        }
        return true;
    }
    const std::vector<std::string> names(o.args.begin(), o.args.end() - (o.args.size() > 1));
    if ((o.args.size() > 2 || (o.args.size() == 2 && AnyWildcard(names))) &&
        !IsPcDirectory(o.args.back())) {
        *error = "get: " + o.args.back() +
                 " must be an existing PC folder when several names or wildcards are given";
        return false;
    }
    return true;
}

bool CheckPutUsage(const Options& o, std::string* error) {
    if (o.args.empty()) {
        *error = "put: file missing";
        return false;
    }
    if (o.args.front() == "-" && (o.args.size() != 2 || o.ManyTerminals())) {
        *error = "put: standard input (-) goes to one terminal, as one name: put - NAME";
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
    if (o.args.back() == "-") return GetToStandardOutput(t, DevicePath(o.args.front()));
    std::vector<std::string> names = o.args;
    std::string dest = ".";
    if (names.size() >= 2) {
        dest = names.back();
        names.pop_back();
    }
    dest = PcTargetFor(t, dest);
    const bool destIsFolder = names.size() > 1 || IsPcDirectory(dest) || AnyWildcard(names);
    // A file to be made in a folder that is not there fails on the destination, not the source.
    if (!destIsFolder) {
        const fs::path folder = PcPath(dest).parent_path();
        const bool namesFolder = dest.back() == '/' || dest.back() == fs::path::preferred_separator;
        if (namesFolder || (!folder.empty() && !fs::is_directory(folder))) {
            t.Fail("get: destination " + dest + ": no such folder");
            return kExitFailed;
        }
    }
    CopyReport report(t);
    int rc = kExitOk;
    // A name with wildcards stands for everything on the terminal that it matches.
    std::vector<std::string> devices;
    for (const auto& name : names) {
        const auto matched = DeviceMatches(t.session, DevicePath(name));
        if (!matched) {
            rc = t.Failed("get " + DevicePath(name), matched.status);
            report.File(DevicePath(name), dest, 0, "failed", zot::Describe(matched.status));
            if (t.gone) return rc;
            continue;
        }
        devices.insert(devices.end(), matched.value.begin(), matched.value.end());
    }
    for (const auto& device : devices) {
        if (g_interrupted || t.gone) break;
        const std::string base = BaseName(device);
        const auto entry = DeviceStat(t.session, device);
        if (!entry) {
            rc = t.Failed("get " + device, entry.status);
            report.File(device, dest, 0, "failed", zot::Describe(entry.status));
            continue;
        }
        const bool isFolder = entry.value.isDir;
        if (isFolder && !o.recursive) {
            t.Fail("get " + device + ": is a folder (use -r)");
            report.File(device, dest, 0, "failed", "is a folder");
            rc = kExitFailed;
            continue;
        }
        if (destIsFolder && !isFolder && (base.empty() || base == "." || base == "..")) {
            t.Fail("get " + device + ": not a file name");
            rc = kExitFailed;
            continue;
        }
        const std::string pc =
            destIsFolder ? dest + "/" + (base.empty() ? std::string("ZOT") : base) : dest;
        const bool ok =
            isFolder ? CopyFolder(t, true, device, pc, report, entry.value.time)
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
    if (o.args.front() == "-") return PutFromStandardInput(t, o.args.back());
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
    // One file goes into a folder that must be there; the destination says so, not the file.
    if (files.size() == 1 && !IsPcDirectory(files.front())) {
        const std::string folder =
            targetIsFolder ? DevicePath(target) : DeviceParent(DevicePath(target));
        const auto e = DeviceStat(t.session, folder);
        if (!e && !e.status.Is(zot::Refusal::kNoSuchEntry))
            return t.Failed("put " + folder, e.status);
        if (!e || !e.value.isDir) {
            t.Fail("put: destination " + (targetIsFolder ? target : folder) + ": no such folder");
            return kExitFailed;
        }
    }
    if (files.size() > 1) {
        if (const std::string why = t.NameRefusal(DevicePath(target)); !why.empty()) {
            t.Fail("put " + DevicePath(target) + ": " + why);
            return kExitFailed;
        }
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

namespace {

// Moves one terminal file: a copy on the terminal that keeps its time and attributes, then
// the source deleted (read-only or not: the user asked for it to go). The protocol has no
// move of its own.
int MoveOne(Terminal& t, const std::string& source, const Entry& from, const std::string& target) {
    const Options& o = t.options;
    const std::string what = "mv " + source;
    if (const std::string why = t.NameRefusal(target); !why.empty()) {
        t.Fail(what + ": " + why);
        return kExitFailed;
    }
    const auto there = DeviceStat(t.session, target);
    if (!there && !there.status.Is(zot::Refusal::kNoSuchEntry))
        return t.Failed("mv " + target, there.status);
    if (there && there.value.isDir) {
        t.Fail(what + ": " + target + " is a folder");
        return kExitFailed;
    }
    if (there && (o.noClobber || (o.update && from.time != 0 && there.value.time >= from.time)))
        return kExitOk;
    zot::CopyControl control;
    control.cancelled = [] { return g_interrupted.load(); };
    const zot::CopyResult r =
        t.session.Copy({true, WireText(source)}, {true, WireText(target)}, control);
    if (r.code != zot::kCopyDone) {
        t.Note(r.status);
        t.Fail(what + ": " + CopyFailure(r) + "; it stays where it was");
        return t.Exit(kExitFailed);
    }
    if (const zot::Status kept = KeepTime(t, false, target, "", from.time); !kept)
        return t.Failed(what + ": cannot give " + target + " its time; " + source + " stays", kept);
    const uint32_t attributes = from.attributes & ~zot::kAttributeDirectory;
    if (attributes != 0 && attributes != zot::kAttributeNormal) {
        if (const auto set = t.session.SetAttributes(WireText(target), attributes); !set)
            return t.Failed(
                what + ": cannot give " + target + " its attributes; " + source + " stays",
                set.status);
    }
    const std::string wire = WireText(source);
    if (from.attributes & zot::kAttributeReadOnly) {
        const auto cleared =
            t.session.SetAttributes(wire, from.attributes & ~zot::kAttributeReadOnly);
        if (!cleared) return t.Failed(what + ": copied to " + target + ", but", cleared.status);
    }
    if (const auto gone = t.session.Delete(wire); !gone)
        return t.Failed(what + ": copied to " + target + ", but cannot delete it", gone.status);
    return kExitOk;
}

bool SameDevicePath(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

// A folder moves as its files do, one by one into a new folder of the same shape; the old
// folders go only once everything below them has moved, so a move broken off leaves every
// file in one place or the other.
int MoveFolder(Terminal& t, const std::string& source, const std::string& target) {
    const std::string what = "mv " + source;
    if (target.size() > source.size() && SameDevicePath(target.substr(0, source.size()), source) &&
        target[source.size()] == '\\') {
        t.Fail(what + ": cannot move a folder into itself");
        return kExitFailed;
    }
    if (const std::string why = t.NameRefusal(target); !why.empty()) {
        t.Fail(what + ": " + why);
        return kExitFailed;
    }
    const auto there = DeviceStat(t.session, target);
    if (there) {
        t.Fail(what + ": " + target + " already exists");
        return kExitFailed;
    }
    if (!there.status.Is(zot::Refusal::kNoSuchEntry)) return t.Failed("mv " + target, there.status);
    std::vector<Entry> entries;
    if (const zot::Status walked = DeviceWalk(t.session, source, true, &entries); !walked)
        return t.Failed(what, walked);
    if (const auto made = t.session.CreateFolder(WireText(target)); !made)
        return t.Failed(what + ": cannot create " + target, made.status);
    int rc = kExitOk;
    std::vector<std::string> folders;
    for (const Entry& e : entries) {
        if (g_interrupted || t.gone) return kExitFailed;
        const std::string from = DeviceBelow(source, e.relative),
                          to = DeviceBelow(target, e.relative);
        if (e.isDir) {
            if (const auto made = t.session.CreateFolder(WireText(to)); !made)
                return t.Failed(what + ": cannot create " + to, made.status);
            folders.push_back(from);
        } else if (const int moved = MoveOne(t, from, e, to); moved != kExitOk) {
            rc = moved;
        }
    }
    if (rc != kExitOk) return rc;
    folders.insert(folders.begin(), source);
    for (auto it = folders.rbegin(); it != folders.rend(); ++it)
        if (const auto removed = t.session.RemoveFolder(WireText(*it)); !removed)
            return t.Failed(what + ": moved, but cannot remove " + *it, removed.status);
    return kExitOk;
}

}  // namespace

int Move(Terminal& t) {
    const Options& o = t.options;
    if (o.args.size() < 2) {
        t.Fail("mv: give SOURCE... DEST");
        return kExitUsage;
    }
    const std::string dest = o.args.back();
    const auto destEntry = DeviceStat(t.session, DevicePath(dest));
    if (!destEntry && !destEntry.status.Is(zot::Refusal::kNoSuchEntry))
        return t.Failed("mv " + DevicePath(dest), destEntry.status);
    const bool intoFolder = NamesDeviceFolder(dest) || (destEntry && destEntry.value.isDir);
    if (NamesDeviceFolder(dest) && !destEntry) {
        t.Fail("mv: destination " + dest + ": no such folder");
        return kExitFailed;
    }
    int rc = kExitOk;
    std::vector<std::string> sources;
    for (size_t i = 0; i + 1 < o.args.size(); ++i) {
        const auto matched = DeviceMatches(t.session, DevicePath(o.args[i]));
        if (!matched) {
            rc = t.Failed("mv " + DevicePath(o.args[i]), matched.status);
            if (t.gone) return rc;
            continue;
        }
        sources.insert(sources.end(), matched.value.begin(), matched.value.end());
    }
    if (sources.size() > 1 && !intoFolder) {
        t.Fail("mv: " + dest + " must be a terminal folder when several files are moved");
        return kExitUsage;
    }
    for (const auto& source : sources) {
        if (g_interrupted || t.gone) break;
        const auto from = DeviceStat(t.session, source);
        if (!from) {
            rc = t.Failed("mv " + source, from.status);
            continue;
        }
        const std::string target =
            intoFolder ? DeviceJoin(dest, BaseName(source)) : DevicePath(dest);
        // The terminal's names know no case: moving a file onto itself would delete it.
        if (SameDevicePath(target, source)) {
            t.Fail("mv " + source + ": it is the destination itself");
            rc = kExitFailed;
            continue;
        }
        const int moved = from.value.isDir ? MoveFolder(t, source, target)
                                           : MoveOne(t, source, from.value, target);
        if (moved != kExitOk) rc = moved;
    }
    if (g_interrupted) rc = kExitFailed;
    return rc;
}

}  // namespace zotcli
