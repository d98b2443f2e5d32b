#include "commands.h"
#include "platform.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "device_names.h"
#include "text.h"
#include "zotlink.h"

namespace zotcli {
namespace {

// The port number through which --device is reached: the library resolves port n through
// the environment variable COMn.

std::string NameOf(const ZOT_FIND_DATA& d) {
    // A name may fill all 100 bytes without a terminating zero.
    std::string name = FromWire(d.cFileName, strnlen(d.cFileName, sizeof d.cFileName));
    // Control characters from the terminal must not drive the user's terminal.
    for (char& c : name)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    return name;
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

std::string Time(uint32_t t) {
    if (t == 0) return "Unknown";
    const time_t tt = static_cast<time_t>(t);
    const std::tm tm = UtcCalendar(tt);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%d-%02d-%02d %02d:%02d:%02d", tm.tm_year + 1900,
                  tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
    return buf;
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

void Fail(const std::string& message) { std::fprintf(stderr, "zot: %s\n", message.c_str()); }

int Connect(const Options& o) {
    const int port = o.device.empty() ? o.port : PortForDevice(o.device);
    const std::string where = o.device.empty() ? "port " + std::to_string(o.port) : o.device;
    if (!ZOT_LumoInit(port, o.baud, o.compress ? 1 : 0)) {
        Fail("cannot open " + where + ": missing, or in use by another program");
        return kExitNoTerminal;
    }
    ZOT_VERSION_INFO v;
    if (!ZOT_GetVersion(&v)) {
        Fail("no terminal answers on " + where);
        return kExitNoTerminal;
    }
    return kExitOk;
}

bool Reconnect(const Options& o) {
    ZOT_VERSION_INFO v;
    const int port = o.device.empty() ? o.port : PortForDevice(o.device);
    return ZOT_LumoInit(port, o.baud, o.compress ? 1 : 0) && ZOT_GetVersion(&v);
}

int Info(const Options&) {
    ZOT_VERSION_INFO v{};
    ZOT_MEMORY_STATUS m{};
    ZOT_POWER_STATUS p{};
    ZOT_STORE_INFORMATION s{};
    ZOT_SYSTEM_INFO si{};
    int rc = kExitOk;
    if (ZOT_GetVersion(&v))
        std::printf("version      %u.%u build %u\n", v.dwMajorVersion, v.dwMinorVersion,
                    v.dwBuildNumber);
    else
        rc = kExitFailed;
    if (ZOT_GlobalMemoryStatus(&m))
        std::printf("memory       load %u%%, %u of %u bytes free\n", m.dwMemoryLoad,
                    m.dwAvailPhys, m.dwTotalPhys);
    else
        rc = kExitFailed;
    if (ZOT_GetSystemPowerStatus(&p)) {
        std::printf("power       ");
        for (uint8_t b : p.data) std::printf(" %02x", b);
        std::printf("\n");
    } else {
        rc = kExitFailed;
    }
    if (ZOT_GetStoreInformation(&s, 1))
        std::printf("store        %.0f KB(%.0f KB free)\n", s.dwStoreSize / 1024.0,
                    s.dwFreeSize / 1024.0);
    else
        rc = kExitFailed;
    if (ZOT_GetSystemInfo(&si)) {
        std::printf("system       ");
        const size_t n = strnlen(reinterpret_cast<const char*>(si.data), sizeof si.data);
        if (n > 0)
            std::printf("%s\n", FromWire(reinterpret_cast<const char*>(si.data), n).c_str());
        else
            std::printf("(no text)\n");
    } else {
        rc = kExitFailed;
    }
    if (rc != kExitOk) Fail("info: some records could not be read");
    return rc;
}

int List(const Options& o) {
    std::string pattern = o.args.empty() ? "ZOT:\\*.*" : DevicePath(o.args[0]);
    if (NamesDeviceFolder(pattern)) pattern += "*.*";
    ZOT_FIND_DATA d{};
    const int32_t h = ZOT_FindFirstFileW(Widen(pattern).c_str(), &d);
    if (h == -1) {
        // A terminal with nothing to list gives no handle too.
        return kExitOk;
    }
    int count = 0;
    do {
        const std::string name = NameOf(d);
        if (name.empty()) break;
        if (o.longList)
            std::printf("%s %10u  %s  %s\n", Attributes(d.dwFileAttributes).c_str(), d.nFileSize,
                        Time(d.dwTime).c_str(), name.c_str());
        else
            std::printf("%s%s\n", name.c_str(),
                        (d.dwFileAttributes & ZOT_FILE_ATTRIBUTE_DIRECTORY) ? "\\" : "");
        ++count;
    } while (ZOT_FindNextFile(h, &d));
    ZOT_FindClose(h);
    return kExitOk;
}

int Remove(const Options& o) { return EachName(o, "rm", ZOT_DeleteFileW); }
int MakeDirectory(const Options& o) { return EachName(o, "mkdir", ZOT_CreateDirectoryW); }
int RemoveDirectory(const Options& o) { return EachName(o, "rmdir", ZOT_RemoveDirectoryW); }

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
                case 'r': bit = ZOT_FILE_ATTRIBUTE_READONLY; break;
                case 'h': bit = ZOT_FILE_ATTRIBUTE_HIDDEN; break;
                case 's': bit = ZOT_FILE_ATTRIBUTE_SYSTEM; break;
                case 'a': bit = ZOT_FILE_ATTRIBUTE_ARCHIVE; break;
                default: break;
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
