<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>glintcaster::AddProjectorDialog</name>
    <message>
        <source>Configure Manually</source>
        <translation>手動設定</translation>
    </message>
    <message>
        <source>MAC address part %1</source>
        <translation>MAC アドレス %1 番目</translation>
    </message>
    <message>
        <source>Authentication</source>
        <translation>認証</translation>
    </message>
    <message>
        <source>&amp;IP Address:</source>
        <translation>IP アドレス(&amp;I):</translation>
    </message>
    <message>
        <source>&amp;MAC Address:</source>
        <translation>MAC アドレス(&amp;M):</translation>
    </message>
    <message>
        <source>&amp;Password:</source>
        <translation>パスワード(&amp;P):</translation>
    </message>
</context>
<context>
    <name>glintcaster::AboutDialog</name>
    <message>
        <source>About %1</source>
        <translation>%1 について</translation>
    </message>
</context>
<context>
    <name>glintcaster::AuthenticationDialog</name>
    <message>
        <source>Password</source>
        <translation>パスワード</translation>
    </message>
    <message>
        <source>Authentication</source>
        <translation>認証</translation>
    </message>
    <message>
        <source>&amp;Password:</source>
        <translation>パスワード(&amp;P):</translation>
    </message>
</context>
<context>
    <name>glintcaster::StoredMessagesDialog</name>
    <message>
        <source>Confirm</source>
        <translation>確認</translation>
    </message>
    <message>
        <source>Stored No.</source>
        <translation>保存番号</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>状態</translation>
    </message>
    <message>
        <source>Return</source>
        <translation>戻る</translation>
    </message>
</context>
<context>
    <name>glintcaster::ChangePasswordDialog</name>
    <message>
        <source>Change Password</source>
        <translation>パスワード変更</translation>
    </message>
    <message>
        <source>Current Password</source>
        <translation>現在のパスワード</translation>
    </message>
    <message>
        <source>New Password</source>
        <translation>新しいパスワード</translation>
    </message>
</context>
<context>
    <name>glintcaster::MainWindow</name>
    <message>
        <source>&amp;New</source>
        <translation>新規作成(&amp;N)</translation>
    </message>
    <message>
        <source>New message (Ctrl+N)</source>
        <translation>新しいメッセージ (Ctrl+N)</translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation>開く(&amp;O)...</translation>
    </message>
    <message>
        <source>Open a message file (Ctrl+O)</source>
        <translation>メッセージファイルを開く (Ctrl+O)</translation>
    </message>
    <message>
        <source>&amp;Save...</source>
        <translation>保存(&amp;S)...</translation>
    </message>
    <message>
        <source>Save the message (Ctrl+S)</source>
        <translation>メッセージを保存 (Ctrl+S)</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>終了(&amp;X)</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>元に戻す(&amp;U)</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>切り取り(&amp;T)</translation>
    </message>
    <message>
        <source>Cut (Ctrl+X)</source>
        <translation>切り取り (Ctrl+X)</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>コピー(&amp;C)</translation>
    </message>
    <message>
        <source>Copy (Ctrl+C)</source>
        <translation>コピー (Ctrl+C)</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>貼り付け(&amp;P)</translation>
    </message>
    <message>
        <source>Paste (Ctrl+V)</source>
        <translation>貼り付け (Ctrl+V)</translation>
    </message>
    <message>
        <source>Font color...</source>
        <translation>文字色...</translation>
    </message>
    <message>
        <source>Font background color...</source>
        <translation>文字背景色...</translation>
    </message>
    <message>
        <source>Background color...</source>
        <translation>背景色...</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>バージョン情報(&amp;A)</translation>
    </message>
    <message>
        <source>About %1</source>
        <translation>%1 について</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>ファイル(&amp;F)</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>編集(&amp;E)</translation>
    </message>
    <message>
        <source>C&amp;olor</source>
        <translation>色(&amp;O)</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>ヘルプ(&amp;H)</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation>ツールバー</translation>
    </message>
</context>
<context>
    <name>glintcaster::MainTab</name>
    <message>
        <source>PROJECTOR</source>
        <translation>プロジェクター</translation>
    </message>
    <message>
        <source>The registered projector to work with</source>
        <translation>操作する登録済みプロジェクター</translation>
    </message>
    <message>
        <source>&amp;IP Address</source>
        <translation>IP アドレス(&amp;I)</translation>
    </message>
    <message>
        <source>PROJECTOR Status</source>
        <translation>プロジェクターの状態</translation>
    </message>
    <message>
        <source>&amp;Mute</source>
        <translation>消音(&amp;M)</translation>
    </message>
    <message>
        <source>Silence the projector&apos;s alarm</source>
        <translation>プロジェクターのアラームを止めます</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>メッセージ</translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation>アラーム</translation>
    </message>
    <message>
        <source>Message file list</source>
        <translation>メッセージファイル一覧</translation>
    </message>
    <message>
        <source>Message files in the message folder</source>
        <translation>メッセージフォルダーのメッセージファイル</translation>
    </message>
    <message>
        <source>Send the message file into the saved number</source>
        <translation>メッセージファイルを保存番号に送信します</translation>
    </message>
    <message>
        <source>Confi&amp;rm...</source>
        <translation>確認(&amp;R)...</translation>
    </message>
    <message>
        <source>List what the projector holds in its saved numbers</source>
        <translation>プロジェクターの保存番号の内容を一覧表示します</translation>
    </message>
    <message>
        <source>Start&amp;up Display</source>
        <translation>起動時表示(&amp;U)</translation>
    </message>
    <message>
        <source>Also show this saved number when the projector starts</source>
        <translation>プロジェクターの起動時にもこの保存番号を表示します</translation>
    </message>
    <message>
        <source>min</source>
        <translation>分</translation>
    </message>
    <message>
        <source>Message fi&amp;le</source>
        <translation>メッセージファイル(&amp;L)</translation>
    </message>
    <message>
        <source>Saved &amp;number</source>
        <translation>保存番号(&amp;N)</translation>
    </message>
    <message>
        <source>Display control</source>
        <translation>表示制御</translation>
    </message>
    <message>
        <source>&amp;Display on</source>
        <translation>表示オン(&amp;D)</translation>
    </message>
    <message>
        <source>Displa&amp;y off</source>
        <translation>表示オフ(&amp;Y)</translation>
    </message>
    <message>
        <source>&amp;Power on &amp;&amp; Display on</source>
        <translation>電源オン &amp;&amp; 表示オン(&amp;P)</translation>
    </message>
    <message>
        <source>Show the stored message of the saved number</source>
        <translation>保存番号のメッセージを表示します</translation>
    </message>
    <message>
        <source>Take the stored message of the saved number off the screen</source>
        <translation>保存番号のメッセージの表示を消します</translation>
    </message>
    <message>
        <source>Switch the projector on and show the stored message</source>
        <translation>プロジェクターの電源を入れてメッセージを表示します</translation>
    </message>
    <message>
        <source>Saved number</source>
        <translation>保存番号</translation>
    </message>
    <message>
        <source>Saved num&amp;ber</source>
        <translation>保存番号(&amp;B)</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>消去</translation>
    </message>
    <message>
        <source>&amp;All</source>
        <translation>すべて(&amp;A)</translation>
    </message>
    <message>
        <source>&amp;Quick</source>
        <translation>クイック(&amp;Q)</translation>
    </message>
    <message>
        <source>Sa&amp;ved number</source>
        <translation>保存番号(&amp;V)</translation>
    </message>
    <message>
        <source>&amp;Clear</source>
        <translation>消去(&amp;C)</translation>
    </message>
    <message>
        <source>Delete stored messages from the projector</source>
        <translation>プロジェクターの保存メッセージを消去します</translation>
    </message>
    <message>
        <source>Startup Display</source>
        <translation>起動時表示</translation>
    </message>
    <message>
        <source>Edi&amp;t...</source>
        <translation>編集(&amp;T)...</translation>
    </message>
    <message>
        <source>Change what the projector shows when it starts</source>
        <translation>プロジェクターの起動時表示を変更します</translation>
    </message>
    <message>
        <source>Display time</source>
        <translation>表示時間</translation>
    </message>
</context>
<context>
    <name>glintcaster::DiscoveryTab</name>
    <message>
        <source>&amp;Registration</source>
        <translation>登録(&amp;R)</translation>
    </message>
    <message>
        <source>Fi&amp;nd</source>
        <translation>再検索(&amp;N)</translation>
    </message>
    <message>
        <source>&amp;Configure Manually...</source>
        <translation>手動設定(&amp;C)...</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>削除(&amp;D)</translation>
    </message>
    <message>
        <source>&amp;Password...</source>
        <translation>パスワード(&amp;P)...</translation>
    </message>
    <message>
        <source>Add the selected projector to the registered list</source>
        <translation>選択したプロジェクターを登録リストに追加します</translation>
    </message>
    <message>
        <source>Search the network for projectors again</source>
        <translation>ネットワーク上のプロジェクターを再検索します</translation>
    </message>
    <message>
        <source>Register a projector by its address</source>
        <translation>アドレスを指定してプロジェクターを登録します</translation>
    </message>
    <message>
        <source>Remove the selected projector from the registered list</source>
        <translation>選択したプロジェクターを登録リストから削除します</translation>
    </message>
    <message>
        <source>Set the selected projector&apos;s password</source>
        <translation>選択したプロジェクターのパスワードを設定します</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>検索</translation>
    </message>
    <message>
        <source>Current Network Adaptor</source>
        <translation>現在のネットワークアダプター</translation>
    </message>
    <message>
        <source>PROJECTOR List</source>
        <translation>プロジェクター一覧</translation>
    </message>
    <message>
        <source>Registered PROJECTOR</source>
        <translation>登録済みプロジェクター</translation>
    </message>
</context>
<context>
    <name>glintcaster::JobStatusWindow</name>
    <message>
        <source>Communication Status</source>
        <translation>通信状態</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
</context>
<context>
    <name>glintcaster::StartupDisplayDialog</name>
    <message>
        <source>Startup Display Edit</source>
        <translation>起動時表示の編集</translation>
    </message>
    <message>
        <source>min</source>
        <translation>分</translation>
    </message>
    <message>
        <source>Saved &amp;number</source>
        <translation>保存番号(&amp;N)</translation>
    </message>
    <message>
        <source>Display &amp;time</source>
        <translation>表示時間(&amp;T)</translation>
    </message>
</context>
<context>
    <name>glintcaster::ColourButton</name>
    <message>
        <source>Font color (arrow: choose)</source>
        <translation>文字色 (矢印: 色の選択)</translation>
    </message>
    <message>
        <source>Font background color (arrow: choose)</source>
        <translation>文字背景色 (矢印: 色の選択)</translation>
    </message>
    <message>
        <source>Background color (arrow: choose)</source>
        <translation>背景色 (矢印: 色の選択)</translation>
    </message>
    <message>
        <source>Choose...</source>
        <translation>選択...</translation>
    </message>
</context>
<context>
    <name>glintcaster::Ipv4Edit</name>
    <message>
        <source>IP address octet %1</source>
        <translation>IP アドレス %1 番目</translation>
    </message>
</context>
<context>
    <name>glintcaster::AdvancedOptionsDialog</name>
    <message>
        <source>Advanced</source>
        <translation>詳細設定</translation>
    </message>
    <message>
        <source>Title option</source>
        <translation>タイトルオプション</translation>
    </message>
    <message>
        <source>Message option</source>
        <translation>メッセージオプション</translation>
    </message>
    <message>
        <source>Common option</source>
        <translation>共通オプション</translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation>アラーム</translation>
    </message>
    <message>
        <source>Position</source>
        <translation>位置</translation>
    </message>
    <message>
        <source>Style</source>
        <translation>スタイル</translation>
    </message>
    <message>
        <source>Scroll num</source>
        <translation>スクロール回数</translation>
    </message>
    <message>
        <source>Scroll speed</source>
        <translation>スクロール速度</translation>
    </message>
    <message>
        <source>Display time</source>
        <translation>表示時間</translation>
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
        <translation>文字サイズ</translation>
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
        <translation>レベル</translation>
    </message>
    <message>
        <source>Blink</source>
        <translation>点滅</translation>
    </message>
    <message>
        <source>Lapped over picture</source>
        <translation>画像への重ね表示</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>音量</translation>
    </message>
    <message>
        <source>Sound number</source>
        <translation>サウンド番号</translation>
    </message>
    <message>
        <source>Loop</source>
        <translation>ループ</translation>
    </message>
    <message>
        <source>Interval</source>
        <translation>間隔</translation>
    </message>
    <message>
        <source>PLAY</source>
        <translation>再生</translation>
    </message>
    <message>
        <source>STOP</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
</context>
<context>
    <name>glintcaster::PaletteDialog</name>
    <message>
        <source>Color</source>
        <translation>色</translation>
    </message>
    <message>
        <source>Black</source>
        <translation>黒</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>赤</translation>
    </message>
    <message>
        <source>Yellow</source>
        <translation>黄</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>緑</translation>
    </message>
    <message>
        <source>Cyan</source>
        <translation>シアン</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>青</translation>
    </message>
    <message>
        <source>Magenta</source>
        <translation>マゼンタ</translation>
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
        <translation>選択色</translation>
    </message>
</context>
<context>
    <name>glintcaster::UnsupportedCharactersDialog</name>
    <message>
        <source>Not Supported Character</source>
        <translation>サポートされていない文字</translation>
    </message>
    <message>
        <source>Auto Del</source>
        <translation>自動削除</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>glintcaster::EditTab</name>
    <message>
        <source>&amp;IP Address</source>
        <translation>IP アドレス(&amp;I)</translation>
    </message>
    <message>
        <source>Icon of the title</source>
        <translation>タイトルのアイコン</translation>
    </message>
    <message>
        <source>None</source>
        <translation>なし</translation>
    </message>
    <message>
        <source>&amp;Page feed</source>
        <translation>改ページ(&amp;P)</translation>
    </message>
    <message>
        <source>T&amp;ab</source>
        <translation>タブ(&amp;A)</translation>
    </message>
    <message>
        <source>I&amp;mage</source>
        <translation>イメージ(&amp;M)</translation>
    </message>
    <message>
        <source>Ad&amp;vanced...</source>
        <translation>詳細設定(&amp;V)...</translation>
    </message>
    <message>
        <source>&amp;Get</source>
        <translation>取得(&amp;G)</translation>
    </message>
    <message>
        <source>&amp;Display on</source>
        <translation>表示オン(&amp;D)</translation>
    </message>
    <message>
        <source>Displa&amp;y off</source>
        <translation>表示オフ(&amp;Y)</translation>
    </message>
    <message>
        <source>Synchroni&amp;zation of 
the background color 
and character background color</source>
        <translation>背景色と
文字背景色の
同期(&amp;Z)</translation>
    </message>
    <message>
        <source>&amp;Character display mode</source>
        <translation>文字表示モード(&amp;C)</translation>
    </message>
    <message>
        <source>Start&amp;up Display</source>
        <translation>起動時表示(&amp;U)</translation>
    </message>
    <message>
        <source>min</source>
        <translation>分</translation>
    </message>
    <message>
        <source>PROJECTOR</source>
        <translation>プロジェクター</translation>
    </message>
    <message>
        <source>Saved &amp;number</source>
        <translation>保存番号(&amp;N)</translation>
    </message>
</context>
</TS>
