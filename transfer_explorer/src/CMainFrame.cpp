#include "CMainFrame.h"

#include "CDlgProcess.h"
#include "CLeftView.h"
#include "CTallowApp.h"
#include "CTallowView.h"

CMainFrame::CMainFrame(CTallowApp* app)
    : CExplorerFrame(*app, new CLeftView(app), new CTallowView(app), FrameTexts(), FrameRules()) {}

CLeftView* CMainFrame::LeftView() const {
    return static_cast<CLeftView*>(Tree());
}

CTallowView* CMainFrame::ListView() const {
    return static_cast<CTallowView*>(List());
}

CExplorerFrame::Texts CMainFrame::FrameTexts() {
    Texts t;
    t.fileMenu = tr("文件(&F)");
    t.editMenu = tr("编辑(&E)");
    t.viewMenu = tr("查看(&V)");
    t.helpMenu = tr("帮助(&H)");
    t.setup = tr("设置(&S)");
    t.connect = tr("连接(&L)");
    t.exit = tr("关闭(&X)");
    t.copy = tr("复制(&C)");
    t.copyTip = tr("复制");
    t.paste = tr("粘贴(&P)");
    t.pastePrompt = tr("将剪贴板上内容粘贴到目标目录\n粘贴");
    t.del = tr("删除(&D)");
    t.deletePrompt = tr("将选中文件删除\n删除");
    t.up = tr("向上");
    t.upPrompt = tr("向上一级\n向上");
    t.refresh = tr("刷新(&R)");
    t.refreshPrompt = tr("刷新列表\n刷新");
    t.modes[0] = tr("大图标(&G)");
    t.modes[1] = tr("小图标(&M)");
    t.modes[2] = tr("列表(&L)");
    t.modes[3] = tr("详细资料(&D)");
    t.toolBar = tr("工具栏");
    t.toolBarToggle = tr("工具栏(&T)");
    t.statusBarToggle = tr("状态栏(&S)");
    t.about = tr("关于 Driftbox(&A)...");
    t.ready = tr("就绪");
    t.linkDown = tr(" - 设备无响应");
    t.tree = CLeftView::TreeLabels();
    t.listing = CTallowView::ListingTexts();
    t.job = CDlgProcess::Texts();
    return t;
}

CExplorerFrame::Rules CMainFrame::FrameRules() {
    Rules r;
    r.selectRootAtStart = false;
    r.pasteInsertInListOnly = true;
    r.newOpenRebuildTree = true;
    r.deleteCancellable = false;
    return r;
}
