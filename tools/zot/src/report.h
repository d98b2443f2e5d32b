#pragma once
// What a copying command did, file by file: nothing extra on a terminal when all goes well
// (the progress bar says it), one JSON record a file with --json, and the terminal's totals
// for the summary of several terminals.
#include <cstdint>
#include <string>

#include "terminal.h"

namespace zotcli {

class CopyReport {
  public:
    explicit CopyReport(Terminal& t) : m_terminal(t) {}
    CopyReport(const CopyReport&) = delete;
    CopyReport& operator=(const CopyReport&) = delete;

    // status: "copied", "failed", "planned" (--dry-run), "deleted", "would delete".
    void File(const std::string& source, const std::string& destination, uint64_t bytes,
              const std::string& status, const std::string& error = "");
    // Human lines of what was planned or removed (sync); silent with --json.
    void Say(const std::string& line) const;

  private:
    Terminal& m_terminal;
};

}  // namespace zotcli
