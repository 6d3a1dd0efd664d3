<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja" sourcelanguage="en">
<context>
    <name>AuthorizeDirectory</name>
    <message>
        <source>Authorize Directory</source>
        <translation>フォルダーの許可</translation>
    </message>
    <message>
        <source>Not authorized directory:</source>
        <translation>許可されていないフォルダー：</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Authorize</source>
        <translation>許可</translation>
    </message>
    <message>
        <source>Please select the authorized directory!</source>
        <translation>許可するフォルダーを選択してください！</translation>
    </message>
    <message>
        <source>Authorization directory failed!</source>
        <translation>フォルダーを許可できませんでした！</translation>
    </message>
</context>
<context>
    <name>BackupToFTPDialog</name>
    <message>
        <source>FTP Servers</source>
        <translation>FTPサーバー</translation>
    </message>
    <message>
        <source>Sever Name</source>
        <translation>サーバー名</translation>
    </message>
    <message>
        <source>State</source>
        <translation>状態</translation>
    </message>
    <message>
        <source>Working Folder</source>
        <translation>作業フォルダー</translation>
    </message>
    <message>
        <source>Server Folder </source>
        <translation>サーバーフォルダー </translation>
    </message>
    <message>
        <source>Server Name:</source>
        <translation>サーバー名：</translation>
    </message>
    <message>
        <source>Encode:</source>
        <translation>エンコード：</translation>
    </message>
    <message>
        <source>IP:</source>
        <translation>IP：</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>ポート：</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>ユーザー名：</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>パスワード：</translation>
    </message>
    <message>
        <source>FTP Path:</source>
        <translation>FTPパス：</translation>
    </message>
    <message>
        <source>Connect server successfully, Please select a server folder!</source>
        <translation>接続後、サーバーフォルダーを選択してください！</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>参照</translation>
    </message>
    <message>
        <source>Local Path:</source>
        <translation>ローカルパス：</translation>
    </message>
    <message>
        <source>Please select a working folder!</source>
        <translation>作業フォルダーを選択してください！</translation>
    </message>
    <message>
        <source>Ftp Server</source>
        <translation>FTPサーバー</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>接続</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>切断</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>追加</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>編集</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Local ftp server has started!</source>
        <translation>ローカル FTP サーバーは起動しています！</translation>
    </message>
    <message>
        <source>Local ftp server is not started!</source>
        <translation>ローカル FTP サーバーは起動していません！</translation>
    </message>
    <message>
        <source>Connected</source>
        <translation>接続済み</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>未接続</translation>
    </message>
    <message>
        <source>Connection success!</source>
        <translation>接続しました！</translation>
    </message>
    <message>
        <source>Disconnect from the server!</source>
        <translation>サーバーから切断しました！</translation>
    </message>
    <message>
        <source>Please fill in the server information, click the connect button!</source>
        <translation>サーバー情報を入力して［接続］をクリックしてください！</translation>
    </message>
    <message>
        <source>Incomplete information!</source>
        <translation>情報が不足しています！</translation>
    </message>
    <message>
        <source>Please enter the IP address or host name of the server!</source>
        <translation>サーバーの IP アドレスまたはホスト名を入力してください！</translation>
    </message>
    <message>
        <source>Please enter the port of the server!</source>
        <translation>サーバーのポートを入力してください！</translation>
    </message>
    <message>
        <source>Please enter the user name!</source>
        <translation>ユーザー名を入力してください！</translation>
    </message>
    <message>
        <source>Please enter the password!</source>
        <translation>パスワードを入力してください！</translation>
    </message>
    <message>
        <source>The port must be a number from 1 to 65535!</source>
        <translation>ポートは 1～65535 の数値で指定してください！</translation>
    </message>
    <message>
        <source>Encryption:</source>
        <translation>暗号化:</translation>
    </message>
    <message>
        <source>Only plain FTP</source>
        <translation>通常の FTP のみ</translation>
    </message>
    <message>
        <source>Use explicit FTP over TLS if available</source>
        <translation>利用できる場合は明示的な FTP over TLS を使用</translation>
    </message>
    <message>
        <source>Require explicit FTP over TLS</source>
        <translation>明示的な FTP over TLS を必須にする</translation>
    </message>
</context>
<context>
    <name>FTPClient</name>
    <message>
        <source>Reply line too long; connection closed.</source>
        <translation>応答行が長すぎます。接続を閉じました。</translation>
    </message>
    <message>
        <source>No reply from the server in time; connection closed.</source>
        <translation>サーバーから時間内に応答がありません。接続を閉じました。</translation>
    </message>
    <message>
        <source>The server did not greet in time.</source>
        <translation>サーバーから時間内に応答メッセージがありません。</translation>
    </message>
    <message>
        <source>Compare finish, Total:</source>
        <translation>比較完了、合計：</translation>
    </message>
    <message>
        <source>, Same:</source>
        <translation>、同一：</translation>
    </message>
    <message>
        <source>501 Rename not sent: the new name holds a line break or NUL character.</source>
        <translation>501 名前の変更を送信しません：新しい名前に改行または NUL 文字が含まれています。</translation>
    </message>
    <message>
        <source>Delete Finish, Total: </source>
        <translation>削除完了、合計：</translation>
    </message>
    <message>
        <source> Success: </source>
        <translation> 成功：</translation>
    </message>
    <message>
        <source>Dowload Finish, Total: </source>
        <translation>ダウンロード完了、合計：</translation>
    </message>
    <message>
        <source>Upload Finish, Total: </source>
        <translation>アップロード完了、合計：</translation>
    </message>
    <message>
        <source>Empty!</source>
        <translation>空です！</translation>
    </message>
    <message>
        <source>Data connection cut: less than 1 KiB moved in %1 s.</source>
        <translation>データ接続を切断しました：%1 秒間の転送量が 1 KiB 未満です。</translation>
    </message>
    <message>
        <source>Listing cut: it passed %1 bytes.</source>
        <translation>一覧を打ち切りました：%1 バイトを超えました。</translation>
    </message>
    <message>
        <source>The folder could not be entered.</source>
        <translation>フォルダーに移動できませんでした。</translation>
    </message>
    <message>
        <source>TLS on the data connection failed: %1</source>
        <translation>データ接続の TLS に失敗しました: %1</translation>
    </message>
    <message>
        <source>The server refused AUTH TLS (%1); encryption is required, so the password was not sent.</source>
        <translation>サーバーが AUTH TLS を拒否しました (%1)。暗号化が必須のため、パスワードは送信していません。</translation>
    </message>
    <message>
        <source>The server offers no FTP over TLS; logging in without encryption.</source>
        <translation>サーバーは FTP over TLS に対応していません。暗号化せずにログインします。</translation>
    </message>
    <message>
        <source>TLS connection established: %1, %2.</source>
        <translation>TLS 接続を確立しました: %1、%2。</translation>
    </message>
    <message>
        <source>WARNING: the certificate of %1 port %2 is not the one you trusted; connection refused. New SHA-256 fingerprint: %3</source>
        <translation>警告: %1 ポート %2 の証明書は信頼したものと異なります。接続を拒否しました。新しい SHA-256 フィンガープリント: %3</translation>
    </message>
    <message>
        <source>The certificate of %1 port %2 is not trusted (%3); connection refused. SHA-256 fingerprint: %4</source>
        <translation>%1 ポート %2 の証明書は信頼されていません (%3)。接続を拒否しました。SHA-256 フィンガープリント: %4</translation>
    </message>
    <message>
        <source>The TLS handshake failed: %1</source>
        <translation>TLS ハンドシェイクに失敗しました: %1</translation>
    </message>
    <message>
        <source>The server refused to encrypt data connections (%1); connection closed.</source>
        <translation>サーバーがデータ接続の暗号化を拒否しました (%1)。接続を閉じました。</translation>
    </message>
    <message>
        <source>The data connection presented another certificate; it was refused.</source>
        <translation>データ接続が別の証明書を提示したため、拒否しました。</translation>
    </message>
</context>
<context>
    <name>FTPCommandDlg</name>
    <message>
        <source>Ftp Command</source>
        <translation>FTPコマンド</translation>
    </message>
    <message>
        <source>Command:</source>
        <translation>コマンド：</translation>
    </message>
    <message>
        <source>Run</source>
        <translation>実行</translation>
    </message>
</context>
<context>
    <name>KChmodDlg</name>
    <message>
        <source>Set Attribute</source>
        <translation>属性の設定</translation>
    </message>
    <message>
        <source>Change sub-files and sub-folders</source>
        <translation>サブファイルとサブフォルダーを変更</translation>
    </message>
    <message>
        <source>Change sub-files</source>
        <translation>サブファイルを変更</translation>
    </message>
    <message>
        <source>Change sub-folders</source>
        <translation>サブフォルダーを変更</translation>
    </message>
    <message>
        <source>Owner</source>
        <translation>所有者</translation>
    </message>
    <message>
        <source>Read</source>
        <translation>読み取り</translation>
    </message>
    <message>
        <source>Write</source>
        <translation>書き込み</translation>
    </message>
    <message>
        <source>Execute</source>
        <translation>実行</translation>
    </message>
    <message>
        <source>Group</source>
        <translation>グループ</translation>
    </message>
    <message>
        <source>Public</source>
        <translation>その他</translation>
    </message>
    <message>
        <source>Change</source>
        <translation>変更</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
</context>
<context>
    <name>KLanguageDialog</name>
    <message>
        <source>Choose a language</source>
        <translation>言語の選択</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>English</source>
        <translation>英語</translation>
    </message>
    <message>
        <source>Chinese</source>
        <translation>中国語</translation>
    </message>
    <message>
        <source>French</source>
        <translation>フランス語</translation>
    </message>
    <message>
        <source>German</source>
        <translation>ドイツ語</translation>
    </message>
    <message>
        <source>Italian</source>
        <translation>イタリア語</translation>
    </message>
    <message>
        <source>Japanese</source>
        <translation>日本語</translation>
    </message>
    <message>
        <source>Korean</source>
        <translation>韓国語</translation>
    </message>
    <message>
        <source>Russian</source>
        <translation>ロシア語</translation>
    </message>
    <message>
        <source>Spanish</source>
        <translation>スペイン語</translation>
    </message>
</context>
<context>
    <name>KTCertificateDialog</name>
    <message>
        <source>Server certificate</source>
        <translation>サーバー証明書</translation>
    </message>
    <message>
        <source>WARNING: %1 port %2 presents a different certificate from the one you trusted. Someone may be intercepting the connection. Trust the new one only if you know why it changed.</source>
        <translation>警告: %1 ポート %2 は信頼した証明書とは異なる証明書を提示しています。接続が傍受されている可能性があります。変更の理由が分かる場合にのみ新しい証明書を信頼してください。</translation>
    </message>
    <message>
        <source>No known authority vouches for the certificate of %1 port %2.</source>
        <translation>%1 ポート %2 の証明書を保証する既知の認証局はありません。</translation>
    </message>
    <message>
        <source>Subject:</source>
        <translation>サブジェクト:</translation>
    </message>
    <message>
        <source>Issuer:</source>
        <translation>発行者:</translation>
    </message>
    <message>
        <source>Valid from:</source>
        <translation>有効期間の開始:</translation>
    </message>
    <message>
        <source>Valid until:</source>
        <translation>有効期間の終了:</translation>
    </message>
    <message>
        <source>SHA-256 fingerprint:</source>
        <translation>SHA-256 フィンガープリント:</translation>
    </message>
    <message>
        <source>Problem:</source>
        <translation>問題:</translation>
    </message>
    <message>
        <source>Trust this certificate always</source>
        <translation>この証明書を常に信頼する</translation>
    </message>
    <message>
        <source>Only this time</source>
        <translation>今回のみ</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
</context>
<context>
    <name>KTDUFile</name>
    <message>
        <source>undowload</source>
        <translation>待機中</translation>
    </message>
    <message>
        <source>dowloading</source>
        <translation>ダウンロード中</translation>
    </message>
    <message>
        <source>dowloaded</source>
        <translation>ダウンロード済み</translation>
    </message>
    <message>
        <source>dowloadError</source>
        <translation>失敗</translation>
    </message>
    <message>
        <source>unupload</source>
        <translation>待機中</translation>
    </message>
    <message>
        <source>uploading</source>
        <translation>アップロード中</translation>
    </message>
    <message>
        <source>uploaded</source>
        <translation>アップロード済み</translation>
    </message>
    <message>
        <source>uploadError</source>
        <translation>失敗</translation>
    </message>
    <message>
        <source>Same</source>
        <translation>同一</translation>
    </message>
    <message>
        <source>Different</source>
        <translation>相違</translation>
    </message>
    <message>
        <source>finish</source>
        <translation>完了</translation>
    </message>
</context>
<context>
    <name>KTDelInfo</name>
    <message>
        <source>undelete</source>
        <translation>待機中</translation>
    </message>
    <message>
        <source>deteting</source>
        <translation>削除中</translation>
    </message>
    <message>
        <source>delallfile</source>
        <translation>ファイル削除済み</translation>
    </message>
    <message>
        <source>delfolder</source>
        <translation>フォルダー削除中</translation>
    </message>
    <message>
        <source>deteted</source>
        <translation>削除済み</translation>
    </message>
    <message>
        <source>unknow</source>
        <translation>不明</translation>
    </message>
    <message>
        <source>error</source>
        <translation>エラー</translation>
    </message>
</context>
<context>
    <name>KTNewFolder</name>
    <message>
        <source>New Folder</source>
        <translation>新しいフォルダー</translation>
    </message>
    <message>
        <source>Please enter the folder name!</source>
        <translation>フォルダー名を入力してください！</translation>
    </message>
    <message>
        <source>Create</source>
        <translation>作成</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
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
        <translation>サイト</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>接続</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>ダウンロード</translation>
    </message>
    <message>
        <source>Upload</source>
        <translation>アップロード</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>Command</source>
        <translation>コマンド</translation>
    </message>
    <message>
        <source>Ftp Server</source>
        <translation>FTPサーバー</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>言語</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>ヘルプ</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名前</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>サイズ</translation>
    </message>
    <message>
        <source>Date Time</source>
        <translation>日時</translation>
    </message>
    <message>
        <source>Attrib</source>
        <translation>属性</translation>
    </message>
    <message>
        <source>Local Path</source>
        <translation>ローカルパス</translation>
    </message>
    <message>
        <source>Server Path</source>
        <translation>サーバーパス</translation>
    </message>
    <message>
        <source>State</source>
        <translation>状態</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>進捗</translation>
    </message>
    <message>
        <source>Downloading file from server!</source>
        <translation>サーバーからファイルをダウンロードしています！</translation>
    </message>
    <message>
        <source>Uploading files to server!</source>
        <translation>サーバーへファイルをアップロードしています！</translation>
    </message>
    <message>
        <source>Deleting file!</source>
        <translation>ファイルを削除しています！</translation>
    </message>
    <message>
        <source>Changing file name!</source>
        <translation>ファイル名を変更しています！</translation>
    </message>
    <message>
        <source>Creating new folder!</source>
        <translation>新しいフォルダーを作成しています！</translation>
    </message>
    <message>
        <source>Changing file attributes!</source>
        <translation>ファイル属性を変更しています！</translation>
    </message>
    <message>
        <source>Comparing files!</source>
        <translation>ファイルを比較しています！</translation>
    </message>
    <message>
        <source>Download file is completed!</source>
        <translation>ダウンロードが完了しました！</translation>
    </message>
    <message>
        <source>Upload file is completed!</source>
        <translation>アップロードが完了しました！</translation>
    </message>
    <message>
        <source>Delete files completed!</source>
        <translation>削除が完了しました！</translation>
    </message>
    <message>
        <source>Modify the file is completed!</source>
        <translation>変更が完了しました！</translation>
    </message>
    <message>
        <source>Change the file attributes completed!</source>
        <translation>属性の変更が完了しました！</translation>
    </message>
    <message>
        <source>Compare files completed!</source>
        <translation>比較が完了しました！</translation>
    </message>
    <message>
        <source>Last operation not completed!</source>
        <translation>前の操作がまだ完了していません！</translation>
    </message>
    <message>
        <source>Not connected to the server!</source>
        <translation>サーバーに接続していません！</translation>
    </message>
    <message>
        <source>Connected to the server!</source>
        <translation>サーバーに接続しました！</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>切断</translation>
    </message>
    <message>
        <source>Stopping!</source>
        <translation>停止しています！</translation>
    </message>
    <message>
        <source>No command to run!</source>
        <translation>実行するコマンドがありません！</translation>
    </message>
    <message>
        <source>Restart</source>
        <translation>再開</translation>
    </message>
    <message>
        <source>Download has stopped!</source>
        <translation>ダウンロードを停止しました！</translation>
    </message>
    <message>
        <source>Upload has stopped!</source>
        <translation>アップロードを停止しました！</translation>
    </message>
    <message>
        <source>Comparison has stopped!</source>
        <translation>比較を停止しました！</translation>
    </message>
    <message>
        <source>T</source>
        <translation>T</translation>
    </message>
    <message>
        <source>New Folder</source>
        <translation>新しいフォルダー</translation>
    </message>
    <message>
        <source>In folder</source>
        <translation>フォルダーを開く</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>名前の変更</translation>
    </message>
    <message>
        <source>Compare</source>
        <translation>比較</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>Dowload</source>
        <translation>ダウンロード</translation>
    </message>
    <message>
        <source>Move to ...</source>
        <translation>移動先…</translation>
    </message>
    <message>
        <source>Attributes</source>
        <translation>属性</translation>
    </message>
    <message>
        <source>Retry Errors</source>
        <translation>エラーを再試行</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>クリア</translation>
    </message>
    <message>
        <source>You did not choose any files or directories!</source>
        <translation>ファイルまたはフォルダーが選択されていません！</translation>
    </message>
    <message>
        <source>Delete the selected files and folders from the server?</source>
        <translation>選択したファイルとフォルダーをサーバーから削除しますか？</translation>
    </message>
    <message>
        <source>You at least choose a file or folder!</source>
        <translation>少なくとも 1 つのファイルまたはフォルダーを選択してください！</translation>
    </message>
    <message>
        <source>Please select the file or directory with the same name!</source>
        <translation>同じ名前のファイルまたはフォルダーを選択してください！</translation>
    </message>
    <message>
        <source>Wrong choice, Please choose the same name file or folder!</source>
        <translation>選択が正しくありません。同じ名前のファイルまたはフォルダーを選択してください！</translation>
    </message>
    <message>
        <source>Failed to create a temporary directory!</source>
        <translation>一時フォルダーを作成できませんでした！</translation>
    </message>
    <message>
        <source>Delete permanently?</source>
        <translation>完全に削除しますか？</translation>
    </message>
    <message>
        <source>Elapsed:</source>
        <translation>経過：</translation>
    </message>
    <message>
        <source>Remaining:</source>
        <translation>残り：</translation>
    </message>
    <message>
        <source>The connection is encrypted (FTP over TLS).</source>
        <translation>接続は暗号化されています (FTP over TLS)。</translation>
    </message>
</context>
<context>
    <name>RenameDialog</name>
    <message>
        <source>Rename Dialog</source>
        <translation>名前の変更</translation>
    </message>
    <message>
        <source>Please enter a new name:</source>
        <translation>新しい名前を入力してください：</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
</context>
<context>
    <name>ServerDirTree</name>
    <message>
        <source>Choose the path</source>
        <translation>パスの選択</translation>
    </message>
    <message>
        <source>Please choose the file path!</source>
        <translation>パスを選択してください！</translation>
    </message>
    <message>
        <source>New Folder</source>
        <translation>新しいフォルダー</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Select</source>
        <translation>選択</translation>
    </message>
    <message>
        <source>Please select the folder!</source>
        <translation>フォルダーを選択してください！</translation>
    </message>
</context>
<context>
    <name>StartFTPDialog</name>
    <message>
        <source>Start the ftp server</source>
        <translation>FTPサーバーを起動</translation>
    </message>
    <message>
        <source>IP:</source>
        <translation>IP：</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>ポート：</translation>
    </message>
    <message>
        <source>Path:</source>
        <translation>パス：</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>参照</translation>
    </message>
    <message>
        <source>Stop the ftp server</source>
        <translation>FTPサーバーを停止</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>ユーザー名</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>パスワード</translation>
    </message>
    <message>
        <source>State</source>
        <translation>状態</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>ユーザー名：</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>パスワード：</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Onine</source>
        <translation>オンライン</translation>
    </message>
    <message>
        <source>Offline</source>
        <translation>オフライン</translation>
    </message>
    <message>
        <source>&lt;br&gt;Please select the working folder!</source>
        <translation>&lt;br&gt;作業フォルダーを選択してください！</translation>
    </message>
    <message>
        <source>The port must be a number from 1 to 65535!</source>
        <translation>ポートは 1～65535 の数値で指定してください！</translation>
    </message>
    <message>
        <source>You did not choose user information!</source>
        <translation>ユーザーが選択されていません！</translation>
    </message>
    <message>
        <source>FTP server has started.</source>
        <translation>FTPサーバーを起動しました。</translation>
    </message>
    <message>
        <source>FTP server did not start.</source>
        <translation>FTPサーバーを起動できませんでした。</translation>
    </message>
</context>
</TS>
