#include "CDlgProcess.h"

#include <DriftboxClient.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <mutex>
#include <optional>

#include "CDevicePath.h"
#include "CJobPaths.h"
#include "CLeftView.h"
#include "CLocalCopyThread.h"
#include "CPcFolderWalk.h"
#include "CTallowApp.h"
#include "CTallowView.h"

CDlgProcess::CDlgProcess(CTallowApp* app, QWidget* parent) : CFileJobDialog(parent), m_app(app) {
    SetTexts({tr("正在复制..."),
              tr("取消"),
              tr("正在取消......"),
              {QStringLiteral("Overwrite confirm"), tr("是(&Y)"), tr("全部(&A)"), tr("否(&N)"),
               tr("取消(&C)")}});
}

QString CDlgProcess::OutcomeText(int status) {
    switch (status) {
        case 101:
            return tr("通信中断,请注意是否通信正常.");
        case 102:
            return tr("读取文件出错,请注意是否通信正常.");
        case 103:
            return tr("写入目标文件出错,请注意是否通信正常.");
        default:
            return tr("其它错误,请注意是否通信正常.");
    }
}

QString CDlgProcess::OverwriteQuestion(const QString& target) {
    return tr("目标文件 ") + target + tr(" 已存在。是否覆盖?") + QLatin1Char('\n') + tr("选 ") +
           QStringLiteral("\"取消\"") + tr("，不覆盖且放弃下一个文件的拷贝。");
}

void CDlgProcess::showEvent(QShowEvent* event) {
    setWindowTitle(m_strCaption);
    SetAnimation(m_nMode == kDelete ? Animation::Delete : Animation::Copy);
    if (m_nMode == kDelete) CancelButton()->hide();
    CFileJobDialog::showEvent(event);
}

void CDlgProcess::reject() {
    if (m_nMode == kDelete) return;
    CFileJobDialog::reject();
}

int CDlgProcess::ErrorBox(const QString& caption, const QString& text) {
    CJobQuestion q;
    q.owner = CJobQuestion::Owner::Dialog;
    q.caption = caption;
    q.text = text;
    q.buttons = QMessageBox::Ok;
    q.icon = QMessageBox::Critical;
    return Ask(q);
}

bool CDlgProcess::YesNo(const QString& text) {
    CJobQuestion q;
    q.owner = CJobQuestion::Owner::Application;
    q.caption = QStringLiteral("DriftboxGUI");
    q.text = text;
    q.buttons = int(QMessageBox::Yes | QMessageBox::No);
    q.icon = QMessageBox::Question;
    return Ask(q) == QMessageBox::Yes;
}

void CDlgProcess::RunJob() {
    CallUi([this] { m_currentPath = m_pTree->CurrentPath(); });
    if (m_nMode == kDelete)
        DeleteJob();
    else
        PasteJob();
    SetFinished();
}

bool CDlgProcess::CopyTree(const QString& src, const QString& dst) {
    CPcFolderWalk::Hooks hooks;
    hooks.stopped = [this] { return StopRequested(); };
    hooks.current = [this](const QString& name) { SetCurrent(name); };
    // The system's copy: an existing file of that name is kept and the copy fails.
    hooks.copyFile = [](const QString& from, const QString& to) { return QFile::copy(from, to); };
    hooks.fileCopyFailed = [](const QString&) { return false; };
    return CPcFolderWalk::CopyTree(src, dst, hooks);
}

bool CDlgProcess::Transfer(bool sourceLocal, bool targetLocal, const QString& src,
                           const QString& name, const QString& target) {
    if (sourceLocal && targetLocal) {
        // The worker judges the file only after the copy thread has ended.
        std::thread copy = CLocalCopyThread::Start(src, target, StatusWord(), CancelWord());
        copy.join();
        return true;
    }
    if (!sourceLocal && !targetLocal) return true;  // nothing moves between two terminal names
    const int32_t handle = m_app->Backend().Handle();
    std::lock_guard<std::mutex> gate(m_app->Backend().Gate());
    int32_t rc = 0;
    if (targetLocal) {
        rc = RequestReceiveFileExt(handle, name.toLocal8Bit().constData(),
                                   QFile::encodeName(target).constData(), StatusWord(), 0,
                                   CancelWord(), 1);
    } else {
        rc = RequestSendFileExt(handle, QFile::encodeName(src).constData(),
                                name.toLocal8Bit().constData(), StatusWord(), 0, CancelWord(), 1);
    }
    return rc == 0;
}

void CDlgProcess::PasteJob() {
    if (m_currentPath.isEmpty()) {
        ErrorBox(QStringLiteral("Error"), QStringLiteral("Cannot paste to here!"));
        return;
    }
    const bool targetLocal = !CDevicePath::IsDevicePath(m_currentPath);
    bool all = false;
    for (const QString& src : m_paths) {
        if (CancelRequested()) return;
        // Decided per path: a list mixing both sides never reads a PC path as a terminal name.
        const bool sourceLocal = !CDevicePath::IsDevicePath(src);
        const QString name = CJobPaths::LastName(src);
        QString target = CJobPaths::Join(m_currentPath, name);
        if (CJobPaths::IsSameOrInside(src, target)) {
            ErrorBox(tr("错误"), tr("源文件夹与目标文件夹相同, 复制失败!"));
            return;
        }
        // A name that is a path of its own ("..", "a/b") would leave the chosen folder.
        std::optional<QString> pcTarget;
        if (targetLocal) pcTarget = CDevicePath::PcPathFor(m_currentPath, name);
        if (!CDevicePath::IsSafeName(name) || (targetLocal && !pcTarget)) {
            if (!YesNo("[" + src + "]" + OutcomeText(105) + " Continue with next file?")) return;
            continue;
        }
        if (pcTarget) target = *pcTarget;
        // Only looked at: the read-only state of a paste source stays as the user left it.
        if (sourceLocal && CPcFolderWalk::IsFolder(src)) {
            if (!targetLocal) {
                if (!YesNo(tr("不能拷贝文件夹 ") + src + tr(" ！ 继续下一个文件？"))) return;
                continue;
            }
            if (!QDir().mkdir(target)) return;
            CallUi([&] {
                QTreeWidgetItem* item = m_pTree->InsertFolder(m_pTree->CurrentFolderItem(), name);
                const int row = m_pList->Model()->AppendRow(name, CIconCache::kFolder,
                                                            reinterpret_cast<quintptr>(item));
                m_pList->Model()->SetText(row, CFileListModel::kType, tr("文件夹"));
            });
            if (!CopyTree(src, target)) return;
            continue;
        }
        SetCurrent(name);
        const int limit = m_app->NameLimit();
        if (!targetLocal && name.toLocal8Bit().size() > limit) {
            if (!YesNo(tr("[%1] 文件名大于 %2 个字节,拷贝失败！继续下一个文件？")
                           .arg(name)
                           .arg(limit)))
                return;
            continue;
        }
        if (!all) {
            bool exists = false;
            if (targetLocal)
                exists = CPcFolderWalk::Exists(target);
            else
                CallUi([&] { exists = m_pList->HasRow(name); });
            if (exists) {
                CJobQuestion q;
                q.kind = CJobQuestion::Kind::Overwrite;
                q.caption = QStringLiteral("Overwrite confirm");
                q.text = OverwriteQuestion(target);
                const int answer = Ask(q);
                if (answer == COverwriteDlg::kAll)
                    all = true;
                else if (answer == COverwriteDlg::kNo)
                    continue;
                else if (answer != COverwriteDlg::kYes)
                    return;
            }
        }
        SetStatus(0);
        if (!Transfer(sourceLocal, targetLocal, src, name, target)) {
            if (!CancelRequested()) {
                CJobQuestion q;
                q.owner = CJobQuestion::Owner::Application;
                q.caption = QStringLiteral("DriftboxGUI");
                q.text = tr("拷贝文件出错");
                q.icon = QMessageBox::Warning;
                Ask(q);
            }
            return;
        }
        if (CancelRequested()) return;
        const int32_t status = Status();
        if (status == 100) {
            if (targetLocal) {
                const QFileInfo info(target);
                if (!info.exists()) return;
                if (m_pfnRowCallback)
                    CallUi([&] { m_pfnRowCallback(true, &info, m_pCallbackContext); });
            } else {
                CDriftboxBackend::Record record;
                record.name = name;
                // The full size: the low 32 bits alone would show a 4 GiB file as a small one.
                record.size = sourceLocal ? static_cast<uint64_t>(QFileInfo(src).size()) : 0;
                if (m_pfnRowCallback)
                    CallUi([&] { m_pfnRowCallback(false, &record, m_pCallbackContext); });
            }
            continue;
        }
        if (!YesNo("[" + src + "]" + OutcomeText(status) + " Continue with next file?")) return;
    }
}

bool CDlgProcess::DeleteTree(const QString& folder) {
    CPcFolderWalk::Hooks hooks;
    hooks.current = [this](const QString& name) { SetCurrent(name); };
    hooks.fileDeleteFailed = [this](const QString& name) {
        ErrorBox(tr("错误"), tr("删除文件 “%1” 失败").arg(name));
    };
    hooks.folderDeleteFailed = [this](const QString& name) {
        ErrorBox(tr("错误"), tr("删除文件夹 “%1” 失败").arg(name));
    };
    return CPcFolderWalk::DeleteTree(folder, hooks);
}

bool CDlgProcess::DeleteDeviceFile(const QString& name) {
    const int32_t handle = m_app->Backend().Handle();
    std::lock_guard<std::mutex> gate(m_app->Backend().Gate());
    return RequestDeleteFileExt(handle, name.toLocal8Bit().constData()) == 0;
}

void CDlgProcess::DeleteJob() {
    const bool local = !CDevicePath::IsDevicePath(m_currentPath);
    if (m_bTreeActive) {
        if (!local || !CPcFolderWalk::IsFolder(m_currentPath) || !DeleteTree(m_currentPath)) return;
        CallUi([this] {
            QTreeWidgetItem* old = m_pTree->CurrentFolderItem();
            QTreeWidgetItem* parent = old ? old->parent() : nullptr;
            if (!parent) return;
            m_pTree->SelectFolder(parent);
            delete old;
        });
        return;
    }
    const int n = m_nSelected;
    for (int i = 0; i < n; ++i) {
        QString name;
        bool found = false;
        CallUi([&] {
            const QList<int> rows = m_pList->SelectedRows();
            if (rows.isEmpty()) return;
            name = m_pList->Model()->RowAt(rows.first()).text[CFileListModel::kName];
            found = true;
        });
        if (!found) return;
        SetStatus(100 * i / n);
        const QString path = CJobPaths::Join(m_currentPath, name);
        if (local && CPcFolderWalk::IsFolder(path)) {
            if (!DeleteTree(path)) return;
            CallUi([&] {
                // The row points at the tree item; it goes first.
                const int row = m_pList->FindRow(name);
                if (row >= 0) m_pList->Model()->RemoveRow(row);
                m_pTree->RemoveChildNamed(name);
            });
        } else {
            SetCurrent(name);
            bool deleted = false;
            if (local) {
                const QByteArray p = QFile::encodeName(path);
                CPcFolderWalk::ClearReadOnly(path);
                deleted = ::unlink(p.constData()) == 0;
            } else {
                deleted = DeleteDeviceFile(name);
            }
            if (!deleted) {
                ErrorBox(tr("错误"), tr("删除文件 “%1” 失败").arg(name));
                return;
            }
        }
        CallUi([&] {
            const int row = m_pList->FindRow(name);
            if (row >= 0) m_pList->Model()->RemoveRow(row);
            emit m_pList->contentsChanged();
        });
    }
}
