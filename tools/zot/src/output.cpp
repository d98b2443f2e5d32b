#include "output.h"

#include "platform.h"

namespace zotcli {

CStandardOutput::CStandardOutput() : m_progress(StderrIsTerminal()) {}

void CStandardOutput::Line(const std::string& text) {
    std::printf("%s\n", text.c_str());
    std::fflush(stdout);
}

void CStandardOutput::Error(const std::string& text) {
    std::fprintf(stderr, "zot: %s\n", text.c_str());
}

void CStandardOutput::Progress(const std::string& bar) {
    if (!m_progress) return;
    std::fprintf(stderr, "\r%s", bar.c_str());
    std::fflush(stderr);
}

void CStandardOutput::EndProgress() {
    if (m_progress) std::fputc('\n', stderr);
}

void CStandardOutput::JsonValue(const std::string& json) {
    Line(json);
}

void CStandardOutput::JsonRecord(const std::string& json) {
    Line(json);
}

// The block of progress lines is redrawn with cursor movements, which only a terminal that
// takes escape sequences follows.
CConsole::CConsole(size_t terminals) : m_progress(StderrTakesEscapes()), m_bars(terminals) {}

void CConsole::Line(FILE* to, const std::string& label, const std::string& text) {
    std::lock_guard lock(m_mutex);
    Erase();
    std::fprintf(to, "%s: %s\n", label.c_str(), text.c_str());
    std::fflush(to);
    Draw();
}

void CConsole::Progress(size_t terminal, const std::string& bar) {
    if (!m_progress) return;
    std::lock_guard lock(m_mutex);
    Erase();
    m_bars[terminal] = bar;
    Draw();
}

void CConsole::Erase() {
    if (m_drawn == 0) return;
    std::fprintf(stderr, "\x1b[%dF\x1b[J", m_drawn);
    m_drawn = 0;
}

void CConsole::Draw() {
    if (!m_progress) return;
    // Lines on standard output must be out before the bars are drawn under them.
    std::fflush(stdout);
    for (const auto& bar : m_bars) {
        if (bar.empty()) continue;
        std::fprintf(stderr, "%s\x1b[K\n", bar.c_str());
        ++m_drawn;
    }
    std::fflush(stderr);
}

CTerminalOutput::CTerminalOutput(CConsole& console, size_t index, std::string label)
    : m_console(console), m_index(index), m_label(std::move(label)) {}

void CTerminalOutput::Line(const std::string& text) {
    // Blank lines only space out one terminal's output; among several they part nothing.
    if (!text.empty()) m_console.Line(stdout, m_label, text);
}

void CTerminalOutput::Error(const std::string& text) {
    m_errors.push_back(text);
    m_console.Line(stderr, m_label, "zot: " + text);
}

void CTerminalOutput::Progress(const std::string& bar) {
    m_console.Progress(m_index, m_label + ": " + bar);
}

void CTerminalOutput::EndProgress() {
    m_console.Progress(m_index, "");
}

std::string CTerminalOutput::Json() const {
    if (!m_value.empty()) return m_value;
    if (m_records.empty()) return "null";
    std::string out = "[";
    for (const auto& r : m_records) out += (out.size() > 1 ? "," : "") + r;
    return out + "]";
}

}  // namespace zotcli
