<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>glintcaster::AddPj</name>
    <message>
        <source>Configure Manually</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MAC address part %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Authentication</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;IP Address:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;MAC Address:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Password:</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>glintcaster::CAboutDlg</name>
    <message>
        <source>About %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>glintcaster::CAuthentication</name>
    <message>
        <source>Password</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Authentication</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Password:</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>glintcaster::CChangePassword</name>
    <message>
        <source>Change Password</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Current Password</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New Password</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>glintcaster::CMainFrame</name>
    <message>
        <source>&amp;New</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New message (Ctrl+N)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open a message file (Ctrl+O)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Save...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save the message (Ctrl+S)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cut (Ctrl+X)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy (Ctrl+C)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Paste (Ctrl+V)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Font color...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Font background color...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Background color...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>C&amp;olor</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>glintcaster::CPjList</name>
    <message>
        <source>&amp;Registration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Find</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Configure Manually...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Password...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add the selected projector to the registered list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Search the network for projectors again</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Register a projector by its address</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove the selected projector from the registered list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Set the selected projector&apos;s password</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Search</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Current Network Adaptor</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PROJECTOR List</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Registered PROJECTOR</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>glintcaster::ColourButton</name>
    <message>
        <source>Font color (arrow: choose)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Font background color (arrow: choose)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Background color (arrow: choose)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose...</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>glintcaster::Ipv4Edit</name>
    <message>
        <source>IP address octet %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
