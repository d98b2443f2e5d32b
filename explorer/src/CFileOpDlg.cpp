#include "CFileOpDlg.h"

#include "CJobProgressText.h"
#include "CVelkorJobTexts.h"

CFileJobDialog::Texts CFileOpDlg::Texts() {
    CFileJobDialog::Texts t;
    t.copying = tr("Copying...");
    t.deleting = tr("Deleting...");
    t.cancel = tr("Cancel");
    t.cancelling = tr("Cancel...");
    t.overwrite = {QStringLiteral("Overwrite confirm"), tr("&Yes"), tr("&All"), tr("&No"),
                   tr("&Cancel")};
    t.progressLine = [](const CJobProgress& p) {
        return CJobProgressText::Line(
            p, {tr("File %1 of %2"), tr("%1 of %2"), tr("%1/s"), tr("%1 left"), tr("retries: %1")});
    };
    return t;
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
