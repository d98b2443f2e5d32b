// get and put: whole-file copies through the library's copy thread, with progress, Ctrl-C and
// an optional read-back check.
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <thread>
#include <vector>

#include "commands.h"
#include "device_names.h"
#include "platform.h"
#include "progress.h"
#include "resume.h"
#include "text.h"
#include "zotlink.h"

namespace zotcli {
namespace {

volatile sig_atomic_t g_interrupted = 0;

void OnInterrupt(int) { g_interrupted = 1; }

}  // namespace

bool Interrupted() { return g_interrupted != 0; }

namespace {

void CatchInterrupt() {
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
}

bool IsPcDirectory(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_directory(PcPath(path), ec);
}

bool PcExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(PcPath(path), ec);
}

uint64_t PcSize(const std::string& path) {
    std::error_code ec;
    const uintmax_t n = std::filesystem::file_size(PcPath(path), ec);
    return ec ? 0 : static_cast<uint64_t>(n);
}

// The size the terminal lists for a file, 0 when unknown.
uint64_t DeviceSize(const std::string& devicePath) {
    ZOT_FIND_DATA d{};
    const int32_t h = ZOT_FindFirstFileW(Widen(devicePath).c_str(), &d);
    if (h == -1) return 0;
    ZOT_FindClose(h);
    return d.nFileSize;
}

const char* StatusMeaning(int status) {
    switch (status) {
        case ZOT_COPY_READ_FAILED: return "the source cannot be opened, or a read came back short";
        case ZOT_COPY_WRITE_FAILED: return "a write came back short";
        case ZOT_COPY_CANCELLED: return "cancelled";
        case ZOT_COPY_CREATE_FAILED: return "the destination cannot be created";
        default: return "the copy failed";
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
    if (!ZOT_CopyFileExW(Widen(source).c_str(), Widen(destination).c_str(), 0, &status, &cancel,
                         1))
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
bool CopyOne(const Options& o, bool toPc, const std::string& devicePath,
             const std::string& pcPath, uint64_t size) {
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
        Fail(label + ": " + StatusMeaning(s) + " (" + std::to_string(s) + ")");
        return false;
    }
    if (o.verify) {
        std::string why;
        if (!SameContents(devicePath, pcPath, &why)) {
            Fail(label + ": verify failed: " + why);
            return false;
        }
    }
    return true;
}

}  // namespace

int Get(const Options& o) {
    if (o.args.empty()) {
        Fail("get: name missing");
        return kExitUsage;
    }
    std::vector<std::string> names = o.args;
    std::string target;  // PC folder or file
    bool targetIsFolder = true;
    if (names.size() >= 2) {
        if (IsPcDirectory(names.back())) {
            target = names.back();
            names.pop_back();
        } else if (names.size() == 2) {
            target = names.back();
            targetIsFolder = false;
            names.pop_back();
        } else {
            Fail("get: " + names.back() + " is not a folder");
            return kExitUsage;
        }
    } else {
        target = ".";
    }
    CatchInterrupt();
    int rc = kExitOk;
    for (const auto& name : names) {
        if (g_interrupted) break;
        const std::string device = DevicePath(name);
        const std::string base = BaseName(device);
        if (targetIsFolder && (base.empty() || base == "." || base == "..")) {
            Fail("get " + name + ": not a file name");
            rc = kExitFailed;
            continue;
        }
        const std::string pc = targetIsFolder ? target + "/" + base : target;
        if (!CopyOne(o, true, device, pc, DeviceSize(device))) rc = kExitFailed;
    }
    if (g_interrupted) rc = kExitFailed;
    return rc;
}

int Put(const Options& o) {
    if (o.args.empty()) {
        Fail("put: file missing");
        return kExitUsage;
    }
    std::vector<std::string> files = o.args;
    std::string target = "ZOT:\\";
    if (files.size() >= 2 && !PcExists(files.back())) {
        target = files.back();
        files.pop_back();
    }
    const bool targetIsFolder = files.size() > 1 || NamesDeviceFolder(target) ||
                                target == "ZOT:\\";
    CatchInterrupt();
    int rc = kExitOk;
    for (const auto& file : files) {
        if (g_interrupted) break;
        if (!PcExists(file) || IsPcDirectory(file)) {
            Fail("put " + file + ": no such file");
            rc = kExitFailed;
            continue;
        }
        const std::string device =
            targetIsFolder ? DeviceJoin(target, BaseName(file)) : DevicePath(target);
        if (WireLength(device) > 255) {
            Fail("put " + file + ": terminal path longer than 255 bytes");
            rc = kExitFailed;
            continue;
        }
        if (!CopyOne(o, false, device, file, PcSize(file))) rc = kExitFailed;
    }
    if (g_interrupted) rc = kExitFailed;
    return rc;
}

}  // namespace zotcli
