#include "CTallowView.h"

#include "CIconCache.h"
#include "CTallowApp.h"
#include "CTextFormats.h"

CTallowView::CTallowView(CTallowApp* app, QWidget* parent) : CFileListView(&app->Icons(), parent) {
    Model()->SetHeaders({tr("名称"), tr("大小"), tr("类型"), tr("修改时间")});
    SetTexts({&CTallowView::DeviceSizeText, &CTallowView::DeviceTimeText, true});
}

QString CTallowView::DriveTypeText(int image) {
    switch (image) {
        case CIconCache::kRemovable:
            return tr("3.5英寸软盘");
        case CIconCache::kOptical:
            return tr("光盘");
        case CIconCache::kNetwork:
            return tr("网络驱动器");
        case CIconCache::kFixedDrive:
        default:
            return tr("本地磁盘");
    }
}

CFolderListing::Texts CTallowView::ListingTexts() {
    CFolderListing::Texts t;
    t.systemFolder = tr("系统文件夹");
    t.folder = tr("文件夹");
    t.drives = {&CTallowView::DriveTypeText, tr("没有检测"), tr("%.2f GB(剩余%.0f MB)"),
                tr("%.0f MB((剩余%.0f MB))")};
    t.devicesType = tr("掌上识读设备");
    t.storeFormat = tr("%.0f KB(剩余%.0f KB)");
    return t;
}

QString CTallowView::DeviceSizeText(uint64_t size) {
    return QString::asprintf("%llu", static_cast<unsigned long long>(size)) + tr("字节");
}

QString CTallowView::DeviceTimeText(int64_t timeMs) {
    if (timeMs == 0) return tr("未知");
    const QDateTime utc = QDateTime::fromSecsSinceEpoch(timeMs / 1000, Qt::UTC);
    if (!utc.isValid() || utc.date().year() < 0 || utc.date().year() > 9999)
        return QStringLiteral("0000-00-00 00:00:00");
    return CTextFormats::PcTime(utc);
}
