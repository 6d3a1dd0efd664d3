"""torvex-server on 127.0.0.1 for the peer tests, and a fixture around it.

Every wait is bounded; the server is killed at the end whatever happened.
"""
import os
import random
import shutil
import signal
import subprocess
import tempfile
import threading
import time
import unittest

WAIT = 15
CLIENT_TIMEOUT = 60


def pattern_bytes(size, seed):
    return random.Random(seed).randbytes(size)


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def run(args, timeout=CLIENT_TIMEOUT, **kwargs):
    """Runs a client program under a time limit and returns the completed process."""
    return subprocess.run(args, capture_output=True, text=True, timeout=timeout, **kwargs)


def make_certificate(folder, name="server"):
    """A self-signed certificate for 127.0.0.1 and its key; clients trust it as its own CA."""
    cert, key = os.path.join(folder, name + ".pem"), os.path.join(folder, name + ".key")
    made = run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1",
                "-keyout", key, "-out", cert])
    if made.returncode != 0:
        raise RuntimeError("openssl could not make a certificate: " + made.stderr)
    return cert, key


class TorvexServer:
    """torvex-server with its own configuration folder; its output lines gather in lines."""

    def __init__(self, args, config_home):
        env = dict(os.environ, XDG_CONFIG_HOME=config_home, QT_QPA_PLATFORM="offscreen")
        self.process = subprocess.Popen([os.environ["TORVEX_SERVER"]] + args, env=env,
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        self.lines = []
        self.stderr_text = ""
        self.closed = threading.Event()
        self.port = None
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for line in self.process.stdout:
            self.lines.append(line.rstrip("\n"))
        self.closed.set()

    def wait_for_line(self, prefix, timeout=WAIT):
        """The first output line that starts with prefix, or None when none comes in time."""
        deadline = time.monotonic() + timeout
        while True:
            ended = self.closed.is_set()
            found = [line for line in self.lines if line.startswith(prefix)]
            if found or ended or time.monotonic() > deadline:
                return found[0] if found else None
            time.sleep(0.05)

    def stop(self, sig=signal.SIGTERM):
        """Signals the server (sig None: lets it end by itself) and returns its exit status."""
        if sig and self.process.poll() is None:
            self.process.send_signal(sig)
        try:
            status = self.process.wait(timeout=WAIT)
        finally:
            self.kill()
        if self.closed.wait(WAIT) and not self.process.stderr.closed:
            self.stderr_text = self.process.stderr.read()
            self.process.stderr.close()
            self.process.stdout.close()
        return status

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait(timeout=WAIT)

    def output(self):
        return "\n".join(self.lines) + self.stderr_text


class PeerCase(unittest.TestCase):
    """A scratch folder with root/ (what the server serves) and work/ (the client's side)."""

    def setUp(self):
        self.base = tempfile.mkdtemp(prefix="torvex-peer-")
        self.addCleanup(shutil.rmtree, self.base, True)
        self.root = os.path.join(self.base, "root")
        self.work = os.path.join(self.base, "work")
        self.config_home = os.path.join(self.base, "config")
        for folder in (self.root, self.work, self.config_home):
            os.makedirs(folder)

    def args(self, *extra):
        return ["--port", "0", "--address", "127.0.0.1", "--root", self.root, *extra]

    def launch(self, args):
        server = TorvexServer(args, self.config_home)
        self.addCleanup(server.stop)
        return server

    def serve(self, *extra, args=None):
        """A running server; by default on a free port, serving root with the extra options."""
        server = self.launch(self.args(*extra) if args is None else args)
        first = server.wait_for_line("listening on port ")
        if not first:
            server.stop(signal.SIGKILL)
            raise RuntimeError("torvex-server did not start: " + server.stderr_text)
        server.port = int(first.split()[-1])
        return server

    def tls_server(self, *extra):
        self.cert, key = make_certificate(self.base)
        return self.serve("--cert", self.cert, "--key", key, *extra)

    def assertSameTree(self, expected, got, *diff_options):
        diff = run(["diff", "-r", *diff_options, expected, got])
        self.assertEqual(diff.returncode, 0, diff.stdout + diff.stderr)

    def assertSucceeded(self, result):
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        return result.stdout
