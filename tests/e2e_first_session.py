#!/usr/bin/python3
"""A new user's first session with the real program under Xvfb, driven with xdotool."""
import contextlib
import glob
import hashlib
import importlib.util
import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time

from peer_server import read, write

SOURCE_DIR = os.environ.get("TORVEX_SOURCE_DIR", os.path.abspath(__file__ + "/../.."))
PROGRAM = os.environ.get("TORVEX_BINARY_DIR", SOURCE_DIR + "/build") + "/app/torvex"
SHOTS = os.environ.get("TORVEX_SCREENSHOT_DIR", SOURCE_DIR + "/docs/screenshots/first-session")

# Places within each window at its first size (main window: 1202 x 739), read off screenshots.
MAIN_SITES, MAIN_CONNECT = (35, 36), (100, 36)    # Connect and Disconnect share their place
MAIN_DOWNLOAD, MAIN_UPLOAD = (186, 36), (254, 36)
LOCAL_X, REMOTE_X = 100, 760      # the remote x holds however the pane splitter settles
ROW_Y = (177, 205, 233)           # the first rows of the file lists
REMOTE_EMPTY = (870, 390)         # the remote list's background: pink while not connected
SITES_FIRST_ROW, SITES_IP, SITES_PORT = (100, 47), (286, 401), (724, 401)
SITES_FTP_SERVER, SITES_CONNECT, SITES_OK = (50, 552), (515, 552), (858, 552)
SERVER_PORT, SERVER_PATH, SERVER_START, SERVER_OK = (557, 23), (285, 54), (540, 112), (567, 440)
MENU_COMPARE = 5                  # fifth entry of the remote list's context menu
MANY_FILES = 240


def wait_until(what, check, timeout=20.0, step=0.1):
    deadline = time.monotonic() + timeout
    while not (result := check()):
        assert time.monotonic() < deadline, "timed out after %gs waiting for %s" % (timeout, what)
        time.sleep(step)
    return result


def xdotool(*args, check=True):
    done = subprocess.run(["xdotool", *map(str, args)], capture_output=True, text=True, timeout=15)
    assert not check or done.returncode == 0, "xdotool %s: %s" % (args, done.stderr.strip())
    return done.stdout


class Window:
    def __init__(self, wid):
        self.wid = wid
        size = dict(kv.split("=") for kv in xdotool("getwindowgeometry", "--shell", wid).split())
        self.x, self.y, self.width, self.height = (int(size[k]) for k in "X Y WIDTH HEIGHT".split())

    def click(self, x, y, button=1, double=False):
        xdotool("mousemove", self.x + x, self.y + y)
        time.sleep(0.15)
        xdotool("click", "--repeat", 2 if double else 1, "--delay", 80, button)
        time.sleep(0.3)

    def fill(self, x, y, text):
        self.click(x, y)
        xdotool("key", "--clearmodifiers", "ctrl+a")
        xdotool("type", "--delay", 30, text)
        time.sleep(0.2)

    def ask_to_close(self):
        """What the title bar's close button does: WM_DELETE_WINDOW to the window."""
        from Xlib import X, display, protocol
        screen = display.Display()
        window = screen.create_resource_object("window", int(self.wid))
        event = protocol.event.ClientMessage(
            window=window, client_type=screen.intern_atom("WM_PROTOCOLS"),
            data=(32, [screen.intern_atom("WM_DELETE_WINDOW"), X.CurrentTime, 0, 0, 0]))
        window.send_event(event, event_mask=X.NoEventMask)
        screen.close()


def tree_digests(root):
    """Every file under root by its MD5; a file that goes away while being read is left out."""
    found = {}
    for path in glob.glob(glob.escape(root) + "/**", recursive=True, include_hidden=True):
        if os.path.isfile(path):
            with contextlib.suppress(FileNotFoundError):
                found[os.path.relpath(path, root)] = hashlib.md5(read(path)).hexdigest()
    return found


def port_open(port):
    with socket.socket() as s:
        s.settimeout(1)
        return s.connect_ex(("127.0.0.1", port)) == 0


def looks_disconnected(main):
    """Whether the remote list's background on the screen is the pink of no connection."""
    crop = "1x1+%d+%d" % (main.x + REMOTE_EMPTY[0], main.y + REMOTE_EMPTY[1])
    r, g, b = subprocess.run(["import", "-window", "root", "-crop", crop, "-depth", "8", "rgb:-"],
                             capture_output=True, check=True, timeout=30).stdout[:3]
    return r > 230 and g < 215 and b < 215


class Session:
    """The program with a home, configuration and served folder of its own under root."""

    def __init__(self, root):
        self.root, self.shots, self.process = root, 0, None
        self.home, self.serve, self.config = (root + "/" + n for n in ("home", "serve", "config"))
        self.downloads = os.path.join(self.home, "Downloads")

    def shot(self, name, settle=0.0):
        time.sleep(settle)
        self.shots += 1
        path = os.path.join(SHOTS, "%02d-%s.png" % (self.shots, name))
        subprocess.run(["import", "-window", "root", path], check=True, timeout=30,
                       capture_output=True)

    def start(self):
        # A fresh user: data and cache folders follow HOME once their variables are gone.
        env = {k: v for k, v in os.environ.items() if k not in (
            "QT_QPA_PLATFORM", "LC_ALL", "LC_MESSAGES", "XDG_DATA_HOME", "XDG_CACHE_HOME")}
        env.update(HOME=self.home, XDG_CONFIG_HOME=self.config, LANG="C.UTF-8", LANGUAGE="en",
                   XDG_RUNTIME_DIR=os.path.join(self.root, "runtime"))
        os.makedirs(env["XDG_RUNTIME_DIR"], mode=0o700, exist_ok=True)
        with open(os.path.join(self.root, "torvex.log"), "ab") as log:
            self.process = subprocess.Popen([PROGRAM], env=env, cwd=self.home, stdout=log,
                                            stderr=subprocess.STDOUT)
        main = self.window("FTP Torvex")
        size = (main.width, main.height)
        assert size == (1202, 739), "main window is %dx%d, not 1202x739" % size
        time.sleep(0.5)
        return main

    def find(self, title):
        ids = xdotool("search", "--all", "--onlyvisible", "--pid", self.process.pid,
                      "--name", "^%s$" % title, check=False).split()
        return ids[-1] if ids else None

    def window(self, title):
        return Window(wait_until('the window "%s"' % title, lambda: self.find(title)))

    def open_sites(self, main, step):
        main.click(*MAIN_SITES)
        sites = self.window("FTP Servers")
        self.shot(step)
        return sites

    def start_server(self, sites, port, folder=None):
        """Starts the built-in server from the Sites dialog; given a folder, there and on port."""
        sites.click(*SITES_FTP_SERVER)
        server = self.window("Start the ftp server")
        if folder:
            server.fill(*SERVER_PORT, str(port))
            server.fill(*SERVER_PATH, folder)
            self.shot("server-dialog")
        server.click(*SERVER_START)
        wait_until("the built-in server on port %d" % port, lambda: port_open(port))
        if folder:
            self.shot("server-started")
        server.click(*SERVER_OK)
        wait_until("the server dialog to close", lambda: not self.find("Start the ftp server"))

    def connect(self, sites, main, step, connected_step):
        sites.click(*SITES_CONNECT)
        self.shot(step + "-login-message", settle=1.0)
        # The message box takes Return on its OK button; its title is empty, nothing to wait for.
        time.sleep(0.5)
        xdotool("key", "--clearmodifiers", "Return")
        time.sleep(0.3)
        sites.click(*SITES_OK)
        wait_until("the Sites dialog to close", lambda: not self.find("FTP Servers"))
        self.expect_connected(main, True, connected_step)

    def expect_connected(self, main, connected, name):
        """Takes the step's screenshot once the window shows the state."""
        wait_until("the window to show it is %s" % ("connected" if connected else "disconnected"),
                   lambda: looks_disconnected(main) != connected, timeout=15, step=0.5)
        self.shot(name)

    def disconnect_and_quit(self, main, step):
        main.click(*MAIN_CONNECT)
        self.expect_connected(main, False, step)
        # Qt drops a close request that reaches the window while a modal dialog still blocks it
        # (about one run in six): ask again, as a person clicks the close button again.
        for attempt in range(1, 6):
            main.ask_to_close()
            with contextlib.suppress(subprocess.TimeoutExpired):
                code = self.process.wait(timeout=4)
                assert code == 0, "the program quit with status %d" % code
                return
            print("e2e: the window is still open after close request %d" % attempt)
        raise AssertionError("the program did not quit when its window was closed")


def prepare(session):
    """The served folder with a tree to download, and a file in the user's Downloads to upload."""
    tree = os.path.join(session.serve, "pub", "tree")
    write(os.path.join(tree, "big.bin"), os.urandom(48 * 1024 * 1024))
    write(os.path.join(tree, "notes.txt"), "first line\nsecond line, ünïcödé\n".encode())
    write(os.path.join(tree, "empty.dat"), b"")
    write(os.path.join(tree, "sub", "deeper", "bytes.bin"), bytes(range(256)) * 41)
    # Many small files keep the queue busy long enough to be seen at work.
    for i in range(MANY_FILES):
        write(os.path.join(tree, "many", "file-%03d.txt" % i), (b"line %d\n" % i) * (i + 1))
    write(os.path.join(session.downloads, "upload.bin"), os.urandom(700 * 1024 + 3))
    return tree


def first_run(session, port, tree):
    main = session.start()
    session.shot("window")
    sites = session.open_sites(main, "sites-offer-test-site")
    session.start_server(sites, port, session.serve)
    # The offered test site, pointed at the port just started (2121 may be taken here).
    sites.fill(*SITES_IP, "127.0.0.1")
    sites.fill(*SITES_PORT, str(port))
    session.connect(sites, main, "sites", "window-connected")

    main.click(REMOTE_X, ROW_Y[1], double=True)           # the folder "pub"
    time.sleep(1.0)
    main.click(REMOTE_X, ROW_Y[1])                        # "tree" inside it
    session.shot("pub-opened")
    main.click(*MAIN_DOWNLOAD)
    local_tree = os.path.join(session.downloads, "tree")
    try:
        wait_until("the download under way", timeout=30, step=0.02,
                   check=lambda: 0 < len(glob.glob(local_tree + "/many/*")) < MANY_FILES - 20)
    except AssertionError:
        print("e2e: the download went by too fast to be seen at work")
    session.shot("downloading")
    expected = tree_digests(tree)
    wait_until("the tree downloaded byte for byte", timeout=120, step=0.3,
               check=lambda: tree_digests(local_tree) == expected)
    session.shot("downloaded", settle=1.0)

    main.click(LOCAL_X, ROW_Y[2])                         # "upload.bin", after "tree"
    main.click(*MAIN_UPLOAD)
    uploaded = os.path.join(session.serve, "pub", "upload.bin")
    wanted = read(os.path.join(session.downloads, "upload.bin"))
    wait_until("upload.bin uploaded byte for byte", timeout=60,
               check=lambda: os.path.exists(uploaded) and read(uploaded) == wanted)
    session.shot("uploaded", settle=1.0)

    before = tree_digests(session.downloads)
    main.click(LOCAL_X, ROW_Y[1])                         # "tree" on both sides
    main.click(REMOTE_X, ROW_Y[1])
    main.click(REMOTE_X, ROW_Y[1], button=3)
    time.sleep(0.5)
    xdotool("key", "--clearmodifiers", "--delay", 250, *["Down"] * MENU_COMPARE, "Return")
    # The compare fetches the remote copies into a folder of its own and removes it again.
    wait_until("the compare to finish and tidy up", timeout=60,
               check=lambda: tree_digests(session.downloads) == before
               and sorted(os.listdir(session.downloads)) == ["tree", "upload.bin"])
    session.shot("compared", settle=1.5)
    session.disconnect_and_quit(main, "disconnected")


def second_run(session, port):
    """The site, and the server's folder and port, outlive the restart: connecting proves it."""
    main = session.start()
    sites = session.open_sites(main, "restarted-site-kept")
    session.start_server(sites, port)
    sites.click(*SITES_FIRST_ROW)
    session.connect(sites, main, "restarted", "restarted-window-connected")
    session.disconnect_and_quit(main, "restarted-disconnected")


def drive():
    os.makedirs(SHOTS, exist_ok=True)
    for old in glob.glob(os.path.join(glob.escape(SHOTS), "[0-9][0-9]-*.png")):
        os.remove(old)                                    # only a former run's steps
    session = Session(tempfile.mkdtemp(prefix="tvx-"))
    try:
        tree = prepare(session)
        with socket.create_server(("127.0.0.1", 0)) as probe:
            port = probe.getsockname()[1]
        first_run(session, port, tree)
        second_run(session, port)
    except AssertionError as failure:
        print("e2e: FAIL: %s (screenshots in %s)" % (failure, SHOTS))
        print(read(os.path.join(session.root, "torvex.log"))[-3000:].decode(errors="replace"))
        session.shot("failed")
        return 1
    finally:
        if session.process and session.process.poll() is None:
            session.process.kill()
            session.process.wait(timeout=10)
        shutil.rmtree(session.root, ignore_errors=True)
    print("e2e: the first session passed; %d screenshots in %s" % (session.shots, SHOTS))
    return 0


def main():
    if "--drive" in sys.argv:
        return drive()
    if not os.access(PROGRAM, os.X_OK):
        print("e2e: %s is not built" % PROGRAM)
        return 1
    tools = {"xvfb-run": "xvfb", "xdotool": "xdotool", "import": "imagemagick", "xauth": "xauth"}
    missing = [package for tool, package in tools.items() if not shutil.which(tool)]
    missing += [] if importlib.util.find_spec("Xlib") else ["python3-xlib"]
    if missing:
        print("e2e: SKIP: missing %s (bash scripts/install-deps.sh --tests)" % " ".join(missing))
        return 77
    command = ["xvfb-run", "-a", "-s", "-screen 0 1280x800x24 -nolisten tcp -noreset",
               sys.executable, os.path.abspath(__file__), "--drive"]
    private = ["unshare", "--net", "--", "sh", "-c", 'ip link set lo up && exec "$@"', "sh"]
    if "--shared-network" not in sys.argv and os.geteuid() == 0 and shutil.which("unshare") \
            and subprocess.run([*private, "true"], capture_output=True, timeout=10).returncode == 0:
        command = private + command
    else:
        print("e2e: no private network namespace; the test talks to 127.0.0.1 only")
    # A process group of its own, so that a session that runs out of time takes Xvfb and the
    # program down with it (xvfb-run leaves Xvfb running when it cannot tidy up).
    runner = subprocess.Popen(command, start_new_session=True)
    try:
        return runner.wait(timeout=480)
    except subprocess.TimeoutExpired:
        print("e2e: FAIL: the session took longer than 8 minutes")
        return 1
    finally:
        with contextlib.suppress(ProcessLookupError):
            os.killpg(runner.pid, signal.SIGKILL)
        runner.wait(timeout=30)


if __name__ == "__main__":
    sys.exit(main())
