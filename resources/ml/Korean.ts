<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ko" sourcelanguage="en">
<context>
    <name>AuthorizeDirectory</name>
    <message>
        <source>Authorize Directory</source>
        <translation>폴더 권한 부여</translation>
    </message>
    <message>
        <source>Not authorized directory:</source>
        <translation>권한이 없는 폴더:</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>취소</translation>
    </message>
    <message>
        <source>Authorize</source>
        <translation>권한 부여</translation>
    </message>
    <message>
        <source>Please select the authorized directory!</source>
        <translation>권한을 부여할 폴더를 선택하십시오!</translation>
    </message>
    <message>
        <source>Authorization directory failed!</source>
        <translation>폴더 권한 부여에 실패했습니다!</translation>
    </message>
</context>
<context>
    <name>BackupToFTPDialog</name>
    <message>
        <source>FTP Servers</source>
        <translation>FTP 서버</translation>
    </message>
    <message>
        <source>Sever Name</source>
        <translation>서버 이름</translation>
    </message>
    <message>
        <source>State</source>
        <translation>상태</translation>
    </message>
    <message>
        <source>Working Folder</source>
        <translation>작업 폴더</translation>
    </message>
    <message>
        <source>Server Folder </source>
        <translation>서버 폴더 </translation>
    </message>
    <message>
        <source>Server Name:</source>
        <translation>서버 이름:</translation>
    </message>
    <message>
        <source>Encode:</source>
        <translation>인코딩:</translation>
    </message>
    <message>
        <source>IP:</source>
        <translation>IP:</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>포트:</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>사용자 이름:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>비밀번호:</translation>
    </message>
    <message>
        <source>FTP Path:</source>
        <translation>FTP 경로:</translation>
    </message>
    <message>
        <source>Connect server successfully, Please select a server folder!</source>
        <translation>연결한 뒤 서버 폴더를 선택하십시오!</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>찾아보기</translation>
    </message>
    <message>
        <source>Local Path:</source>
        <translation>로컬 경로:</translation>
    </message>
    <message>
        <source>Please select a working folder!</source>
        <translation>작업 폴더를 선택하십시오!</translation>
    </message>
    <message>
        <source>Ftp Server</source>
        <translation>FTP 서버</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>연결</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>연결 끊기</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>추가</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>편집</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>제거</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>확인</translation>
    </message>
    <message>
        <source>Local ftp server has started!</source>
        <translation>로컬 FTP 서버가 시작되었습니다!</translation>
    </message>
    <message>
        <source>Local ftp server is not started!</source>
        <translation>로컬 FTP 서버가 시작되지 않았습니다!</translation>
    </message>
    <message>
        <source>Connected</source>
        <translation>연결됨</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>연결 안 됨</translation>
    </message>
    <message>
        <source>Connection success!</source>
        <translation>연결되었습니다!</translation>
    </message>
    <message>
        <source>Disconnect from the server!</source>
        <translation>서버와의 연결이 끊어졌습니다!</translation>
    </message>
    <message>
        <source>Please fill in the server information, click the connect button!</source>
        <translation>서버 정보를 입력한 뒤 [연결] 단추를 누르십시오!</translation>
    </message>
    <message>
        <source>Incomplete information!</source>
        <translation>정보가 완전하지 않습니다!</translation>
    </message>
    <message>
        <source>Please enter the IP address or host name of the server!</source>
        <translation>서버의 IP 주소나 호스트 이름을 입력하십시오!</translation>
    </message>
    <message>
        <source>Please enter the port of the server!</source>
        <translation>서버 포트를 입력하십시오!</translation>
    </message>
    <message>
        <source>Please enter the user name!</source>
        <translation>사용자 이름을 입력하십시오!</translation>
    </message>
    <message>
        <source>Please enter the password!</source>
        <translation>비밀번호를 입력하십시오!</translation>
    </message>
    <message>
        <source>The port must be a number from 1 to 65535!</source>
        <translation>포트는 1에서 65535 사이의 숫자여야 합니다!</translation>
    </message>
    <message>
        <source>Encryption:</source>
        <translation>암호화:</translation>
    </message>
    <message>
        <source>Only plain FTP</source>
        <translation>일반 FTP만 사용</translation>
    </message>
    <message>
        <source>Use explicit FTP over TLS if available</source>
        <translation>가능하면 명시적 FTP over TLS 사용</translation>
    </message>
    <message>
        <source>Require explicit FTP over TLS</source>
        <translation>명시적 FTP over TLS 필수</translation>
    </message>
</context>
<context>
    <name>FTPClient</name>
    <message>
        <source>Reply line too long; connection closed.</source>
        <translation>응답 줄이 너무 깁니다. 연결을 닫았습니다.</translation>
    </message>
    <message>
        <source>No reply from the server in time; connection closed.</source>
        <translation>서버가 제때 응답하지 않았습니다. 연결을 닫았습니다.</translation>
    </message>
    <message>
        <source>The server did not greet in time.</source>
        <translation>서버가 제때 환영 메시지를 보내지 않았습니다.</translation>
    </message>
    <message>
        <source>Compare finish, Total:</source>
        <translation>비교 완료, 전체:</translation>
    </message>
    <message>
        <source>, Same:</source>
        <translation>, 같음:</translation>
    </message>
    <message>
        <source>501 Rename not sent: the new name holds a line break or NUL character.</source>
        <translation>501 이름 바꾸기를 보내지 않음: 새 이름에 줄 바꿈이나 NUL 문자가 있습니다.</translation>
    </message>
    <message>
        <source>Delete Finish, Total: </source>
        <translation>삭제 완료, 전체: </translation>
    </message>
    <message>
        <source> Success: </source>
        <translation> 성공: </translation>
    </message>
    <message>
        <source>Dowload Finish, Total: </source>
        <translation>다운로드 완료, 전체: </translation>
    </message>
    <message>
        <source>Upload Finish, Total: </source>
        <translation>업로드 완료, 전체: </translation>
    </message>
    <message>
        <source>Empty!</source>
        <translation>비어 있음!</translation>
    </message>
    <message>
        <source>Data connection cut: less than 1 KiB moved in %1 s.</source>
        <translation>데이터 연결 끊김: %1초 동안 1KiB 미만 전송됨.</translation>
    </message>
    <message>
        <source>Listing cut: it passed %1 bytes.</source>
        <translation>목록 잘림: %1바이트를 초과했습니다.</translation>
    </message>
    <message>
        <source>The folder could not be entered.</source>
        <translation>폴더에 들어갈 수 없습니다.</translation>
    </message>
    <message>
        <source>TLS on the data connection failed: %1</source>
        <translation>데이터 연결의 TLS 실패: %1</translation>
    </message>
    <message>
        <source>The server refused AUTH TLS (%1); encryption is required, so the password was not sent.</source>
        <translation>서버가 AUTH TLS를 거부했습니다(%1). 암호화가 필수이므로 비밀번호를 보내지 않았습니다.</translation>
    </message>
    <message>
        <source>The server offers no FTP over TLS; logging in without encryption.</source>
        <translation>서버가 FTP over TLS를 제공하지 않습니다. 암호화 없이 로그인합니다.</translation>
    </message>
    <message>
        <source>TLS connection established: %1, %2.</source>
        <translation>TLS 연결 수립: %1, %2.</translation>
    </message>
    <message>
        <source>WARNING: the certificate of %1 port %2 is not the one you trusted; connection refused. New SHA-256 fingerprint: %3</source>
        <translation>경고: %1 포트 %2의 인증서가 신뢰한 인증서와 다릅니다. 연결을 거부했습니다. 새 SHA-256 지문: %3</translation>
    </message>
    <message>
        <source>The certificate of %1 port %2 is not trusted (%3); connection refused. SHA-256 fingerprint: %4</source>
        <translation>%1 포트 %2의 인증서를 신뢰할 수 없습니다(%3). 연결을 거부했습니다. SHA-256 지문: %4</translation>
    </message>
    <message>
        <source>The TLS handshake failed: %1</source>
        <translation>TLS 핸드셰이크 실패: %1</translation>
    </message>
    <message>
        <source>The server refused to encrypt data connections (%1); connection closed.</source>
        <translation>서버가 데이터 연결 암호화를 거부했습니다(%1). 연결을 닫았습니다.</translation>
    </message>
    <message>
        <source>The data connection presented another certificate; it was refused.</source>
        <translation>데이터 연결이 다른 인증서를 제시하여 거부했습니다.</translation>
    </message>
</context>
<context>
    <name>FTPCommandDlg</name>
    <message>
        <source>Ftp Command</source>
        <translation>FTP 명령</translation>
    </message>
    <message>
        <source>Command:</source>
        <translation>명령:</translation>
    </message>
    <message>
        <source>Run</source>
        <translation>실행</translation>
    </message>
</context>
<context>
    <name>KChmodDlg</name>
    <message>
        <source>Set Attribute</source>
        <translation>속성 설정</translation>
    </message>
    <message>
        <source>Change sub-files and sub-folders</source>
        <translation>하위 파일과 하위 폴더 변경</translation>
    </message>
    <message>
        <source>Change sub-files</source>
        <translation>하위 파일 변경</translation>
    </message>
    <message>
        <source>Change sub-folders</source>
        <translation>하위 폴더 변경</translation>
    </message>
    <message>
        <source>Owner</source>
        <translation>소유자</translation>
    </message>
    <message>
        <source>Read</source>
        <translation>읽기</translation>
    </message>
    <message>
        <source>Write</source>
        <translation>쓰기</translation>
    </message>
    <message>
        <source>Execute</source>
        <translation>실행</translation>
    </message>
    <message>
        <source>Group</source>
        <translation>그룹</translation>
    </message>
    <message>
        <source>Public</source>
        <translation>기타</translation>
    </message>
    <message>
        <source>Change</source>
        <translation>변경</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>취소</translation>
    </message>
</context>
<context>
    <name>KLanguageDialog</name>
    <message>
        <source>Choose a language</source>
        <translation>언어 선택</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>취소</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>확인</translation>
    </message>
    <message>
        <source>English</source>
        <translation>영어</translation>
    </message>
    <message>
        <source>Chinese</source>
        <translation>중국어</translation>
    </message>
    <message>
        <source>French</source>
        <translation>프랑스어</translation>
    </message>
    <message>
        <source>German</source>
        <translation>독일어</translation>
    </message>
    <message>
        <source>Italian</source>
        <translation>이탈리아어</translation>
    </message>
    <message>
        <source>Japanese</source>
        <translation>일본어</translation>
    </message>
    <message>
        <source>Korean</source>
        <translation>한국어</translation>
    </message>
    <message>
        <source>Russian</source>
        <translation>러시아어</translation>
    </message>
    <message>
        <source>Spanish</source>
        <translation>스페인어</translation>
    </message>
</context>
<context>
    <name>KTCertificateDialog</name>
    <message>
        <source>Server certificate</source>
        <translation>서버 인증서</translation>
    </message>
    <message>
        <source>WARNING: %1 port %2 presents a different certificate from the one you trusted. Someone may be intercepting the connection. Trust the new one only if you know why it changed.</source>
        <translation>경고: %1 포트 %2가 신뢰한 인증서와 다른 인증서를 제시합니다. 누군가 연결을 가로채고 있을 수 있습니다. 변경된 이유를 아는 경우에만 새 인증서를 신뢰하십시오.</translation>
    </message>
    <message>
        <source>No known authority vouches for the certificate of %1 port %2.</source>
        <translation>%1 포트 %2의 인증서를 보증하는 알려진 인증 기관이 없습니다.</translation>
    </message>
    <message>
        <source>Subject:</source>
        <translation>주체:</translation>
    </message>
    <message>
        <source>Issuer:</source>
        <translation>발급자:</translation>
    </message>
    <message>
        <source>Valid from:</source>
        <translation>유효 시작:</translation>
    </message>
    <message>
        <source>Valid until:</source>
        <translation>유효 종료:</translation>
    </message>
    <message>
        <source>SHA-256 fingerprint:</source>
        <translation>SHA-256 지문:</translation>
    </message>
    <message>
        <source>Problem:</source>
        <translation>문제:</translation>
    </message>
    <message>
        <source>Trust this certificate always</source>
        <translation>이 인증서를 항상 신뢰</translation>
    </message>
    <message>
        <source>Only this time</source>
        <translation>이번만</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>취소</translation>
    </message>
</context>
<context>
    <name>KTDUFile</name>
    <message>
        <source>undowload</source>
        <translation>대기 중</translation>
    </message>
    <message>
        <source>dowloading</source>
        <translation>다운로드 중</translation>
    </message>
    <message>
        <source>dowloaded</source>
        <translation>다운로드됨</translation>
    </message>
    <message>
        <source>dowloadError</source>
        <translation>실패</translation>
    </message>
    <message>
        <source>unupload</source>
        <translation>대기 중</translation>
    </message>
    <message>
        <source>uploading</source>
        <translation>업로드 중</translation>
    </message>
    <message>
        <source>uploaded</source>
        <translation>업로드됨</translation>
    </message>
    <message>
        <source>uploadError</source>
        <translation>실패</translation>
    </message>
    <message>
        <source>Same</source>
        <translation>같음</translation>
    </message>
    <message>
        <source>Different</source>
        <translation>다름</translation>
    </message>
    <message>
        <source>finish</source>
        <translation>완료</translation>
    </message>
</context>
<context>
    <name>KTDelInfo</name>
    <message>
        <source>undelete</source>
        <translation>대기 중</translation>
    </message>
    <message>
        <source>deteting</source>
        <translation>삭제 중</translation>
    </message>
    <message>
        <source>delallfile</source>
        <translation>파일 삭제됨</translation>
    </message>
    <message>
        <source>delfolder</source>
        <translation>폴더 삭제 중</translation>
    </message>
    <message>
        <source>deteted</source>
        <translation>삭제됨</translation>
    </message>
    <message>
        <source>unknow</source>
        <translation>알 수 없음</translation>
    </message>
    <message>
        <source>error</source>
        <translation>오류</translation>
    </message>
</context>
<context>
    <name>KTNewFolder</name>
    <message>
        <source>New Folder</source>
        <translation>새 폴더</translation>
    </message>
    <message>
        <source>Please enter the folder name!</source>
        <translation>폴더 이름을 입력하십시오!</translation>
    </message>
    <message>
        <source>Create</source>
        <translation>만들기</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>취소</translation>
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
        <translation>사이트</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>연결</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>다운로드</translation>
    </message>
    <message>
        <source>Upload</source>
        <translation>업로드</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>중지</translation>
    </message>
    <message>
        <source>Command</source>
        <translation>명령</translation>
    </message>
    <message>
        <source>Ftp Server</source>
        <translation>FTP 서버</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>언어</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>도움말</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>이름</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>크기</translation>
    </message>
    <message>
        <source>Date Time</source>
        <translation>날짜/시간</translation>
    </message>
    <message>
        <source>Attrib</source>
        <translation>속성</translation>
    </message>
    <message>
        <source>Local Path</source>
        <translation>로컬 경로</translation>
    </message>
    <message>
        <source>Server Path</source>
        <translation>서버 경로</translation>
    </message>
    <message>
        <source>State</source>
        <translation>상태</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>진행률</translation>
    </message>
    <message>
        <source>Downloading file from server!</source>
        <translation>서버에서 파일을 다운로드하는 중입니다!</translation>
    </message>
    <message>
        <source>Uploading files to server!</source>
        <translation>서버로 파일을 업로드하는 중입니다!</translation>
    </message>
    <message>
        <source>Deleting file!</source>
        <translation>파일을 삭제하는 중입니다!</translation>
    </message>
    <message>
        <source>Changing file name!</source>
        <translation>파일 이름을 변경하는 중입니다!</translation>
    </message>
    <message>
        <source>Creating new folder!</source>
        <translation>새 폴더를 만드는 중입니다!</translation>
    </message>
    <message>
        <source>Changing file attributes!</source>
        <translation>파일 속성을 변경하는 중입니다!</translation>
    </message>
    <message>
        <source>Comparing files!</source>
        <translation>파일을 비교하는 중입니다!</translation>
    </message>
    <message>
        <source>Download file is completed!</source>
        <translation>다운로드가 완료되었습니다!</translation>
    </message>
    <message>
        <source>Upload file is completed!</source>
        <translation>업로드가 완료되었습니다!</translation>
    </message>
    <message>
        <source>Delete files completed!</source>
        <translation>삭제가 완료되었습니다!</translation>
    </message>
    <message>
        <source>Modify the file is completed!</source>
        <translation>변경이 완료되었습니다!</translation>
    </message>
    <message>
        <source>Change the file attributes completed!</source>
        <translation>속성 변경이 완료되었습니다!</translation>
    </message>
    <message>
        <source>Compare files completed!</source>
        <translation>비교가 완료되었습니다!</translation>
    </message>
    <message>
        <source>Last operation not completed!</source>
        <translation>이전 작업이 아직 끝나지 않았습니다!</translation>
    </message>
    <message>
        <source>Not connected to the server!</source>
        <translation>서버에 연결되어 있지 않습니다!</translation>
    </message>
    <message>
        <source>Connected to the server!</source>
        <translation>서버에 연결되었습니다!</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>연결 끊기</translation>
    </message>
    <message>
        <source>Stopping!</source>
        <translation>중지하는 중입니다!</translation>
    </message>
    <message>
        <source>No command to run!</source>
        <translation>실행할 명령이 없습니다!</translation>
    </message>
    <message>
        <source>Restart</source>
        <translation>재개</translation>
    </message>
    <message>
        <source>Download has stopped!</source>
        <translation>다운로드가 중지되었습니다!</translation>
    </message>
    <message>
        <source>Upload has stopped!</source>
        <translation>업로드가 중지되었습니다!</translation>
    </message>
    <message>
        <source>Comparison has stopped!</source>
        <translation>비교가 중지되었습니다!</translation>
    </message>
    <message>
        <source>T</source>
        <translation>T</translation>
    </message>
    <message>
        <source>New Folder</source>
        <translation>새 폴더</translation>
    </message>
    <message>
        <source>In folder</source>
        <translation>폴더 열기</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>이름 바꾸기</translation>
    </message>
    <message>
        <source>Compare</source>
        <translation>비교</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>삭제</translation>
    </message>
    <message>
        <source>Dowload</source>
        <translation>다운로드</translation>
    </message>
    <message>
        <source>Move to ...</source>
        <translation>이동…</translation>
    </message>
    <message>
        <source>Attributes</source>
        <translation>속성</translation>
    </message>
    <message>
        <source>Retry Errors</source>
        <translation>오류 다시 시도</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>지우기</translation>
    </message>
    <message>
        <source>You did not choose any files or directories!</source>
        <translation>파일이나 폴더를 선택하지 않았습니다!</translation>
    </message>
    <message>
        <source>Delete the selected files and folders from the server?</source>
        <translation>선택한 파일과 폴더를 서버에서 삭제하시겠습니까?</translation>
    </message>
    <message>
        <source>You at least choose a file or folder!</source>
        <translation>파일이나 폴더를 하나 이상 선택하십시오!</translation>
    </message>
    <message>
        <source>Please select the file or directory with the same name!</source>
        <translation>같은 이름의 파일이나 폴더를 선택하십시오!</translation>
    </message>
    <message>
        <source>Wrong choice, Please choose the same name file or folder!</source>
        <translation>잘못 선택했습니다. 같은 이름의 파일이나 폴더를 선택하십시오!</translation>
    </message>
    <message>
        <source>Failed to create a temporary directory!</source>
        <translation>임시 폴더를 만들지 못했습니다!</translation>
    </message>
    <message>
        <source>Delete permanently?</source>
        <translation>영구히 삭제하시겠습니까?</translation>
    </message>
    <message>
        <source>Elapsed:</source>
        <translation>경과:</translation>
    </message>
    <message>
        <source>Remaining:</source>
        <translation>남은 시간:</translation>
    </message>
    <message>
        <source>The connection is encrypted (FTP over TLS).</source>
        <translation>연결이 암호화되어 있습니다(FTP over TLS).</translation>
    </message>
</context>
<context>
    <name>RenameDialog</name>
    <message>
        <source>Rename Dialog</source>
        <translation>이름 바꾸기</translation>
    </message>
    <message>
        <source>Please enter a new name:</source>
        <translation>새 이름을 입력하십시오:</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>확인</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>취소</translation>
    </message>
</context>
<context>
    <name>ServerDirTree</name>
    <message>
        <source>Choose the path</source>
        <translation>경로 선택</translation>
    </message>
    <message>
        <source>Please choose the file path!</source>
        <translation>경로를 선택하십시오!</translation>
    </message>
    <message>
        <source>New Folder</source>
        <translation>새 폴더</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>취소</translation>
    </message>
    <message>
        <source>Select</source>
        <translation>선택</translation>
    </message>
    <message>
        <source>Please select the folder!</source>
        <translation>폴더를 선택하십시오!</translation>
    </message>
</context>
<context>
    <name>StartFTPDialog</name>
    <message>
        <source>Start the ftp server</source>
        <translation>FTP 서버 시작</translation>
    </message>
    <message>
        <source>IP:</source>
        <translation>IP:</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>포트:</translation>
    </message>
    <message>
        <source>Path:</source>
        <translation>경로:</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>찾아보기</translation>
    </message>
    <message>
        <source>Stop the ftp server</source>
        <translation>FTP 서버 중지</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>사용자 이름</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>비밀번호</translation>
    </message>
    <message>
        <source>State</source>
        <translation>상태</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>사용자 이름:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>비밀번호:</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>저장</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>삭제</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>확인</translation>
    </message>
    <message>
        <source>Onine</source>
        <translation>온라인</translation>
    </message>
    <message>
        <source>Offline</source>
        <translation>오프라인</translation>
    </message>
    <message>
        <source>&lt;br&gt;Please select the working folder!</source>
        <translation>&lt;br&gt;작업 폴더를 선택하십시오!</translation>
    </message>
    <message>
        <source>The port must be a number from 1 to 65535!</source>
        <translation>포트는 1에서 65535 사이의 숫자여야 합니다!</translation>
    </message>
    <message>
        <source>You did not choose user information!</source>
        <translation>사용자를 선택하지 않았습니다!</translation>
    </message>
    <message>
        <source>FTP server has started.</source>
        <translation>FTP 서버가 시작되었습니다.</translation>
    </message>
    <message>
        <source>FTP server did not start.</source>
        <translation>FTP 서버를 시작하지 못했습니다.</translation>
    </message>
</context>
</TS>
