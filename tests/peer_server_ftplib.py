"""torvex-server against Python's ftplib on 127.0.0.1."""
import ftplib
import os
import shutil
import socket
import stat
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.environ.get("TORVEX_SOURCE_DIR", ""), "tests", "support"))
from serverpeer import CLIENT_TIMEOUT, TorvexServer, pattern_bytes  # noqa: E402

BIG = 6 * 1024 * 1024 + 123


class FtplibPeer(unittest.TestCase):
    def setUp(self):
        self.base = tempfile.mkdtemp(prefix="torvex-ftplib-")
        self.root = os.path.join(self.base, "root")
        os.makedirs(os.path.join(self.root, "sub dir", "deeper"))
        os.makedirs(os.path.join(self.base, "outside"))
        with open(os.path.join(self.base, "outside", "secret.txt"), "w") as f:
            f.write("secret")
        self.content = pattern_bytes(BIG, 11)
        with open(os.path.join(self.root, "big.bin"), "wb") as f:
            f.write(self.content)
        with open(os.path.join(self.root, "a file.txt"), "w") as f:
            f.write("alpha")
        self.server = TorvexServer(self.root, users=[("test", "s3cret:pw")]).start()
        self.ftp = self.connect()

    def tearDown(self):
        try:
            self.ftp.close()
        finally:
            self.server.__exit__(None, None, None)
            shutil.rmtree(self.base, ignore_errors=True)

    def connect(self, login=True):
        ftp = ftplib.FTP(timeout=CLIENT_TIMEOUT)
        ftp.connect("127.0.0.1", self.server.port)
        if login:
            ftp.login("test", "s3cret:pw")
        return ftp

    def local(self, *parts):
        return os.path.join(self.root, *parts)

    def test_folders(self):
        self.assertEqual(self.ftp.pwd(), "/")
        self.ftp.cwd("sub dir")
        self.ftp.cwd("deeper")
        self.assertEqual(self.ftp.pwd(), "/sub dir/deeper")
        self.ftp.sendcmd("CDUP")
        self.assertEqual(self.ftp.pwd(), "/sub dir")
        self.ftp.cwd("/")
        self.assertEqual(self.ftp.pwd(), "/")
        with self.assertRaises(ftplib.error_perm):
            self.ftp.cwd("nowhere")

    def test_listing(self):
        lines = []
        self.ftp.dir(lines.append)
        names = [line.split(None, 8)[8] for line in lines]
        self.assertEqual(sorted(names), sorted([".", "..", "a file.txt", "big.bin", "sub dir"]))
        big = [line for line in lines if line.endswith(" big.bin")][0]
        self.assertEqual(big.split()[4], str(BIG))
        self.assertTrue(big.startswith("-rw"))

    def test_retr_and_stor_byte_for_byte(self):
        received = bytearray()
        self.ftp.retrbinary("RETR big.bin", received.extend)
        self.assertEqual(bytes(received), self.content)
        upload = pattern_bytes(BIG, 12)
        path = os.path.join(self.base, "upload.bin")
        with open(path, "wb") as f:
            f.write(upload)
        with open(path, "rb") as f:
            self.ftp.storbinary("STOR sub dir/up.bin", f)
        with open(self.local("sub dir", "up.bin"), "rb") as f:
            self.assertEqual(f.read(), upload)
        self.assertEqual(self.ftp.size("/sub dir/up.bin"), BIG)

    def test_rest_resume_both_ways(self):
        offset = 1_000_003
        received = bytearray(self.content[:offset])
        self.ftp.retrbinary("RETR big.bin", received.extend, rest=offset)
        self.assertEqual(bytes(received), self.content)
        # Upload: the server keeps what it has and writes from the offset on.
        with open(self.local("part.bin"), "wb") as f:
            f.write(self.content[:offset])
        path = os.path.join(self.base, "whole.bin")
        with open(path, "wb") as f:
            f.write(self.content)
        with open(path, "rb") as f:
            f.seek(offset)
            self.ftp.storbinary("STOR part.bin", f, rest=offset)
        with open(self.local("part.bin"), "rb") as f:
            self.assertEqual(f.read(), self.content)

    def test_file_commands(self):
        self.assertEqual(self.ftp.mkd("new"), "/new")
        self.assertTrue(os.path.isdir(self.local("new")))
        self.ftp.rename("a file.txt", "new/renamed.txt")
        self.assertTrue(os.path.isfile(self.local("new", "renamed.txt")))
        self.ftp.sendcmd("SITE CHMOD 640 new/renamed.txt")
        mode = stat.S_IMODE(os.stat(self.local("new", "renamed.txt")).st_mode)
        self.assertEqual(mode, 0o640)
        with self.assertRaises(ftplib.error_perm):
            self.ftp.sendcmd("SITE CHMOD 9x9 new/renamed.txt")
        # A folder that is not empty is a permanent refusal, not one to retry.
        with self.assertRaises(ftplib.error_perm):
            self.ftp.rmd("new")
        self.assertEqual(self.ftp.nlst("new"), ["renamed.txt"])
        self.ftp.delete("new/renamed.txt")
        self.ftp.rmd("new")
        self.assertFalse(os.path.exists(self.local("new")))
        self.assertTrue(os.path.isdir(self.root))

    def test_abort_ends_a_download(self):
        with open(self.local("huge.bin"), "wb") as f:
            f.write(pattern_bytes(48 * 1024 * 1024, 13))
        replies = []
        received = bytearray()

        def take(block):
            received.extend(block)
            if not replies:
                # ftplib sends ABOR as urgent data, as RFC 959 asks.
                replies.append(self.ftp.abort())

        self.assertTrue(self.ftp.retrbinary("RETR huge.bin", take).startswith("226"))
        self.assertTrue(replies[0].startswith("426"), replies)
        self.assertLess(len(received), 48 * 1024 * 1024)
        self.assertEqual(self.ftp.nlst(), ["a file.txt", "big.bin", "huge.bin", "sub dir"])

    def test_failures_are_errors(self):
        with self.assertRaises(ftplib.error_perm):
            self.ftp.size("missing.bin")
        with self.assertRaises(ftplib.error_perm):
            self.ftp.sendcmd("MDTM missing.bin")
        with self.assertRaises(ftplib.error_perm):
            self.ftp.retrbinary("RETR missing.bin", lambda data: None)
        with self.assertRaises(ftplib.error_perm):
            self.ftp.retrbinary("RETR ../outside/secret.txt", lambda data: None)
        self.ftp.cwd("../../..")
        self.assertEqual(self.ftp.pwd(), "/")
        self.assertEqual(self.ftp.voidcmd("NOOP")[:3], "200")

    def test_eleventh_connection_refused(self):
        others = [self.connect(login=False) for _ in range(9)]
        try:
            with self.assertRaises((EOFError, ConnectionError, socket.timeout)):
                extra = ftplib.FTP(timeout=CLIENT_TIMEOUT)
                extra.connect("127.0.0.1", self.server.port)
            for ftp in others:
                self.assertEqual(ftp.sendcmd("USER test")[:3], "331")
        finally:
            for ftp in others:
                ftp.close()
        # Room again once they are gone.
        self.ftp.quit()
        self.ftp = self.connect()
        self.assertEqual(self.ftp.pwd(), "/")

    def test_log_lines_without_passwords(self):
        self.ftp.retrbinary("RETR big.bin", lambda data: None)
        self.ftp.quit()
        self.assertTrue(self.server.wait_for_line("transfer test RETR /big.bin %d bytes" % BIG))
        self.assertTrue(self.server.wait_for_line("logout test from 127.0.0.1:"))
        self.assertEqual(self.server.stop(), 0)
        self.assertTrue(any(line.startswith("login test from 127.0.0.1:")
                            for line in self.server.lines))
        everything = "\n".join(self.server.lines) + self.server.stderr_text
        self.assertNotIn("s3cret", everything)


if __name__ == "__main__":
    unittest.main()
