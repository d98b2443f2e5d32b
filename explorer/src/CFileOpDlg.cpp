#include "CFileOpDlg.h"

#include <unistd.h>
#include <zotlink.h>

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QThread>
#include <atomic>
#include <cstring>
#include <string>

#include "CClipboardFiles.h"
#include "CDevicePath.h"
#include "CJobPaths.h"
#include "CLeftView.h"
#include "CPcFolderWalk.h"
#include "CVelkorApp.h"
#include "CVelkorView.h"
#include "CWireText.h"

namespace {
std::u16string Wide(const QString& s) {
    return std::u16string(reinterpret_cast<const char16_t*>(s.utf16()),
                          static_cast<size_t>(s.size()));
}
constexpr int32_t kInvalidAttributes = -1;
constexpr int kMaxDeviceName = 16;

// Seconds since 1970 of the local wall-clock time counted as if it were UTC, as the terminal
// keeps its times.
uint32_t LocalTimeAsUtc() {
    const QDateTime now = QDateTime::currentDateTime();
    return static_cast<uint32_t>(now.toSecsSinceEpoch() + now.offsetFromUtc());
}
}  // namespace

CFileOpDlg::CFileOpDlg(QWidget* parent) : CFileJobDialog(parent) {
    SetTexts(
        {tr("Status"),
         tr("Cancel"),
         tr("Cancel..."),
         {QStringLiteral("Overwrite confirm"), tr("&Yes"), tr("&All"), tr("&No"), tr("&Cancel")}});
}

QString CFileOpDlg::ErrorText(int code) {
    switch (code) {
        case 101:
            return tr("Communication interrupted!");
        case 102:
            return tr("Read file error, Please check communication.");
        case 103:
            return tr("Write file error, Please check communication.");
        default:
            return tr("Unknown error, Please check communication.");
    }
}

int CFileOpDlg::ErrorBox(const QString& text) {
    CJobQuestion q;
    q.owner = CJobQuestion::Owner::Dialog;
    q.caption = tr("Error");
    q.text = text;
    q.buttons = QMessageBox::Ok;
    q.icon = QMessageBox::Critical;
    return Ask(q);
}

int CFileOpDlg::AppBox(const QString& text, bool yesNo) {
    CJobQuestion q;
    q.owner = CJobQuestion::Owner::Application;
    q.caption = QStringLiteral("Quayside");
    q.text = text;
    q.buttons = yesNo ? int(QMessageBox::Yes | QMessageBox::No) : int(QMessageBox::Ok);
    q.icon = yesNo ? QMessageBox::Question : QMessageBox::Warning;
    return Ask(q);
}

bool CFileOpDlg::ContinueAfterFailure(const QString& src, int code) {
    return AppBox("[" + src + "]" + ErrorText(code) + tr(" Continue with next file?"), true) ==
           QMessageBox::Yes;
}

int CFileOpDlg::AskOverwrite(const QString& destination) {
    CJobQuestion q;
    q.kind = CJobQuestion::Kind::Overwrite;
    q.caption = QStringLiteral("Overwrite confirm");
    q.text = tr("Destination ") + destination +
             tr(" already exists. Overwrite?\nSelecting \"Cancel\" will abort copying remaining "
                "files.");
    return Ask(q);
}

bool CFileOpDlg::IsFolder(const QString& path, bool onPc, bool aboutToDelete) {
    if (onPc) {
        // Only what is about to be deleted loses its read-only state; a paste source is only
        // read and stays as the user left it.
        if (aboutToDelete) CPcFolderWalk::ClearReadOnly(path);
        return CPcFolderWalk::IsFolder(path);
    }
    const std::u16string w = Wide(path);
    const int32_t attributes = ZOT_GetFileAttributesW(w.c_str());
    // An entry that vanished reads as all bits set; it is no folder and nothing is written.
    if (attributes == kInvalidAttributes) return false;
    if (aboutToDelete && (attributes & ZOT_FILE_ATTRIBUTE_READONLY))
        ZOT_SetFileAttributesW(w.c_str(),
                               static_cast<uint32_t>(attributes) & ~ZOT_FILE_ATTRIBUTE_READONLY);
    // Only a PC folder is handled as a folder; a terminal entry is always one file.
    return false;
}

bool CFileOpDlg::DeleteFile(const QString& path, bool onPc) {
    if (onPc) return ::unlink(QFile::encodeName(path).constData()) == 0;
    const std::u16string w = Wide(path);
    return ZOT_DeleteFileW(w.c_str()) != 0;
}

void CFileOpDlg::RunJob() {
    std::unique_lock<std::mutex> gate;
    if (m_pGate) gate = std::unique_lock<std::mutex>(*m_pGate);
    CallUi([this] { m_currentPath = m_pFolderView->CurrentPath(); });
    if (m_nOperation == kDelete)
        DeleteJob();
    else if (m_nOperation == kPaste)
        m_nResult = PasteJob();
}

void CFileOpDlg::DeleteJob() {
    const bool onPc = !CDevicePath::IsDevicePath(m_currentPath);
    if (m_bTreeActive) {
        if (m_currentPath.isEmpty() || !IsFolder(m_currentPath, onPc, true) ||
            !DeleteTree(m_currentPath)) {
            SetFinished();
            return;
        }
        CallUi([this] {
            QTreeWidgetItem* old = m_pFolderView->CurrentFolderItem();
            QTreeWidgetItem* parent = old ? old->parent() : nullptr;
            if (!parent) return;
            m_pFolderView->SelectFolder(parent);
            // The parent's refill made a row for the old item; it must not outlive the item.
            for (int row = m_pListView->Model()->Count() - 1; row >= 0; --row) {
                if (m_pListView->Model()->RowAt(row).itemData == reinterpret_cast<quintptr>(old))
                    m_pListView->Model()->RemoveRow(row);
            }
            delete old;
        });
        SetFinished();
        return;
    }
    int n = 0;
    CallUi([&] { n = static_cast<int>(m_pListView->SelectedRows().size()); });
    for (int i = 0; i < n; ++i) {
        // Cancel is looked at between items; the item in hand is finished first.
        if (CancelRequested()) break;
        QString name;
        bool found = false;
        CallUi([&] {
            const QList<int> rows = m_pListView->SelectedRows();
            if (rows.isEmpty()) return;
            name = m_pListView->Model()->RowAt(rows.first()).text[CFileListModel::kName];
            found = true;
        });
        if (!found) break;
        const QString path = CJobPaths::Join(m_currentPath, name);
        SetStatus(i * 100 / n);
        if (IsFolder(path, onPc, true)) {
            if (!DeleteTree(path)) {
                SetFinished();
                return;
            }
            CallUi([&] {
                QTreeWidgetItem* current = m_pFolderView->CurrentFolderItem();
                for (int c = 0; current && c < current->childCount(); ++c) {
                    if (current->child(c)->text(0) == name) {
                        // The row that points at the item goes first.
                        const int row = m_pListView->FindRow(name);
                        if (row >= 0) m_pListView->Model()->RemoveRow(row);
                        delete current->child(c);
                        break;
                    }
                }
            });
        } else {
            SetCurrent(name);
            if (!DeleteFile(path, onPc)) {
                ErrorBox(tr("Delete file:\"%1\" fail").arg(name));
                SetFinished();
                return;
            }
        }
        CallUi([&] {
            const int row = m_pListView->FindRow(name);
            if (row >= 0) m_pListView->Model()->RemoveRow(row);
        });
    }
    SetFinished();
}

bool CFileOpDlg::DeleteTree(const QString& folder) {
    CPcFolderWalk::Hooks hooks;
    hooks.stopped = [this] { return StopRequested(); };
    hooks.current = [this](const QString& name) { SetCurrent(name); };
    hooks.fileDeleteFailed = [this](const QString& name) {
        ErrorBox(tr("Delete file:\"%1\" fail").arg(name));
    };
    hooks.folderDeleteFailed = [this](const QString& name) {
        ErrorBox(tr("Delete folder:\"%1\" fail").arg(name));
    };
    return CPcFolderWalk::DeleteTree(folder, hooks);
}

bool CFileOpDlg::CopyTree(const QString& src, const QString& dst) {
    CPcFolderWalk::Hooks hooks;
    hooks.stopped = [this] { return StopRequested(); };
    hooks.current = [this](const QString& name) { SetCurrent(name); };
    hooks.copyFile = [](const QString& from, const QString& to) {
        const std::u16string f = Wide(from), t = Wide(to);
        return ZOT_CopyFileW(f.c_str(), t.c_str(), 1) != 0;
    };
    // A file that cannot be copied is told about like a top-level one, not dropped silently.
    hooks.fileCopyFailed = [this](const QString& from) { return ContinueAfterFailure(from, 0); };
    return CPcFolderWalk::CopyTree(src, dst, hooks);
}

int CFileOpDlg::PasteJob() {
    if (m_currentPath.isEmpty()) {
        ErrorBox(tr("Cannot paste to here!"));
        SetFinished();
        return 0;
    }
    const bool destLocal = !CDevicePath::IsDevicePath(m_currentPath);
    bool yesToAll = false;
    const QStringList sources = m_pSources ? *m_pSources : QStringList();
    for (const QString& src : sources) {
        if (CancelRequested()) break;
        const bool sourceLocal = !CDevicePath::IsDevicePath(src);
        const QString name = CJobPaths::LastName(src);
        QString dst = CJobPaths::Join(m_currentPath, name);
        if (CJobPaths::IsSameOrInside(src, dst)) {
            ErrorBox(tr("source path equal destination path, cancel copy!"));
            SetFinished();
            return 0;
        }
        // A name that would be a path of its own ("..", "a/b", "a\b") could write outside the
        // chosen folder on either side: it is not copied.
        const std::optional<QString> pcPath = CDevicePath::PcPathFor(m_currentPath, name);
        if (destLocal && pcPath) dst = *pcPath;
        if (!CDevicePath::IsSafeName(name) || (destLocal && !pcPath)) {
            if (!ContinueAfterFailure(src, ZOT_COPY_CREATE_FAILED)) {
                SetFinished();
                return 0;
            }
            continue;
        }
        if (IsFolder(src, sourceLocal, false)) {
            if (!destLocal) {
                if (AppBox(tr("Cannot copy folder ") + src + tr(" ! Continue with next file?"),
                           true) != QMessageBox::Yes) {
                    SetFinished();
                    return 0;
                }
                continue;
            }
            // An existing folder of that name is copied into; anything else in the way stops.
            const bool existed = CPcFolderWalk::IsFolder(dst);
            if (!existed && !QDir().mkdir(dst)) {
                SetFinished();
                return 0;
            }
            if (!existed) {
                CallUi([&] {
                    QTreeWidgetItem* item =
                        m_pFolderView->InsertFolder(m_pFolderView->CurrentFolderItem(), name);
                    const int row = m_pListView->Model()->AppendRow(
                        name, CIconCache::kFolder, reinterpret_cast<quintptr>(item));
                    m_pListView->Model()->SetText(row, CFileListModel::kType, tr("Folder"));
                });
            }
            if (!CopyTree(src, dst)) {
                SetFinished();
                return 0;
            }
            continue;
        }
        SetCurrent(name);
        if (!destLocal && CWireText::EncodedLength(name) > kMaxDeviceName) {
            if (AppBox("[" + name + "]" +
                           tr(" Filename length larger than 16 bytes. Copy failed. Continue "
                              "with next file?"),
                       true) != QMessageBox::Yes) {
                SetFinished();
                return 0;
            }
            continue;
        }
        if (!destLocal && CWireText::EncodedLength(name) < 0) {
            // The wire code page cannot carry the name at all.
            if (!ContinueAfterFailure(src, ZOT_COPY_CREATE_FAILED)) {
                SetFinished();
                return 0;
            }
            continue;
        }
        if (!yesToAll) {
            bool exists = false;
            if (destLocal) {
                exists = CPcFolderWalk::Exists(dst);
            } else {
                const QString bare = QString(dst).remove(CDevicePath::EntryPrefix());
                CallUi([&] { exists = m_pListView->HasRow(bare); });
            }
            if (exists) {
                const int answer = AskOverwrite(dst);
                if (answer == COverwriteDlg::kAll) {
                    yesToAll = true;
                } else if (answer == COverwriteDlg::kNo) {
                    continue;
                } else if (answer != COverwriteDlg::kYes) {
                    SetFinished();
                    return 0;
                }
            }
        }
        const std::u16string src16 = Wide(src), dst16 = Wide(dst);
        SetStatus(0);
        if (ZOT_CopyFileExW(src16.c_str(), dst16.c_str(), 0, StatusWord(), CancelWord(), 1) == 0) {
            AppBox(tr("Copy fail!!"), false);
            SetFinished();
            return 0;
        }
        // The copy engine raises the word on its own thread; looking every millisecond notices
        // a file's end at once, where a long wait would idle for every small file.
        while (Status() < ZOT_COPY_DONE) QThread::usleep(1000);
        if (CancelRequested()) return 0;
        const int32_t status = Status();
        if (status == ZOT_COPY_DONE) {
            if (destLocal) {
                const QFileInfo info(dst);
                if (!info.exists()) {
                    SetFinished();
                    return 0;
                }
                if (m_pfnRowCallback)
                    CallUi([&] { m_pfnRowCallback(1, &info, m_pCallbackContext); });
            } else {
                ZOT_FIND_DATA record{};
                record.dwTime = LocalTimeAsUtc();
                if (sourceLocal)
                    record.nFileSize = static_cast<uint32_t>(QFileInfo(src).size() & 0xffffffff);
                const QByteArray wire = CWireText::Encode(name);
                std::memcpy(record.cFileName, wire.constData(),
                            static_cast<size_t>(std::min<qsizetype>(wire.size(), kMaxDeviceName)));
                if (m_pfnRowCallback)
                    CallUi([&] { m_pfnRowCallback(0, &record, m_pCallbackContext); });
            }
            continue;
        }
        if (!ContinueAfterFailure(src, status)) {
            SetFinished();
            return 0;
        }
    }
    SetFinished();
    return 1;
}
