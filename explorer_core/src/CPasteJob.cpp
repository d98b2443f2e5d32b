#include "CPasteJob.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <mutex>

#include "CDevicePath.h"
#include "CJobPaths.h"
#include "CPcFolderWalk.h"
#include "CWireText.h"

namespace {
constexpr int kDone = 100;
constexpr int kCreateFailed = 105;

// Seconds since 1970 of the local wall-clock time counted as if it were UTC, as the terminal
// keeps its times.
uint32_t LocalTimeAsUtc() {
    const QDateTime now = QDateTime::currentDateTime();
    return static_cast<uint32_t>(now.toSecsSinceEpoch() + now.offsetFromUtc());
}
}  // namespace

int CPasteJob::ErrorBox(const QString& caption, const QString& text) {
    CJobQuestion q;
    q.caption = caption;
    q.text = text;
    q.icon = CJobQuestion::kCritical;
    return m_host.Ask(q);
}

bool CPasteJob::YesNo(const QString& text) {
    CJobQuestion q;
    q.owner = CJobQuestion::Owner::Application;
    q.caption = m_policy.appCaption;
    q.text = text;
    q.buttons = CJobQuestion::kYesButton | CJobQuestion::kNoButton;
    q.icon = CJobQuestion::kQuestion;
    return m_host.Ask(q) == CJobQuestion::kYesButton;
}

bool CPasteJob::ContinueAfter(const QString& src, int status) {
    return YesNo("[" + src + "]" + m_policy.outcome(status) + m_policy.continueNext);
}

bool CPasteJob::Copy(const QString& src, const QString& dst, int32_t* status) {
    std::lock_guard<std::mutex> gate(m_backend.Gate());
    return m_backend.Copy(src, dst, status, m_host.CancelWord());
}

CPasteJob::Answer CPasteJob::ConfirmOverwrite(const QString& target, bool exists) {
    if (m_all || !exists) return Answer::Go;
    CJobQuestion q;
    q.kind = CJobQuestion::Kind::Overwrite;
    q.text = m_policy.overwriteQuestion(target);
    switch (m_host.Ask(q)) {
        case CJobQuestion::kAll:
            m_all = true;
            return Answer::Go;
        case CJobQuestion::kYes:
            return Answer::Go;
        case CJobQuestion::kNo:
            return Answer::Skip;
        default:
            return Answer::Stop;
    }
}

bool CPasteJob::CopyFolder(const QString& src, const QString& dst) {
    CPcFolderWalk::Hooks hooks;
    hooks.stopped = [this] { return m_ended || m_host.StopRequested(); };
    hooks.current = [this](const QString& name) { m_host.SetCurrent(name); };
    hooks.copyFile = [this](const QString& from, const QString& to) -> int {
        // A file inside a merged folder is asked about like one at the top.
        switch (ConfirmOverwrite(to, CPcFolderWalk::Exists(to))) {
            case Answer::Skip:
                return kDone;
            case Answer::Stop:
                m_ended = true;
                return kCreateFailed;
            case Answer::Go:
                break;
        }
        int32_t status = 0;
        return Copy(from, to, &status) ? status : kCreateFailed;
    };
    hooks.fileCopyFailed = [this](const QString& from, int status) {
        if (m_ended || m_host.CancelRequested()) return CPcFolderWalk::Next::Stop;
        if (!m_policy.askAfterFailureInFolder) return CPcFolderWalk::Next::EndFolder;
        if (ContinueAfter(from, status)) return CPcFolderWalk::Next::GoOn;
        m_ended = true;
        return CPcFolderWalk::Next::Stop;
    };
    return CPcFolderWalk::CopyTree(src, dst, hooks);
}

bool CPasteJob::Run(const QStringList& sources) {
    QString current;
    m_host.CallUi([&] { current = m_views.CurrentPath(); });
    if (current.isEmpty()) {
        ErrorBox(m_policy.cannotPasteCaption, m_policy.cannotPasteHere);
        return false;
    }
    const bool destLocal = !CDevicePath::IsDevicePath(current);
    for (const QString& src : sources) {
        if (m_host.CancelRequested()) return false;
        // Decided per path: a list mixing both sides never reads a PC path as a terminal name.
        const bool sourceLocal = !CDevicePath::IsDevicePath(src);
        const QString name = CJobPaths::LastName(src);
        QString target = CJobPaths::Join(current, name);
        if (CJobPaths::IsSameOrInside(src, target)) {
            ErrorBox(m_policy.errorCaption, m_policy.samePath);
            return false;
        }
        // A name that would be a path of its own ("..", "a/b", "a\b") could write outside the
        // chosen folder on either side: it is not copied.
        const std::optional<QString> pcTarget =
            destLocal ? CDevicePath::PcPathFor(current, name) : std::nullopt;
        if (!CDevicePath::IsSafeName(name) || (destLocal && !pcTarget)) {
            if (!ContinueAfter(src, kCreateFailed)) return false;
            continue;
        }
        if (pcTarget) target = *pcTarget;
        // Only looked at: the read-only state of a paste source stays as the user left it.
        if (sourceLocal && CPcFolderWalk::IsFolder(src)) {
            if (!destLocal) {
                if (!YesNo(m_policy.cannotCopyFolder(src))) return false;
                continue;
            }
            const bool existed =
                m_policy.mergeIntoExistingFolder && CPcFolderWalk::IsFolder(target);
            if (!existed && !QDir().mkdir(target)) {
                if (m_policy.folderNotCreated)
                    ErrorBox(m_policy.errorCaption,
                             m_policy.folderNotCreated(target, QFileInfo::exists(target)));
                return false;
            }
            if (!existed) m_host.CallUi([&] { m_views.FolderCreated(name, m_policy.folderType); });
            if (!CopyFolder(src, target)) return false;
            continue;
        }
        if (!CopyOne(src, name, target, sourceLocal, destLocal)) return false;
    }
    return true;
}

bool CPasteJob::CopyOne(const QString& src, const QString& name, const QString& target,
                        bool sourceLocal, bool destLocal) {
    m_host.SetCurrent(name);
    if (!destLocal) {
        const qsizetype bytes = CWireText::EncodedLength(name);
        if (bytes > m_policy.nameLimit)
            return YesNo(m_policy.nameTooLong(name, m_policy.nameLimit));
        // The wire code page cannot carry the name at all.
        if (bytes < 0) return ContinueAfter(src, kCreateFailed);
    }
    bool exists = false;
    if (!m_all) {
        if (destLocal)
            exists = CPcFolderWalk::Exists(target);
        else
            m_host.CallUi([&] { exists = m_views.HasRow(CDevicePath::BareName(target)); });
    }
    switch (ConfirmOverwrite(target, exists)) {
        case Answer::Skip:
            return true;
        case Answer::Stop:
            return false;
        case Answer::Go:
            break;
    }
    m_host.SetStatus(0);
    if (!Copy(src, target, m_host.StatusWord())) {
        // A copy refused because Cancel came first is no failure to tell about.
        if (m_host.CancelRequested()) return false;
        CJobQuestion q;
        q.owner = CJobQuestion::Owner::Application;
        q.caption = m_policy.appCaption;
        q.text = m_policy.copyFailed;
        q.icon = CJobQuestion::kWarning;
        m_host.Ask(q);
        return false;
    }
    if (m_host.CancelRequested()) return false;
    const int32_t status = m_host.Status();
    if (status != kDone) return ContinueAfter(src, status);
    if (destLocal) {
        const QFileInfo info(target);
        if (!info.exists()) return false;
        m_host.CallUi([&] { m_views.PcFileWritten(info); });
        return true;
    }
    IDeviceBackend::Entry entry;
    // The name as the terminal keeps it: at most the limit's bytes in the wire code page.
    entry.name = CWireText::Decode(CWireText::Encode(name).left(m_policy.nameLimit));
    if (m_policy.stampDeviceRows) entry.timeMs = int64_t(LocalTimeAsUtc()) * 1000;
    if (sourceLocal) entry.size = static_cast<uint64_t>(QFileInfo(src).size());
    m_host.CallUi([&] { m_views.DeviceFileWritten(entry); });
    return true;
}
