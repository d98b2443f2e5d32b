// get and put: whole-file copies through the library's copy thread, with progress, Ctrl-C,
// kept times and an optional read-back check; folders with -r.

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <thread>
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
#include "zotlink.h"

namespace fs = std::filesystem;

namespace zotcli {
namespace {

using zottools::BaseName;
using zottools::DeviceJoin;
using zottools::DevicePath;
using zottools::NamesDeviceFolder;

volatile sig_atomic_t g_interrupted = 0;

void OnInterrupt(int) {
    g_interrupted = 1;
}

}  // namespace

bool Interrupted() {
    return g_interrupted != 0;
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

const char* StatusMeaning(int status) {
    switch (status) {
        case ZOT_COPY_READ_FAILED:
            return "the source cannot be opened, or a read came back short";
        case ZOT_COPY_WRITE_FAILED:
            return "a write came back short";
        case ZOT_COPY_CANCELLED:
            return "cancelled";
        case ZOT_COPY_CREATE_FAILED:
            return "the destination cannot be created";
        default:
            return "the copy failed";
    }
}

// Compares the terminal file with the PC file byte for byte.
bool SameContents(const std::string& devicePath, const std::string& pcPath, std::string* why) {
    std::ifstream pc(PcPath(pcPath), std::ios::binary);
    if (!pc) {
        *why = "cannot read " + pcPath + " back";
        return false;
    }
    const int32_t h = ZOT_OpenFileW(Widen(devicePath).c_str(), 2);
    if (h == -1) {
        *why = "cannot open " + devicePath + " to read it back";
        return false;
    }
    std::vector<char> a(64 * 1024), b(64 * 1024);
    bool same = true;
    for (;;) {
        uint32_t got = 0;
        const int ok = ZOT_ReadFile(h, a.data(), static_cast<uint32_t>(a.size()), &got);
        pc.read(b.data(), static_cast<std::streamsize>(b.size()));
        const auto pcGot = static_cast<uint32_t>(pc.gcount());
        if (got != pcGot || std::memcmp(a.data(), b.data(), got) != 0) {
            same = false;
            *why = "the copy differs from its source";
            break;
        }
        if (!ok || got < a.size()) break;  // end of both files
    }
    ZOT_CloseFile(h);
    return same;
}

// The library's threaded copy from the start; returns its status code.
int CopyWhole(const std::string& source, const std::string& destination, uint64_t size,
              ProgressBar& bar) {
    int32_t status = 0, cancel = 0;
    std::atomic_ref<int32_t> statusWord(status);
    std::atomic_ref<int32_t> cancelWord(cancel);
    if (!ZOT_CopyFileExW(Widen(source).c_str(), Widen(destination).c_str(), 0, &status, &cancel, 1))
        return ZOT_COPY_READ_FAILED;
    int s = 0;
    while ((s = statusWord.load()) < ZOT_COPY_DONE) {
        if (g_interrupted) cancelWord.store(1);
        bar.Update(size * static_cast<uint64_t>(s) / 100);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return s;
}

bool DestinationExists(bool toPc, const std::string& devicePath, const std::string& pcPath) {
    if (toPc) return PcExists(pcPath);
    return ZOT_GetFileAttributesW(Widen(devicePath).c_str()) != -1;
}

// Runs one copy, going on from where it broke off while retries last; true when it arrived
// whole (and, with --verify, read back identical).
bool CopyOne(const Options& o, bool toPc, const std::string& devicePath, const std::string& pcPath,
             uint64_t size, std::string* why) {
    const std::string label = BaseName(toPc ? devicePath : pcPath);
    const std::string& source = toPc ? devicePath : pcPath;
    const std::string& destination = toPc ? pcPath : devicePath;
    ProgressBar bar(label, size);
    auto resume = [&] {
        return toPc ? ResumeGet(devicePath, pcPath, size, bar)
                    : ResumePut(pcPath, devicePath, size, bar);
    };
    int s = (o.resume && DestinationExists(toPc, devicePath, pcPath))
                ? resume()
                : CopyWhole(source, destination, size, bar);
    for (int attempt = 1; (s == ZOT_COPY_READ_FAILED || s == ZOT_COPY_WRITE_FAILED) &&
                          attempt <= o.retries && !g_interrupted;
         ++attempt) {
        // A get that never created its file failed on the source: nothing to go on from.
        if (toPc && !PcExists(pcPath)) break;
        bar.Finish(false);
        std::fprintf(stderr, "zot: %s: %s (%d); resuming, attempt %d of %d\n", label.c_str(),
                     StatusMeaning(s), s, attempt, o.retries);
        if (!Reconnect(o)) {
            s = ZOT_COPY_READ_FAILED;
            continue;
        }
        s = resume();
    }
    bar.Finish(s == ZOT_COPY_DONE);
    if (s != ZOT_COPY_DONE) {
        *why = std::string(StatusMeaning(s)) + " (" + std::to_string(s) + ")";
        Fail(label + ": " + *why);
        return false;
    }
    if (o.verify && !SameContents(devicePath, pcPath, why)) {
        Fail(label + ": verify failed: " + *why);
        return false;
    }
    return true;
}

// Gives the copy its source's time. A terminal that keeps no times refuses or ignores
// this, which is not a failure of the copy.
void KeepTime(bool toPc, const std::string& devicePath, const std::string& pcPath, uint32_t time) {
    if (time == 0) return;
    if (toPc) {
        const timespec t = zottools::TerminalTimeToTimespec(time);
        SetPcTimes(pcPath, t);
        return;
    }
    const int32_t h = ZOT_OpenFileW(Widen(devicePath).c_str(), 2);
    if (h == -1) return;
    ZOT_SetFileTime(h, nullptr, nullptr, &time);
    ZOT_CloseFile(h);
}

// The modification time of a PC file in the terminal's terms, 0 when unknown.
uint32_t PcTime(const std::string& path) {
    PcStat st;
    if (!StatPc(path, &st)) return 0;
    return zottools::TimespecToTerminalTime(st.modified);
}

// Turns a -r copy of one folder into the copies of what it holds, creating folders first.
bool CopyFolder(const Options& o, bool toPc, const std::string& deviceFolder,
                const std::string& pcFolder, CopyReport& report) {
    std::error_code ec;
    bool ok = true;
    if (toPc) {
        fs::create_directories(PcPath(pcFolder), ec);
        if (!IsPcDirectory(pcFolder)) {
            Fail("get " + deviceFolder + ": cannot create the folder " + pcFolder);
            report.File(deviceFolder, pcFolder, 0, "failed", "cannot create the folder");
            return false;
        }
        for (const Entry& e : DeviceWalk(deviceFolder, true)) {
            if (g_interrupted) return false;
            const std::string pc = pcFolder + "/" + e.relative;
            if (e.isDir) {
                fs::create_directories(PcPath(pc), ec);
                continue;
            }
            ok = CopyFileTo(o, true, DeviceBelow(deviceFolder, e.relative), pc, e.size, e.time,
                            report) &&
                 ok;
        }
        return ok;
    }
    if (!MakeDeviceFolders(deviceFolder)) {
        Fail("put " + pcFolder + ": cannot create the terminal folder " + deviceFolder);
        report.File(pcFolder, deviceFolder, 0, "failed", "cannot create the terminal folder");
        return false;
    }
    for (const Entry& e : PcWalk(pcFolder, true)) {
        if (g_interrupted) return false;
        const std::string device = DeviceBelow(deviceFolder, e.relative);
        if (e.isDir) {
            if (!MakeDeviceFolders(device)) {
                Fail("put: cannot create the terminal folder " + device);
                ok = false;
            }
            continue;
        }
        ok =
            CopyFileTo(o, false, device, pcFolder + "/" + e.relative, e.size, e.time, report) && ok;
    }
    return ok;
}

// The PC folder that gets what this terminal sends: DEST itself, or with several terminals
// at once DEST/<terminal>, so that their files never meet.
std::string PcTargetFor(const Options& o, const std::string& dest) {
    if (o.terminalLabel.empty()) return dest;
    const std::string target = dest + "/" + o.terminalLabel;
    std::error_code ec;
    fs::create_directories(PcPath(target), ec);
    return target;
}

}  // namespace

bool CopyFileTo(const Options& o, bool toPc, const std::string& devicePath,
                const std::string& pcPath, uint64_t size, uint32_t time, CopyReport& report) {
    const std::string& source = toPc ? devicePath : pcPath;
    const std::string& destination = toPc ? pcPath : devicePath;
    if (!toPc && WireLength(devicePath) > 255) {
        Fail("put " + pcPath + ": terminal path longer than 255 bytes");
        report.File(source, destination, 0, "failed", "terminal path longer than 255 bytes");
        return false;
    }
    std::string why;
    if (!CopyOne(o, toPc, devicePath, pcPath, size, &why)) {
        report.File(source, destination, 0, "failed", why);
        return false;
    }
    if (o.times) KeepTime(toPc, devicePath, pcPath, time);
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

int Get(const Options& o) {
    std::string error;
    if (!CheckGetUsage(o, &error)) {
        Fail(error);
        return kExitUsage;
    }
    std::vector<std::string> names = o.args;
    std::string dest = ".";
    if (names.size() >= 2) {
        dest = names.back();
        names.pop_back();
    }
    dest = PcTargetFor(o, dest);
    const bool destIsFolder = names.size() > 1 || IsPcDirectory(dest);
    CatchInterrupt();
    CopyReport report(o);
    int rc = kExitOk;
    for (const auto& name : names) {
        if (g_interrupted) break;
        const std::string device = DevicePath(name);
        const std::string base = BaseName(device);
        const std::optional<Entry> entry = DeviceStat(device);
        const bool isFolder = entry && entry->isDir;
        if (isFolder && !o.recursive) {
            Fail("get " + name + ": is a folder (use -r)");
            report.File(device, dest, 0, "failed", "is a folder");
            rc = kExitFailed;
            continue;
        }
        if (destIsFolder && !isFolder && (base.empty() || base == "." || base == "..")) {
            Fail("get " + name + ": not a file name");
            rc = kExitFailed;
            continue;
        }
        const std::string pc =
            destIsFolder ? dest + "/" + (base.empty() ? std::string("ZOT") : base) : dest;
        const bool ok = isFolder ? CopyFolder(o, true, device, pc, report)
                                 : CopyFileTo(o, true, device, pc, entry ? entry->size : 0,
                                              entry ? entry->time : 0, report);
        if (!ok) rc = kExitFailed;
    }
    if (g_interrupted) rc = kExitFailed;
    return rc;
}

int Put(const Options& o) {
    std::string error;
    if (!CheckPutUsage(o, &error)) {
        Fail(error);
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
        const std::optional<Entry> e = DeviceStat(DevicePath(target));
        targetIsFolder = e && e->isDir;
        if (files.size() > 1 && !targetIsFolder) {
            Fail("put: " + target + " must be a terminal folder when several files are given" +
                 (e ? "" : " (end it with \\ to create it)"));
            return kExitUsage;
        }
    }
    if (files.size() > 1 && !MakeDeviceFolders(DevicePath(target))) {
        Fail("put: cannot create the terminal folder " + DevicePath(target));
        return kExitFailed;
    }
    CatchInterrupt();
    CopyReport report(o);
    int rc = kExitOk;
    for (const auto& file : files) {
        if (g_interrupted) break;
        const std::string device =
            targetIsFolder ? DeviceJoin(target, BaseName(file)) : DevicePath(target);
        if (IsPcDirectory(file)) {
            if (!o.recursive) {
                Fail("put " + file + ": is a folder (use -r)");
                report.File(file, device, 0, "failed", "is a folder");
                rc = kExitFailed;
            } else if (!CopyFolder(o, false, device, file, report)) {
                rc = kExitFailed;
            }
            continue;
        }
        if (!PcExists(file)) {
            Fail("put " + file + ": no such file");
            report.File(file, device, 0, "failed", "no such file");
            rc = kExitFailed;
            continue;
        }
        if (!CopyFileTo(o, false, device, file, PcSize(file), PcTime(file), report))
            rc = kExitFailed;
    }
    if (g_interrupted) rc = kExitFailed;
    return rc;
}

}  // namespace zotcli
