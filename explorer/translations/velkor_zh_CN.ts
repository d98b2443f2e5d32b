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
        <source>Ready</source>
        <translation>就绪</translation>
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
</TS>
