#include "CVelkorJobTexts.h"

void CVelkorJobTexts::Add(CJobPolicy& p) {
    p.lineBroke = [](const QString& src) {
        return tr("[%1] The connection to the device was lost. The part already copied is "
                  "kept.\nReconnect the device, then choose Yes to continue where the copy "
                  "stopped, or No to stop copying.")
            .arg(src);
    };
    p.linkToFolder = [](const QString& src) {
        return tr("[%1] is a link to a folder. Links are not followed, so it was not copied. "
                  "Continue with next file?")
            .arg(src);
    };
    p.notAFile = [](const QString& src) {
        return tr("[%1] is not a regular file (a pipe, device or socket) and cannot be copied. "
                  "Continue with next file?")
            .arg(src);
    };
    p.terminalFolder = [](const QString& src) {
        return tr("[%1] is a folder on the device. Folders on the device cannot be copied. "
                  "Continue with next file?")
            .arg(src);
    };
}
