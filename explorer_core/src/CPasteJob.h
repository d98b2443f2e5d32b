#pragma once
// The paste job of both explorers, on the worker thread: copies each source path into the
// current folder, asking what its policy says to ask, and tells the views what it made.
#include <QStringList>

#include "CJobPolicy.h"
#include "IDeviceBackend.h"
#include "IJobHost.h"
#include "IJobViews.h"

class CPasteJob {
  public:
    CPasteJob(IJobHost& host, IJobViews& views, IDeviceBackend& backend, const CJobPolicy& policy)
        : m_host(host), m_views(views), m_backend(backend), m_policy(policy) {}

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
    bool Copy(const QString& src, const QString& dst, int32_t* status);

    IJobHost& m_host;
    IJobViews& m_views;
    IDeviceBackend& m_backend;
    const CJobPolicy& m_policy;
    bool m_all = false;    // "All": no more overwrite questions in this paste
    bool m_ended = false;  // a question inside a folder ended the paste
};
