"""Runs torvex-server on 127.0.0.1 for the peer tests, and cleans up after it.

Every wait is bounded; the server is killed at the end whatever happened.
"""
import os
import queue
import random
import shutil
import signal
import socket
import subprocess
import tempfile
import threading
import time

START_TIMEOUT = 15
STOP_TIMEOUT = 15
CLIENT_TIMEOUT = 60


def server_path():
    path = os.environ.get("TORVEX_SERVER")
    if not path or not os.path.exists(path):
        raise RuntimeError("TORVEX_SERVER must name the built torvex-server")
    return path


def pattern_bytes(size, seed):
    return random.Random(seed).randbytes(size)


class TorvexServer:
    """torvex-server with its own configuration folder; use it in a with block."""

    def __init__(self, root, users=(("test", "581247"),), args=None, config_home=None):
        self.root = root
        self.users = users
        self.extra_args = args
        self.own_config = config_home is None
        self.config_home = config_home or tempfile.mkdtemp(prefix="torvex-config-")
        self.process = None
        self.port = None
        self.output = queue.Queue()
        self.lines = []
        self.stderr_text = ""

    def arguments(self):
        if self.extra_args is not None:
            return list(self.extra_args)
        args = ["--port", "0", "--address", "127.0.0.1", "--root", self.root]
        for name, password in self.users:
            args += ["--user", "%s:%s" % (name, password)]
        return args

    def launch(self):
        env = dict(os.environ, XDG_CONFIG_HOME=self.config_home, QT_QPA_PLATFORM="offscreen")
        self.process = subprocess.Popen([server_path()] + self.arguments(), env=env,
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                        text=True)
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()
        return self

    def _read(self):
        for line in self.process.stdout:
            self.output.put(line.rstrip("\n"))
        self.output.put(None)

    def next_line(self, timeout=START_TIMEOUT):
        try:
            line = self.output.get(timeout=timeout)
        except queue.Empty:
            return None
        if line is not None:
            self.lines.append(line)
        return line

    def wait_for_line(self, prefix, timeout=START_TIMEOUT):
        deadline = time.monotonic() + timeout
        for line in self.lines:
            if line.startswith(prefix):
                return line
        while time.monotonic() < deadline:
            line = self.next_line(max(0.05, deadline - time.monotonic()))
            if line is None:
                return None
            if line.startswith(prefix):
                return line
        return None

    def start(self):
        self.launch()
        first = self.next_line()
        if not first or not first.startswith("listening on port "):
            self.kill()
            raise RuntimeError("torvex-server did not start: %r %s" % (first, self.stderr_text))
        self.port = int(first.split()[-1])
        return self

    def stop(self, sig=signal.SIGTERM):
        """Signals the server and returns its exit status."""
        if self.process.poll() is None:
            self.process.send_signal(sig)
        try:
            status = self.process.wait(timeout=STOP_TIMEOUT)
        except subprocess.TimeoutExpired:
            self.kill()
            raise
        self._collect()
        return status

    def finish(self, timeout=STOP_TIMEOUT):
        """Waits for a server that ends by itself and returns its exit status."""
        try:
            status = self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.kill()
            raise
        self._collect()
        return status

    def _collect(self):
        self.stderr_text = self.process.stderr.read()
        # Bounded: the reader thread ends the queue with None once stdout closes.
        while self.next_line(timeout=2) is not None:
            pass

    def kill(self):
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait(timeout=STOP_TIMEOUT)

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        try:
            if self.process and self.process.poll() is None:
                self.stop()
        finally:
            self.kill()
            if self.process:
                self.reader.join(timeout=STOP_TIMEOUT)
            for stream in (self.process.stdout, self.process.stderr) if self.process else ():
                stream.close()
            if self.own_config:
                shutil.rmtree(self.config_home, ignore_errors=True)
        return False


def free_loopback_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def make_certificate(folder, name="server", common_name="127.0.0.1"):
    """A self-signed certificate for 127.0.0.1 and its key, made by Debian's openssl.

    The certificate is its own CA: clients trust it with --cacert or ssl:ca-file.
    """
    cert = os.path.join(folder, name + ".pem")
    key = os.path.join(folder, name + ".key")
    result = run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                  "-subj", "/CN=" + common_name, "-addext", "subjectAltName=IP:127.0.0.1",
                  "-keyout", key, "-out", cert])
    if result.returncode != 0:
        raise RuntimeError("openssl could not make a certificate: " + result.stderr)
    return cert, key


def run(args, timeout=CLIENT_TIMEOUT, **kwargs):
    """Runs a client program under a time limit and returns the completed process."""
    return subprocess.run(args, capture_output=True, text=True, timeout=timeout, **kwargs)
