#include "device_names.h"

namespace zotcli {

std::string DevicePath(const std::string& name) {
    std::string rest = name;
    if (rest.rfind("ZOT:", 0) == 0) rest = rest.substr(4);
    for (char& c : rest)
        if (c == '/') c = '\\';
    while (!rest.empty() && rest.front() == '\\') rest.erase(0, 1);
    return "ZOT:\\" + rest;
}

std::string BaseName(const std::string& path) {
    std::string p = path;
    while (p.size() > 1 && (p.back() == '/' || p.back() == '\\')) p.pop_back();
    const size_t cut = p.find_last_of("/\\:");
    return cut == std::string::npos ? p : p.substr(cut + 1);
}

bool NamesDeviceFolder(const std::string& name) {
    return name.empty() || name.back() == '\\' || name.back() == '/' || name == "ZOT:";
}

std::string DeviceJoin(const std::string& folder, const std::string& name) {
    std::string f = DevicePath(folder);
    if (f.back() != '\\') f += '\\';
    return f + name;
}

}  // namespace zotcli
