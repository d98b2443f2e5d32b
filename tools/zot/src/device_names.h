#pragma once
#include <string>

namespace zotcli {

// "a.txt", "\a.txt", "dir/a.txt" or "ZOT:\a.txt" to the terminal path "ZOT:\a.txt".
std::string DevicePath(const std::string& name);
// Last component of a device path or PC path.
std::string BaseName(const std::string& path);
// A device path ends in a separator when it names a folder.
bool NamesDeviceFolder(const std::string& name);
// Joins a device folder and a name with one separator.
std::string DeviceJoin(const std::string& folder, const std::string& name);

}  // namespace zotcli
