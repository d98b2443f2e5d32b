#include "CTallowJobTexts.h"

void CTallowJobTexts::Add(CJobPolicy& p) {
    p.lineBroke = [](const QString& src) {
        return QStringLiteral(
                   "[%1] 与掌上设备的连接已断开，已拷贝的部分已保留。\n"
                   "请重新连接设备后选“是”从中断处继续拷贝，选“否”停止拷贝。")
            .arg(src);
    };
    p.linkToFolder = [](const QString& src) {
        return QStringLiteral("[%1] 是指向文件夹的链接，链接不会被跟随，未拷贝。继续下一个文件？")
            .arg(src);
    };
    p.notAFile = [](const QString& src) {
        return QStringLiteral("[%1] 不是普通文件（管道、设备或套接字），不能拷贝。继续下一个文件？")
            .arg(src);
    };
    p.terminalFolder = [](const QString& src) {
        return QStringLiteral("[%1] 是掌上设备上的文件夹，设备上的文件夹不能拷贝。继续下一个文件？")
            .arg(src);
    };
}
