"""torvex-server against lftp, curl, wget and ncftp on 127.0.0.1: parsed listings, transfers and
resume both ways, file commands, recursive downloads over links, permanent errors, and TLS."""
import os
import shutil
import stat
import sys
import time
import unittest
import urllib.parse

sys.path.insert(0, os.path.join(os.environ.get("TORVEX_SOURCE_DIR", ""), "tests", "support"))
from serverpeer import PeerCase, pattern_bytes, read, run, write  # noqa: E402

OLD = time.mktime((2019, 3, 5, 10, 0, 0, 0, 0, -1))
DATA = pattern_bytes(700_000, 31)
BIG = pattern_bytes(3 * 1024 * 1024 + 5, 32)
TREE = {"top.txt": b"top level\n", "name with blanks.txt": b"blanks\n", "empty.txt": b"",
        "nested/deeper/data.bin": DATA, "nested/old one.txt": b"from 2019\n"}
# Passive mode, no EPSV, and give up quickly instead of retrying for ever.
TUNED = ("set net:max-retries 1; set net:timeout 15; set net:reconnect-interval-base 1; "
         "set ftp:passive-mode on; set ftp:prefer-epsv no; set xfer:clobber yes; ")
PLAIN = "set ftp:ssl-allow no; "


class ClientPeers(PeerCase):
    def setUp(self):
        super().setUp()
        self.tree = os.path.join(self.root, "tree")
        for name, data in TREE.items():
            write(os.path.join(self.tree, name), data)
        os.makedirs(os.path.join(self.tree, "empty folder"))
        os.utime(os.path.join(self.tree, "nested", "old one.txt"), (OLD, OLD))
        self.port = self.serve("--user", "test:pw").port

    def lftp_args(self, commands, settings=TUNED + PLAIN, limit=120):
        return ["timeout", str(limit), "lftp", "-u", "test,pw", "-e",
                "set cmd:fail-exit yes; " + settings + commands + "; quit",
                "ftp://127.0.0.1:%d" % self.port]

    def lftp(self, commands, settings=TUNED + PLAIN, limit=120):
        return run(self.lftp_args(commands, settings, limit), cwd=self.work, timeout=limit + 30)

    def curl(self, path, *args):
        return run(["curl", "--silent", "--show-error", "--max-time", "60", "--user", "test:pw",
                    *args, "ftp://127.0.0.1:%d/%s" % (self.port, urllib.parse.quote(path))])

    def test_lftp_listing_resume_and_file_commands(self):
        write(os.path.join(self.root, "big.bin"), BIG)
        write(os.path.join(self.work, "big.bin"), BIG[:1_234_567])
        write(os.path.join(self.work, "up.bin"), BIG)
        write(os.path.join(self.root, "up.bin"), BIG[:777_777])
        out = self.assertSucceeded(self.lftp(
            "cls -1 --sort=name tree/; cls -l tree/nested/; get -c big.bin; put -c up.bin; "
            "mkdir made; mv tree/top.txt made/top.txt; chmod 640 made/top.txt; cd made; pwd; "
            "cd ..; mkdir gone; rmdir gone; rm tree/empty.txt"))
        names = out.splitlines()
        for name in ("tree/name with blanks.txt", "tree/empty folder/", "tree/nested/"):
            self.assertIn(name, names)
        self.assertNotIn("tree/./", names)
        self.assertRegex(out, r"(?m)^d.*/deeper/$")
        self.assertRegex(out, r"(?m) 2019 tree/nested/old one\.txt$")
        self.assertEqual(read(os.path.join(self.work, "big.bin")), BIG)
        self.assertEqual(read(os.path.join(self.root, "up.bin")), BIG)
        moved = os.path.join(self.root, "made", "top.txt")
        self.assertEqual(stat.S_IMODE(os.stat(moved).st_mode), 0o640)
        for removed in ("tree/top.txt", "gone", "tree/empty.txt"):
            self.assertFalse(os.path.exists(os.path.join(self.root, removed)), removed)

    def test_curl_transfers(self):
        local, served = self.work + "/", self.root + "/"
        write(served + "big.bin", BIG)
        write(local + "up.bin", BIG)
        write(local + "part.bin", BIG[:2_000_001])
        write(served + "resume.bin", BIG[:1_000_003])
        os.symlink("tree/top.txt", served + "link.txt")
        os.mkfifo(served + "pipe")
        # remote path, curl options, the file that then holds the data (None: curl fails)
        rows = [
            ("big.bin", ["--output", local + "big.bin"], local + "big.bin", BIG),
            ("tree/up.bin", ["--upload-file", local + "up.bin"], served + "tree/up.bin", BIG),
            # The rest of a download, and an upload appended to the part the server has.
            ("big.bin", ["-C", "-", "--output", local + "part.bin"], local + "part.bin", BIG),
            ("resume.bin", ["-C", "-", "-T", local + "up.bin"], served + "resume.bin", BIG),
            ("link.txt", ["--output", local + "link.txt"], local + "link.txt", TREE["top.txt"]),
            ("missing.bin", ["--output", local + "x"], None, None),
            ("../../etc/passwd", ["--output", local + "y"], None, None),
            # Reading a pipe would block the server: refused, without blocking.
            ("pipe", ["--output", local + "pipe"], None, None),
        ]
        for path, args, target, data in rows:
            with self.subTest(path=path, args=args):
                result = self.curl(path, *args)
                if target:
                    self.assertSucceeded(result)
                    self.assertEqual(read(target), data)
                else:
                    self.assertNotEqual(result.returncode, 0)
        self.assertIn("name with blanks.txt", self.assertSucceeded(self.curl("tree/")))

    def test_recursive_downloads_over_links(self):
        os.symlink("top.txt", os.path.join(self.tree, "link.txt"))
        os.symlink("nested/deeper", os.path.join(self.tree, "deeper-link"))
        write(os.path.join(self.base, "outside.txt"), b"secret")
        os.symlink(os.path.join(self.base, "outside.txt"), os.path.join(self.tree, "out.txt"))
        url = "ftp://test:pw@127.0.0.1:%d/tree/" % self.port
        # client, its command, where the copy lands, what it leaves out (wget: links to folders)
        rows = [("lftp", self.lftp_args("mirror tree lftp"), "lftp", []),
                ("wget", ["wget", "-q", "-r", "-nH", "--tries=1", "--timeout=20", "-P", "wget",
                          url], "wget/tree", ["--exclude=deeper-link"]),
                ("ncftpget", ["ncftpget", "-R", "-t", "20", "-u", "test", "-p", "pw",
                              "-P", str(self.port), "127.0.0.1", "ncftp", "/tree"], "ncftp/tree",
                 [])]
        for client, args, folder, left_out in rows:
            with self.subTest(client=client):
                if not shutil.which(client):
                    self.skipTest(client + " is not installed")
                os.makedirs(os.path.join(self.work, folder.split("/")[0]), exist_ok=True)
                self.assertSucceeded(run(["timeout", "120", *args], cwd=self.work, timeout=150))
                got = os.path.join(self.work, folder)
                # A link leading out of the root is not followed, and its target stays unknown.
                out = os.path.join(got, "out.txt")
                self.assertFalse(os.path.exists(out) and read(out) == b"secret")
                self.assertSameTree(self.tree, got, "--exclude=out.txt", *left_out)
        self.assertEqual(os.readlink(os.path.join(self.work, "lftp", "link.txt")), "top.txt")
        self.assertEqual(os.readlink(os.path.join(self.work, "lftp", "deeper-link")),
                         "nested/deeper")

    def test_permanent_errors_end_default_lftp(self):
        write(os.path.join(self.work, "tree"), b"a file named like the folder")
        # lftp as a user runs it retries a 4xx reply for ever: the time limit then ends it.
        for commands in ("cd nowhere", "ls nowhere", "mkdir tree", "rmdir tree", "put tree",
                         "get nowhere.txt", "rm nowhere.txt", "mv nowhere.txt x.txt"):
            with self.subTest(commands=commands):
                result = self.lftp(commands, settings="", limit=60)
                self.assertNotIn(result.returncode, (0, 124), result.stderr)
        # And the everyday work with the same defaults (EPSV, FEAT, no retry tuning).
        self.assertSucceeded(self.lftp("mirror tree plain; mirror -R plain back", settings=""))
        self.assertSameTree(self.tree, os.path.join(self.root, "back"))

    def test_tls_required(self):
        server = self.tls_server("--user", "test:pw", "--require-tls")
        self.port = server.port
        trusted = TUNED + "set ssl:ca-file %s; " % self.cert
        self.assertIn("530", self.lftp("ls", trusted + PLAIN).stderr)
        refused = self.curl("", "--verbose")
        self.assertIn("530 Non-anonymous sessions must use encryption.", refused.stderr)
        self.assertIsNone(server.wait_for_line("login test", timeout=1))
        forced = trusted + "set ftp:ssl-force true; set ftp:ssl-protect-data true; "
        out = self.assertSucceeded(self.lftp("cls -1 tree/; get tree/top.txt -o got.txt; "
                                             "put got.txt -o put.txt; mirror tree down; "
                                             "mirror -R down up", forced))
        self.assertIn("tree/nested/", out.splitlines())
        self.assertEqual(read(os.path.join(self.root, "put.txt")), TREE["top.txt"])
        self.assertSameTree(self.tree, os.path.join(self.work, "down"))
        self.assertSameTree(self.tree, os.path.join(self.root, "up"))
        # curl with either protocol version: its data connections resume the TLS session.
        got = os.path.join(self.work, "data.bin")
        for limit in ("1.2", "1.3"):
            with self.subTest(tls=limit):
                tls = ["--ssl-reqd", "--cacert", self.cert, "--tls-max", limit]
                self.assertIn("top.txt", self.assertSucceeded(self.curl("tree/", *tls)))
                self.assertSucceeded(self.curl("tree/nested/deeper/data.bin", *tls, "-o", got))
                self.assertEqual(read(got), DATA)
                self.assertSucceeded(self.curl("up%s.bin" % limit, *tls, "-T", got))
                self.assertEqual(read(os.path.join(self.root, "up%s.bin" % limit)), DATA)
        self.assertTrue(server.wait_for_line("transfer test STOR /up1.3.bin"))


if __name__ == "__main__":
    unittest.main()
