# SPDX-FileCopyrightText: 2026 Kotobax developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""What the end-to-end tests do as a person would: start the real programs, find controls
through the accessibility interface by their names, type on the keyboard, look at the screen."""

import ctypes
import os
import shutil
import subprocess
import tempfile
import time
import unittest

import pyatspi

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
BIN = os.environ.get("KX_E2E_BIN", os.path.join(ROOT, "build", "bin"))
SHOTS = os.environ.get("KX_E2E_SHOTS", "")
SETTINGS = "qrvwr.dat"
TIMEOUT = 15.0


def wait_for(condition, what, timeout=TIMEOUT, interval=0.05):
    """Polls condition until it gives something true, and returns that."""
    deadline = time.monotonic() + timeout
    while True:
        try:
            result = condition()
        except Exception:  # the tree changes under our feet while a window is being built
            result = None
        if result:
            return result
        if time.monotonic() > deadline:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(interval)


# --- the accessibility tree -------------------------------------------------------------------

def children(node):
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield child


def walk(node, depth=0, max_depth=25):
    yield node
    if depth < max_depth:
        for child in children(node):
            yield from walk(child, depth + 1, max_depth)


def has_state(node, state):
    return node.getState().contains(state)


def showing(node):
    return has_state(node, pyatspi.STATE_SHOWING)


def text_of(node):
    try:
        text = node.queryText()
    except NotImplementedError:
        return node.name
    return text.getText(0, text.characterCount)


def find_all(root, role=None, name=None, visible=True):
    found = []
    for node in walk(root):
        if role is not None and node.getRoleName() != role:
            continue
        if name is not None and node.name != name:
            continue
        if visible and not showing(node):
            continue
        found.append(node)
    return found


def find(root, role=None, name=None, visible=True, timeout=TIMEOUT):
    """The one control of that role and accessible name under root."""
    def one():
        nodes = find_all(root, role, name, visible)
        return nodes[0] if len(nodes) == 1 else None
    return wait_for(one, f"one {role or 'control'} named {name!r}", timeout)


def click(node):
    """Clicks the middle of a control, wherever the accessibility interface says it is."""
    box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    subprocess.run(["xdotool", "mousemove", "--sync", str(box.x + box.width // 2),
                    str(box.y + box.height // 2), "click", "1"], check=True)


INTERACTIVE_ROLES = {"push button", "text", "password text", "check box", "radio button",
                     "combo box", "list", "list box", "table", "tree", "tree table",
                     "scroll bar", "slider", "spin button", "page tab", "toggle button"}


def unnamed_controls(window):
    """Interactive controls of a window that a screen reader could announce by nothing but
    their kind."""
    missing = []
    for node in walk(window):
        if node.getRoleName() in INTERACTIVE_ROLES and has_state(node, pyatspi.STATE_FOCUSABLE) \
                and showing(node) and not node.name.strip():
            missing.append(f"{node.getRoleName()} ({text_of(node)[:20]!r})")
    return missing


# --- keyboard and screen ----------------------------------------------------------------------

def close_window(x_id):
    """Asks the X window to close as its close box does (WM_DELETE_WINDOW), whichever window has
    the focus."""
    x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                               ctypes.c_void_p]
    x11.XFlush.argtypes = x11.XCloseDisplay.argtypes = [ctypes.c_void_p]

    class ClientMessage(ctypes.Structure):
        _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                    ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                    ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                    ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]

    class Event(ctypes.Union):
        _fields_ = [("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]

    display = x11.XOpenDisplay(None)
    if not display:
        raise AssertionError("no X display")
    event = Event()
    event.xclient.type = 33  # ClientMessage
    event.xclient.window = x_id
    event.xclient.message_type = x11.XInternAtom(display, b"WM_PROTOCOLS", 0)
    event.xclient.format = 32
    event.xclient.data[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
    x11.XSendEvent(display, x_id, 0, 0, ctypes.byref(event))
    x11.XFlush(display)
    x11.XCloseDisplay(display)


def keys(*names):
    subprocess.run(["xdotool", "key", "--delay", "40", *names], check=True)


class _Keyboard:
    """Puts characters that the keyboard has no key for (Japanese) on spare keys before they are
    typed. Changing the map key by key, as xdotool does on its own, races with the program
    reading the new map; here a character keeps its key for as long as possible, so that keys
    still on their way to the program keep their meaning."""

    def __init__(self):
        table = subprocess.run(["xmodmap", "-pke"], capture_output=True, text=True, check=True)
        self.free = [int(line.split()[1]) for line in table.stdout.splitlines()
                     if line.startswith("keycode") and not line.split("=", 1)[1].strip()
                     and int(line.split()[1]) > 8]
        self.keys = {}  # character -> key code, least recently used first

    def prepare(self, characters):
        mapping = []
        for c in characters:
            if c in self.keys:
                self.keys[c] = self.keys.pop(c)
                continue
            if self.free:
                code = self.free.pop()
            else:
                oldest = next(k for k in self.keys if k not in characters)
                code = self.keys.pop(oldest)
            self.keys[c] = code
            mapping += ["-e", f"keycode {code} = U{ord(c):04X}"]
        if mapping:
            subprocess.run(["xmodmap", *mapping], check=True)
            time.sleep(0.15)

    def type(self, text):
        room = (len(self.free) + len(self.keys)) // 2
        pieces, piece, extra = [], "", []
        for c in text:
            if ord(c) > 0x7E and c not in extra:
                if len(extra) == room:
                    pieces.append((piece, extra))
                    piece, extra = "", []
                extra.append(c)
            piece += c
        pieces.append((piece, extra))
        for piece, extra in pieces:
            self.prepare(extra)
            if piece:
                subprocess.run(["xdotool", "type", "--delay", "20", "--", piece], check=True)


_keyboard = None


def type_text(text):
    """Types text on the keyboard, Japanese included."""
    global _keyboard
    if _keyboard is None:
        _keyboard = _Keyboard()
    _keyboard.type(text)


def screenshot(window, name):
    """Saves the window with its frame as name.png, when screenshots are asked for."""
    if not SHOTS:
        return
    os.makedirs(SHOTS, exist_ok=True)
    path = os.path.join(SHOTS, name + ".png")
    subprocess.run(["import", "-frame", "-window", str(window.x_id()), path], check=True,
                   stderr=subprocess.DEVNULL)


# --- programs ---------------------------------------------------------------------------------

class ProgramFolder:
    """A private copy of the built programs' folder, without a settings file: the programs
    write their settings beside themselves."""

    def __init__(self):
        self.root = tempfile.mkdtemp(prefix="kx-e2e-")
        self.path = os.path.join(self.root, "bin")
        shutil.copytree(BIN, self.path, ignore=shutil.ignore_patterns(SETTINGS))
        self.documents = os.path.join(self.root, "documents")
        os.mkdir(self.documents)

    def settings(self):
        with open(os.path.join(self.path, SETTINGS), "rb") as f:
            return f.read()

    def remove(self):
        shutil.rmtree(self.root, ignore_errors=True)


def _process_alive(pid):
    try:
        with open(f"/proc/{pid}/stat") as f:
            return f.read().rsplit(")", 1)[1].split()[0] not in ("Z", "X")
    except OSError:
        return False


def _applications():
    desktop = pyatspi.Registry.getDesktop(0)
    return list(children(desktop))


class Window:
    def __init__(self, app, node):
        self.app = app
        self.node = node

    def find(self, role=None, name=None, **kwargs):
        return find(self.node, role, name, **kwargs)

    def text(self, role, name):
        return text_of(self.find(role, name))

    def wait_text(self, role, name, expected, timeout=TIMEOUT):
        node = self.find(role, name)
        wait_for(lambda: text_of(node) == expected,
                 f"{name!r} to show {expected!r} (shows {text_of(node)!r})", timeout)

    def label(self, description):
        """The text of the label that a screen reader announces with that description."""
        for node in find_all(self.node, "label"):
            if node.description.startswith(description):
                return node.name
        raise AssertionError(f"no label described as {description!r}")

    def wait_active(self):
        wait_for(lambda: has_state(self.node, pyatspi.STATE_ACTIVE),
                 f"window {self.node.name!r} to be active")
        return self

    def x_id(self):
        title = "".join("\\" + c if c in ".[]()*+?{}|^$\\" else c for c in self.node.name)
        result = subprocess.run(["xdotool", "search", "--pid", str(self.app.pid), "--name",
                                 "^" + title + "$"], capture_output=True, text=True)
        ids = result.stdout.split()
        if not ids:
            raise AssertionError(f"no X window for {self.node.name!r}")
        return int(ids[-1])

    def activate(self):
        subprocess.run(["xdotool", "windowactivate", "--sync", str(self.x_id())], check=True)
        return self.wait_active()


class App:
    """A running program, found through the accessibility interface by its process."""

    def __init__(self, pid, process=None):
        self.pid = pid
        self.process = process
        self.node = wait_for(self._node, f"process {pid} on the accessibility bus")

    def _node(self):
        for app in _applications():
            if app.get_process_id() == self.pid:
                return app
        return None

    @classmethod
    def start(cls, folder, program, arguments=(), env=None):
        """env: variables to set for this program only, such as a data folder of its own."""
        process = subprocess.Popen([os.path.join(folder.path, program), *arguments],
                                   cwd=folder.documents,
                                   env=dict(os.environ, **env) if env else None,
                                   stdin=subprocess.DEVNULL)
        return cls(process.pid, process)

    @classmethod
    def attach(cls, name, not_pids=()):
        """A program that another program started."""
        def pid():
            for app in _applications():
                if app.name == name and app.get_process_id() not in not_pids:
                    return app.get_process_id()
            return None
        return cls(wait_for(pid, f"{name} to start"))

    def window(self, title, timeout=TIMEOUT):
        def top():
            for node in children(self.node):
                if node.name == title and showing(node):
                    return node
            return None
        return Window(self, wait_for(top, f"window {title!r}", timeout))

    def dialog(self, owner, timeout=TIMEOUT):
        """The window that has become active over owner, such as a file dialog."""
        def top():
            for node in children(self.node):
                if has_state(node, pyatspi.STATE_ACTIVE) and node.name != owner.node.name:
                    return node
            return None
        return Window(self, wait_for(top, "a dialog", timeout))

    def running(self):
        return _process_alive(self.pid)

    def wait_exit(self, timeout=TIMEOUT):
        wait_for(lambda: not self.running(), f"process {self.pid} to end", timeout)
        if self.process is not None:
            self.process.wait(1)

    def kill(self):
        if self.running():
            os.kill(self.pid, 9)
        if self.process is not None:
            self.process.wait(5)


# --- files ------------------------------------------------------------------------------------

def ansi(text):
    """Text as the programs write it: Shift_JIS (code page 932)."""
    return text.encode("cp932")


def read_word_file(path):
    """The entries of a word file as (question, answers, information) triples."""
    with open(path, "rb") as f:
        lines = f.read().decode("cp932").split("\r\n")
    entries = []
    for line in lines[1:]:
        fields = line.split("|@1|")
        if len(fields) >= 3:
            entries.append((fields[0], fields[1].split("|@2|"), fields[2]))
    return entries


# --- the drill window ---------------------------------------------------------------------------

def open_word_file(app, window, path):
    """Opens a word file in the drill window through its open dialog."""
    keys("ctrl+o")
    app.dialog(window)
    keys("ctrl+a")
    type_text(path)
    keys("Return")
    window.wait_active()
    wait_for(lambda: window.text("text", "情報").startswith("ﾌｧｲﾙをﾛｰﾄﾞしました。"),
             "the word file to load")


def start_drill(app, window):
    keys("ctrl+s")
    box = app.window("Start!").wait_active()
    box.find("label", "Good luck!")
    keys("Return")
    window.wait_active()


class TestCase(unittest.TestCase):
    maxDiff = None
