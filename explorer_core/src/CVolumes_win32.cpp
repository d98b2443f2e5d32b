#include <windows.h>

#include "CVolumes.h"

std::vector<CVolumes::Volume> CVolumes::Mounted() {
    // An empty card reader or optical drive must not stop the tree with a "no disk" box.
    const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    std::vector<Volume> out;
    const DWORD letters = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (!(letters & (DWORD(1) << i))) continue;
        const QString shown = QString(QChar(u'A' + i)) + QLatin1Char(':');
        const std::wstring root = (shown + QLatin1Char('\\')).toStdWString();
        Volume v;
        switch (GetDriveTypeW(root.c_str())) {
            case DRIVE_REMOVABLE:
                v.kind = Kind::Removable;
                break;
            case DRIVE_CDROM:
                v.kind = Kind::Optical;
                break;
            case DRIVE_REMOTE:
                v.kind = Kind::Network;
                break;
            case DRIVE_FIXED:
            case DRIVE_RAMDISK:
                v.kind = Kind::Fixed;
                break;
            default:  // no root folder, or a kind Windows does not know
                continue;
        }
        // Removable and optical drives are named by kind; asking an empty one for its label
        // would only wait for the drive.
        if (v.kind == Kind::Fixed || v.kind == Kind::Network) {
            wchar_t label[MAX_PATH + 1] = {};
            if (GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr,
                                      nullptr, 0))
                v.label = QString::fromWCharArray(label);
        }
        v.rootPath = shown + QLatin1Char('/');
        v.shown = shown;
        out.push_back(v);
    }
    SetErrorMode(oldMode);
    return out;
}
