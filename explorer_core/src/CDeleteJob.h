#pragma once
// The delete job of both explorers, on the worker thread: the tree's current folder, or the
// list's selected rows one by one, on the PC or on the terminal.
#include "CJobPolicy.h"
#include "IDeviceBackend.h"
#include "IJobHost.h"
#include "IJobViews.h"

class CDeleteJob {
  public:
    CDeleteJob(IJobHost& host, IJobViews& views, IDeviceBackend& backend, const CJobPolicy& policy)
        : m_host(host), m_views(views), m_backend(backend), m_policy(policy) {}

    // treeFolder: the tree's current folder rather than the selected rows. False when the job
    // ended at a failure.
    bool Run(bool treeFolder);

  private:
    bool DeleteCurrentFolder(const QString& path);
    bool DeleteTree(const QString& folder);
    bool DeleteDeviceFile(const QString& path);
    void ErrorBox(const QString& text);

    IJobHost& m_host;
    IJobViews& m_views;
    IDeviceBackend& m_backend;
    const CJobPolicy& m_policy;
};
