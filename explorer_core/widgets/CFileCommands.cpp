#include "CFileCommands.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMessageBox>

#include "CClipboardFiles.h"
#include "CFileListView.h"

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
    CFileJobDialog::Order order;
    order.kind = CFileJobDialog::Order::Kind::Paste;
    order.sources = CClipboardFiles::Read(offered);
    if (order.sources.isEmpty()) return;
    order.count = static_cast<int>(order.sources.size());
    order.views = frame.views;
    frame.list->DeselectAll();
    const std::unique_ptr<CFileJobDialog> dlg = frame.makeDialog();
    dlg->SetApplicationOwner(frame.window);
    dlg->SetOrder(order);
    dlg->exec();
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
    CFileJobDialog::Order order;
    order.kind = CFileJobDialog::Order::Kind::Delete;
    order.count = count;
    // The pane as it was when the command came: closing the box hands the focus to either.
    order.treeFolder = pane == CPaneSelection::Pane::Tree;
    order.views = frame.views;
    const std::unique_ptr<CFileJobDialog> dlg = frame.makeDialog();
    dlg->SetApplicationOwner(frame.window);
    dlg->SetOrder(order);
    dlg->exec();
}
