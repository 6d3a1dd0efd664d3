"""torvex-server against curl on 127.0.0.1."""
import os
import shutil
import stat
import sys
import tempfile
import time
import unittest
import urllib.parse

sys.path.insert(0, os.path.join(os.environ.get("TORVEX_SOURCE_DIR", ""), "tests", "support"))
from serverpeer import TorvexServer, make_certificate, pattern_bytes, run  # noqa: E402

BIG = 5 * 1024 * 1024 + 77
OLD = time.mktime((2019, 3, 5, 10, 0, 0, 0, 0, -1))


class CurlPeer(unittest.TestCase):
    def setUp(self):
        self.base = tempfile.mkdtemp(prefix="torvex-curl-")
        self.root = os.path.join(self.base, "root")
        self.work = os.path.join(self.base, "work")
        os.makedirs(os.path.join(self.root, "sub dir"))
        os.makedirs(self.work)
        self.content = pattern_bytes(BIG, 21)
        self.write(os.path.join(self.root, "big.bin"), self.content)
        self.write(os.path.join(self.root, "sub dir", "old file.txt"), b"old")
        os.utime(os.path.join(self.root, "sub dir", "old file.txt"), (OLD, OLD))
        self.write(os.path.join(self.root, "sub dir", "new file.txt"), b"new")
        self.server = TorvexServer(self.root, users=[("test", "pw")]).start()

    def tearDown(self):
        self.server.__exit__(None, None, None)
        shutil.rmtree(self.base, ignore_errors=True)

    @staticmethod
    def write(path, data):
        with open(path, "wb") as f:
            f.write(data)

    @staticmethod
    def read(path):
        with open(path, "rb") as f:
            return f.read()

    def url(self, path=""):
        return "ftp://127.0.0.1:%d/%s" % (self.server.port, urllib.parse.quote(path))

    def curl(self, *args):
        result = run(["curl", "--silent", "--show-error", "--max-time", "60",
                      "--connect-timeout", "10", "--user", "test:pw", *args])
        return result

    def test_listing_of_folder_with_blanks(self):
        result = self.curl(self.url("sub dir/"))
        self.assertEqual(result.returncode, 0, result.stderr)
        lines = result.stdout.splitlines()
        by_name = {line.split(None, 8)[8]: line.split() for line in lines}
        self.assertEqual(set(by_name), {".", "..", "old file.txt", "new file.txt"})
        # An older file shows its year, a recent one its time of day.
        self.assertEqual(by_name["old file.txt"][5:8], ["Mar", "05", "2019"])
        self.assertRegex(by_name["new file.txt"][7], r"^\d\d:\d\d$")

    def test_download_and_upload_byte_for_byte(self):
        target = os.path.join(self.work, "big.bin")
        result = self.curl("--output", target, self.url("big.bin"))
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(self.read(target), self.content)
        upload = pattern_bytes(BIG, 22)
        source = os.path.join(self.work, "up.bin")
        self.write(source, upload)
        result = self.curl("--upload-file", source, self.url("sub dir/up.bin"))
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(self.read(os.path.join(self.root, "sub dir", "up.bin")), upload)

    def test_download_resumes(self):
        target = os.path.join(self.work, "part.bin")
        self.write(target, self.content[:2_000_001])
        result = self.curl("--continue-at", "-", "--output", target, self.url("big.bin"))
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(self.read(target), self.content)

    def test_missing_file_fails(self):
        result = self.curl("--output", os.path.join(self.work, "x"), self.url("missing.bin"))
        self.assertNotEqual(result.returncode, 0)
        result = self.curl("--output", os.path.join(self.work, "y"),
                           self.url("../../etc/passwd"))
        self.assertNotEqual(result.returncode, 0)

    def test_quoted_file_commands(self):
        result = self.curl("--quote", "MKD made", "--quote", "RNFR big.bin",
                           "--quote", "RNTO made/moved.bin", "--quote", "SITE CHMOD 600 made/moved.bin",
                           "--quote", "CWD made", "--quote", "CDUP", self.url("sub dir/"))
        self.assertEqual(result.returncode, 0, result.stderr)
        moved = os.path.join(self.root, "made", "moved.bin")
        self.assertEqual(self.read(moved), self.content)
        self.assertEqual(stat.S_IMODE(os.stat(moved).st_mode), 0o600)
        result = self.curl("--quote", "DELE made/moved.bin", "--quote", "RMD made", self.url())
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertFalse(os.path.exists(os.path.join(self.root, "made")))
        result = self.curl("--quote", "RMD sub dir", self.url())
        self.assertNotEqual(result.returncode, 0)

    def test_name_list(self):
        result = self.curl("--list-only", self.url("sub dir/"))
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(sorted(result.stdout.splitlines()), ["new file.txt", "old file.txt"])

    def test_upload_resumes(self):
        upload = pattern_bytes(3 * 1024 * 1024 + 9, 23)
        source = os.path.join(self.work, "resume.bin")
        self.write(source, upload)
        self.write(os.path.join(self.root, "resume.bin"), upload[:1_000_003])
        result = self.curl("--continue-at", "-", "--upload-file", source, self.url("resume.bin"))
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(self.read(os.path.join(self.root, "resume.bin")), upload)

    def test_link_serves_its_target(self):
        os.symlink("sub dir/new file.txt", os.path.join(self.root, "link.txt"))
        target = os.path.join(self.work, "link.txt")
        result = self.curl("--output", target, self.url("link.txt"))
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(self.read(target), b"new")

    def test_pipe_is_refused_without_blocking(self):
        os.mkfifo(os.path.join(self.root, "pipe"))
        result = self.curl("--output", os.path.join(self.work, "pipe"), self.url("pipe"))
        self.assertNotEqual(result.returncode, 0)
        result = self.curl(self.url("sub dir/"))
        self.assertEqual(result.returncode, 0, result.stderr)


class CurlTlsPeer(unittest.TestCase):
    """torvex-server --require-tls against curl --ssl-reqd, trusting the test's own CA."""

    def setUp(self):
        self.base = tempfile.mkdtemp(prefix="torvex-curl-tls-")
        self.root = os.path.join(self.base, "root")
        self.work = os.path.join(self.base, "work")
        os.makedirs(os.path.join(self.root, "sub dir"))
        os.makedirs(self.work)
        self.cert, key = make_certificate(self.base)
        self.content = pattern_bytes(BIG, 24)
        CurlPeer.write(os.path.join(self.root, "sub dir", "big.bin"), self.content)
        args = ["--port", "0", "--address", "127.0.0.1", "--root", self.root,
                "--user", "test:pw", "--cert", self.cert, "--key", key, "--require-tls"]
        self.server = TorvexServer(self.root, args=args).start()

    def tearDown(self):
        self.server.__exit__(None, None, None)
        shutil.rmtree(self.base, ignore_errors=True)

    def url(self, path=""):
        return "ftp://127.0.0.1:%d/%s" % (self.server.port, urllib.parse.quote(path))

    def curl(self, *args):
        return run(["curl", "--silent", "--show-error", "--max-time", "60",
                    "--connect-timeout", "10", "--user", "test:pw", *args])

    def test_list_get_and_put_with_either_protocol(self):
        for limit in ("1.2", "1.3"):
            with self.subTest(tls=limit):
                tls = ["--ssl-reqd", "--cacert", self.cert, "--tls-max", limit]
                result = self.curl(*tls, self.url("sub dir/"))
                self.assertEqual(result.returncode, 0, result.stderr)
                self.assertIn("big.bin", result.stdout)
                target = os.path.join(self.work, "big.bin")
                result = self.curl(*tls, "--output", target, self.url("sub dir/big.bin"))
                self.assertEqual(result.returncode, 0, result.stderr)
                self.assertEqual(CurlPeer.read(target), self.content)
                result = self.curl(*tls, "--upload-file", target, self.url("up%s.bin" % limit))
                self.assertEqual(result.returncode, 0, result.stderr)
                self.assertEqual(CurlPeer.read(os.path.join(self.root, "up%s.bin" % limit)),
                                 self.content)
        self.assertIsNotNone(self.server.wait_for_line("transfer test STOR /up1.3.bin"))

    def test_plain_login_refused(self):
        result = self.curl("--verbose", self.url())
        self.assertNotEqual(result.returncode, 0)
        self.assertIn("530 Non-anonymous sessions must use encryption.", result.stderr)
        self.assertIsNone(self.server.wait_for_line("login test", timeout=1))


if __name__ == "__main__":
    unittest.main()
