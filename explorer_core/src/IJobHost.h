#pragma once
// What a copy or delete job needs of the dialog that runs it, seen from the worker thread.
#include <cstdint>
#include <functional>

#include "CJobProgress.h"
#include "CJobQuestion.h"

class IJobHost {
  public:
    virtual ~IJobHost() = default;

    // The status word the dialog shows and the cancel word Cancel sets; a copy engine may
    // write and read them on a thread of its own.
    virtual int32_t* StatusWord() = 0;
    virtual int32_t* CancelWord() = 0;
    virtual int32_t Status() const = 0;
    virtual void SetStatus(int32_t value) = 0;
    virtual bool CancelRequested() const = 0;
    // Also true when the dialog is going away; the folder walks poll it.
    virtual bool StopRequested() const = 0;
    // The name of the item in hand; posted, the worker goes on at once.
    virtual void SetCurrent(const QString& name) = 0;
    // Runs fn on the user-interface thread and waits for it. fn does not run once the dialog
    // is gone, so the caller's defaults must mean "stop".
    virtual void CallUi(std::function<void()> fn) = 0;
    // Asks on the user-interface thread and waits; Cancel when it cannot be answered.
    virtual int Ask(const CJobQuestion& question) = 0;
    // The job's figures, a few times a second at most; posted, the worker goes on at once.
    virtual void ShowProgress(const CJobProgress&) {}
};
