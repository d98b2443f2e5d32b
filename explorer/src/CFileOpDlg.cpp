#include "CFileOpDlg.h"

#include "CDeleteJob.h"
#include "CPasteJob.h"
#include "CVelkorJobTexts.h"

CFileOpDlg::CFileOpDlg(QWidget* parent) : CFileJobDialog(parent) {
    SetTexts(
        {tr("Status"),
         tr("Cancel"),
         tr("Cancel..."),
         {QStringLiteral("Overwrite confirm"), tr("&Yes"), tr("&All"), tr("&No"), tr("&Cancel")},
         {},
         {},
         {}});
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

void CFileOpDlg::SetOrder(const Order& order) {
    const bool paste = order.kind == Order::Kind::Paste;
    m_nOperation = paste ? kPaste : kDelete;
    m_strTitle = paste ? tr("Copying...") : tr("Deleting...");
    setWindowTitle(m_strTitle);
    SetAnimation(paste ? Animation::Copy : Animation::Delete);
    m_pSources = &order.sources;
    m_nItems = order.count;
    m_pViews = order.views;
    m_bTreeActive = order.treeFolder;
}

CJobPolicy CFileOpDlg::Policy() {
    CJobPolicy p;
    p.errorCaption = tr("Error");
    p.cannotPasteCaption = tr("Error");
    p.cannotPasteHere = tr("Cannot paste to here!");
    p.samePath = tr("source path equal destination path, cancel copy!");
    p.appCaption = QStringLiteral("Quayside");
    p.cannotCopyFolder = [](const QString& src) {
        return tr("Cannot copy folder ") + src + tr(" ! Continue with next file?");
    };
    p.nameTooLong = [](const QString& name, int) {
        return "[" + name + "]" +
               tr(" Filename length larger than 16 bytes. Copy failed. Continue with next file?");
    };
    p.outcome = &CFileOpDlg::ErrorText;
    p.continueNext = tr(" Continue with next file?");
    p.overwriteQuestion = [](const QString& target) {
        return tr("Destination ") + target +
               tr(" already exists. Overwrite?\nSelecting \"Cancel\" will abort copying remaining "
                  "files.");
    };
    p.copyFailed = tr("Copy fail!!");
    p.deleteFileFailed = [](const QString& name) {
        return tr("Delete file:\"%1\" fail").arg(name);
    };
    p.deleteFolderFailed = [](const QString& name) {
        return tr("Delete folder:\"%1\" fail").arg(name);
    };
    p.folderType = tr("Folder");
    p.clipboardRefused = tr("Can't open the Clipboard");
    p.clipboardUnavailable = tr("Cannot open the Clipboard");
    p.confirmFolderCaption = tr("Confirm delete folder");
    p.confirmFolder = [](const QString& name) {
        return tr("Confirm delete folder:\"%1\" and all contents ?").arg(name);
    };
    p.confirmFileCaption = tr("Confirm delete file");
    p.confirmFile = [](const QString& name) { return tr("Confirm delete:\"%1\" ?").arg(name); };
    p.confirmManyCaption = tr("Confirm delete multi file");
    p.confirmMany = [](int count) { return tr("Confirm delete these %1 items ?").arg(count); };
    p.nameLimit = 16;
    p.mergeIntoExistingFolder = true;
    p.askAfterFailureInFolder = true;
    p.stampDeviceRows = true;
    CVelkorJobTexts::Add(p);
    return p;
}

void CFileOpDlg::RunJob() {
    if (!m_pViews || !m_pBackend) return;
    const CJobPolicy policy = Policy();
    if (m_nOperation == kDelete) {
        CDeleteJob(*this, *m_pViews, *m_pBackend, policy).Run(m_bTreeActive);
    } else if (m_nOperation == kPaste) {
        CPasteJob(*this, *m_pViews, *m_pBackend, policy)
            .Run(m_pSources ? *m_pSources : QStringList());
    }
}
