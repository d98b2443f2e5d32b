#include "CFileCommands.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMessageBox>

#include "CClipboardFiles.h"
#include "CDeleteJob.h"
#include "CFileListView.h"
#include "CPasteJob.h"

void CFileCommands::Copy(const Frame& frame, CPaneSelection::Pane pane) {
    if (!CPaneSelection::CopyRule(*frame.tree, *frame.list, pane)) return;
    if (!CPaneSelection::CopyToClipboard(*frame.tree, *frame.list, pane))
        frame.message(frame.policy.clipboardRefused, QMessageBox::Ok, QMessageBox::Warning, {});
}

void CFileCommands::Paste(const Frame& frame) {
    const QMimeData* offered = QGuiApplication::clipboard()->mimeData();
    if (!offered) {
        frame.message(frame.policy.clipboardUnavailable, QMessageBox::Ok, QMessageBox::Warning, {});
        return;
    }
    PasteSources(frame, CClipboardFiles::Read(offered));
}

void CFileCommands::PasteSources(const Frame& frame, const QStringList& sources) {
    if (sources.isEmpty()) return;
    frame.list->DeselectAll();
    CFileJobDialog dlg(frame.jobTexts, CFileJobDialog::Animation::Copy, frame.window);
    dlg.SetApplicationOwner(frame.window);
    dlg.Run([views = frame.views, backend = frame.backend, policy = frame.policy,
             sources](IJobHost& host) { CPasteJob(host, *views, *backend, policy).Run(sources); });
    frame.list->FocusList();
}

void CFileCommands::Delete(const Frame& frame, CPaneSelection::Pane pane) {
    if (!CPaneSelection::CopyRule(*frame.tree, *frame.list, pane)) return;
    const auto [name, folder, count] = CPaneSelection::ForDelete(*frame.tree, *frame.list, pane);
    const CJobPolicy& p = frame.policy;
    QString caption, text;
    if (count == 1 && folder) {
        caption = p.confirmFolderCaption;
        text = p.confirmFolder(name);
    } else if (count == 1) {
        caption = p.confirmFileCaption;
        text = p.confirmFile(name);
    } else {
        caption = p.confirmManyCaption;
        text = p.confirmMany(count);
    }
    if (frame.message(text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Question, caption) ==
        QMessageBox::No)
        return;
    // The pane as it was when the command came: closing the box hands the focus to either.
    const bool treeFolder = pane == CPaneSelection::Pane::Tree;
    CFileJobDialog dlg(frame.jobTexts, CFileJobDialog::Animation::Delete, frame.window);
    dlg.SetApplicationOwner(frame.window);
    dlg.SetCancellable(frame.deleteCancellable);
    dlg.Run([views = frame.views, backend = frame.backend, policy = frame.policy, treeFolder](
                IJobHost& host) { CDeleteJob(host, *views, *backend, policy).Run(treeFolder); });
}
