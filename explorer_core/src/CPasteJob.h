#pragma once
// The paste job of both explorers, on the worker thread: copies each source path into the
// current folder, asking what its policy says to ask, and tells the views what it made.
#include <QHash>
#include <QStringList>

#include "CJobPolicy.h"
#include "CJobProgressMeter.h"
#include "IDeviceBackend.h"
#include "IJobHost.h"
#include "IJobViews.h"

class CPasteJob {
  public:
    // clock: the progress figures' (CJobProgressMeter's); the steady clock when empty.
    CPasteJob(IJobHost& host, IJobViews& views, IDeviceBackend& backend, const CJobPolicy& policy,
              CJobProgressMeter::Clock clock = {})
        : m_host(host), m_views(views), m_backend(backend), m_policy(policy), m_meter(clock) {}

    // True when every source was handled, false when the paste ended early.
    bool Run(const QStringList& sources);

  private:
    enum class Answer { Go, Skip, Stop };
    Answer ConfirmOverwrite(const QString& target, bool exists);
    bool CopyFolder(const QString& src, const QString& dst);
    // One file into target; false when the paste must end.
    bool CopyOne(const QString& src, const QString& name, const QString& target, bool sourceLocal,
                 bool destLocal);
    int ErrorBox(const QString& caption, const QString& text);
    bool YesNo(const QString& text);
    // "[src]" + the outcome + "Continue with next file?"; true for Yes.
    bool ContinueAfter(const QString& src, int status);
    // One file through the backend while its progress is watched.
    bool Copy(const QString& src, const QString& dst, int32_t* status, bool resume = false);
    // A PC entry that a paste does not copy (a link to a folder, a named pipe): asks with its
    // cause whether to go on; Stop ends the paste.
    Answer Refuse(const QString& src, bool folderTarget);
    // The files and bytes ahead, for the progress figures.
    void Measure(const QStringList& sources);
    uint64_t SizeOf(const QString& src) const;
    void StartFile(const QString& src);
    // A file passed over: its bytes count as done, not toward the rate.
    void SkipFile(const QString& src);
    void Emit(bool now);
    // A copy that did not end whole leaves its partial file; the list shows it at once. A
    // terminal whose line broke is not asked about it.
    void ShowPartial(const QString& target, bool destLocal, bool lineBroke = false);

    IJobHost& m_host;
    IJobViews& m_views;
    IDeviceBackend& m_backend;
    const CJobPolicy& m_policy;
    bool m_all = false;    // "All": no more overwrite questions in this paste
    bool m_ended = false;  // a question inside a folder ended the paste
    CJobProgressMeter m_meter;
    int m_fileIndex = 0;
    int64_t m_lastEmitMs = -1;
    QHash<QString, IDeviceBackend::Entry> m_terminalEntries;  // the terminal's, by name
};
