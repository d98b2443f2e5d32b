#pragma once
// Where one terminal's run writes. Commands never write to standard output or standard error
// themselves: a run on one terminal writes straight through, and with several terminals at
// once each thread has an output of its own that keeps its lines whole, puts the terminal's
// name in front of them, and keeps its JSON for the terminal's record at the end.
#include <cstddef>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

namespace zotcli {

class IOutput {
  public:
    virtual ~IOutput() = default;
    // One line of what the command found or did (standard output).
    virtual void Line(const std::string& text) = 0;
    // What went wrong, as "zot: text" on standard error.
    virtual void Error(const std::string& text) = 0;
    // The copy in progress: its bar, drawn again in place, and its end.
    virtual bool ShowsProgress() const = 0;
    virtual void Progress(const std::string& bar) = 0;
    virtual void EndProgress() = 0;
    // --json: the command's one value (ls, info), or one record of several (a file copied).
    virtual void JsonValue(const std::string& json) = 0;
    virtual void JsonRecord(const std::string& json) = 0;
};

class CStandardOutput final : public IOutput {
  public:
    CStandardOutput();
    void Line(const std::string& text) override;
    void Error(const std::string& text) override;
    bool ShowsProgress() const override { return m_progress; }
    void Progress(const std::string& bar) override;
    void EndProgress() override;
    void JsonValue(const std::string& json) override;
    void JsonRecord(const std::string& json) override;

  private:
    const bool m_progress;
};

// The screen several terminals' threads share: whole lines, each under one lock, and when
// standard error is a terminal, one progress line per terminal kept below them.
class CConsole {
  public:
    explicit CConsole(size_t terminals);
    bool ShowsProgress() const { return m_progress; }
    void Line(FILE* to, const std::string& label, const std::string& text);
    // An empty bar takes the terminal's progress line away.
    void Progress(size_t terminal, const std::string& bar);

  private:
    void Erase();
    void Draw();

    std::mutex m_mutex;
    const bool m_progress;
    std::vector<std::string> m_bars;
    int m_drawn = 0;
};

class CTerminalOutput final : public IOutput {
  public:
    CTerminalOutput(CConsole& console, size_t index, std::string label);
    void Line(const std::string& text) override;
    void Error(const std::string& text) override;
    bool ShowsProgress() const override { return m_console.ShowsProgress(); }
    void Progress(const std::string& bar) override;
    void EndProgress() override;
    void JsonValue(const std::string& json) override { m_value = json; }
    void JsonRecord(const std::string& json) override { m_records.push_back(json); }

    // The command's JSON: its value, its records as an array, or null when it gave none.
    std::string Json() const;
    const std::vector<std::string>& Errors() const { return m_errors; }

  private:
    CConsole& m_console;
    const size_t m_index;
    const std::string m_label;
    std::string m_value;
    std::vector<std::string> m_records;
    std::vector<std::string> m_errors;
};

}  // namespace zotcli
