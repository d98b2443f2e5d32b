#pragma once
// What the session keeps of each folder search it started, and the folder of a path.
#include <string>
#include <string_view>
#include <vector>

#include "zot_session.h"

namespace zot {

// The folder part of a terminal path or search pattern: everything before its last
// backslash. Empty for the root, whose state no query describes.
inline std::string_view FolderOf(std::string_view path) {
    const size_t slash = path.rfind('\\');
    if (slash == std::string_view::npos) return {};
    const std::string_view folder = path.substr(0, slash);
    return folder.find('\\') == std::string_view::npos ? std::string_view() : folder;
}

struct CSession::Search {
    std::string pattern;
    int32_t terminal = 0;            // the terminal's handle of the search now
    std::vector<std::string> names;  // every name delivered, in order
};

}  // namespace zot
