"""torvex-server on 127.0.0.1 as a program and against ftplib, lftp, curl, wget and ncftp."""
import ftplib
import os
import shutil
import signal
import socket
import ssl
import subprocess
import tempfile
import time
import unittest

WAIT = 15


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def run(args, timeout=60, **kwargs):
    return subprocess.run(args, capture_output=True, text=True, timeout=timeout, **kwargs)


def make_certificate(folder, name="server"):
    cert, key = os.path.join(folder, name + ".pem"), os.path.join(folder, name + ".key")
    run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj",
         "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1", "-keyout", key, "-out", cert],
        check=True)
    return cert, key


class TorvexServer:
    def __init__(self, case, args):
        """torvex-server with the case's configuration folder, stopped when the case ends."""
        env = dict(os.environ, XDG_CONFIG_HOME=case.config, QT_QPA_PLATFORM="offscreen")
        self.logs, self.port = tempfile.mkdtemp(dir=case.base), None
        with open(self.logs + "/out", "w") as out, open(self.logs + "/err", "w") as err:
            self.process = subprocess.Popen([os.environ["TORVEX_SERVER"], *args], env=env,
                                            stdout=out, stderr=err)
        case.addCleanup(self.stop)

    def text(self, name="out"):
        return read(self.logs + "/" + name).decode()

    def wait_for_line(self, prefix, timeout=WAIT):
        """The first output line that starts with prefix, or None when none comes in time."""
        deadline = time.monotonic() + timeout
        while True:
            ended = self.process.poll() is not None
            found = [line for line in self.text().splitlines() if line.startswith(prefix)]
            if found or ended or time.monotonic() > deadline:
                return found[0] if found else None
            time.sleep(0.05)

    def stop(self, sig=signal.SIGTERM):
        """Signals the server (None: lets it end by itself) and returns its exit status."""
        if sig and self.process.poll() is None:
            self.process.send_signal(sig)
        try:
            return self.process.wait(timeout=WAIT)
        except subprocess.TimeoutExpired:
            self.process.kill()
            raise


class PeerCase(unittest.TestCase):
    """A scratch folder with root/ (what the server serves) and work/ (the client's side)."""

    def setUp(self):
        self.base = tempfile.mkdtemp(prefix="torvex-peer-")
        self.addCleanup(shutil.rmtree, self.base, True)
        self.root, self.work, self.config = (f"{self.base}/{n}" for n in ("root", "work", "config"))
        for folder in (self.root, self.work, self.config):
            os.makedirs(folder)

    def args(self, *extra):
        return ["--port", "0", "--address", "127.0.0.1", "--root", self.root, *extra]

    def serve(self, *extra, args=None):
        server = TorvexServer(self, self.args(*extra) if args is None else args)
        first = server.wait_for_line("listening on port ")
        self.assertTrue(first, "torvex-server did not start: " + server.text("err"))
        server.port = int(first.split()[-1])
        return server

    def assertSameTree(self, expected, got, *diff_options):
        diff = run(["diff", "-r", *diff_options, expected, got])
        self.assertEqual(diff.returncode, 0, diff.stdout + diff.stderr)

    def assertSucceeded(self, result):
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        return result.stdout


def login(port, user, password):
    ftp = ftplib.FTP(timeout=60)
    ftp.connect("127.0.0.1", port)
    ftp.login(user, password)
    return ftp


def fail_handshakes(server, count):
    """Ends count TLS handshakes with garbage and gives the server's resident memory in KiB."""
    garbage = [b"USER where a hello belongs\r\n", b"\x16\x03\x01\x00\x10" + b"\xff" * 16]
    for i in range(count):
        with socket.create_connection(("127.0.0.1", server.port), 60) as s:
            reader = s.makefile("rb")
            assert reader.readline().startswith(b"220")
            s.sendall(b"AUTH TLS\r\n")
            assert reader.readline().startswith(b"234")
            s.sendall(garbage[i % 2])
            assert reader.read() == b"", "the server hangs up"
    with open("/proc/%d/status" % server.process.pid) as status:
        return int(next(line for line in status if line.startswith("VmRSS:")).split()[1])


class ServerTool(PeerCase):
    def test_unusable_start_ends_with_status_1(self):
        cert, key = make_certificate(self.base)
        other_cert, other_key = make_certificate(self.base, "other")
        not_pem = os.path.join(self.base, "not.pem")
        write(not_pem, b"no certificate here\n")
        missing = os.path.join(self.base, "missing")
        busy = str(self.enterContext(socket.create_server(("127.0.0.1", 0))).getsockname()[1])
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
            (self.args("--cert", self.base, "--key", key), "cannot read"),
            (self.args("--cert", not_pem, "--key", key), "no PEM certificate"),
            (self.args("--cert", cert, "--key", not_pem), "no PEM private key"),
            (self.args("--cert", cert, "--key", other_key), "does not belong"),
            (self.args("--cert", other_cert), "go together"),
            (self.args("--require-tls"), "TLS needs a certificate"),
        ]
        for args, message in rows:
            with self.subTest(args=args):
                server = TorvexServer(self, args)
                self.assertEqual(server.stop(sig=None), 1)
                errors = server.text("err")
                self.assertTrue(errors.startswith("torvex-server: "), errors)
                self.assertIn(message, errors)
                self.assertNotIn("listening", server.text())

    def test_settings_files_give_port_folder_and_users(self):
        config = os.path.join(self.config, "torvex")
        with socket.create_server(("127.0.0.1", 0)) as probe:
            port = probe.getsockname()[1]
        server_ini = "[Server]\nIP=127.0.0.1\nPort=%d\nPath=%s\n" % (port, self.root)
        write(os.path.join(config, "server.ini"), server_ini.encode())
        users = b"[Users]\nCount=1\n\n[Node0]\nName=alice\nPassword=wonder land\nPaths=@Invalid()\n"
        write(os.path.join(config, "users.ini"), users)
        os.makedirs(os.path.join(self.root, "from settings"))
        server = self.serve(args=["--address", "127.0.0.1"])
        self.assertEqual(server.port, port)
        with login(port, "alice", "wonder land") as ftp:
            ftp.cwd("from settings")
        self.assertRaises(ftplib.error_perm, login, port, "test", "581247")
        self.assertEqual(server.stop(signal.SIGINT), 0)
        self.assertEqual(read(os.path.join(config, "users.ini")), users)

    def test_users_of_this_run_and_the_log(self):
        write(os.path.join(self.root, "big.bin"), BIG)
        write(os.path.join(self.root, "fake\r\nforged"), b"x")
        server = self.serve("--user", "bob:pa:ss", "--user", "carol:x")
        with login(server.port, "carol", "x") as ftp:
            self.assertEqual(ftp.pwd(), "/")
        self.assertRaises(ftplib.error_perm, login, server.port, "test", "581247")
        lines, received = [], bytearray()
        with login(server.port, "bob", "pa:ss") as ftp:
            ftp.dir(lines.append)
            ftp.retrbinary("RETR big.bin", received.extend)
        self.assertEqual(bytes(received), BIG)
        # A name with a line break would forge listing lines: it is left out, and the log says so.
        self.assertFalse([line for line in lines if "forged" in line], lines)
        self.assertIn("fake??forged", server.wait_for_line("notice listing leaves out") or "")
        self.assertTrue(server.wait_for_line("transfer bob RETR /big.bin %d bytes" % len(BIG)))
        self.assertTrue(server.wait_for_line("logout bob from 127.0.0.1:"))
        self.assertEqual(server.stop(signal.SIGTERM), 0)
        self.assertIn("login carol from 127.0.0.1:", server.text())
        self.assertNotIn("pa:ss", server.text())
        # --user is for this run only: nothing lands in the settings.
        self.assertEqual([files for _, _, files in os.walk(self.config) if files], [])


OLD = time.mktime((2019, 3, 5, 10, 0, 0, 0, 0, -1))
DATA = os.urandom(700_000)
BIG = os.urandom(3 * 1024 * 1024 + 5)
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
                    *args, "ftp://127.0.0.1:%d/%s" % (self.port, path)])

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
        self.assertEqual(os.stat(moved).st_mode & 0o777, 0o640)
        for removed in ("tree/top.txt", "gone", "tree/empty.txt"):
            self.assertFalse(os.path.exists(os.path.join(self.root, removed)), removed)

    def test_curl_transfers(self):
        local, served = self.work + "/", self.root + "/"
        write(served + "big.bin", BIG)
        write(local + "up.bin", BIG)
        write(local + "part.bin", BIG[:2_000_001])
        write(served + "resume.bin", BIG[:1_000_003])
        os.symlink("tree/top.txt", served + "link.txt")
        # remote path, curl options, the file that then holds the data
        rows = [
            ("big.bin", ["--output", local + "big.bin"], local + "big.bin", BIG),
            ("tree/up.bin", ["--upload-file", local + "up.bin"], served + "tree/up.bin", BIG),
            # The rest of a download, and an upload appended to the part the server has.
            ("big.bin", ["-C", "-", "--output", local + "part.bin"], local + "part.bin", BIG),
            ("resume.bin", ["-C", "-", "-T", local + "up.bin"], served + "resume.bin", BIG),
            ("link.txt", ["--output", local + "link.txt"], local + "link.txt", TREE["top.txt"]),
        ]
        for path, args, target, data in rows:
            with self.subTest(path=path, args=args):
                self.assertSucceeded(self.curl(path, *args))
                self.assertEqual(read(target), data)
        # LIST through curl is checked over TLS below; NLST: the names alone, one per line.
        names = set(self.assertSucceeded(self.curl("tree/", "--list-only")).splitlines())
        self.assertLessEqual({"name with blanks.txt", "nested"}, names)

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
                              "-P", str(self.port), "127.0.0.1", ".", "/tree"], "tree", [])]
        for client, args, folder, left_out in rows:
            with self.subTest(client=client):
                if not shutil.which(client):
                    self.skipTest(client + " is not installed")
                self.assertSucceeded(run(["timeout", "120", *args], cwd=self.work, timeout=150))
                got = os.path.join(self.work, folder)
                # A link leading out of the root is not followed, and its target stays unknown.
                out = os.path.join(got, "out.txt")
                self.assertFalse(os.path.exists(out) and read(out) == b"secret")
                self.assertSameTree(self.tree, got, "--exclude=out.txt", *left_out)
        links = [os.readlink(f"{self.work}/lftp/{n}") for n in ("link.txt", "deeper-link")]
        self.assertEqual(links, ["top.txt", "nested/deeper"])

    def test_permanent_errors_end_default_lftp(self):
        write(os.path.join(self.work, "tree"), b"a file named like the folder")
        # lftp as a user runs it retries a 4xx reply for ever: the time limit then ends it.
        result = self.lftp("put tree", settings="", limit=60)
        self.assertNotIn(result.returncode, (0, 124), result.stderr)
        # And the everyday work with the same defaults (EPSV, FEAT, no retry tuning).
        self.assertSucceeded(self.lftp("mirror tree plain; mirror -R plain back", settings=""))
        self.assertSameTree(self.tree, os.path.join(self.root, "back"))

    def test_tls_required(self):
        cert, key = make_certificate(self.base)
        server = self.serve("--cert", cert, "--key", key, "--user", "test:pw", "--require-tls")
        self.port = server.port
        trusted = TUNED + "set ssl:ca-file %s; " % cert
        self.assertIn("530", self.lftp("ls", trusted + PLAIN).stderr)
        self.assertIsNone(server.wait_for_line("login test", timeout=1))
        # Failed handshakes end their connections, and memory stays flat over a thousand of them.
        before = fail_handshakes(server, 200)
        after = fail_handshakes(server, 1000)
        self.assertLess(after - before, 2048, "grew from %d KiB to %d KiB" % (before, after))
        self.assertTrue(server.wait_for_line("notice TLS handshake with 127.0.0.1:"))
        forced = trusted + "set ftp:ssl-force true; set ftp:ssl-protect-data true; "
        out = self.assertSucceeded(self.lftp("cls -1 tree/; get tree/top.txt -o got.txt; "
                                             "put got.txt -o put.txt; mirror tree down; "
                                             "mirror -R down up", forced))
        self.assertIn("tree/nested/", out.splitlines())
        self.assertEqual(read(os.path.join(self.root, "put.txt")), TREE["top.txt"])
        self.assertSameTree(self.tree, os.path.join(self.work, "down"))
        self.assertSameTree(self.tree, os.path.join(self.root, "up"))
        # curl with either protocol version. Small uploads with TLS 1.3 once ended in 426 now and
        # then: the client closed without reading the data connection's tickets, so with a reset.
        got = os.path.join(self.work, "data.bin")
        for limit in ("1.2", "1.3"):
            with self.subTest(tls=limit):
                tls = ["--ssl-reqd", "--cacert", cert, "--tls-max", limit]
                self.assertIn("top.txt", self.assertSucceeded(self.curl("tree/", *tls)))
                self.assertSucceeded(self.curl("tree/nested/deeper/data.bin", *tls, "-o", got))
                self.assertEqual(read(got), DATA)
                self.assertSucceeded(self.curl("up%s.bin" % limit, *tls, "-T", got))
                self.assertEqual(read(os.path.join(self.root, "up%s.bin" % limit)), DATA)
        self.assertTrue(server.wait_for_line("transfer test STOR /up1.3.bin"))
        # The same, every time: an uploader that lets what the server sent after the handshake
        # sit unread before it sends and closes.
        with ftplib.FTP_TLS(context=ssl.create_default_context(cafile=cert)) as ftp:
            ftp.connect("127.0.0.1", self.port, timeout=WAIT)
            ftp.login("test", "pw")
            ftp.prot_p()
            ftp.voidcmd("TYPE I")
            raw = socket.create_connection(ftp.makepasv(), timeout=WAIT)
            ftp.sendcmd("STOR quiet.bin")
            with ftp.context.wrap_socket(raw, server_hostname="127.0.0.1",
                                         session=ftp.sock.session) as data:
                time.sleep(0.3)
                data.sendall(DATA)
            self.assertTrue(ftp.voidresp().startswith("226"))
        self.assertEqual(read(os.path.join(self.root, "quiet.bin")), DATA)


if __name__ == "__main__":
    unittest.main()
