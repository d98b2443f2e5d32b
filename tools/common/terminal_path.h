#pragma once
// Terminal paths as the tools spell them: "ZOT:\dir\sub\file". Users may type "/" for "\",
// leave out the "ZOT:" prefix or start with a separator; these helpers take any of those.
#include <string>
#include <vector>

namespace zottools {

// "a.txt", "\a.txt", "dir/a.txt", "/dir/a.txt" or "ZOT:\a.txt" to the terminal path
// "ZOT:\a.txt"; "" and "ZOT:" give the root "ZOT:\".
std::string DevicePath(const std::string& name);
// Last component of a terminal path or PC path.
std::string BaseName(const std::string& path);
// A terminal name ending in a separator, or the root, names a folder.
bool NamesDeviceFolder(const std::string& name);
// Joins a terminal folder and a name with one separator.
std::string DeviceJoin(const std::string& folder, const std::string& name);
// The components below the root: "ZOT:\dir\sub\file" gives {"dir", "sub", "file"}; empty
// components (doubled separators) are dropped.
std::vector<std::string> SplitDevicePath(const std::string& path);
// The folder holding an entry: "ZOT:\dir\file" gives "ZOT:\dir", "ZOT:\file" the root.
std::string DeviceParent(const std::string& path);
// The path below a terminal folder with "/" between components, for a PC or mount path:
// DeviceRelative("ZOT:\dir", "ZOT:\dir\sub\f") is "sub/f"; "" when path is not inside.
std::string DeviceRelative(const std::string& folder, const std::string& path);

// Whether a name matches a pattern of "*" (any run) and "?" (any one character), without
// regard to ASCII case as the terminal's file store does; "*.*" matches every name.
bool WildcardMatch(const std::string& pattern, const std::string& name);
// Whether a name holds a wildcard.
bool HasWildcard(const std::string& name);

}  // namespace zottools
