#pragma once
// What the session keeps of each folder search it started.
#include <string>
#include <vector>

#include "zot_session.h"

namespace zot {

struct CSession::Search {
    std::string pattern;
    int32_t terminal = 0;            // the terminal's handle of the search now
    std::vector<std::string> names;  // every name delivered, in order
};

}  // namespace zot
