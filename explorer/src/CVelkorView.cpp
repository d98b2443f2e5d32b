#include "CVelkorView.h"

#include "CIconCache.h"
#include "CTextFormats.h"
#include "CVelkorApp.h"

CVelkorView::CVelkorView(CVelkorApp* app, QWidget* parent) : CFileListView(&app->Icons(), parent) {
    Model()->SetHeaders({tr("Name"), tr("Size"), tr("Type"), tr("Modify time")});
    Texts texts;
    texts.deviceSize = [format = tr("%u bytes")](uint64_t size) {
        return CTextFormats::DeviceSize(static_cast<uint32_t>(size), format);
    };
    texts.deviceTime = [unknown = tr("Unknown")](int64_t timeMs) {
        return CTextFormats::DeviceTime(static_cast<uint32_t>(timeMs / 1000), unknown);
    };
    SetTexts(texts);
}

QString CVelkorView::TypeTextForImage(int image) {
    switch (image) {
        case CIconCache::kRemovable:
            return tr("3.5 Floppy");
        case CIconCache::kFixedDrive:
            return tr("Local driver");
        case CIconCache::kOptical:
            return tr("CDROM");
        case CIconCache::kNetwork:
            return tr("Network driver");
        default:
            return {};
    }
}

CFolderListing::Texts CVelkorView::ListingTexts() {
    CFolderListing::Texts t;
    t.systemFolder = tr("System folder");
    t.folder = tr("Folder");
    t.drives = {&CVelkorView::TypeTextForImage, tr("No Disk"), tr("%.2f GB(%.0f MB free)"),
                tr("%.0f MB((%.0f MB free))")};
    t.devicesType = tr("Devices");
    t.storeFormat = tr("%.0f KB(%.0f KB free)");
    return t;
}
