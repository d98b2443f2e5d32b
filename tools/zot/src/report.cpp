#include "report.h"

#include "json.h"

namespace zotcli {

void CopyReport::File(const std::string& source, const std::string& destination, uint64_t bytes,
                      const std::string& status, const std::string& error) {
    if (status == "copied") {
        ++m_terminal.files;
        m_terminal.bytes += bytes;
    }
    if (!m_terminal.options.json) return;
    std::string line = "{\"source\":" + JsonString(source) +
                       ",\"destination\":" + JsonString(destination) +
                       ",\"bytes\":" + std::to_string(bytes) + ",\"status\":" + JsonString(status);
    if (!error.empty()) line += ",\"error\":" + JsonString(error);
    m_terminal.out.JsonRecord(line + "}");
}

void CopyReport::Say(const std::string& line) const {
    if (!m_terminal.options.json) m_terminal.out.Line(line);
}

}  // namespace zotcli
