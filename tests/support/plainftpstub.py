"""A scripted FTP server on 127.0.0.1 for one connection at a time: it greets, answers AUTH with
the reply given on the command line (an attacker who strips TLS, or a server without it), and
writes every command line it receives to a log, so a test can see whether a password was sent.
USER gets 331, PASS 530: no login ever succeeds. Ends after 60 s or 20 connections.

usage: plainftpstub.py PORTFILE LOGFILE AUTHREPLY
"""
import socket
import sys
import time

port_file, log_file, auth_reply = sys.argv[1], sys.argv[2], sys.argv[3]
listener = socket.socket()
listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
listener.bind(("127.0.0.1", 0))
listener.listen(4)
listener.settimeout(1.0)
with open(port_file, "w") as f:
    f.write(str(listener.getsockname()[1]))

deadline = time.monotonic() + 60
served = 0
with open(log_file, "a", buffering=1) as log:
    while time.monotonic() < deadline and served < 20:
        try:
            conn, _ = listener.accept()
        except socket.timeout:
            continue
        served += 1
        conn.settimeout(5.0)
        conn.sendall(b"220 stub ready\r\n")
        buffer = b""
        try:
            while b"QUIT" not in buffer.upper() and len(buffer) < 65536:
                chunk = conn.recv(4096)
                if not chunk:
                    break
                buffer += chunk
                while b"\r\n" in buffer:
                    line, buffer = buffer.split(b"\r\n", 1)
                    log.write(line.decode("utf-8", "replace") + "\n")
                    word = line.split(b" ")[0].upper()
                    reply = {b"AUTH": auth_reply.encode() + b"\r\n", b"USER": b"331 password please\r\n",
                             b"PASS": b"530 no\r\n", b"QUIT": b"221 bye\r\n"}.get(word, b"502 no\r\n")
                    conn.sendall(reply)
        except OSError:
            pass
        conn.close()
