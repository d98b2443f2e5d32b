#pragma once
// What a copying command did, file by file: nothing extra on a terminal when all goes well
// (the progress bar says it), one JSON object a line with --json, and the totals the
// many-terminal summary reads.
#include <cstdint>
#include <string>

#include "options.h"

namespace zotcli {

class CopyReport {
  public:
    explicit CopyReport(const Options& o) : m_options(o) {}
    ~CopyReport();
    CopyReport(const CopyReport&) = delete;
    CopyReport& operator=(const CopyReport&) = delete;

    // status: "copied", "failed", "planned" (--dry-run), "deleted", "would delete".
    void File(const std::string& source, const std::string& destination, uint64_t bytes,
              const std::string& status, const std::string& error = "");
    // Human lines of what was planned or removed (sync); silent with --json.
    void Say(const std::string& line) const;

  private:
    const Options& m_options;
    uint64_t m_files = 0;
    uint64_t m_bytes = 0;
};

}  // namespace zotcli
