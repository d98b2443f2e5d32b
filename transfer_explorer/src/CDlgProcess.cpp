#include "CDlgProcess.h"

#include "CJobProgressText.h"
#include "CTallowJobTexts.h"

CFileJobDialog::Texts CDlgProcess::Texts() {
    CFileJobDialog::Texts t;
    t.copying = tr("正在复制...");
    t.deleting = tr("正在删除...");
    t.cancel = tr("取消");
    t.cancelling = tr("正在取消......");
    t.overwrite = {QStringLiteral("Overwrite confirm"), tr("是(&Y)"), tr("全部(&A)"), tr("否(&N)"),
                   tr("取消(&C)")};
    t.ok = tr("确定");
    t.yes = tr("是(&Y)");
    t.no = tr("否(&N)");
    t.progressLine = [](const CJobProgress& p) {
        return CJobProgressText::Line(p, {tr("第 %1 个文件，共 %2 个"), tr("%1 / %2"), tr("%1/秒"),
                                          tr("剩余 %1"), tr("重试 %1 次")});
    };
    return t;
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

CJobPolicy CDlgProcess::Policy(int nameLimit) {
    CJobPolicy p;
    p.errorCaption = tr("错误");
    p.cannotPasteCaption = QStringLiteral("Error");
    p.cannotPasteHere = QStringLiteral("Cannot paste to here!");
    p.samePath = tr("源文件夹与目标文件夹相同, 复制失败!");
    p.appCaption = QStringLiteral("DriftboxGUI");
    p.cannotCopyFolder = [](const QString& src) {
        return tr("不能拷贝文件夹 ") + src + tr(" ！ 继续下一个文件？");
    };
    p.nameTooLong = [](const QString& name, int limit) {
        return tr("[%1] 文件名大于 %2 个字节,拷贝失败！继续下一个文件？").arg(name).arg(limit);
    };
    p.outcome = &CDlgProcess::OutcomeText;
    p.continueNext = QStringLiteral(" Continue with next file?");
    p.overwriteQuestion = &CDlgProcess::OverwriteQuestion;
    p.copyFailed = tr("拷贝文件出错");
    p.deleteFileFailed = [](const QString& name) { return tr("删除文件 “%1” 失败").arg(name); };
    p.deleteFolderFailed = [](const QString& name) { return tr("删除文件夹 “%1” 失败").arg(name); };
    p.folderType = tr("文件夹");
    p.nameLimit = nameLimit;
    p.clipboardRefused = QStringLiteral("Can't open the Clipboard");
    p.clipboardUnavailable = QStringLiteral("Cannot open the Clipboard");
    p.confirmFolderCaption = tr("确认文件夹删除");
    p.confirmFolder = [](const QString& name) {
        return tr("确实要删除文件夹 “%1” 并全部内容吗？").arg(name);
    };
    p.confirmFileCaption = tr("确认文件删除");
    p.confirmFile = [](const QString& name) { return tr("确实要删除 “%1” 吗？").arg(name); };
    p.confirmManyCaption = tr("确认删除多个文件");
    p.confirmMany = [](int count) { return tr("确实要删除这%1项吗？").arg(count); };
    CTallowJobTexts::Add(p);
    // Texts of our own, kept apart from the standard ones above.
    p.folderNotCreated = [](const QString& folder, bool exists) {
        return exists ? tr("目标文件夹 “%1” 已存在，粘贴已结束。").arg(folder)
                      : tr("无法创建文件夹 “%1”，粘贴已结束。").arg(folder);
    };
    return p;
}
