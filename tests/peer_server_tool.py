"""torvex-server as a program, driven with Python's ftplib: options, settings files, errors,
signals, its log, urgent ABOR, and failed TLS handshakes."""
import ftplib
import os
import signal
import socket
import sys
import unittest

sys.path.insert(0, os.path.join(os.environ.get("TORVEX_SOURCE_DIR", ""), "tests", "support"))
from serverpeer import (CLIENT_TIMEOUT, PeerCase, make_certificate,  # noqa: E402
                        pattern_bytes, read, write)


def login(port, user, password):
    """A logged-in ftplib session; the caller closes it."""
    ftp = ftplib.FTP(timeout=CLIENT_TIMEOUT)
    ftp.connect("127.0.0.1", port)
    try:
        ftp.login(user, password)
    except ftplib.Error:
        ftp.close()
        raise
    return ftp


def login_folder(port, user, password):
    ftp = login(port, user, password)
    try:
        return ftp.pwd()
    finally:
        ftp.close()


def resident_kib(pid):
    with open("/proc/%d/status" % pid) as f:
        return int(next(line for line in f if line.startswith("VmRSS:")).split()[1])


class ServerTool(PeerCase):
    def test_unusable_start_ends_with_status_1(self):
        cert, key = make_certificate(self.base)
        other_cert, other_key = make_certificate(self.base, "other")
        not_pem = os.path.join(self.base, "not.pem")
        write(not_pem, b"no certificate here\n")
        missing = os.path.join(self.base, "missing")
        taken = socket.socket()
        self.addCleanup(taken.close)
        taken.bind(("127.0.0.1", 0))
        taken.listen(1)
        busy = str(taken.getsockname()[1])
        local = ["--address", "127.0.0.1"]
        rows = [
            (["--bogus"], "unknown option"),
            (["--port"], "--port"),
            (["--port", "70000", "--root", self.root], "bad port"),
            (["--user", "nocolon", "--root", self.root], "NAME:PASSWORD"),
            (["--port", "0", *local], "--root"),
            (["--port", "0", *local, "--root", missing], "missing"),
            (["--port", busy, *local, "--root", self.root], busy),
            (self.args("--cert", missing, "--key", key), "does not exist"),
            (self.args("--cert", cert, "--key", missing), "does not exist"),
            (self.args("--cert", self.base, "--key", key), "cannot read"),
            (self.args("--cert", not_pem, "--key", key), "no PEM certificate"),
            (self.args("--cert", cert, "--key", not_pem), "no PEM private key"),
            (self.args("--cert", cert, "--key", other_key), "does not belong"),
            (self.args("--cert", other_cert), "go together"),
            (self.args("--require-tls"), "TLS needs a certificate"),
        ]
        for args, message in rows:
            with self.subTest(args=args):
                server = self.launch(args)
                self.assertEqual(server.stop(sig=None), 1)
                self.assertTrue(server.stderr_text.startswith("torvex-server: "), server.stderr_text)
                self.assertIn(message, server.stderr_text)
                self.assertFalse([line for line in server.lines if line.startswith("listening")])

    def test_signals_stop_with_status_0(self):
        for sig in (signal.SIGTERM, signal.SIGINT):
            with self.subTest(sig=sig):
                server = self.serve()
                # With no users set anywhere the default one logs in; its password is not logged.
                self.assertEqual(login_folder(server.port, "test", "581247"), "/")
                self.assertEqual(server.stop(sig), 0)
                self.assertNotIn("581247", server.output())

    def test_settings_files_give_port_folder_and_users(self):
        config = os.path.join(self.config_home, "torvex")
        with socket.socket() as probe:
            probe.bind(("127.0.0.1", 0))
            port = probe.getsockname()[1]
        server_ini = "[Server]\nIP=127.0.0.1\nPort=%d\nPath=%s\n" % (port, self.root)
        write(os.path.join(config, "server.ini"), server_ini.encode())
        users = b"[Users]\nCount=1\n\n[Node0]\nName=alice\nPassword=wonder land\nPaths=@Invalid()\n"
        write(os.path.join(config, "users.ini"), users)
        os.makedirs(os.path.join(self.root, "from settings"))
        server = self.serve(args=["--address", "127.0.0.1"])
        self.assertEqual(server.port, port)
        ftp = login(port, "alice", "wonder land")
        ftp.cwd("from settings")
        ftp.quit()
        with self.assertRaises(ftplib.error_perm):
            login(port, "test", "581247")
        self.assertEqual(server.stop(), 0)
        self.assertEqual(read(os.path.join(config, "users.ini")), users)

    def test_users_of_this_run_and_the_log(self):
        data = pattern_bytes(3_000_000, 11)
        write(os.path.join(self.root, "big.bin"), data)
        write(os.path.join(self.root, "fake\r\nforged"), b"x")
        server = self.serve("--user", "bob:pa:ss", "--user", "carol:x")
        self.assertEqual(login_folder(server.port, "carol", "x"), "/")
        with self.assertRaises(ftplib.error_perm):
            login(server.port, "test", "581247")
        ftp = login(server.port, "bob", "pa:ss")
        lines, received = [], bytearray()
        ftp.dir(lines.append)
        ftp.retrbinary("RETR big.bin", received.extend)
        ftp.quit()
        self.assertEqual(bytes(received), data)
        # A name with a line break would forge listing lines: it is left out, and the log says so.
        self.assertFalse([line for line in lines if "forged" in line], lines)
        self.assertIn("fake??forged", server.wait_for_line("notice listing leaves out") or "")
        self.assertTrue(server.wait_for_line("transfer bob RETR /big.bin %d bytes" % len(data)))
        self.assertTrue(server.wait_for_line("logout bob from 127.0.0.1:"))
        self.assertEqual(server.stop(), 0)
        self.assertIn("login carol from 127.0.0.1:", server.output())
        self.assertNotIn("pa:ss", server.output())
        # --user is for this run only: nothing lands in the settings.
        self.assertEqual([files for _, _, files in os.walk(self.config_home) if files], [])

    def test_urgent_abort_ends_a_download(self):
        size = 48 * 1024 * 1024
        write(os.path.join(self.root, "huge.bin"), pattern_bytes(size, 13))
        ftp = login(self.serve().port, "test", "581247")
        self.addCleanup(ftp.close)
        replies, received = [], bytearray()

        def take(block):
            received.extend(block)
            if not replies:
                replies.append(ftp.abort())    # ftplib sends it as urgent data, as RFC 959 asks

        self.assertTrue(ftp.retrbinary("RETR huge.bin", take).startswith("226"))
        self.assertTrue(replies[0].startswith("426"), replies)
        self.assertLess(len(received), size)
        self.assertEqual(ftp.nlst(), ["huge.bin"])

    def test_memory_flat_over_failed_handshakes(self):
        server = self.tls_server()
        garbage = [b"USER plain text where a hello belongs\r\n",
                   b"\x16\x03\x01\x00\x10" + b"\xff" * 16]

        def fail_handshakes(count):
            for i in range(count):
                with socket.create_connection(("127.0.0.1", server.port), CLIENT_TIMEOUT) as s:
                    reader = s.makefile("rb")
                    self.assertTrue(reader.readline().startswith(b"220"))
                    s.sendall(b"AUTH TLS\r\n")
                    self.assertTrue(reader.readline().startswith(b"234"))
                    s.sendall(garbage[i % 2])
                    self.assertEqual(reader.read(), b"")    # the server hangs up
            return resident_kib(server.process.pid)

        before = fail_handshakes(200)
        after = fail_handshakes(1000)
        self.assertLess(after - before, 2048, "grew from %d KiB to %d KiB" % (before, after))
        self.assertTrue(server.wait_for_line("notice TLS handshake with 127.0.0.1:"))
        self.assertEqual(login_folder(server.port, "test", "581247"), "/")


if __name__ == "__main__":
    unittest.main()
