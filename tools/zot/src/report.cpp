#include "report.h"

#include <cstdio>

#include "json.h"

namespace zotcli {

CopyReport::~CopyReport() {
    if (m_options.summaryFile.empty()) return;
    if (FILE* f = std::fopen(m_options.summaryFile.c_str(), "w")) {
        std::fprintf(f, "%llu %llu\n", static_cast<unsigned long long>(m_files),
                     static_cast<unsigned long long>(m_bytes));
        std::fclose(f);
    }
}

void CopyReport::File(const std::string& source, const std::string& destination, uint64_t bytes,
                      const std::string& status, const std::string& error) {
    if (status == "copied") {
        ++m_files;
        m_bytes += bytes;
    }
    if (!m_options.json) return;
    std::string line = "{\"source\":" + JsonString(source) +
                       ",\"destination\":" + JsonString(destination) +
                       ",\"bytes\":" + std::to_string(bytes) + ",\"status\":" + JsonString(status);
    if (!error.empty()) line += ",\"error\":" + JsonString(error);
    std::printf("%s}\n", line.c_str());
    std::fflush(stdout);
}

void CopyReport::Say(const std::string& line) const {
    if (m_options.json) return;
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

}  // namespace zotcli
