#include "commands.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "copying.h"
#include "json.h"
#include "open_failure.h"
#include "platform.h"
#include "port_name.h"
#include "system_error.h"
#include "terminal_path.h"
#include "terminal_time.h"
#include "terminal_tree.h"
#include "text.h"
#include "zotlink.h"

namespace zotcli {
namespace {

using zottools::BaseName;
using zottools::DeviceJoin;
using zottools::DevicePath;
using zottools::NamesDeviceFolder;

std::string NameOf(const ZOT_FIND_DATA& d) {
    // A name may fill all 100 bytes without a terminating zero.
    return PrintableName(d.cFileName, strnlen(d.cFileName, sizeof d.cFileName));
}

std::string Attributes(uint32_t a) {
    std::string s;
    s += (a & ZOT_FILE_ATTRIBUTE_DIRECTORY) ? 'd' : '-';
    s += (a & ZOT_FILE_ATTRIBUTE_READONLY) ? 'r' : '-';
    s += (a & ZOT_FILE_ATTRIBUTE_HIDDEN) ? 'h' : '-';
    s += (a & ZOT_FILE_ATTRIBUTE_SYSTEM) ? 's' : '-';
    s += (a & ZOT_FILE_ATTRIBUTE_ARCHIVE) ? 'a' : '-';
    return s;
}

int EachName(const Options& o, const char* what, int32_t (*call)(const ZOT_WCHAR*)) {
    if (o.args.empty()) {
        Fail(std::string(what) + ": name missing");
        return kExitUsage;
    }
    int rc = kExitOk;
    for (const auto& name : o.args) {
        const std::string path = DevicePath(name);
        if (!call(Widen(path).c_str())) {
            Fail(std::string(what) + " " + path + ": the terminal refused or did not answer");
            rc = kExitFailed;
        }
    }
    return rc;
}

}  // namespace

void Fail(const std::string& message) {
    std::fprintf(stderr, "zot: %s\n", message.c_str());
}

namespace {

// The one port this process talks to (the many-terminal mode gives each child one).
int PortOf(const Options& o) {
    if (!o.devices.empty()) return PortForDevice(o.devices.front());
    return o.ports.empty() ? o.port : o.ports.front();
}

}  // namespace

int Connect(const Options& o) {
    const int port = PortOf(o);
    if (port < 0) {
        Fail("cannot open " + o.devices.front() + ": not a port name this system has (COMn)");
        return kExitNoTerminal;
    }
    const std::string where =
        o.devices.empty() ? "port " + std::to_string(port) : o.devices.front();
    const std::string device = qs::SerialDeviceForPort(port);
    const std::string named =
        o.devices.empty() && !device.empty() ? where + " (" + device + ")" : where;
    if (!ZOT_LumoInit(port, o.baud, o.compress ? 1 : 0)) {
        // The library leaves why in the system's last error, as the system's own open does.
        const int err = qs::LastSystemError();
        const qs::OpenFailure why = qs::OpenFailureFromSystemError(err);
        Fail("cannot open " + named + ": " +
             (why == qs::OpenFailure::kSettingsRefused
                  ? "it cannot be set up at " + std::to_string(o.baud) + " baud"
                  : qs::OpenFailureReason(why, qs::SystemErrorText(err))));
        if (why == qs::OpenFailure::kPermissionDenied) Fail(qs::PermissionDeniedHint());
        return kExitNoTerminal;
    }
    ZOT_VERSION_INFO v;
    if (!ZOT_GetVersion(&v)) {
        Fail("no terminal answered on " + named + ": the port is open, but nothing replies");
        return kExitNoTerminal;
    }
    return kExitOk;
}

bool Reconnect(const Options& o) {
    ZOT_VERSION_INFO v;
    return ZOT_LumoInit(PortOf(o), o.baud, o.compress ? 1 : 0) && ZOT_GetVersion(&v);
}

int Info(const Options& o) {
    ZOT_VERSION_INFO v{};
    ZOT_MEMORY_STATUS m{};
    ZOT_POWER_STATUS p{};
    ZOT_STORE_INFORMATION s{};
    ZOT_SYSTEM_INFO si{};
    const bool haveVersion = ZOT_GetVersion(&v) != 0;
    const bool haveMemory = ZOT_GlobalMemoryStatus(&m) != 0;
    const bool havePower = ZOT_GetSystemPowerStatus(&p) != 0;
    const bool haveStore = ZOT_GetStoreInformation(&s, 1) != 0;
    const bool haveSystem = ZOT_GetSystemInfo(&si) != 0;
    std::string power;
    for (uint8_t b : p.data) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02x", b);
        power += (power.empty() ? "" : " ") + std::string(hex);
    }
    const size_t n = strnlen(reinterpret_cast<const char*>(si.data), sizeof si.data);
    const std::string system = FromWire(reinterpret_cast<const char*>(si.data), n);
    char buf[256];
    if (o.json) {
        std::string out = "{\"version\":";
        if (haveVersion) {
            std::snprintf(buf, sizeof buf, "{\"major\":%u,\"minor\":%u,\"build\":%u}",
                          v.dwMajorVersion, v.dwMinorVersion, v.dwBuildNumber);
            out += buf;
        } else {
            out += "null";
        }
        out += ",\"memory\":";
        if (haveMemory) {
            std::snprintf(buf, sizeof buf, "{\"load\":%u,\"available\":%u,\"total\":%u}",
                          m.dwMemoryLoad, m.dwAvailPhys, m.dwTotalPhys);
            out += buf;
        } else {
            out += "null";
        }
        out += ",\"power\":" + (havePower ? JsonString(power) : std::string("null"));
        out += ",\"store\":";
        if (haveStore) {
            std::snprintf(buf, sizeof buf, "{\"size\":%u,\"free\":%u}", s.dwStoreSize,
                          s.dwFreeSize);
            out += buf;
        } else {
            out += "null";
        }
        out += ",\"system\":" + (haveSystem ? JsonString(system) : std::string("null")) + "}";
        std::printf("%s\n", out.c_str());
    } else {
        if (haveVersion)
            std::printf("version      %u.%u build %u\n", v.dwMajorVersion, v.dwMinorVersion,
                        v.dwBuildNumber);
        if (haveMemory)
            std::printf("memory       load %u%%, %u of %u bytes free\n", m.dwMemoryLoad,
                        m.dwAvailPhys, m.dwTotalPhys);
        if (havePower) std::printf("power        %s\n", power.c_str());
        if (haveStore)
            std::printf("store        %.0f KB(%.0f KB free)\n", s.dwStoreSize / 1024.0,
                        s.dwFreeSize / 1024.0);
        if (haveSystem) std::printf("system       %s\n", n > 0 ? system.c_str() : "(no text)");
    }
    if (haveVersion && haveMemory && havePower && haveStore && haveSystem) return kExitOk;
    Fail("info: some records could not be read");
    return kExitFailed;
}

int List(const Options& o) {
    std::string pattern = o.args.empty() ? "ZOT:\\*.*" : DevicePath(o.args[0]);
    if (NamesDeviceFolder(pattern)) pattern += "*.*";
    // A folder named without a wildcard is listed inside, like ls does.
    if (pattern.find_first_of("*?") == std::string::npos) {
        const std::optional<Entry> e = DeviceStat(pattern);
        if (e && e->isDir) pattern = DeviceJoin(pattern, "*.*");
    }
    bool firstJson = true;
    if (o.json) std::printf("[");
    // One folder's entries; with -R the folders below follow, each under its own heading.
    auto listOne = [&](auto& self, const std::string& folder, const std::string& leaf,
                       bool heading) -> void {
        ZOT_FIND_DATA d{};
        std::vector<std::string> below;
        if (heading && !o.json) std::printf("\n%s:\n", folder.c_str());
        // A terminal with nothing to list gives no handle too.
        const int32_t h = ZOT_FindFirstFileW(Widen(DeviceJoin(folder, leaf)).c_str(), &d);
        if (h != -1) {
            do {
                const std::string name = NameOf(d);
                if (name.empty()) break;
                const bool isDir = (d.dwFileAttributes & ZOT_FILE_ATTRIBUTE_DIRECTORY) != 0;
                if (isDir && name != "." && name != "..") below.push_back(name);
                if (o.json) {
                    const std::string time = zottools::TerminalTimeIso8601(d.dwTime);
                    std::printf(
                        "%s{\"name\":%s,\"path\":%s,\"size\":%u,\"time\":%s,"
                        "\"attributes\":%s,\"attribute_value\":%u,\"is_dir\":%s}",
                        firstJson ? "" : ",", JsonString(name).c_str(),
                        JsonString(DeviceJoin(folder, name)).c_str(), d.nFileSize,
                        time.empty() ? "null" : JsonString(time).c_str(),
                        JsonString(Attributes(d.dwFileAttributes)).c_str(), d.dwFileAttributes,
                        isDir ? "true" : "false");
                    firstJson = false;
                } else if (o.longList) {
                    std::printf("%s %10u  %s  %s\n", Attributes(d.dwFileAttributes).c_str(),
                                d.nFileSize, zottools::TerminalTimeText(d.dwTime).c_str(),
                                name.c_str());
                } else {
                    std::printf("%s%s\n", name.c_str(), isDir ? "\\" : "");
                }
            } while (ZOT_FindNextFile(h, &d));
            ZOT_FindClose(h);
        }
        if (!o.recursive) return;
        for (const auto& name : below) self(self, DeviceJoin(folder, name), "*.*", true);
    };
    listOne(listOne, zottools::DeviceParent(pattern), BaseName(pattern), false);
    if (o.json) std::printf("]\n");
    return kExitOk;
}

// Deletes a file, or with -r a folder with everything in it (deepest first).
int Remove(const Options& o) {
    if (!o.recursive) return EachName(o, "rm", ZOT_DeleteFileW);
    if (o.args.empty()) {
        Fail("rm: name missing");
        return kExitUsage;
    }
    int rc = kExitOk;
    for (const auto& name : o.args) {
        const std::string path = DevicePath(name);
        const std::optional<Entry> top = DeviceStat(path);
        if (!top) {
            Fail("rm " + path + ": no such entry, or the terminal did not answer");
            rc = kExitFailed;
            continue;
        }
        if (top->isDir) {
            std::vector<Entry> entries = DeviceWalk(path, true);
            // Walked parents first: undone in reverse, each folder is empty when it goes.
            for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
                const std::string p = DeviceBelow(path, it->relative);
                if (!(it->isDir ? ZOT_RemoveDirectoryW : ZOT_DeleteFileW)(Widen(p).c_str())) {
                    Fail("rm " + p + ": the terminal refused or did not answer");
                    rc = kExitFailed;
                }
            }
        }
        if (zottools::SplitDevicePath(path).empty()) continue;  // the root itself stays
        if (!(top->isDir ? ZOT_RemoveDirectoryW : ZOT_DeleteFileW)(Widen(path).c_str())) {
            Fail("rm " + path + ": the terminal refused or did not answer");
            rc = kExitFailed;
        }
    }
    return rc;
}

int MakeDirectory(const Options& o) {
    return EachName(o, "mkdir", ZOT_CreateDirectoryW);
}
int RemoveDirectory(const Options& o) {
    return EachName(o, "rmdir", ZOT_RemoveDirectoryW);
}

int Attrib(const Options& o) {
    if (o.args.empty()) {
        Fail("attrib: name missing");
        return kExitUsage;
    }
    const std::string path = DevicePath(o.args[0]);
    const auto w = Widen(path);
    const int32_t a = ZOT_GetFileAttributesW(w.c_str());
    if (a == -1) {
        Fail("attrib " + path + ": no such entry, or the terminal did not answer");
        return kExitFailed;
    }
    uint32_t attrs = static_cast<uint32_t>(a);
    if (o.args.size() == 1) {
        std::printf("%s  %s\n", Attributes(attrs).c_str(), path.c_str());
        return kExitOk;
    }
    for (size_t i = 1; i < o.args.size(); ++i) {
        const std::string& f = o.args[i];
        uint32_t bit = 0;
        if (f.size() == 2) {
            switch (f[1]) {
                case 'r':
                    bit = ZOT_FILE_ATTRIBUTE_READONLY;
                    break;
                case 'h':
                    bit = ZOT_FILE_ATTRIBUTE_HIDDEN;
                    break;
                case 's':
                    bit = ZOT_FILE_ATTRIBUTE_SYSTEM;
                    break;
                case 'a':
                    bit = ZOT_FILE_ATTRIBUTE_ARCHIVE;
                    break;
                default:
                    break;
            }
        }
        if (!bit || (f[0] != '+' && f[0] != '-')) {
            Fail("attrib: unknown flag " + f + " (use +r -r +h -h +s -s +a -a)");
            return kExitUsage;
        }
        attrs = f[0] == '+' ? (attrs | bit) : (attrs & ~bit);
    }
    if (!ZOT_SetFileAttributesW(w.c_str(), attrs)) {
        Fail("attrib " + path + ": the terminal refused the change");
        return kExitFailed;
    }
    return kExitOk;
}

int Ring(const Options& o) {
    std::string text;
    for (const auto& a : o.args) text += (text.empty() ? "" : " ") + a;
    if (!ZOT_RingW(Widen(text).c_str())) {
        Fail("ring: the terminal refused or the text is too long");
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace zotcli
