#include "commands.h"

#include <cstdio>
#include <string>
#include <vector>

#include "json.h"
#include "terminal_path.h"
#include "terminal_time.h"
#include "terminal_tree.h"
#include "text.h"

namespace zotcli {
namespace {

using zottools::BaseName;
using zottools::DeviceJoin;
using zottools::DevicePath;
using zottools::NamesDeviceFolder;
using Change = zot::Result<int32_t> (zot::CSession::*)(std::string_view);

std::string Attributes(uint32_t a) {
    std::string s;
    s += (a & zot::kAttributeDirectory) ? 'd' : '-';
    s += (a & zot::kAttributeReadOnly) ? 'r' : '-';
    s += (a & zot::kAttributeHidden) ? 'h' : '-';
    s += (a & zot::kAttributeSystem) ? 's' : '-';
    s += (a & zot::kAttributeArchive) ? 'a' : '-';
    return s;
}

int EachName(Terminal& t, const char* what, Change change) {
    if (t.options.args.empty()) {
        t.Fail(std::string(what) + ": name missing");
        return kExitUsage;
    }
    int rc = kExitOk;
    for (const auto& name : t.options.args) {
        if (t.gone) break;
        const std::string path = DevicePath(name);
        const auto done = (t.session.*change)(WireText(path));
        if (!done) rc = t.Failed(std::string(what) + " " + path, done.status);
    }
    return rc;
}

}  // namespace

void Fail(const std::string& message) {
    std::fprintf(stderr, "zot: %s\n", message.c_str());
}

int Info(Terminal& t) {
    auto& s = t.session;
    const auto v = s.Version();
    const auto m = s.Memory();
    const auto p = s.Power();
    const auto st = s.Store(1);
    const auto si = s.System();
    std::string power;
    for (uint8_t b : p.value) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02x", b);
        power += (power.empty() ? "" : " ") + std::string(hex);
    }
    std::string_view systemBytes(reinterpret_cast<const char*>(si.value.data()), si.value.size());
    systemBytes = systemBytes.substr(0, systemBytes.find('\0'));
    const std::string system = FromWire(systemBytes);
    char buf[256];
    if (t.options.json) {
        std::string out = "{\"version\":";
        if (v) {
            std::snprintf(buf, sizeof buf, "{\"major\":%u,\"minor\":%u,\"build\":%u}",
                          v.value.major, v.value.minor, v.value.build);
            out += buf;
        } else {
            out += "null";
        }
        out += ",\"memory\":";
        if (m) {
            std::snprintf(buf, sizeof buf, "{\"load\":%u,\"available\":%u,\"total\":%u}",
                          m.value.load, m.value.availPhys, m.value.totalPhys);
            out += buf;
        } else {
            out += "null";
        }
        out += ",\"power\":" + (p ? JsonString(power) : std::string("null"));
        out += ",\"store\":";
        if (st) {
            std::snprintf(buf, sizeof buf, "{\"size\":%u,\"free\":%u}", st.value.size,
                          st.value.free);
            out += buf;
        } else {
            out += "null";
        }
        out += ",\"system\":" + (si ? JsonString(system) : std::string("null")) + "}";
        t.out.JsonValue(out);
    } else {
        if (v) {
            std::snprintf(buf, sizeof buf, "version      %u.%u build %u", v.value.major,
                          v.value.minor, v.value.build);
            t.out.Line(buf);
        }
        if (m) {
            std::snprintf(buf, sizeof buf, "memory       load %u%%, %u of %u bytes free",
                          m.value.load, m.value.availPhys, m.value.totalPhys);
            t.out.Line(buf);
        }
        if (p) t.out.Line("power        " + power);
        if (st) {
            std::snprintf(buf, sizeof buf, "store        %.0f KB(%.0f KB free)",
                          st.value.size / 1024.0, st.value.free / 1024.0);
            t.out.Line(buf);
        }
        if (si) t.out.Line("system       " + (system.empty() ? "(no text)" : system));
    }
    int rc = kExitOk;
    const std::pair<const char*, zot::Status> records[] = {{"version", v.status},
                                                           {"memory", m.status},
                                                           {"power", p.status},
                                                           {"store", st.status},
                                                           {"system", si.status}};
    for (const auto& [name, status] : records) {
        if (!status) rc = t.Failed(std::string("info: ") + name, status);
        if (t.gone) break;  // the records after it failed for the same reason
    }
    return rc;
}

int List(Terminal& t) {
    const Options& o = t.options;
    std::string pattern = o.args.empty() ? "ZOT:\\*.*" : DevicePath(o.args[0]);
    if (NamesDeviceFolder(pattern)) pattern += "*.*";
    // A name without a wildcard must be there; a folder named so is listed inside, like ls.
    if (pattern.find_first_of("*?") == std::string::npos) {
        const auto e = DeviceStat(t.session, pattern);
        if (!e) return t.Failed("ls " + pattern, e.status);
        if (e.value.isDir) pattern = DeviceJoin(pattern, "*.*");
    }
    // Everything is gathered first: a listing that fails part way prints nothing but why.
    std::vector<std::string> lines;
    std::string json;
    // One folder's entries; with -R the folders below follow, each under its own heading.
    auto listOne = [&](auto& self, const std::string& folder, const std::string& leaf,
                       bool heading) -> zot::Status {
        const std::string where = DeviceJoin(folder, leaf);
        const auto listed = t.session.List(WireText(where));
        if (!listed) {
            t.Failed("ls " + where, listed.status);
            return listed.status;
        }
        if (heading && !o.json) lines.insert(lines.end(), {"", folder + ":"});
        std::vector<std::string> below;
        for (const zot::FindRecord& d : listed.value) {
            const std::string name = PrintableName(d.Name());
            if (name.empty()) continue;
            const bool isDir = (d.attributes & zot::kAttributeDirectory) != 0;
            if (isDir && name != "." && name != "..") below.push_back(FromWire(d.Name()));
            if (o.json) {
                const std::string time = zottools::TerminalTimeIso8601(d.time);
                json += (json.empty() ? "" : ",") + std::string("{\"name\":") + JsonString(name) +
                        ",\"path\":" + JsonString(DeviceJoin(folder, name)) +
                        ",\"size\":" + std::to_string(d.size) +
                        ",\"time\":" + (time.empty() ? "null" : JsonString(time)) +
                        ",\"attributes\":" + JsonString(Attributes(d.attributes)) +
                        ",\"attribute_value\":" + std::to_string(d.attributes) +
                        ",\"is_dir\":" + (isDir ? "true" : "false") + "}";
            } else if (o.longList) {
                char size[16];
                std::snprintf(size, sizeof size, "%10u", d.size);
                lines.push_back(Attributes(d.attributes) + " " + size + "  " +
                                zottools::TerminalTimeText(d.time) + "  " + name);
            } else {
                lines.push_back(name + (isDir ? "\\" : ""));
            }
        }
        if (!o.recursive) return zot::Status::Done();
        for (const auto& name : below) {
            const zot::Status status = self(self, DeviceJoin(folder, name), "*.*", true);
            if (!status) return status;
        }
        return zot::Status::Done();
    };
    if (!listOne(listOne, zottools::DeviceParent(pattern), BaseName(pattern), false))
        return t.gone ? kExitNoTerminal : kExitFailed;
    if (o.json) t.out.JsonValue("[" + json + "]");
    for (const auto& line : lines) t.out.Line(line);
    return kExitOk;
}

// Deletes a file, or with -r a folder with everything in it (deepest first).
int Remove(Terminal& t) {
    const Options& o = t.options;
    if (!o.recursive) return EachName(t, "rm", &zot::CSession::Delete);
    if (o.args.empty()) {
        t.Fail("rm: name missing");
        return kExitUsage;
    }
    int rc = kExitOk;
    const auto removeOne = [&](const std::string& path, bool isDir) {
        const auto done =
            isDir ? t.session.RemoveFolder(WireText(path)) : t.session.Delete(WireText(path));
        if (!done) rc = t.Failed("rm " + path, done.status);
        return done.Ok();
    };
    for (const auto& name : o.args) {
        if (t.gone) break;
        const std::string path = DevicePath(name);
        const auto top = DeviceStat(t.session, path);
        if (!top) {
            rc = t.Failed("rm " + path, top.status);
            continue;
        }
        if (top.value.isDir) {
            // Nothing goes until the whole folder is known.
            std::vector<Entry> entries;
            const zot::Status walked = DeviceWalk(t.session, path, true, &entries);
            if (!walked) {
                rc = t.Failed("rm " + path, walked);
                continue;
            }
            // Walked parents first: undone in reverse, each folder is empty when it goes.
            for (auto it = entries.rbegin(); it != entries.rend() && !t.gone; ++it)
                removeOne(DeviceBelow(path, it->relative), it->isDir);
        }
        if (t.gone || zottools::SplitDevicePath(path).empty()) continue;  // the root stays
        removeOne(path, top.value.isDir);
    }
    return rc;
}

int MakeDirectory(Terminal& t) {
    return EachName(t, "mkdir", &zot::CSession::CreateFolder);
}
int RemoveDirectory(Terminal& t) {
    return EachName(t, "rmdir", &zot::CSession::RemoveFolder);
}

int Attrib(Terminal& t) {
    const Options& o = t.options;
    if (o.args.empty()) {
        t.Fail("attrib: name missing");
        return kExitUsage;
    }
    const std::string path = DevicePath(o.args[0]);
    const std::string wire = WireText(path);
    const auto a = t.session.Attributes(wire);
    if (!a) return t.Failed("attrib " + path, a.status);
    uint32_t attrs = a.value;
    if (o.args.size() == 1) {
        t.out.Line(Attributes(attrs) + "  " + path);
        return kExitOk;
    }
    for (size_t i = 1; i < o.args.size(); ++i) {
        const std::string& f = o.args[i];
        uint32_t bit = 0;
        if (f.size() == 2) {
            switch (f[1]) {
                case 'r':
                    bit = zot::kAttributeReadOnly;
                    break;
                case 'h':
                    bit = zot::kAttributeHidden;
                    break;
                case 's':
                    bit = zot::kAttributeSystem;
                    break;
                case 'a':
                    bit = zot::kAttributeArchive;
                    break;
                default:
                    break;
            }
        }
        if (!bit || (f[0] != '+' && f[0] != '-')) {
            t.Fail("attrib: unknown flag " + f + " (use +r -r +h -h +s -s +a -a)");
            return kExitUsage;
        }
        attrs = f[0] == '+' ? (attrs | bit) : (attrs & ~bit);
    }
    const auto set = t.session.SetAttributes(wire, attrs);
    if (!set) return t.Failed("attrib " + path, set.status);
    return kExitOk;
}

int Ring(Terminal& t) {
    std::string text;
    for (const auto& a : t.options.args) text += (text.empty() ? "" : " ") + a;
    const auto rung = t.session.Ring(WireText(text));
    if (rung) return kExitOk;
    // The session refuses a text it cannot send as it refuses a name.
    if (rung.status.Is(zot::Refusal::kBadName)) {
        t.Fail("ring: the text is too long");
        return kExitFailed;
    }
    return t.Failed("ring", rung.status);
}

}  // namespace zotcli
