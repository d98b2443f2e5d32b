<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>CAboutDlg</name>
    <message>
        <source>About %1</source>
        <translation>关于 %1</translation>
    </message>
    <message>
        <source>%1 Version %2
Built %3</source>
        <translation>%1 版本 %2
编译日期 %3</translation>
    </message>
</context>
<context>
    <name>CConnectDlg</name>
    <message>
        <source>Message</source>
        <translation>信息</translation>
    </message>
    <message>
        <source>Initialize RPC fail, please comfirm that COM port is not used by other program !</source>
        <translation>初始化RPC出错，请确认COM没有被其它程序使用!</translation>
    </message>
    <message>
        <source>COM:%1, baudrate:%2, connecting...</source>
        <translation>正在以%2的速率连接COM%1掌上设备...</translation>
    </message>
    <message>
        <source>Connected successful !</source>
        <translation>连接成功...</translation>
    </message>
    <message>
        <source>The port %1 did not open: %2.</source>
        <translation>端口%1无法打开：%2。</translation>
    </message>
    <message>
        <source>no such device</source>
        <translation>没有这个设备</translation>
    </message>
    <message>
        <source>permission denied</source>
        <translation>没有权限</translation>
    </message>
    <message>
        <source>in use by another program</source>
        <translation>已被其它程序占用</translation>
    </message>
    <message>
        <source>not a serial device</source>
        <translation>不是串口设备</translation>
    </message>
    <message>
        <source>it does not take the line settings</source>
        <translation>不接受设定的波特率</translation>
    </message>
    <message>
        <source>it cannot be opened</source>
        <translation>无法打开</translation>
    </message>
    <message>
        <source>Add your user to the group dialout: sudo usermod -aG dialout $USER, then log in again</source>
        <translation>请把用户加入dialout组：sudo usermod -aG dialout $USER，然后重新登录</translation>
    </message>
    <message>
        <source>The port %1 opened, but no terminal answered.</source>
        <translation>端口%1已打开，但没有终端应答。</translation>
    </message>
</context>
<context>
    <name>CLeftView</name>
    <message>
        <source>File Explore</source>
        <translation>资源管理器</translation>
    </message>
    <message>
        <source>My Computer</source>
        <translation>我的电脑</translation>
    </message>
    <message>
        <source>Remote Devices</source>
        <translation>掌上设备</translation>
    </message>
    <message>
        <source>3.5 Floppy (%1)</source>
        <translation>3.5软盘 (%1)</translation>
    </message>
    <message>
        <source>CDROM (%1)</source>
        <translation>光盘 (%1)</translation>
    </message>
    <message>
        <source>Home</source>
        <translation>主文件夹</translation>
    </message>
</context>
<context>
    <name>CListFilesDlg</name>
    <message>
        <source>List files</source>
        <translation>查找文件</translation>
    </message>
    <message>
        <source>Listing files, please wait...</source>
        <translation>正在查找并列出文件,请稍候...</translation>
    </message>
    <message>
        <source>Searching successful...</source>
        <translation>查找成功...</translation>
    </message>
</context>
<context>
    <name>CMainFrame</name>
    <message>
        <source>Toolbar</source>
        <translation>工具栏</translation>
    </message>
    <message>
        <source>Ready</source>
        <translation>就绪</translation>
    </message>
    <message>
        <source> - the device is not answering</source>
        <translation> - 设备无响应</translation>
    </message>
    <message>
        <source>File(&amp;F)</source>
        <translation>文件(&amp;F)</translation>
    </message>
    <message>
        <source>Setup(&amp;S)</source>
        <translation>设置(&amp;S)</translation>
    </message>
    <message>
        <source>Connect(&amp;C)</source>
        <translation>连接(&amp;L)</translation>
    </message>
    <message>
        <source>Exit(&amp;X)</source>
        <translation>关闭(&amp;X)</translation>
    </message>
    <message>
        <source>Help(&amp;H)</source>
        <translation>帮助(&amp;H)</translation>
    </message>
    <message>
        <source>About Quaysides(&amp;A)...</source>
        <translation>关于ZOT设备管理器(&amp;A)...</translation>
    </message>
    <message>
        <source>Edit(&amp;E)</source>
        <translation>编辑(&amp;E)</translation>
    </message>
    <message>
        <source>Copy(&amp;C)	Ctrl+C</source>
        <translation>复制(&amp;C)	Ctrl+C</translation>
    </message>
    <message>
        <source>Paste(&amp;P)	Ctrl+V</source>
        <translation>粘贴(&amp;P)	Ctrl+V</translation>
    </message>
    <message>
        <source>Delete(&amp;D)</source>
        <translation>删除(&amp;D)</translation>
    </message>
    <message>
        <source>View(&amp;V)</source>
        <translation>查看(&amp;V)</translation>
    </message>
    <message>
        <source>Toolbar(&amp;T)</source>
        <translation>工具栏(&amp;T)</translation>
    </message>
    <message>
        <source>Status(&amp;S)</source>
        <translation>状态栏(&amp;S)</translation>
    </message>
    <message>
        <source>Large Icons(&amp;G)</source>
        <translation>大图标(&amp;G)</translation>
    </message>
    <message>
        <source>Small Icons(&amp;M)</source>
        <translation>小图标(&amp;M)</translation>
    </message>
    <message>
        <source>List(&amp;L)</source>
        <translation>列表(&amp;L)</translation>
    </message>
    <message>
        <source>Details(&amp;D)</source>
        <translation>详细资料(&amp;D)</translation>
    </message>
    <message>
        <source>Refresh(&amp;R)</source>
        <translation>刷新(&amp;R)</translation>
    </message>
    <message>
        <source>Go to upper folder
Up</source>
        <translation>向上一级
向上</translation>
    </message>
    <message>
        <source>Up</source>
        <translation>向上</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>复制</translation>
    </message>
    <message>
        <source>Deletes selected items
Delete</source>
        <translation>将选中文件删除
删除</translation>
    </message>
    <message>
        <source>Inserts the items you have copied into the selected location
Pase</source>
        <translation>将剪贴板上内容粘贴到目标目录
粘贴</translation>
    </message>
    <message>
        <source>Refreshes the contents of the current page
Refresh</source>
        <translation>刷新列表
刷新</translation>
    </message>
    <message>
        <source>Ready</source>
        <translation>就绪</translation>
    </message>
</context>
<context>
    <name>CSetupDlg</name>
    <message>
        <source>Setup</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>端口号</translation>
    </message>
    <message>
        <source>Baud rate:</source>
        <translation>波特率</translation>
    </message>
    <message>
        <source>Auto connect while launch</source>
        <translation>每次启动自动连接</translation>
    </message>
    <message>
        <source>Compress datagram</source>
        <translation>以压缩的报文通讯</translation>
    </message>
    <message>
        <source>Device:</source>
        <translation>设备</translation>
    </message>
    <message>
        <source>(none)</source>
        <translation>(无)</translation>
    </message>
    <message>
        <source>not present</source>
        <translation>未接入</translation>
    </message>
    <message>
        <source>%1 is set in the environment</source>
        <translation>已设置环境变量%1</translation>
    </message>
    <message>
        <source>Cannot save the port map: %1</source>
        <translation>无法保存端口映射：%1</translation>
    </message>
</context>
<context>
    <name>CVelkorApp</name>
    <message>
        <source> Quayside [Connected]</source>
        <translation> Quayside浏览器 [有连接]</translation>
    </message>
    <message>
        <source> Quayside [No devices connected]</source>
        <translation> Quayside浏览器 [无连接]</translation>
    </message>
</context>
<context>
    <name>CVelkorView</name>
    <message>
        <source>Name</source>
        <translation>名称</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>大小</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>类型</translation>
    </message>
    <message>
        <source>Modify time</source>
        <translation>修改时间</translation>
    </message>
    <message>
        <source>%u bytes</source>
        <translation>%u字节</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>未知</translation>
    </message>
    <message>
        <source>3.5 Floppy</source>
        <translation>3.5英寸软盘</translation>
    </message>
    <message>
        <source>Local driver</source>
        <translation>本地磁盘</translation>
    </message>
    <message>
        <source>CDROM</source>
        <translation>光盘</translation>
    </message>
    <message>
        <source>Network driver</source>
        <translation>网络驱动器</translation>
    </message>
    <message>
        <source>System folder</source>
        <translation>系统文件夹</translation>
    </message>
    <message>
        <source>No Disk</source>
        <translation>没有检测</translation>
    </message>
    <message>
        <source>%.2f GB(%.0f MB free)</source>
        <translation>%.2f GB(剩余%.0f MB)</translation>
    </message>
    <message>
        <source>%.0f MB((%.0f MB free))</source>
        <translation>%.0f MB((剩余%.0f MB))</translation>
    </message>
    <message>
        <source>Devices</source>
        <translation>掌上识读设备</translation>
    </message>
    <message>
        <source>%.0f KB(%.0f KB free)</source>
        <translation>%.0f KB(剩余%.0f KB)</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>文件夹</translation>
    </message>
</context>
<context>
    <name>QPlatformTheme</name>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>是(&amp;Y)</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>否(&amp;N)</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Yes to &amp;All</source>
        <translation>全部是(&amp;A)</translation>
    </message>
    <message>
        <source>N&amp;o to All</source>
        <translation>全部否(&amp;O)</translation>
    </message>
</context>
<context>
    <name>CFileOpDlg</name>
    <message>
        <source>File %1 of %2</source>
        <translation>第 %1 个文件，共 %2 个</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 / %2</translation>
    </message>
    <message>
        <source>%1/s</source>
        <translation>%1/秒</translation>
    </message>
    <message>
        <source>%1 left</source>
        <translation>剩余 %1</translation>
    </message>
    <message>
        <source>retries: %1</source>
        <translation>重试 %1 次</translation>
    </message>
    <message>
        <source>Can't open the Clipboard</source>
        <translation>Cannot open the Clipboard</translation>
    </message>
    <message>
        <source>Cannot open the Clipboard</source>
        <translation>Cannot open the Clipboard</translation>
    </message>
    <message>
        <source>Copying...</source>
        <translation>正在复制...</translation>
    </message>
    <message>
        <source>Deleting...</source>
        <translation>正在删除...</translation>
    </message>
    <message>
        <source>Confirm delete folder</source>
        <translation>确认文件夹删除</translation>
    </message>
    <message>
        <source>Confirm delete folder:&quot;%1&quot; and all contents ?</source>
        <translation>确实要删除文件夹 “%1” 并全部内容吗？</translation>
    </message>
    <message>
        <source>Confirm delete file</source>
        <translation>确认文件删除</translation>
    </message>
    <message>
        <source>Confirm delete:&quot;%1&quot; ?</source>
        <translation>确实要删除 “%1” 吗？</translation>
    </message>
    <message>
        <source>Confirm delete multi file</source>
        <translation>确认删除多个文件</translation>
    </message>
    <message>
        <source>Confirm delete these %1 items ?</source>
        <translation>确实要删除这%1项吗？</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>状态</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>是(&amp;Y)</translation>
    </message>
    <message>
        <source>&amp;All</source>
        <translation>全部(&amp;A)</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>否(&amp;N)</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>取消(&amp;C)</translation>
    </message>
    <message>
        <source>Destination </source>
        <translation>目标文件 </translation>
    </message>
    <message>
        <source> already exists. Overwrite?
Selecting &quot;Cancel&quot; will abort copying remaining files.</source>
        <translation> 已存在。是否覆盖?
选 &quot;取消&quot;，不覆盖且放弃下一个文件的拷贝。</translation>
    </message>
    <message>
        <source>Cancel...</source>
        <translation>正在取消......</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>Delete file:&quot;%1&quot; fail</source>
        <translation>删除文件 “%1” 失败</translation>
    </message>
    <message>
        <source>Delete folder:&quot;%1&quot; fail</source>
        <translation>删除文件夹 “%1” 失败</translation>
    </message>
    <message>
        <source>Copy fail!!</source>
        <translation>拷贝文件出错！！</translation>
    </message>
    <message>
        <source>source path equal destination path, cancel copy!</source>
        <translation>源文件夹与目标文件夹相同, 复制失败!</translation>
    </message>
    <message>
        <source> Continue with next file?</source>
        <translation> 继续下一个文件？</translation>
    </message>
    <message>
        <source> Filename length larger than 16 bytes. Copy failed. Continue with next file?</source>
        <translation>文件名大于16个字符,拷贝失败！继续下一个文件？</translation>
    </message>
    <message>
        <source>Cannot copy folder </source>
        <translation>不能拷贝文件夹 </translation>
    </message>
    <message>
        <source> ! Continue with next file?</source>
        <translation> ！ 继续下一个文件？</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>文件夹</translation>
    </message>
    <message>
        <source>Cannot paste to here!</source>
        <translation>不能粘贴到此处！</translation>
    </message>
    <message>
        <source>Communication interrupted!</source>
        <translation>通信中断,请注意是否通信正常.</translation>
    </message>
    <message>
        <source>Read file error, Please check communication.</source>
        <translation>读取文件出错,请注意是否通信正常.</translation>
    </message>
    <message>
        <source>Write file error, Please check communication.</source>
        <translation>写入目标文件出错,请注意是否通信正常.</translation>
    </message>
    <message>
        <source>Unknown error, Please check communication.</source>
        <translation>其它错误,请注意是否通信正常.</translation>
    </message>
</context>
<context>
    <name>CVelkorJobTexts</name>
    <message>
        <source>[%1] The connection to the device was lost. The part already copied is kept.
Reconnect the device, then choose Yes to continue where the copy stopped, or No to stop copying.</source>
        <translation>[%1] 与掌上设备的连接已断开，已拷贝的部分已保留。
请重新连接设备后选“是”从中断处继续拷贝，选“否”停止拷贝。</translation>
    </message>
    <message>
        <source>[%1] is a link to a folder. Links are not followed, so it was not copied. Continue with next file?</source>
        <translation>[%1] 是指向文件夹的链接，链接不会被跟随，未拷贝。继续下一个文件？</translation>
    </message>
    <message>
        <source>[%1] is not a regular file (a pipe, device or socket) and cannot be copied. Continue with next file?</source>
        <translation>[%1] 不是普通文件（管道、设备或套接字），不能拷贝。继续下一个文件？</translation>
    </message>
    <message>
        <source>[%1] is a folder on the device. Folders on the device cannot be copied. Continue with next file?</source>
        <translation>[%1] 是掌上设备上的文件夹，设备上的文件夹不能拷贝。继续下一个文件？</translation>
    </message>
</context>
</TS>
