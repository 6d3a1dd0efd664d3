#!/usr/bin/python3
"""A new user's first session with the real program, driven with real X input events.

Under Xvfb (from xvfb-run) it starts build/app/torvex with a fresh configuration and home folder
and works the window as a person would, with xdotool clicks at the widgets' places, typing and
keys: open Sites, take the offered test site, start the built-in server on a prepared folder,
connect, open a folder, download a tree, upload a file, compare, disconnect and quit; then it
starts the program again and finds the site still there. Files are checked byte for byte and a
screenshot of each step is saved (TORVEX_SCREENSHOT_DIR, by default
docs/screenshots/first-session).

As root it runs in a network namespace of its own that has only the loopback device: the offered
test site then points at 127.0.0.1 by itself, and the built-in server, which listens on every
address, cannot be reached from outside. Elsewhere it types 127.0.0.1 into the site instead.
Every wait is bounded; every process it starts is ended.

Positions are relative to each window, from the layouts at their initial sizes (main window
1202 x 739, Sites 910 x 576, server dialog 619 x 464), checked against the screenshots.
"""
import hashlib
import importlib.util
import os
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE_DIR = os.environ.get("TORVEX_SOURCE_DIR", os.path.dirname(HERE))
BINARY_DIR = os.environ.get("TORVEX_BINARY_DIR", os.path.join(SOURCE_DIR, "build"))
PROGRAM = os.path.join(BINARY_DIR, "app", "torvex")
SHOTS = os.environ.get("TORVEX_SCREENSHOT_DIR",
                       os.path.join(SOURCE_DIR, "docs", "screenshots", "first-session"))
SCREEN = "1280x800x24"
SKIP = 77
TOOLS = {"xvfb-run": "xvfb", "xdotool": "xdotool", "import": "imagemagick", "xauth": "xauth"}


class Failure(Exception):
    pass


# ---- waiting, bounded ----------------------------------------------------------------------

def wait_until(what, check, timeout=20.0, step=0.1):
    deadline = time.monotonic() + timeout
    while True:
        result = check()
        if result:
            return result
        if time.monotonic() > deadline:
            raise Failure("timed out after %gs waiting for %s" % (timeout, what))
        time.sleep(step)


# ---- the X side: windows, input, screenshots ---------------------------------------------

def xdotool(*args, check=True):
    done = subprocess.run(["xdotool"] + [str(a) for a in args], capture_output=True, text=True,
                          timeout=15)
    if check and done.returncode != 0:
        raise Failure("xdotool %s: %s" % (" ".join(map(str, args)), done.stderr.strip()))
    return done.stdout


def find_window(title, pid):
    """The visible top-level window of our program with exactly this title, or None."""
    ids = xdotool("search", "--all", "--onlyvisible", "--pid", pid, "--name", "^%s$" % title, check=False).split()
    return ids[-1] if ids else None


def wait_window(title, pid, timeout=20.0):
    return wait_until("the window \"%s\"" % title, lambda: find_window(title, pid), timeout)


def wait_window_gone(title, pid, timeout=20.0):
    wait_until("the window \"%s\" to close" % title, lambda: not find_window(title, pid), timeout)


class Window:
    def __init__(self, wid):
        self.wid = wid
        geometry = dict(line.split("=", 1) for line in
                        xdotool("getwindowgeometry", "--shell", wid).split())
        self.x, self.y = int(geometry["X"]), int(geometry["Y"])
        self.width, self.height = int(geometry["WIDTH"]), int(geometry["HEIGHT"])

    def click(self, x, y, button=1, double=False):
        xdotool("mousemove", self.x + x, self.y + y)
        time.sleep(0.15)
        xdotool("click", "--repeat", 2 if double else 1, "--delay", 80, button)
        time.sleep(0.3)

    def fill(self, x, y, text):
        """Click into a line edit, select what it holds and type over it."""
        self.click(x, y)
        xdotool("key", "--clearmodifiers", "ctrl+a")
        xdotool("type", "--delay", 30, text)
        time.sleep(0.2)


def backtrace(pid):
    """Where a program that does not answer is stuck, when gdb is there to tell."""
    if not shutil.which("gdb"):
        return "(no gdb for a backtrace)"
    done = subprocess.run(["gdb", "-p", str(pid), "-batch", "-ex", "thread apply all bt"],
                          capture_output=True, text=True, timeout=60)
    return done.stdout[-6000:]


def key(*names):
    for name in names:
        xdotool("key", "--clearmodifiers", name)
        time.sleep(0.25)


class Shots:
    def __init__(self, folder):
        self.folder = folder
        self.count = 0
        os.makedirs(folder, exist_ok=True)

    def take(self, name):
        self.count += 1
        path = os.path.join(self.folder, "%02d-%s.png" % (self.count, name))
        subprocess.run(["import", "-window", "root", path], check=True, timeout=30,
                       capture_output=True)
        return path


def ask_to_close(wid):
    """What the title bar's close button does: WM_DELETE_WINDOW to the window."""
    from Xlib import X, display, protocol
    screen = display.Display()
    window = screen.create_resource_object("window", int(wid))
    protocols = screen.intern_atom("WM_PROTOCOLS")
    delete = screen.intern_atom("WM_DELETE_WINDOW")
    event = protocol.event.ClientMessage(window=window, client_type=protocols,
                                         data=(32, [delete, X.CurrentTime, 0, 0, 0]))
    window.send_event(event, event_mask=X.NoEventMask)
    screen.flush()
    screen.close()


# ---- files ---------------------------------------------------------------------------------

def digest(path):
    with open(path, "rb") as f:
        return hashlib.md5(f.read()).hexdigest()


def tree_digests(root):
    """Every file under root by its MD5; a file that goes away while being read counts as absent."""
    found = {}
    for folder, _, files in os.walk(root):
        for name in files:
            path = os.path.join(folder, name)
            try:
                found[os.path.relpath(path, root)] = digest(path)
            except FileNotFoundError:
                pass
    return found


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def free_loopback_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def pixel(path, x, y):
    """The colour at (x, y) of a screenshot, as (r, g, b)."""
    text = subprocess.run(["convert", path, "-format", "%%[fx:int(255*p{%d,%d}.r)],"
                           "%%[fx:int(255*p{%d,%d}.g)],%%[fx:int(255*p{%d,%d}.b)]" % ((x, y) * 3),
                           "info:"], capture_output=True, text=True, check=True, timeout=30).stdout
    return tuple(int(v) for v in text.split(","))


# ---- the session ---------------------------------------------------------------------------

# Window-relative places, from the layouts at their initial sizes.
MAIN_SITES = (35, 36)
MAIN_CONNECT = (100, 36)          # Connect and Disconnect share the place
MAIN_DOWNLOAD = (186, 36)         # where Download sits while the label beside it reads "Disconnect"
MAIN_UPLOAD = (254, 36)
LOCAL_ROW_X, REMOTE_ROW_X = 100, 760    # the remote x holds however the pane splitter settles
ROW_Y = (177, 205, 233, 261)      # the first four rows of the file lists, 28 pixels apart
REMOTE_EMPTY = (870, 390)         # the remote list's background: pink while not connected
SITES_FIRST_ROW = (100, 47)
SITES_IP, SITES_PORT = (286, 401), (724, 401)
SITES_FTP_SERVER, SITES_CONNECT, SITES_OK = (50, 552), (515, 552), (858, 552)
SERVER_PORT, SERVER_PATH = (557, 23), (285, 54)
SERVER_START, SERVER_OK = (540, 112), (567, 440)
MENU_COMPARE = 5                  # fifth entry of the remote list's context menu

MANY_FILES = 240


def looks_disconnected(shot, main):
    r, g, b = pixel(shot, main.x + REMOTE_EMPTY[0], main.y + REMOTE_EMPTY[1])
    return r > 230 and g < 215 and b < 215


class Session:
    def __init__(self, root, shots):
        self.root = root
        self.shots = shots
        self.home = os.path.join(root, "home")
        self.downloads = os.path.join(self.home, "Downloads")
        self.serve = os.path.join(root, "serve")
        self.config = os.path.join(root, "config")
        self.process = None
        self.log = None

    def environment(self):
        env = dict(os.environ)
        env.pop("QT_QPA_PLATFORM", None)
        env.update(HOME=self.home, XDG_CONFIG_HOME=self.config,
                   XDG_DATA_HOME=os.path.join(self.home, ".local", "share"),
                   XDG_CACHE_HOME=os.path.join(self.home, ".cache"),
                   XDG_RUNTIME_DIR=os.path.join(self.root, "runtime"), LANG="C.UTF-8",
                   LANGUAGE="en")
        for name in ("LC_ALL", "LC_MESSAGES"):
            env.pop(name, None)
        os.makedirs(env["XDG_RUNTIME_DIR"], mode=0o700, exist_ok=True)
        return env

    def start(self):
        if self.log:
            self.log.close()
        self.log = open(os.path.join(self.root, "torvex.log"), "ab")
        self.process = subprocess.Popen([PROGRAM], env=self.environment(), cwd=self.home,
                                        stdout=self.log, stderr=subprocess.STDOUT)
        main = Window(wait_window("FTP Torvex", self.process.pid))
        if (main.width, main.height) != (1202, 739):
            raise Failure("main window is %dx%d, not 1202x739" % (main.width, main.height))
        time.sleep(0.5)
        return main

    def window(self, title):
        return Window(wait_window(title, self.process.pid))

    def dismiss_message(self):
        """A message box takes Return on its OK button (its title is empty: nothing to wait for)."""
        time.sleep(0.5)
        key("Return")
        time.sleep(0.3)

    def quit(self, main):
        # Qt drops a close request that reaches a window while a modal dialog still blocks it,
        # so ask again, as a person would click the close button again.
        code = None
        for attempt in range(1, 6):
            ask_to_close(main.wid)
            try:
                code = self.process.wait(timeout=4)
                break
            except subprocess.TimeoutExpired:
                print("e2e: the window is still open after close request %d" % attempt)
        if code is None:
            print(backtrace(self.process.pid))
            raise Failure("the program did not quit when its window was closed")
        if code != 0:
            raise Failure("the program quit with status %d" % code)
        self.process = None

    def stop(self):
        if self.process and self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait(timeout=10)
        if self.log:
            self.log.close()



def prepare(session):
    """The served folder, with a tree to download, and a file in the user's Downloads to upload."""
    tree = os.path.join(session.serve, "pub", "tree")
    write(os.path.join(tree, "big.bin"), os.urandom(48 * 1024 * 1024))
    write(os.path.join(tree, "notes.txt"), "first line\nsecond line, ünïcödé\n".encode("utf-8"))
    write(os.path.join(tree, "empty.dat"), b"")
    write(os.path.join(tree, "sub", "deeper", "bytes.bin"), bytes(range(256)) * 41)
    # Many small files keep the queue busy long enough to be seen at work.
    for i in range(MANY_FILES):
        write(os.path.join(tree, "many", "file-%03d.txt" % i), (b"line %d\n" % i) * (i + 1))
    write(os.path.join(session.downloads, "upload.bin"), os.urandom(700 * 1024 + 3))
    return tree


def start_server_from_sites(session, sites, port, folder):
    sites.click(*SITES_FTP_SERVER)
    server = session.window("Start the ftp server")
    server.fill(*SERVER_PORT, str(port))
    server.fill(*SERVER_PATH, folder)
    session.shots.take("server-dialog")
    server.click(*SERVER_START)
    wait_until("the built-in server on port %d" % port, lambda: port_open(port))
    session.shots.take("server-started")
    server.click(*SERVER_OK)
    wait_window_gone("Start the ftp server", session.process.pid)


def port_open(port):
    with socket.socket() as s:
        s.settimeout(1)
        return s.connect_ex(("127.0.0.1", port)) == 0


def connect_and_choose(session, sites, step):
    sites.click(*SITES_CONNECT)
    time.sleep(1.0)
    session.shots.take(step + "-login-message")
    session.dismiss_message()
    sites.click(*SITES_OK)
    wait_window_gone("FTP Servers", session.process.pid)


def expect_connected(session, main, connected, step):
    def state_shown():
        shot = session.shots.take(step)
        if looks_disconnected(shot, main) != connected:
            return True
        os.remove(shot)
        session.shots.count -= 1
        return False
    wait_until("the window to show it is %s" % ("connected" if connected else "disconnected"),
               state_shown, timeout=15, step=0.5)


def wait_same_files(what, expected, folder, timeout=120):
    def same():
        return os.path.isdir(folder) and tree_digests(folder) == expected
    wait_until(what, same, timeout=timeout, step=0.3)


def first_run(session, port, tree):
    main = session.start()
    session.shots.take("window")

    main.click(*MAIN_SITES)
    sites = session.window("FTP Servers")
    session.shots.take("sites-offer-test-site")
    start_server_from_sites(session, sites, port, session.serve)
    # The offered test site, pointed at the port just started (2121 may be taken here).
    sites.fill(*SITES_IP, "127.0.0.1")
    sites.fill(*SITES_PORT, str(port))
    connect_and_choose(session, sites, "sites")
    expect_connected(session, main, True, "window-connected")

    main.click(REMOTE_ROW_X, ROW_Y[1], double=True)          # the folder "pub"
    time.sleep(1.0)
    main.click(REMOTE_ROW_X, ROW_Y[1])                       # "tree" inside it
    session.shots.take("pub-opened")
    main.click(*MAIN_DOWNLOAD)
    local_tree = os.path.join(session.downloads, "tree")
    many = os.path.join(local_tree, "many")
    try:
        wait_until("the download under way",
                   lambda: os.path.isdir(many) and 0 < len(os.listdir(many)) < MANY_FILES - 20,
                   timeout=30, step=0.02)
    except Failure:
        print("e2e: the download went by too fast to be seen at work")
    session.shots.take("downloading")
    wait_same_files("the tree downloaded byte for byte", tree_digests(tree), local_tree)
    time.sleep(1.0)
    session.shots.take("downloaded")

    main.click(LOCAL_ROW_X, ROW_Y[2])                        # "upload.bin", after "tree"
    main.click(*MAIN_UPLOAD)
    uploaded = os.path.join(session.serve, "pub", "upload.bin")
    wanted = digest(os.path.join(session.downloads, "upload.bin"))
    wait_until("upload.bin uploaded byte for byte",
               lambda: os.path.exists(uploaded) and digest(uploaded) == wanted, timeout=60)
    time.sleep(1.0)
    session.shots.take("uploaded")

    before = tree_digests(session.downloads)
    main.click(LOCAL_ROW_X, ROW_Y[1])                        # "tree" on both sides
    main.click(REMOTE_ROW_X, ROW_Y[1])
    main.click(REMOTE_ROW_X, ROW_Y[1], button=3)
    time.sleep(0.5)
    key(*(["Down"] * MENU_COMPARE + ["Return"]))
    # The compare fetches the remote copies into a folder of its own and removes it again.
    wait_until("the compare to finish and tidy up",
               lambda: tree_digests(session.downloads) == before
               and sorted(os.listdir(session.downloads)) == ["tree", "upload.bin"], timeout=60)
    time.sleep(1.5)
    session.shots.take("compared")

    main.click(*MAIN_CONNECT)
    expect_connected(session, main, False, "disconnected")
    session.quit(main)


def second_run(session, port):
    """The site survives the restart: it connects again and a new file comes down."""
    servers = os.path.join(session.config, "torvex", "servers.ini")
    if not os.path.exists(servers) or "TestFtp" not in open(servers, encoding="utf-8").read():
        raise Failure("servers.ini does not keep the test site after quitting")
    later = os.urandom(5000)
    write(os.path.join(session.serve, "pub", "later.bin"), later)
    main = session.start()
    main.click(*MAIN_SITES)
    sites = session.window("FTP Servers")
    session.shots.take("restarted-site-kept")
    # The built-in server went with the program. Its dialog keeps the folder; the port only when
    # the computer has an IPv4 address besides loopback, so it is typed again.
    sites.click(*SITES_FTP_SERVER)
    server = session.window("Start the ftp server")
    server.fill(*SERVER_PORT, str(port))
    server.click(*SERVER_START)
    wait_until("the built-in server on port %d again" % port, lambda: port_open(port))
    server.click(*SERVER_OK)
    wait_window_gone("Start the ftp server", session.process.pid)
    sites.click(*SITES_FIRST_ROW)
    connect_and_choose(session, sites, "restarted")
    expect_connected(session, main, True, "restarted-window-connected")
    main.click(REMOTE_ROW_X, ROW_Y[1], double=True)          # "pub"
    time.sleep(1.0)
    main.click(REMOTE_ROW_X, ROW_Y[2])                       # "later.bin", after "tree"
    main.click(*MAIN_DOWNLOAD)
    fetched = os.path.join(session.downloads, "later.bin")
    wait_until("later.bin downloaded after the restart",
               lambda: os.path.exists(fetched) and open(fetched, "rb").read() == later, timeout=30)
    main.click(*MAIN_CONNECT)
    expect_connected(session, main, False, "restarted-disconnected")
    session.quit(main)


def drive():
    shots = Shots(SHOTS)
    for old in os.listdir(SHOTS):
        if re.match(r"\d\d-[a-z-]+\.png$", old):              # only a former run's steps
            os.remove(os.path.join(SHOTS, old))
    root = tempfile.mkdtemp(prefix="tvx-")
    session = Session(root, shots)
    try:
        tree = prepare(session)
        port = free_loopback_port()
        first_run(session, port, tree)
        second_run(session, port)
    except Failure as failure:
        try:
            shots.take("failed")
        except Exception:
            pass
        print("e2e: FAIL: %s (screenshots in %s)" % (failure, SHOTS))
        log = os.path.join(root, "torvex.log")
        if os.path.exists(log):
            print(open(log, errors="replace").read()[-3000:])
        return 1
    finally:
        session.stop()
        shutil.rmtree(root, ignore_errors=True)
    print("e2e: the first session passed; %d screenshots in %s" % (shots.count, SHOTS))
    return 0


# ---- set-up: tools, a private network, a private display ---------------------------------

def missing_tools():
    missing = [package for tool, package in TOOLS.items() if not shutil.which(tool)]
    if importlib.util.find_spec("Xlib") is None:
        missing.append("python3-xlib")
    return missing


def main():
    if "--drive" in sys.argv:
        return drive()
    if not os.access(PROGRAM, os.X_OK):
        print("e2e: %s is not built" % PROGRAM)
        return 1
    missing = missing_tools()
    if missing:
        print("e2e: SKIP: missing %s (bash scripts/install-deps.sh --tests)" % " ".join(missing))
        return SKIP
    display = ["xvfb-run", "-a", "-s", "-screen 0 %s -nolisten tcp -noreset" % SCREEN,
               sys.executable, os.path.abspath(__file__), "--drive"]
    command = display
    if "--shared-network" not in sys.argv and os.geteuid() == 0 and private_network_works():
        command = ["unshare", "--net", "--", "sh", "-c", 'ip link set lo up && exec "$@"', "sh"] + display
    else:
        print("e2e: no private network namespace; the test talks to 127.0.0.1 only")
    # A group of its own, so that a session that runs out of time takes Xvfb and the program
    # down with it.
    runner = subprocess.Popen(command, start_new_session=True)
    try:
        return runner.wait(timeout=480)
    except subprocess.TimeoutExpired:
        print("e2e: FAIL: the session took longer than 8 minutes")
        return 1
    finally:
        # xvfb-run leaves its Xvfb running when it cannot remove its temporary folder.
        try:
            os.killpg(runner.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        runner.wait(timeout=30)


def private_network_works():
    if not shutil.which("unshare") or not shutil.which("ip"):
        return False
    try:
        return subprocess.run(["unshare", "--net", "--", "ip", "link", "set", "lo", "up"],
                              capture_output=True, timeout=10).returncode == 0
    except subprocess.TimeoutExpired:
        return False


if __name__ == "__main__":
    sys.exit(main())
