<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>glintcaster::AddProjectorDialog</name>
    <message>
        <source>Configure Manually</source>
        <translation>手动设置</translation>
    </message>
    <message>
        <source>MAC address part %1</source>
        <translation>MAC 地址第 %1 段</translation>
    </message>
    <message>
        <source>Authentication</source>
        <translation>认证</translation>
    </message>
    <message>
        <source>&amp;IP Address:</source>
        <translation>IP 地址(&amp;I):</translation>
    </message>
    <message>
        <source>&amp;MAC Address:</source>
        <translation>MAC 地址(&amp;M):</translation>
    </message>
    <message>
        <source>&amp;Password:</source>
        <translation>密码(&amp;P):</translation>
    </message>
</context>
<context>
    <name>glintcaster::AboutDialog</name>
    <message>
        <source>About %1</source>
        <translation>关于 %1</translation>
    </message>
</context>
<context>
    <name>glintcaster::AuthenticationDialog</name>
    <message>
        <source>Password</source>
        <translation>密码</translation>
    </message>
    <message>
        <source>Authentication</source>
        <translation>认证</translation>
    </message>
    <message>
        <source>&amp;Password:</source>
        <translation>密码(&amp;P):</translation>
    </message>
</context>
<context>
    <name>glintcaster::StoredMessagesDialog</name>
    <message>
        <source>Confirm</source>
        <translation>确认</translation>
    </message>
    <message>
        <source>Stored No.</source>
        <translation>保存编号</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>状态</translation>
    </message>
    <message>
        <source>Return</source>
        <translation>返回</translation>
    </message>
</context>
<context>
    <name>glintcaster::ChangePasswordDialog</name>
    <message>
        <source>Change Password</source>
        <translation>密码变更</translation>
    </message>
    <message>
        <source>Current Password</source>
        <translation>当前密码</translation>
    </message>
    <message>
        <source>New Password</source>
        <translation>新密码</translation>
    </message>
</context>
<context>
    <name>glintcaster::MainWindow</name>
    <message>
        <source>&amp;New</source>
        <translation>新建(&amp;N)</translation>
    </message>
    <message>
        <source>New message (Ctrl+N)</source>
        <translation>新建消息 (Ctrl+N)</translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation>打开(&amp;O)...</translation>
    </message>
    <message>
        <source>Open a message file (Ctrl+O)</source>
        <translation>打开消息文件 (Ctrl+O)</translation>
    </message>
    <message>
        <source>&amp;Save...</source>
        <translation>保存(&amp;S)...</translation>
    </message>
    <message>
        <source>Save the message (Ctrl+S)</source>
        <translation>保存消息 (Ctrl+S)</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>退出(&amp;X)</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>撤消(&amp;U)</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>剪切(&amp;T)</translation>
    </message>
    <message>
        <source>Cut (Ctrl+X)</source>
        <translation>剪切 (Ctrl+X)</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>复制(&amp;C)</translation>
    </message>
    <message>
        <source>Copy (Ctrl+C)</source>
        <translation>复制 (Ctrl+C)</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>粘贴(&amp;P)</translation>
    </message>
    <message>
        <source>Paste (Ctrl+V)</source>
        <translation>粘贴 (Ctrl+V)</translation>
    </message>
    <message>
        <source>Font color...</source>
        <translation>字体颜色...</translation>
    </message>
    <message>
        <source>Font background color...</source>
        <translation>字体背景颜色...</translation>
    </message>
    <message>
        <source>Background color...</source>
        <translation>背景颜色...</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>关于(&amp;A)</translation>
    </message>
    <message>
        <source>About %1</source>
        <translation>关于 %1</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>文件(&amp;F)</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>编辑(&amp;E)</translation>
    </message>
    <message>
        <source>C&amp;olor</source>
        <translation>颜色(&amp;O)</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>帮助(&amp;H)</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation>工具栏</translation>
    </message>
</context>
<context>
    <name>glintcaster::MainTab</name>
    <message>
        <source>PROJECTOR</source>
        <translation>投影机</translation>
    </message>
    <message>
        <source>The registered projector to work with</source>
        <translation>要操作的已注册投影机</translation>
    </message>
    <message>
        <source>&amp;IP Address</source>
        <translation>IP 地址(&amp;I)</translation>
    </message>
    <message>
        <source>PROJECTOR Status</source>
        <translation>投影机状态</translation>
    </message>
    <message>
        <source>&amp;Mute</source>
        <translation>静音(&amp;M)</translation>
    </message>
    <message>
        <source>Silence the projector&apos;s alarm</source>
        <translation>停止投影机的警报</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>消息</translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation>警报</translation>
    </message>
    <message>
        <source>Message file list</source>
        <translation>消息文件列表</translation>
    </message>
    <message>
        <source>Message files in the message folder</source>
        <translation>消息文件夹中的消息文件</translation>
    </message>
    <message>
        <source>Send the message file into the saved number</source>
        <translation>将消息文件发送到保存编号</translation>
    </message>
    <message>
        <source>Confi&amp;rm...</source>
        <translation>确认(&amp;R)...</translation>
    </message>
    <message>
        <source>List what the projector holds in its saved numbers</source>
        <translation>列出投影机各保存编号的内容</translation>
    </message>
    <message>
        <source>Start&amp;up Display</source>
        <translation>启动时显示(&amp;U)</translation>
    </message>
    <message>
        <source>Also show this saved number when the projector starts</source>
        <translation>投影机启动时也显示此保存编号</translation>
    </message>
    <message>
        <source>min</source>
        <translation>分钟</translation>
    </message>
    <message>
        <source>Message fi&amp;le</source>
        <translation>消息文件(&amp;L)</translation>
    </message>
    <message>
        <source>Saved &amp;number</source>
        <translation>保存编号(&amp;N)</translation>
    </message>
    <message>
        <source>Display control</source>
        <translation>显示控制</translation>
    </message>
    <message>
        <source>&amp;Display on</source>
        <translation>显示开(&amp;D)</translation>
    </message>
    <message>
        <source>Displa&amp;y off</source>
        <translation>显示关(&amp;Y)</translation>
    </message>
    <message>
        <source>&amp;Power on &amp;&amp; Display on</source>
        <translation>开机 &amp;&amp; 显示开(&amp;P)</translation>
    </message>
    <message>
        <source>Show the stored message of the saved number</source>
        <translation>显示保存编号中的消息</translation>
    </message>
    <message>
        <source>Take the stored message of the saved number off the screen</source>
        <translation>取消显示保存编号中的消息</translation>
    </message>
    <message>
        <source>Switch the projector on and show the stored message</source>
        <translation>打开投影机并显示消息</translation>
    </message>
    <message>
        <source>Saved number</source>
        <translation>保存编号</translation>
    </message>
    <message>
        <source>Saved num&amp;ber</source>
        <translation>保存编号(&amp;B)</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>清除</translation>
    </message>
    <message>
        <source>&amp;All</source>
        <translation>全部(&amp;A)</translation>
    </message>
    <message>
        <source>&amp;Quick</source>
        <translation>快速(&amp;Q)</translation>
    </message>
    <message>
        <source>Sa&amp;ved number</source>
        <translation>保存编号(&amp;V)</translation>
    </message>
    <message>
        <source>&amp;Clear</source>
        <translation>清除(&amp;C)</translation>
    </message>
    <message>
        <source>Delete stored messages from the projector</source>
        <translation>从投影机删除已保存的消息</translation>
    </message>
    <message>
        <source>Startup Display</source>
        <translation>启动时显示</translation>
    </message>
    <message>
        <source>Edi&amp;t...</source>
        <translation>编辑(&amp;T)...</translation>
    </message>
    <message>
        <source>Change what the projector shows when it starts</source>
        <translation>更改投影机启动时的显示</translation>
    </message>
    <message>
        <source>Display time</source>
        <translation>显示时间</translation>
    </message>
</context>
<context>
    <name>glintcaster::DiscoveryTab</name>
    <message>
        <source>&amp;Registration</source>
        <translation>注册(&amp;R)</translation>
    </message>
    <message>
        <source>Fi&amp;nd</source>
        <translation>查找(&amp;N)</translation>
    </message>
    <message>
        <source>&amp;Configure Manually...</source>
        <translation>手动设置(&amp;C)...</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>删除(&amp;D)</translation>
    </message>
    <message>
        <source>&amp;Password...</source>
        <translation>密码(&amp;P)...</translation>
    </message>
    <message>
        <source>Add the selected projector to the registered list</source>
        <translation>将所选投影机添加到注册列表</translation>
    </message>
    <message>
        <source>Search the network for projectors again</source>
        <translation>重新搜索网络上的投影机</translation>
    </message>
    <message>
        <source>Register a projector by its address</source>
        <translation>按地址注册投影机</translation>
    </message>
    <message>
        <source>Remove the selected projector from the registered list</source>
        <translation>从注册列表中删除所选投影机</translation>
    </message>
    <message>
        <source>Set the selected projector&apos;s password</source>
        <translation>设置所选投影机的密码</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>搜索</translation>
    </message>
    <message>
        <source>Current Network Adaptor</source>
        <translation>当前网络适配器</translation>
    </message>
    <message>
        <source>PROJECTOR List</source>
        <translation>投影机列表</translation>
    </message>
    <message>
        <source>Registered PROJECTOR</source>
        <translation>已注册投影机</translation>
    </message>
</context>
<context>
    <name>glintcaster::JobStatusWindow</name>
    <message>
        <source>Communication Status</source>
        <translation>通信状态</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>glintcaster::StartupDisplayDialog</name>
    <message>
        <source>Startup Display Edit</source>
        <translation>编辑启动时显示</translation>
    </message>
    <message>
        <source>min</source>
        <translation>分钟</translation>
    </message>
    <message>
        <source>Saved &amp;number</source>
        <translation>保存编号(&amp;N)</translation>
    </message>
    <message>
        <source>Display &amp;time</source>
        <translation>显示时间(&amp;T)</translation>
    </message>
</context>
<context>
    <name>glintcaster::ColourButton</name>
    <message>
        <source>Font color (arrow: choose)</source>
        <translation>字体颜色 (箭头: 选择)</translation>
    </message>
    <message>
        <source>Font background color (arrow: choose)</source>
        <translation>字体背景颜色 (箭头: 选择)</translation>
    </message>
    <message>
        <source>Background color (arrow: choose)</source>
        <translation>背景颜色 (箭头: 选择)</translation>
    </message>
    <message>
        <source>Choose...</source>
        <translation>选择...</translation>
    </message>
</context>
<context>
    <name>glintcaster::Ipv4Edit</name>
    <message>
        <source>IP address octet %1</source>
        <translation>IP 地址第 %1 段</translation>
    </message>
</context>
<context>
    <name>glintcaster::AdvancedOptionsDialog</name>
    <message>
        <source>Advanced</source>
        <translation>高级设置</translation>
    </message>
    <message>
        <source>Title option</source>
        <translation>标题选项</translation>
    </message>
    <message>
        <source>Message option</source>
        <translation>信息选项</translation>
    </message>
    <message>
        <source>Common option</source>
        <translation>通用选项</translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation>警报</translation>
    </message>
    <message>
        <source>Position</source>
        <translation>位置</translation>
    </message>
    <message>
        <source>Style</source>
        <translation>样式</translation>
    </message>
    <message>
        <source>Scroll num</source>
        <translation>滚动次数</translation>
    </message>
    <message>
        <source>Scroll speed</source>
        <translation>滚动速度</translation>
    </message>
    <message>
        <source>Display time</source>
        <translation>显示时间</translation>
    </message>
    <message>
        <source>min</source>
        <translation>分</translation>
    </message>
    <message>
        <source>sec</source>
        <translation>秒</translation>
    </message>
    <message>
        <source>Character font size</source>
        <translation>字体大小</translation>
    </message>
    <message>
        <source>Vertical posioton</source>
        <translation>垂直位置</translation>
    </message>
    <message>
        <source>Horizontal position</source>
        <translation>水平位置</translation>
    </message>
    <message>
        <source>Level</source>
        <translation>级别</translation>
    </message>
    <message>
        <source>Blink</source>
        <translation>闪烁</translation>
    </message>
    <message>
        <source>Lapped over picture</source>
        <translation>叠加于画面</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>音量</translation>
    </message>
    <message>
        <source>Sound number</source>
        <translation>声音编号</translation>
    </message>
    <message>
        <source>Loop</source>
        <translation>循环</translation>
    </message>
    <message>
        <source>Interval</source>
        <translation>间隔</translation>
    </message>
    <message>
        <source>PLAY</source>
        <translation>播放</translation>
    </message>
    <message>
        <source>STOP</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>glintcaster::PaletteDialog</name>
    <message>
        <source>Color</source>
        <translation>颜色</translation>
    </message>
    <message>
        <source>Black</source>
        <translation>黑</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>红</translation>
    </message>
    <message>
        <source>Yellow</source>
        <translation>黄</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>绿</translation>
    </message>
    <message>
        <source>Cyan</source>
        <translation>青</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>蓝</translation>
    </message>
    <message>
        <source>Magenta</source>
        <translation>品红</translation>
    </message>
    <message>
        <source>White</source>
        <translation>白</translation>
    </message>
    <message>
        <source>Half transparent</source>
        <translation>半透明</translation>
    </message>
    <message>
        <source>Transparent</source>
        <translation>透明</translation>
    </message>
    <message>
        <source>Selection color</source>
        <translation>所选颜色</translation>
    </message>
</context>
<context>
    <name>glintcaster::UnsupportedCharactersDialog</name>
    <message>
        <source>Not Supported Character</source>
        <translation>不支持的字符</translation>
    </message>
    <message>
        <source>Auto Del</source>
        <translation>自动删除</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
</context>
<context>
    <name>glintcaster::EditTab</name>
    <message>
        <source>&amp;IP Address</source>
        <translation>IP 地址(&amp;I)</translation>
    </message>
    <message>
        <source>Icon of the title</source>
        <translation>标题图标</translation>
    </message>
    <message>
        <source>None</source>
        <translation>无</translation>
    </message>
    <message>
        <source>&amp;Page feed</source>
        <translation>换页(&amp;P)</translation>
    </message>
    <message>
        <source>T&amp;ab</source>
        <translation>制表符(&amp;A)</translation>
    </message>
    <message>
        <source>I&amp;mage</source>
        <translation>图像(&amp;M)</translation>
    </message>
    <message>
        <source>Ad&amp;vanced...</source>
        <translation>高级设置(&amp;V)...</translation>
    </message>
    <message>
        <source>&amp;Get</source>
        <translation>获取(&amp;G)</translation>
    </message>
    <message>
        <source>&amp;Display on</source>
        <translation>显示开(&amp;D)</translation>
    </message>
    <message>
        <source>Displa&amp;y off</source>
        <translation>显示关(&amp;Y)</translation>
    </message>
    <message>
        <source>Synchroni&amp;zation of 
the background color 
and character background color</source>
        <translation>背景颜色与
字体背景颜色
同步(&amp;Z)</translation>
    </message>
    <message>
        <source>&amp;Character display mode</source>
        <translation>字符显示模式(&amp;C)</translation>
    </message>
    <message>
        <source>Start&amp;up Display</source>
        <translation>启动时显示(&amp;U)</translation>
    </message>
    <message>
        <source>min</source>
        <translation>分钟</translation>
    </message>
    <message>
        <source>PROJECTOR</source>
        <translation>投影机</translation>
    </message>
    <message>
        <source>Saved &amp;number</source>
        <translation>保存编号(&amp;N)</translation>
    </message>
</context>
</TS>
