"""A scripted FTP server on 127.0.0.1, one connection at a time: it answers AUTH with the reply
given (a server without TLS, or an attacker who strips it) and logs every command line it gets,
so a test can see whether a password was sent. No login succeeds. Ends after 60 s or 20
connections.   usage: plainftpstub.py PORTFILE LOGFILE AUTHREPLY
"""
import socket
import sys
import time

port_file, log_file, auth_reply = sys.argv[1:4]
REPLIES = {b"AUTH": auth_reply.encode(), b"USER": b"331 password please", b"PASS": b"530 no",
           b"QUIT": b"221 bye"}
listener = socket.create_server(("127.0.0.1", 0))
listener.settimeout(1.0)
with open(port_file, "w") as f:
    f.write(str(listener.getsockname()[1]))

deadline = time.monotonic() + 60
with open(log_file, "a", buffering=1) as log:
    for _ in range(20):
        while time.monotonic() < deadline:
            try:
                conn, _ = listener.accept()
                break
            except socket.timeout:
                pass
        else:
            break
        with conn, conn.makefile("rb") as lines:
            conn.settimeout(5.0)
            conn.sendall(b"220 stub ready\r\n")
            try:
                for line in lines:
                    log.write(line.decode("utf-8", "replace").rstrip("\r\n") + "\n")
                    word = line.split()[0].upper() if line.split() else b""
                    conn.sendall(REPLIES.get(word, b"502 no") + b"\r\n")
                    if word == b"QUIT":
                        break
            except OSError:
                pass
