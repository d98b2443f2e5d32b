#include "CPasteJob.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "CDevicePath.h"
#include "CJobPaths.h"
#include "CPcFolderWalk.h"
#include "CWireText.h"

namespace {
constexpr int kDone = 100;
constexpr int kCancelled = 104;
constexpr int kCreateFailed = 105;
// The figures reach the dialog at most this often while a file moves.
constexpr int64_t kEmitEveryMs = 250;
constexpr int kWatchEveryMs = 100;

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

bool CPasteJob::Copy(const QString& src, const QString& dst, int32_t* status, bool resume) {
    StartFile(src);
    const uint64_t size = SizeOf(src);
    // The backend returns only at the file's end; its status word says how far it got.
    std::mutex mutex;
    std::condition_variable wake;
    bool over = false;
    std::thread watch([&] {
        std::unique_lock<std::mutex> lock(mutex);
        while (
            !wake.wait_for(lock, std::chrono::milliseconds(kWatchEveryMs), [&] { return over; })) {
            const int32_t percent = std::atomic_ref<int32_t>(*status).load();
            if (percent < 2 || percent >= kDone) continue;
            m_meter.FileMoved(size * uint64_t(percent) / 100);
            Emit(false);
        }
    });
    bool ran = false;
    {
        std::lock_guard<std::mutex> gate(m_backend.Gate());
        ran = m_backend.Copy(src, dst, status, m_host.CancelWord(), resume);
    }
    {
        std::lock_guard<std::mutex> lock(mutex);
        over = true;
    }
    wake.notify_all();
    watch.join();
    if (ran && *status == kDone) m_meter.EndFile();
    Emit(true);
    return ran;
}

uint64_t CPasteJob::SizeOf(const QString& src) const {
    if (!CDevicePath::IsDevicePath(src)) return static_cast<uint64_t>(QFileInfo(src).size());
    return m_terminalEntries.value(CDevicePath::BareName(src)).size;
}

void CPasteJob::StartFile(const QString& src) {
    m_meter.StartFile(++m_fileIndex, SizeOf(src));
    Emit(true);
}

void CPasteJob::SkipFile(const QString& src) {
    m_meter.StartFile(++m_fileIndex, SizeOf(src));
    m_meter.SkipFile();
    Emit(true);
}

void CPasteJob::Emit(bool now) {
    const int64_t ms = m_meter.Now();
    if (!now && m_lastEmitMs >= 0 && ms - m_lastEmitMs < kEmitEveryMs) return;
    m_lastEmitMs = ms;
    m_host.ShowProgress(m_meter.Figures());
}

void CPasteJob::Measure(const QStringList& sources) {
    int files = 0;
    uint64_t bytes = 0;
    bool terminal = false;
    for (const QString& src : sources) {
        if (CDevicePath::IsDevicePath(src)) {
            terminal = true;
            ++files;
            continue;
        }
        if (!CPcFolderWalk::IsFolder(src)) {
            ++files;
            bytes += static_cast<uint64_t>(QFileInfo(src).size());
            continue;
        }
        QDirIterator it(src, QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            it.next();
            ++files;
            bytes += static_cast<uint64_t>(it.fileInfo().size());
        }
    }
    if (terminal) {
        // One listing gives every terminal source its size.
        std::lock_guard<std::mutex> gate(m_backend.Gate());
        m_backend.List(QStringLiteral("ZOT:\\*.*"), [&](const IDeviceBackend::Entry& e) {
            m_terminalEntries.insert(e.name, e);
            return true;
        });
    }
    for (const QString& src : sources)
        if (CDevicePath::IsDevicePath(src)) bytes += SizeOf(src);
    m_meter.Begin(files, bytes);
}

void CPasteJob::ShowPartial(const QString& target, bool destLocal, bool lineBroke) {
    if (destLocal) {
        const QFileInfo info(target);
        if (info.exists()) m_host.CallUi([&] { m_views.PcFileWritten(info); });
        return;
    }
    IDeviceBackend::Entry entry;
    bool known = false;
    if (!lineBroke) {
        std::lock_guard<std::mutex> gate(m_backend.Gate());
        known = m_backend.Stat(target, &entry);
    }
    // A terminal that no longer answers may still hold it: shown by name, so that the next
    // paste asks before replacing it.
    if (!known) entry.name = CDevicePath::BareName(target);
    m_host.CallUi([&] { m_views.DeviceFileWritten(entry); });
}

CPasteJob::Answer CPasteJob::Refuse(const QString& src, bool folderTarget) {
    const QString text = folderTarget ? m_policy.linkToFolder(src) : m_policy.notAFile(src);
    return YesNo(text) ? Answer::Skip : Answer::Stop;
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
                SkipFile(from);
                return kDone;
            case Answer::Stop:
                m_ended = true;
                return kCreateFailed;
            case Answer::Go:
                break;
        }
        int32_t status = 0;
        if (!Copy(from, to, &status)) return kCreateFailed;
        if (status != kDone) ShowPartial(to, true);
        return status;
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
    Measure(sources);
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
        // A link to a folder is never followed, and what is neither file nor folder (a named
        // pipe, a device) is not read: each is refused with its cause rather than failing as
        // a read error. A link to a file copies the file, as it always has.
        const QFileInfo info(src);
        const bool link = sourceLocal && CPcFolderWalk::IsLink(src);
        if (sourceLocal && ((link && info.isDir()) ||
                            (!link && info.exists() && !info.isFile() && !info.isDir()))) {
            if (Refuse(src, link) == Answer::Stop) return false;
            continue;
        }
        if (!sourceLocal) {
            const auto entry = m_terminalEntries.constFind(CDevicePath::BareName(src));
            if (entry != m_terminalEntries.constEnd() &&
                (entry->attributes & IDeviceBackend::kDirectory)) {
                if (!YesNo(m_policy.terminalFolder(src))) return false;
                continue;
            }
        }
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
            SkipFile(src);
            return true;
        case Answer::Stop:
            return false;
        case Answer::Go:
            break;
    }
    m_host.SetStatus(0);
    bool resume = false;
    for (;;) {
        if (!Copy(src, target, m_host.StatusWord(), resume)) {
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
        const int32_t status = m_host.Status();
        if (status == kDone) break;
        ShowPartial(target, destLocal, status == IDeviceBackend::kLineBroke);
        if (m_host.CancelRequested() || status == kCancelled) return false;
        // The line broke off: the partial file stays, and the copy goes on from its last
        // confirmed block once the user says the line is back.
        if (status != IDeviceBackend::kLineBroke || !m_policy.lineBroke)
            return ContinueAfter(src, status);
        if (!YesNo(m_policy.lineBroke(src))) return false;
        resume = true;
        m_host.SetStatus(0);
    }
    if (m_host.CancelRequested()) return false;
    if (destLocal) {
        const QFileInfo info(target);
        if (!info.exists()) return false;
        m_host.CallUi([&] { m_views.PcFileWritten(info); });
        return true;
    }
    IDeviceBackend::Entry entry;
    // The name as the terminal keeps it: at most the limit's bytes in the wire code page.
    entry.name = CWireText::Decode(CWireText::Encode(name).left(m_policy.nameLimit));
    IDeviceBackend::Entry kept;
    bool known = false;
    {
        std::lock_guard<std::mutex> gate(m_backend.Gate());
        known = m_backend.Stat(CJobPaths::Join(QStringLiteral("ZOT:"), entry.name), &kept);
    }
    if (known) {
        // The terminal's own record: the time the copy kept, or what it gave instead.
        entry = kept;
    } else {
        if (m_policy.stampDeviceRows) entry.timeMs = int64_t(LocalTimeAsUtc()) * 1000;
        if (sourceLocal) entry.size = static_cast<uint64_t>(QFileInfo(src).size());
    }
    m_host.CallUi([&] { m_views.DeviceFileWritten(entry); });
    return true;
}
