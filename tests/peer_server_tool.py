"""torvex-server as a program: options, settings files, errors, signals and its log."""
import ftplib
import os
import shutil
import signal
import socket
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.environ.get("TORVEX_SOURCE_DIR", ""), "tests", "support"))
from serverpeer import (CLIENT_TIMEOUT, TorvexServer, free_loopback_port,  # noqa: E402
                        make_certificate)


def write_ini(path, text):
    with open(path, "w") as f:
        f.write(text)


class ServerTool(unittest.TestCase):
    def setUp(self):
        self.base = tempfile.mkdtemp(prefix="torvex-tool-")
        self.root = os.path.join(self.base, "root")
        self.config_home = os.path.join(self.base, "config")
        # The tool keeps its settings in a folder of its own inside the configuration folder.
        self.config = os.path.join(self.config_home, "torvex")
        os.makedirs(self.root)
        os.makedirs(self.config)

    def tearDown(self):
        shutil.rmtree(self.base, ignore_errors=True)

    def server(self, args):
        return TorvexServer(self.root, args=args, config_home=self.config_home)

    def failing_start(self, args):
        server = self.server(args).launch()
        try:
            status = server.finish()
        finally:
            server.__exit__(None, None, None)
        self.assertEqual(status, 1)
        self.assertTrue(server.stderr_text.startswith("torvex-server: "), server.stderr_text)
        self.assertFalse(any(line.startswith("listening") for line in server.lines))
        return server.stderr_text

    def login(self, port, user, password):
        ftp = ftplib.FTP(timeout=CLIENT_TIMEOUT)
        ftp.connect("127.0.0.1", port)
        try:
            ftp.login(user, password)
            return ftp.pwd()
        finally:
            ftp.close()

    def test_bad_options_end_with_status_1(self):
        self.assertIn("unknown option", self.failing_start(["--bogus"]))
        self.assertIn("--port", self.failing_start(["--port"]))
        self.assertIn("bad port", self.failing_start(["--port", "70000", "--root", self.root]))
        self.assertIn("NAME:PASSWORD", self.failing_start(["--user", "nocolon", "--root", self.root]))

    def test_missing_folder_ends_with_status_1(self):
        missing = os.path.join(self.base, "missing")
        self.assertIn("missing", self.failing_start(["--port", "0", "--address", "127.0.0.1",
                                                     "--root", missing]))
        self.assertIn("--root", self.failing_start(["--port", "0", "--address", "127.0.0.1"]))

    def test_port_in_use_ends_with_status_1(self):
        with socket.socket() as taken:
            taken.bind(("127.0.0.1", 0))
            taken.listen(1)
            port = taken.getsockname()[1]
            text = self.failing_start(["--port", str(port), "--address", "127.0.0.1",
                                       "--root", self.root])
        self.assertIn(str(port), text)

    def test_signals_stop_with_status_0(self):
        for sig in (signal.SIGTERM, signal.SIGINT):
            server = self.server(["--port", "0", "--address", "127.0.0.1", "--root", self.root])
            with server:
                self.assertEqual(self.login(server.port, "test", "581247"), "/")
                self.assertEqual(server.stop(sig), 0)

    def test_settings_files_give_port_folder_and_users(self):
        port = free_loopback_port()
        write_ini(os.path.join(self.config, "server.ini"),
                  "[Server]\nIP=127.0.0.1\nPort=%d\nPath=%s\n" % (port, self.root))
        users = "[Users]\nCount=1\n\n[Node0]\nName=alice\nPassword=wonder land\nPaths=@Invalid()\n"
        write_ini(os.path.join(self.config, "users.ini"), users)
        os.makedirs(os.path.join(self.root, "from settings"))
        with self.server(["--address", "127.0.0.1"]) as server:
            self.assertEqual(server.port, port)
            ftp = ftplib.FTP(timeout=CLIENT_TIMEOUT)
            ftp.connect("127.0.0.1", port)
            ftp.login("alice", "wonder land")
            ftp.cwd("from settings")
            ftp.quit()
            with self.assertRaises(ftplib.error_perm):
                self.login(port, "test", "581247")
            self.assertEqual(server.stop(), 0)
        with open(os.path.join(self.config, "users.ini")) as f:
            self.assertEqual(f.read(), users)

    def test_user_option_is_for_this_run_only(self):
        with self.server(["--port", "0", "--address", "127.0.0.1", "--root", self.root,
                          "--user", "bob:pa:ss", "--user", "carol:x"]) as server:
            self.assertEqual(self.login(server.port, "bob", "pa:ss"), "/")
            self.assertEqual(self.login(server.port, "carol", "x"), "/")
            with self.assertRaises(ftplib.error_perm):
                self.login(server.port, "test", "581247")
            self.assertTrue(server.wait_for_line("logout carol from 127.0.0.1:"))
            self.assertEqual(server.stop(), 0)
        self.assertEqual(os.listdir(self.config), [])
        everything = "\n".join(server.lines) + server.stderr_text
        self.assertIn("login bob from 127.0.0.1:", everything)
        self.assertNotIn("pa:ss", everything)

    def test_default_user_without_settings(self):
        with self.server(["--port", "0", "--address", "127.0.0.1", "--root", self.root]) as server:
            self.assertEqual(self.login(server.port, "test", "581247"), "/")
            self.assertEqual(server.stop(), 0)
        self.assertNotIn("581247", "\n".join(server.lines) + server.stderr_text)

    def test_names_left_out_of_listings_are_logged(self):
        with open(os.path.join(self.root, "fake\r\nforged"), "w") as f:
            f.write("x")
        with self.server(["--port", "0", "--address", "127.0.0.1", "--root", self.root,
                          "--user", "dave:pw"]) as server:
            ftp = ftplib.FTP(timeout=CLIENT_TIMEOUT)
            ftp.connect("127.0.0.1", server.port)
            try:
                ftp.login("dave", "pw")
                lines = []
                ftp.dir(lines.append)
            finally:
                ftp.close()
            self.assertFalse(any("forged" in line for line in lines), lines)
            line = server.wait_for_line("notice listing leaves out")
            self.assertIsNotNone(line)
            self.assertIn("fake??forged", line)

    def tls_args(self, *extra):
        return ["--port", "0", "--address", "127.0.0.1", "--root", self.root, *extra]

    def test_unusable_certificate_or_key_ends_with_status_1(self):
        cert, key = make_certificate(self.base)
        other_cert, other_key = make_certificate(self.base, name="other")
        not_pem = os.path.join(self.base, "not.pem")
        write_ini(not_pem, "no certificate here\n")
        missing = os.path.join(self.base, "missing.pem")
        cases = [
            (["--cert", missing, "--key", key], "does not exist"),
            (["--cert", cert, "--key", missing], "does not exist"),
            (["--cert", self.base, "--key", key], "cannot read"),
            (["--cert", not_pem, "--key", key], "no PEM certificate"),
            (["--cert", cert, "--key", not_pem], "no PEM private key"),
            (["--cert", cert, "--key", other_key], "does not belong"),
            (["--cert", other_cert], "go together"),
            (["--require-tls"], "TLS needs a certificate"),
        ]
        for extra, message in cases:
            with self.subTest(extra=extra):
                self.assertIn(message, self.failing_start(self.tls_args(*extra)))

    def failed_handshake(self, port, garbage):
        with socket.create_connection(("127.0.0.1", port), timeout=CLIENT_TIMEOUT) as s:
            reader = s.makefile("rb")
            self.assertTrue(reader.readline().startswith(b"220"))
            s.sendall(b"AUTH TLS\r\n")
            self.assertTrue(reader.readline().startswith(b"234"))
            s.sendall(garbage)
            # The server ends the connection; bounded by the socket's time-out.
            self.assertEqual(reader.read(), b"")

    @staticmethod
    def resident_kib(pid):
        with open("/proc/%d/status" % pid) as f:
            for line in f:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
        return 0

    def test_memory_flat_over_failed_handshakes(self):
        cert, key = make_certificate(self.base)
        garbage = [b"USER plain text where a hello belongs\r\n",
                   b"\x16\x03\x01\x00\x10" + b"\xff" * 16]
        with self.server(self.tls_args("--cert", cert, "--key", key)) as server:
            for i in range(200):
                self.failed_handshake(server.port, garbage[i % 2])
            before = self.resident_kib(server.process.pid)
            for i in range(1000):
                self.failed_handshake(server.port, garbage[i % 2])
            after = self.resident_kib(server.process.pid)
            self.assertLess(after - before, 2048, "grew from %d KiB to %d KiB" % (before, after))
            self.assertTrue(server.wait_for_line("notice TLS handshake with 127.0.0.1:"))
            # Still serving.
            self.assertEqual(self.login(server.port, "test", "581247"), "/")


if __name__ == "__main__":
    unittest.main()
