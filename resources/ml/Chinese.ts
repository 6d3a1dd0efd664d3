<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>AuthorizeDirectory</name>
    <message>
        <source>Authorize Directory</source>
        <translation>授权文件夹</translation>
    </message>
    <message>
        <source>Not authorized directory:</source>
        <translation>未授权的文件夹：</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Authorize</source>
        <translation>授权</translation>
    </message>
    <message>
        <source>Please select the authorized directory!</source>
        <translation>请选择要授权的文件夹！</translation>
    </message>
    <message>
        <source>Authorization directory failed!</source>
        <translation>文件夹授权失败！</translation>
    </message>
</context>
<context>
    <name>BackupToFTPDialog</name>
    <message>
        <source>FTP Servers</source>
        <translation>FTP 服务器</translation>
    </message>
    <message>
        <source>Sever Name</source>
        <translation>服务器名称</translation>
    </message>
    <message>
        <source>State</source>
        <translation>状态</translation>
    </message>
    <message>
        <source>Working Folder</source>
        <translation>工作文件夹</translation>
    </message>
    <message>
        <source>Server Folder </source>
        <translation>服务器文件夹 </translation>
    </message>
    <message>
        <source>Server Name:</source>
        <translation>服务器名称：</translation>
    </message>
    <message>
        <source>Encode:</source>
        <translation>编码：</translation>
    </message>
    <message>
        <source>IP:</source>
        <translation>IP：</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>端口：</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>用户名：</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>密码：</translation>
    </message>
    <message>
        <source>FTP Path:</source>
        <translation>FTP 路径：</translation>
    </message>
    <message>
        <source>Connect server successfully, Please select a server folder!</source>
        <translation>连接服务器成功后，请选择服务器文件夹！</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>浏览</translation>
    </message>
    <message>
        <source>Local Path:</source>
        <translation>本地路径：</translation>
    </message>
    <message>
        <source>Please select a working folder!</source>
        <translation>请选择工作文件夹！</translation>
    </message>
    <message>
        <source>Ftp Server</source>
        <translation>FTP 服务器</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>连接</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>断开</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>添加</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>编辑</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Local ftp server has started!</source>
        <translation>本地 FTP 服务器已启动！</translation>
    </message>
    <message>
        <source>Local ftp server is not started!</source>
        <translation>本地 FTP 服务器未启动！</translation>
    </message>
    <message>
        <source>Connected</source>
        <translation>已连接</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>未连接</translation>
    </message>
    <message>
        <source>Connection success!</source>
        <translation>连接成功！</translation>
    </message>
    <message>
        <source>Disconnect from the server!</source>
        <translation>已与服务器断开连接！</translation>
    </message>
    <message>
        <source>Please fill in the server information, click the connect button!</source>
        <translation>请填写服务器信息，然后点击“连接”按钮！</translation>
    </message>
    <message>
        <source>Incomplete information!</source>
        <translation>信息不完整！</translation>
    </message>
    <message>
        <source>Please enter the IP address or host name of the server!</source>
        <translation>请输入服务器的 IP 地址或主机名！</translation>
    </message>
    <message>
        <source>Please enter the port of the server!</source>
        <translation>请输入服务器的端口！</translation>
    </message>
    <message>
        <source>Please enter the user name!</source>
        <translation>请输入用户名！</translation>
    </message>
    <message>
        <source>Please enter the password!</source>
        <translation>请输入密码！</translation>
    </message>
    <message>
        <source>The port must be a number from 1 to 65535!</source>
        <translation>端口必须是 1 到 65535 之间的数字！</translation>
    </message>
    <message>
        <source>Encryption:</source>
        <translation>加密：</translation>
    </message>
    <message>
        <source>Only plain FTP</source>
        <translation>仅使用普通 FTP</translation>
    </message>
    <message>
        <source>Use explicit FTP over TLS if available</source>
        <translation>如果可用，使用显式 FTP over TLS</translation>
    </message>
    <message>
        <source>Require explicit FTP over TLS</source>
        <translation>要求显式 FTP over TLS</translation>
    </message>
</context>
<context>
    <name>FTPClient</name>
    <message>
        <source>Reply line too long; connection closed.</source>
        <translation>回复行过长；连接已关闭。</translation>
    </message>
    <message>
        <source>No reply from the server in time; connection closed.</source>
        <translation>服务器未及时回复；连接已关闭。</translation>
    </message>
    <message>
        <source>The server did not greet in time.</source>
        <translation>服务器未及时发送欢迎信息。</translation>
    </message>
    <message>
        <source>Compare finish, Total:</source>
        <translation>比较完成，总数：</translation>
    </message>
    <message>
        <source>, Same:</source>
        <translation>，相同：</translation>
    </message>
    <message>
        <source>501 Rename not sent: the new name holds a line break or NUL character.</source>
        <translation>501 未发送重命名：新名称含有换行符或 NUL 字符。</translation>
    </message>
    <message>
        <source>Delete Finish, Total: </source>
        <translation>删除完成，总数：</translation>
    </message>
    <message>
        <source> Success: </source>
        <translation> 成功：</translation>
    </message>
    <message>
        <source>Dowload Finish, Total: </source>
        <translation>下载完成，总数：</translation>
    </message>
    <message>
        <source>Upload Finish, Total: </source>
        <translation>上传完成，总数：</translation>
    </message>
    <message>
        <source>Empty!</source>
        <translation>空！</translation>
    </message>
    <message>
        <source>Data connection cut: less than 1 KiB moved in %1 s.</source>
        <translation>数据连接已断开：%1 秒内传输不足 1 KiB。</translation>
    </message>
    <message>
        <source>Listing cut: it passed %1 bytes.</source>
        <translation>列表已截断：超过 %1 字节。</translation>
    </message>
    <message>
        <source>The folder could not be entered.</source>
        <translation>无法进入该文件夹。</translation>
    </message>
    <message>
        <source>TLS on the data connection failed: %1</source>
        <translation>数据连接的 TLS 失败：%1</translation>
    </message>
    <message>
        <source>The server refused AUTH TLS (%1); encryption is required, so the password was not sent.</source>
        <translation>服务器拒绝了 AUTH TLS（%1）；要求加密，因此未发送密码。</translation>
    </message>
    <message>
        <source>The server offers no FTP over TLS; logging in without encryption.</source>
        <translation>服务器不提供 FTP over TLS；将不加密登录。</translation>
    </message>
    <message>
        <source>TLS connection established: %1, %2.</source>
        <translation>TLS 连接已建立：%1，%2。</translation>
    </message>
    <message>
        <source>WARNING: the certificate of %1 port %2 is not the one you trusted; connection refused. New SHA-256 fingerprint: %3</source>
        <translation>警告：%1 端口 %2 的证书不是您信任的那个；已拒绝连接。新的 SHA-256 指纹：%3</translation>
    </message>
    <message>
        <source>The certificate of %1 port %2 is not trusted (%3); connection refused. SHA-256 fingerprint: %4</source>
        <translation>%1 端口 %2 的证书不受信任（%3）；已拒绝连接。SHA-256 指纹：%4</translation>
    </message>
    <message>
        <source>The TLS handshake failed: %1</source>
        <translation>TLS 握手失败：%1</translation>
    </message>
    <message>
        <source>The server refused to encrypt data connections (%1); connection closed.</source>
        <translation>服务器拒绝加密数据连接（%1）；连接已关闭。</translation>
    </message>
    <message>
        <source>The data connection presented another certificate; it was refused.</source>
        <translation>数据连接出示了另一个证书；已拒绝。</translation>
    </message>
</context>
<context>
    <name>FTPCommandDlg</name>
    <message>
        <source>Ftp Command</source>
        <translation>FTP 命令</translation>
    </message>
    <message>
        <source>Command:</source>
        <translation>命令：</translation>
    </message>
    <message>
        <source>Run</source>
        <translation>执行</translation>
    </message>
</context>
<context>
    <name>KChmodDlg</name>
    <message>
        <source>Set Attribute</source>
        <translation>设置属性</translation>
    </message>
    <message>
        <source>Change sub-files and sub-folders</source>
        <translation>修改子文件和子文件夹</translation>
    </message>
    <message>
        <source>Change sub-files</source>
        <translation>修改子文件</translation>
    </message>
    <message>
        <source>Change sub-folders</source>
        <translation>修改子文件夹</translation>
    </message>
    <message>
        <source>Owner</source>
        <translation>所有者</translation>
    </message>
    <message>
        <source>Read</source>
        <translation>读取</translation>
    </message>
    <message>
        <source>Write</source>
        <translation>写入</translation>
    </message>
    <message>
        <source>Execute</source>
        <translation>执行</translation>
    </message>
    <message>
        <source>Group</source>
        <translation>组</translation>
    </message>
    <message>
        <source>Public</source>
        <translation>公共</translation>
    </message>
    <message>
        <source>Change</source>
        <translation>修改</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>KLanguageDialog</name>
    <message>
        <source>Choose a language</source>
        <translation>选择语言</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>English</source>
        <translation>英语</translation>
    </message>
    <message>
        <source>Chinese</source>
        <translation>中文</translation>
    </message>
    <message>
        <source>French</source>
        <translation>法语</translation>
    </message>
    <message>
        <source>German</source>
        <translation>德语</translation>
    </message>
    <message>
        <source>Italian</source>
        <translation>意大利语</translation>
    </message>
    <message>
        <source>Japanese</source>
        <translation>日语</translation>
    </message>
    <message>
        <source>Korean</source>
        <translation>韩语</translation>
    </message>
    <message>
        <source>Russian</source>
        <translation>俄语</translation>
    </message>
    <message>
        <source>Spanish</source>
        <translation>西班牙语</translation>
    </message>
</context>
<context>
    <name>KTCertificateDialog</name>
    <message>
        <source>Server certificate</source>
        <translation>服务器证书</translation>
    </message>
    <message>
        <source>WARNING: %1 port %2 presents a different certificate from the one you trusted. Someone may be intercepting the connection. Trust the new one only if you know why it changed.</source>
        <translation>警告：%1 端口 %2 出示的证书与您信任的不同。可能有人正在拦截连接。只有在您知道它为何更改时才信任新证书。</translation>
    </message>
    <message>
        <source>No known authority vouches for the certificate of %1 port %2.</source>
        <translation>没有已知的证书机构为 %1 端口 %2 的证书担保。</translation>
    </message>
    <message>
        <source>Subject:</source>
        <translation>使用者：</translation>
    </message>
    <message>
        <source>Issuer:</source>
        <translation>颁发者：</translation>
    </message>
    <message>
        <source>Valid from:</source>
        <translation>有效期自：</translation>
    </message>
    <message>
        <source>Valid until:</source>
        <translation>有效期至：</translation>
    </message>
    <message>
        <source>SHA-256 fingerprint:</source>
        <translation>SHA-256 指纹：</translation>
    </message>
    <message>
        <source>Problem:</source>
        <translation>问题：</translation>
    </message>
    <message>
        <source>Trust this certificate always</source>
        <translation>始终信任此证书</translation>
    </message>
    <message>
        <source>Only this time</source>
        <translation>仅此一次</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>KTDUFile</name>
    <message>
        <source>undowload</source>
        <translation>等待下载</translation>
    </message>
    <message>
        <source>dowloading</source>
        <translation>下载中</translation>
    </message>
    <message>
        <source>dowloaded</source>
        <translation>已下载</translation>
    </message>
    <message>
        <source>dowloadError</source>
        <translation>下载失败</translation>
    </message>
    <message>
        <source>unupload</source>
        <translation>等待上传</translation>
    </message>
    <message>
        <source>uploading</source>
        <translation>上传中</translation>
    </message>
    <message>
        <source>uploaded</source>
        <translation>已上传</translation>
    </message>
    <message>
        <source>uploadError</source>
        <translation>上传失败</translation>
    </message>
    <message>
        <source>Same</source>
        <translation>相同</translation>
    </message>
    <message>
        <source>Different</source>
        <translation>不同</translation>
    </message>
    <message>
        <source>finish</source>
        <translation>完成</translation>
    </message>
</context>
<context>
    <name>KTDelInfo</name>
    <message>
        <source>undelete</source>
        <translation>等待删除</translation>
    </message>
    <message>
        <source>deteting</source>
        <translation>删除中</translation>
    </message>
    <message>
        <source>delallfile</source>
        <translation>文件已删除</translation>
    </message>
    <message>
        <source>delfolder</source>
        <translation>删除文件夹中</translation>
    </message>
    <message>
        <source>deteted</source>
        <translation>已删除</translation>
    </message>
    <message>
        <source>unknow</source>
        <translation>未知</translation>
    </message>
    <message>
        <source>error</source>
        <translation>错误</translation>
    </message>
</context>
<context>
    <name>KTNewFolder</name>
    <message>
        <source>New Folder</source>
        <translation>新建文件夹</translation>
    </message>
    <message>
        <source>Please enter the folder name!</source>
        <translation>请输入文件夹名称！</translation>
    </message>
    <message>
        <source>Create</source>
        <translation>创建</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>MaiDialog</name>
    <message>
        <source>FTP Torvex</source>
        <translation>FTP Torvex</translation>
    </message>
    <message>
        <source>Sites</source>
        <translation>站点</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>连接</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>下载</translation>
    </message>
    <message>
        <source>Upload</source>
        <translation>上传</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>Command</source>
        <translation>命令</translation>
    </message>
    <message>
        <source>Ftp Server</source>
        <translation>FTP 服务器</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>语言</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>帮助</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名称</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>大小</translation>
    </message>
    <message>
        <source>Date Time</source>
        <translation>日期时间</translation>
    </message>
    <message>
        <source>Attrib</source>
        <translation>属性</translation>
    </message>
    <message>
        <source>Local Path</source>
        <translation>本地路径</translation>
    </message>
    <message>
        <source>Server Path</source>
        <translation>服务器路径</translation>
    </message>
    <message>
        <source>State</source>
        <translation>状态</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>进度</translation>
    </message>
    <message>
        <source>Downloading file from server!</source>
        <translation>正在从服务器下载文件！</translation>
    </message>
    <message>
        <source>Uploading files to server!</source>
        <translation>正在上传文件到服务器！</translation>
    </message>
    <message>
        <source>Deleting file!</source>
        <translation>正在删除文件！</translation>
    </message>
    <message>
        <source>Changing file name!</source>
        <translation>正在修改文件名！</translation>
    </message>
    <message>
        <source>Creating new folder!</source>
        <translation>正在新建文件夹！</translation>
    </message>
    <message>
        <source>Changing file attributes!</source>
        <translation>正在修改文件属性！</translation>
    </message>
    <message>
        <source>Comparing files!</source>
        <translation>正在比较文件！</translation>
    </message>
    <message>
        <source>Download file is completed!</source>
        <translation>文件下载完成！</translation>
    </message>
    <message>
        <source>Upload file is completed!</source>
        <translation>文件上传完成！</translation>
    </message>
    <message>
        <source>Delete files completed!</source>
        <translation>文件删除完成！</translation>
    </message>
    <message>
        <source>Modify the file is completed!</source>
        <translation>文件修改完成！</translation>
    </message>
    <message>
        <source>Change the file attributes completed!</source>
        <translation>文件属性修改完成！</translation>
    </message>
    <message>
        <source>Compare files completed!</source>
        <translation>文件比较完成！</translation>
    </message>
    <message>
        <source>Last operation not completed!</source>
        <translation>上一个操作尚未完成！</translation>
    </message>
    <message>
        <source>Not connected to the server!</source>
        <translation>未连接到服务器！</translation>
    </message>
    <message>
        <source>Connected to the server!</source>
        <translation>已连接到服务器！</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>断开</translation>
    </message>
    <message>
        <source>Stopping!</source>
        <translation>正在停止！</translation>
    </message>
    <message>
        <source>No command to run!</source>
        <translation>没有要执行的命令！</translation>
    </message>
    <message>
        <source>Restart</source>
        <translation>继续</translation>
    </message>
    <message>
        <source>Download has stopped!</source>
        <translation>下载已停止！</translation>
    </message>
    <message>
        <source>Upload has stopped!</source>
        <translation>上传已停止！</translation>
    </message>
    <message>
        <source>Comparison has stopped!</source>
        <translation>比较已停止！</translation>
    </message>
    <message>
        <source>T</source>
        <translation>T</translation>
    </message>
    <message>
        <source>New Folder</source>
        <translation>新建文件夹</translation>
    </message>
    <message>
        <source>In folder</source>
        <translation>在文件夹中显示</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>重命名</translation>
    </message>
    <message>
        <source>Compare</source>
        <translation>比较</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Dowload</source>
        <translation>下载</translation>
    </message>
    <message>
        <source>Move to ...</source>
        <translation>移动到…</translation>
    </message>
    <message>
        <source>Attributes</source>
        <translation>属性</translation>
    </message>
    <message>
        <source>Retry Errors</source>
        <translation>重试失败项</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>清空</translation>
    </message>
    <message>
        <source>You did not choose any files or directories!</source>
        <translation>您没有选择任何文件或文件夹！</translation>
    </message>
    <message>
        <source>Delete the selected files and folders from the server?</source>
        <translation>要从服务器删除所选的文件和文件夹吗？</translation>
    </message>
    <message>
        <source>You at least choose a file or folder!</source>
        <translation>请至少选择一个文件或文件夹！</translation>
    </message>
    <message>
        <source>Please select the file or directory with the same name!</source>
        <translation>请选择同名的文件或文件夹！</translation>
    </message>
    <message>
        <source>Wrong choice, Please choose the same name file or folder!</source>
        <translation>选择有误，请选择同名的文件或文件夹！</translation>
    </message>
    <message>
        <source>Failed to create a temporary directory!</source>
        <translation>创建临时文件夹失败！</translation>
    </message>
    <message>
        <source>Delete permanently?</source>
        <translation>要永久删除吗？</translation>
    </message>
    <message>
        <source>Elapsed:</source>
        <translation>已用时间：</translation>
    </message>
    <message>
        <source>Remaining:</source>
        <translation>剩余时间：</translation>
    </message>
    <message>
        <source>The connection is encrypted (FTP over TLS).</source>
        <translation>连接已加密（FTP over TLS）。</translation>
    </message>
</context>
<context>
    <name>RenameDialog</name>
    <message>
        <source>Rename Dialog</source>
        <translation>重命名</translation>
    </message>
    <message>
        <source>Please enter a new name:</source>
        <translation>请输入新名称：</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>ServerDirTree</name>
    <message>
        <source>Choose the path</source>
        <translation>选择路径</translation>
    </message>
    <message>
        <source>Please choose the file path!</source>
        <translation>请选择文件路径！</translation>
    </message>
    <message>
        <source>New Folder</source>
        <translation>新建文件夹</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Select</source>
        <translation>选择</translation>
    </message>
    <message>
        <source>Please select the folder!</source>
        <translation>请选择文件夹！</translation>
    </message>
</context>
<context>
    <name>StartFTPDialog</name>
    <message>
        <source>Start the ftp server</source>
        <translation>启动 FTP 服务器</translation>
    </message>
    <message>
        <source>IP:</source>
        <translation>IP：</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>端口：</translation>
    </message>
    <message>
        <source>Path:</source>
        <translation>路径：</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>浏览</translation>
    </message>
    <message>
        <source>Stop the ftp server</source>
        <translation>停止 FTP 服务器</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>用户名</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>密码</translation>
    </message>
    <message>
        <source>State</source>
        <translation>状态</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>用户名：</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>密码：</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Onine</source>
        <translation>在线</translation>
    </message>
    <message>
        <source>Offline</source>
        <translation>离线</translation>
    </message>
    <message>
        <source>&lt;br&gt;Please select the working folder!</source>
        <translation>&lt;br&gt;请选择工作文件夹！</translation>
    </message>
    <message>
        <source>The port must be a number from 1 to 65535!</source>
        <translation>端口必须是 1 到 65535 之间的数字！</translation>
    </message>
    <message>
        <source>You did not choose user information!</source>
        <translation>您没有选择用户！</translation>
    </message>
    <message>
        <source>FTP server has started.</source>
        <translation>FTP 服务器已启动。</translation>
    </message>
    <message>
        <source>FTP server did not start.</source>
        <translation>FTP 服务器未能启动。</translation>
    </message>
</context>
</TS>
