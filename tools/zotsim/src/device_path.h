#pragma once
// Names as the PC sends them ("ZOT:\dir\file.txt") turned into path components below the
// served folder, and the terminal's wildcard matching. Pure: no file system access.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zotsim {

// The components of a device name, root first; empty for the root itself. The "ZOT:" prefix
// is optional and both separators are accepted. Nothing when the name could leave the
// served folder or cannot name an entry: "..", a drive or device ("C:"), a share ("\\x"),
// or a NUL byte. "." components are dropped.
std::optional<std::vector<std::string>> SplitDevicePath(std::string_view name);

// Case-insensitive (ASCII) match of '*' and '?'. Like the terminal, a pattern ending in ".*"
// also matches names without an extension, so "*.*" matches every name.
bool MatchWildcard(std::string_view pattern, std::string_view name);

bool HasWildcard(std::string_view pattern);

}  // namespace zotsim
