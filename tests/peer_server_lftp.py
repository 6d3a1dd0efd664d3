"""torvex-server against lftp on 127.0.0.1: listings, resume, file commands and mirrors."""
import os
import shutil
import stat
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.join(os.environ.get("TORVEX_SOURCE_DIR", ""), "tests", "support"))
from serverpeer import TorvexServer, make_certificate, pattern_bytes, run  # noqa: E402

OLD = time.mktime((2019, 3, 5, 10, 0, 0, 0, 0, -1))

# Passive mode only, no TLS, no EPSV, and give up quickly instead of retrying for ever.
SETTINGS = ("set net:max-retries 1; set net:timeout 15; set net:reconnect-interval-base 1; "
            "set ftp:passive-mode on; set ftp:ssl-allow no; set ftp:prefer-epsv no; "
            "set cmd:fail-exit yes; set xfer:clobber yes; ")


class LftpPeer(unittest.TestCase):
    def setUp(self):
        self.base = tempfile.mkdtemp(prefix="torvex-lftp-")
        self.root = os.path.join(self.base, "root")
        self.work = os.path.join(self.base, "work")
        os.makedirs(self.root)
        os.makedirs(self.work)
        self.tree = os.path.join(self.root, "tree")
        files = {
            "top.txt": b"top level\n",
            "name with blanks.txt": b"blanks\n",
            "nested/deeper/data.bin": pattern_bytes(300_000, 31),
            "nested/old one.txt": b"from 2019\n",
            "empty.txt": b"",
        }
        for name, data in files.items():
            path = os.path.join(self.tree, name)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as f:
                f.write(data)
        os.makedirs(os.path.join(self.tree, "empty folder"))
        os.utime(os.path.join(self.tree, "nested", "old one.txt"), (OLD, OLD))
        self.server = TorvexServer(self.root, users=[("test", "pw")]).start()

    def tearDown(self):
        self.server.__exit__(None, None, None)
        shutil.rmtree(self.base, ignore_errors=True)

    def lftp(self, commands):
        script = SETTINGS + commands + "; quit"
        result = run(["timeout", "120", "lftp", "-u", "test,pw", "-e", script,
                      "ftp://127.0.0.1:%d" % self.server.port], cwd=self.work, timeout=150)
        return result

    def check(self, result):
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        return result.stdout

    def test_listing_is_parsed(self):
        out = self.check(self.lftp("cls -1 --sort=name tree/; cls -l tree/nested/"))
        names = out.splitlines()
        self.assertIn("tree/name with blanks.txt", names)
        self.assertIn("tree/empty folder/", names)
        self.assertIn("tree/nested/", names)
        self.assertNotIn("tree/./", names)
        old = [line for line in names if line.endswith("old one.txt")]
        self.assertEqual(len(old), 1)
        self.assertIn("2019", old[0])
        deeper = [line for line in names if line.endswith("deeper/")]
        self.assertEqual(len(deeper), 1)
        self.assertTrue(deeper[0].startswith("d"))

    def test_get_resumes_and_put_resumes(self):
        data = pattern_bytes(3 * 1024 * 1024 + 5, 32)
        with open(os.path.join(self.root, "big.bin"), "wb") as f:
            f.write(data)
        with open(os.path.join(self.work, "big.bin"), "wb") as f:
            f.write(data[:1_234_567])
        self.check(self.lftp("get -c big.bin"))
        with open(os.path.join(self.work, "big.bin"), "rb") as f:
            self.assertEqual(f.read(), data)

        with open(os.path.join(self.work, "up.bin"), "wb") as f:
            f.write(data)
        with open(os.path.join(self.root, "up.bin"), "wb") as f:
            f.write(data[:777_777])
        self.check(self.lftp("put -c up.bin"))
        with open(os.path.join(self.root, "up.bin"), "rb") as f:
            self.assertEqual(f.read(), data)

    def test_file_commands(self):
        self.check(self.lftp("mkdir made; mv tree/top.txt made/top.txt; chmod 640 made/top.txt; "
                             "cd made; pwd; cd ..; rm made/top.txt; rmdir made"))
        self.assertFalse(os.path.exists(os.path.join(self.root, "made")))
        self.assertFalse(os.path.exists(os.path.join(self.tree, "top.txt")))
        self.check(self.lftp("mkdir made; put %s -o made/x.txt; chmod 640 made/x.txt"
                             % os.path.join(self.tree, "empty.txt")))
        mode = stat.S_IMODE(os.stat(os.path.join(self.root, "made", "x.txt")).st_mode)
        self.assertEqual(mode, 0o640)

    def test_mirror_down_and_up(self):
        self.check(self.lftp("mirror tree down"))
        diff = run(["diff", "-r", self.tree, os.path.join(self.work, "down")])
        self.assertEqual(diff.returncode, 0, diff.stdout + diff.stderr)

        self.check(self.lftp("mirror -R down up"))
        diff = run(["diff", "-r", self.tree, os.path.join(self.root, "up")])
        self.assertEqual(diff.returncode, 0, diff.stdout + diff.stderr)

    def lftp_defaults(self, commands):
        # lftp as a user runs it: a 4xx reply would make it retry for ever, so the outer time
        # limit is what catches a temporary error where a permanent one belongs.
        return run(["timeout", "60", "lftp", "-u", "test,pw", "-e",
                    "set cmd:fail-exit yes; " + commands + "; quit",
                    "ftp://127.0.0.1:%d" % self.server.port], cwd=self.work, timeout=90)

    def test_permanent_errors_end_default_lftp(self):
        with open(os.path.join(self.work, "tree"), "wb") as f:
            f.write(b"a file named like the folder")
        for commands in ("cd nowhere", "ls nowhere", "mkdir tree", "rmdir tree", "put tree",
                         "get nowhere.txt", "rm nowhere.txt", "mv nowhere.txt x.txt"):
            result = self.lftp_defaults(commands)
            self.assertNotIn(result.returncode, (0, 124), commands + ": " + result.stderr)
        # And the everyday work, with the same defaults (EPSV, FEAT, no retry tuning).
        self.check(self.lftp_defaults("mirror tree plain; mirror -R plain back"))
        diff = run(["diff", "-r", self.tree, os.path.join(self.root, "back")])
        self.assertEqual(diff.returncode, 0, diff.stdout + diff.stderr)

    def test_mirror_keeps_links(self):
        os.symlink("top.txt", os.path.join(self.tree, "link.txt"))
        os.symlink("nested/deeper", os.path.join(self.tree, "deeper-link"))
        outside = os.path.join(self.base, "outside.txt")
        with open(outside, "wb") as f:
            f.write(b"secret")
        os.symlink(outside, os.path.join(self.tree, "out.txt"))
        self.check(self.lftp("mirror tree down"))
        down = os.path.join(self.work, "down")
        self.assertEqual(os.readlink(os.path.join(down, "link.txt")), "top.txt")
        self.assertEqual(os.readlink(os.path.join(down, "deeper-link")), "nested/deeper")
        with open(os.path.join(down, "deeper-link", "data.bin"), "rb") as f:
            self.assertEqual(f.read(), pattern_bytes(300_000, 31))
        # A link leading out of the root is not followed, and its target stays unknown.
        self.assertFalse(os.path.exists(os.path.join(down, "out.txt"))
                         and open(os.path.join(down, "out.txt"), "rb").read() == b"secret")

    def test_wget_recursive_over_links(self):
        os.symlink("top.txt", os.path.join(self.tree, "link.txt"))
        result = run(["timeout", "120", "wget", "-q", "-r", "-nH", "--tries=1",
                      "--timeout=20", "ftp://test:pw@127.0.0.1:%d/tree/" % self.server.port],
                     cwd=self.work, timeout=150)
        self.assertEqual(result.returncode, 0, result.stderr)
        got = os.path.join(self.work, "tree")
        with open(os.path.join(got, "link.txt"), "rb") as f:
            self.assertEqual(f.read(), b"top level\n")
        with open(os.path.join(got, "nested", "deeper", "data.bin"), "rb") as f:
            self.assertEqual(f.read(), pattern_bytes(300_000, 31))

    @unittest.skipUnless(shutil.which("ncftpget"), "ncftp is not installed")
    def test_ncftpget_recursive(self):
        result = run(["timeout", "120", "ncftpget", "-R", "-t", "20", "-u", "test", "-p", "pw",
                      "-P", str(self.server.port), "127.0.0.1", self.work, "/tree"],
                     cwd=self.work, timeout=150)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        diff = run(["diff", "-r", self.tree, os.path.join(self.work, "tree")])
        self.assertEqual(diff.returncode, 0, diff.stdout + diff.stderr)


class LftpTlsPeer(unittest.TestCase):
    """torvex-server --require-tls against lftp with ftp:ssl-force and the test's CA."""

    def setUp(self):
        self.base = tempfile.mkdtemp(prefix="torvex-lftp-tls-")
        self.root = os.path.join(self.base, "root")
        self.work = os.path.join(self.base, "work")
        self.tree = os.path.join(self.root, "tree")
        os.makedirs(os.path.join(self.tree, "nested", "deeper"))
        os.makedirs(self.work)
        for name, data in {"top.txt": b"top\n", "nested/deeper/data.bin": pattern_bytes(700_000, 33),
                           "nested/empty.txt": b""}.items():
            with open(os.path.join(self.tree, name), "wb") as f:
                f.write(data)
        self.cert, key = make_certificate(self.base)
        args = ["--port", "0", "--address", "127.0.0.1", "--root", self.root,
                "--user", "test:pw", "--cert", self.cert, "--key", key, "--require-tls"]
        self.server = TorvexServer(self.root, args=args).start()

    def tearDown(self):
        self.server.__exit__(None, None, None)
        shutil.rmtree(self.base, ignore_errors=True)

    def lftp(self, tls_settings, commands):
        script = (SETTINGS.replace("set ftp:ssl-allow no; ", "") + tls_settings
                  + "set ssl:ca-file %s; " % self.cert + commands + "; quit")
        return run(["timeout", "120", "lftp", "-u", "test,pw", "-e", script,
                    "ftp://127.0.0.1:%d" % self.server.port], cwd=self.work, timeout=150)

    def test_list_get_put_and_mirror_both_ways(self):
        forced = "set ftp:ssl-force true; set ftp:ssl-protect-data true; "
        result = self.lftp(forced, "cls -1 tree/; get tree/top.txt -o got.txt; "
                                   "put got.txt -o put.txt; mirror tree down; "
                                   "mirror -R down up")
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        self.assertIn("tree/nested/", result.stdout.splitlines())
        with open(os.path.join(self.root, "put.txt"), "rb") as f:
            self.assertEqual(f.read(), b"top\n")
        for copy in (os.path.join(self.work, "down"), os.path.join(self.root, "up")):
            diff = run(["diff", "-r", self.tree, copy])
            self.assertEqual(diff.returncode, 0, diff.stdout + diff.stderr)

    def test_plain_login_refused(self):
        result = self.lftp("set ftp:ssl-allow no; ", "ls")
        self.assertNotEqual(result.returncode, 0)
        self.assertIn("530", result.stderr)
        self.assertIsNone(self.server.wait_for_line("login test", timeout=1))


if __name__ == "__main__":
    unittest.main()
