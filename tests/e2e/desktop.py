"""A private desktop for driving the real program as a person would.

Session: an X server (Xvfb) and a D-Bus session of its own, so the program publishes its
accessibility tree where only this run sees it. Ui: finds controls in that tree by their given
names (each control's accessible description starts with "name:"), reads what they show, and clicks
and types with xdotool where the tree places them. Image: screenshots as RGB pixels, saved as PNG.
"""

import importlib.util
import os
import re
import select
import shutil
import signal
import struct
import subprocess
import time
import zlib

# What a run needs, with the Debian package that brings it.
REQUIRED_PROGRAMS = {"Xvfb": "xvfb", "xdotool": "xdotool", "import": "imagemagick", "dbus-daemon": "dbus"}


def missing_requirements():
    """The reasons this machine cannot run a session, empty when it can."""
    missing = [f"{program} (Debian package {package})"
               for program, package in REQUIRED_PROGRAMS.items() if shutil.which(program) is None]
    data_dirs = os.environ.get("XDG_DATA_DIRS") or "/usr/local/share:/usr/share"
    if not any(os.path.exists(os.path.join(folder, "dbus-1", "services", "org.a11y.Bus.service"))
               for folder in data_dirs.split(":")):
        missing.append("the accessibility bus (Debian package at-spi2-core)")
    try:
        import gi
        gi.require_version("Atspi", "2.0")
        # Not imported yet: it connects to the session bus it finds when first imported.
        if importlib.util.find_spec("pyatspi") is None:
            raise ImportError("No module named 'pyatspi'")
    except (ImportError, ValueError) as error:
        missing.append(f"the accessibility bindings for this python3 ({error}; Debian packages "
                       "python3-pyatspi and at-spi2-core)")
    return missing


class Failure(Exception):
    """What the user would have seen go wrong."""


def wait_until(what, predicate, timeout=10.0, interval=0.05):
    """Polls until predicate() gives a true value and returns it; fails saying `what` after timeout."""
    deadline = time.monotonic() + timeout
    last_error = None
    while True:
        try:
            value = predicate()
            if value:
                return value
        except Exception as error:  # the tree can change under a query while the window updates
            last_error = error
        if time.monotonic() > deadline:
            detail = f" (last error: {last_error})" if last_error else ""
            raise Failure(f"timed out after {timeout:.0f} s waiting for {what}{detail}")
        time.sleep(interval)


class Session:
    """An X server and a D-Bus session bus of this run's own, with a private home and runtime folder."""

    def __init__(self, folder, width=1280, height=1024):
        self.processes = []
        self.env = {k: v for k, v in os.environ.items() if k not in (
            "DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "AT_SPI_BUS_ADDRESS", "SESSION_MANAGER",
            "XAUTHORITY", "QT_QPA_PLATFORM", "QT_SCALE_FACTOR")}
        home, runtime = os.path.join(folder, "home"), os.path.join(folder, "runtime")
        os.makedirs(home, exist_ok=True)
        os.makedirs(runtime, mode=0o700, exist_ok=True)
        self.env.update(HOME=home, XDG_RUNTIME_DIR=runtime, XDG_CONFIG_HOME=os.path.join(home, ".config"),
                        LC_ALL="C.UTF-8", LANG="C.UTF-8")
        try:
            self.env["DISPLAY"] = ":" + self._start_reading_fd(
                ["Xvfb", "-displayfd", "{fd}", "-screen", "0", f"{width}x{height}x24", "-nolisten", "tcp",
                 "-noreset"])
            self.env["DBUS_SESSION_BUS_ADDRESS"] = self._start_reading_fd(
                ["dbus-daemon", "--session", "--nofork", "--nopidfile", "--print-address={fd}"])
        except Exception:
            self.close()
            raise
        # The accessibility library reads these when it is first imported.
        os.environ.update({k: self.env[k] for k in ("DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "XDG_RUNTIME_DIR")})

    def _start_reading_fd(self, command):
        """Starts a helper that writes one line (a display number, a bus address) to a pipe."""
        read_end, write_end = os.pipe()
        self.processes.append(subprocess.Popen([part.replace("{fd}", str(write_end)) for part in command],
                                               env=self.env, pass_fds=(write_end,), stdout=subprocess.DEVNULL,
                                               stderr=subprocess.DEVNULL, start_new_session=True))
        os.close(write_end)
        with os.fdopen(read_end, "rb") as pipe:
            line = pipe.readline() if select.select([pipe], [], [], 15)[0] else b""
        if not line.strip():
            raise Failure(f"{command[0]} did not start")
        return line.decode().strip()

    def close(self):
        # Each helper leads its own process group, so the services the bus started on demand (the
        # accessibility bus and registry) end with it.
        for process in reversed(self.processes):
            if process.poll() is None:
                try:
                    os.killpg(process.pid, signal.SIGTERM)
                except ProcessLookupError:
                    pass
                try:
                    process.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    os.killpg(process.pid, signal.SIGKILL)
                    process.wait()
        self.processes.clear()

    def screenshot(self):
        ppm = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], env=self.env,
                             check=True, capture_output=True, timeout=20).stdout
        match = re.match(rb"P6\s+(\d+)\s+(\d+)\s+(\d+)\s", ppm)
        if not match or match.group(3) != b"255":
            raise Failure("the screenshot is not an 8-bit PPM image")
        width, height = int(match.group(1)), int(match.group(2))
        return Image(width, height, ppm[match.end():match.end() + width * height * 3])

    def xdotool(self, *args):
        subprocess.run(["xdotool", *args], env=self.env, check=True, timeout=10)


class Image:
    """RGB pixels, top row first."""

    def __init__(self, width, height, data):
        self.width, self.height, self.data = width, height, data

    def crop(self, box):
        x, y, width, height = box
        x0, y0, x1, y1 = max(0, x), max(0, y), min(self.width, x + width), min(self.height, y + height)
        rows = [self.data[(row * self.width + x0) * 3:(row * self.width + x1) * 3] for row in range(y0, y1)]
        return Image(x1 - x0, y1 - y0, b"".join(rows))

    def count(self, predicate):
        data = self.data
        return sum(1 for i in range(0, len(data), 3) if predicate(tuple(data[i:i + 3])))

    def save(self, path):
        def chunk(kind, payload):
            return struct.pack(">I", len(payload)) + kind + payload + struct.pack(">I", zlib.crc32(kind + payload))

        stride = self.width * 3
        raw = b"".join(b"\0" + self.data[row * stride:(row + 1) * stride] for row in range(self.height))
        with open(path, "wb") as file:
            file.write(b"\x89PNG\r\n\x1a\n")
            file.write(chunk(b"IHDR", struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0)))
            file.write(chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


class Ui:
    """The program's accessibility tree, read and driven the way a user's tools would."""

    _LEAF_ROLES = {"table", "list", "table cell", "list item"}  # no named controls below these

    def __init__(self, session, pid):
        import pyatspi  # only now: the session bus is set in the environment
        self.atspi = pyatspi
        self.session = session
        self.pid = pid
        # Device pixels per position the tree gives (it gives them before a QT_SCALE_FACTOR).
        self.scale = 1
        self._found = {}

    def windows(self):
        for app in self.atspi.Registry.getDesktop(0):
            if app is not None and app.get_process_id() == self.pid:
                return [window for window in app if window is not None]
        return []

    def main_window(self):
        return next((w for w in self.windows() if w.description.startswith("frmMain:")), None)

    def dialogs(self):
        """The message boxes and file dialogs open now."""
        return [w for w in self.windows() if w.getRoleName() in ("dialog", "alert", "file chooser")
                and w.getState().contains(self.atspi.STATE_SHOWING)]

    def _walk(self, node, match, depth=0):
        if match(node):
            return node
        if depth > 30 or node.getRoleName() in self._LEAF_ROLES:
            return None
        for child in node:
            found = child is not None and self._walk(child, match, depth + 1)
            if found:
                return found
        return None

    def find(self, name, timeout=10.0):
        """The control whose given name is `name` (e.g. "cmdFun(2)", "txtGfn")."""
        prefix = name + ":"
        try:
            if self._found[name].description.startswith(prefix):
                return self._found[name]
        except Exception:  # not found before, or gone from the tree
            pass

        def look():
            window = self.main_window()
            return window and self._walk(window, lambda n: n.description.startswith(prefix))

        self._found[name] = wait_until(f'the control "{name}" in the accessibility tree', look, timeout)
        return self._found[name]

    def child(self, node, role, name=None):
        return self._walk(node, lambda n: n.getRoleName() == role and (name is None or n.name == name))

    def extents(self, node):
        box = node.queryComponent().getExtents(self.atspi.DESKTOP_COORDS)
        return tuple(value * self.scale for value in (box.x, box.y, box.width, box.height))

    def text(self, name):
        """What a control shows: a field's text, or the caption of a label or button."""
        node = self.find(name)
        if node.getRoleName() in ("text", "password text"):
            text = node.queryText()
            return text.getText(0, text.characterCount)
        return node.name

    def state(self, name_or_node, state):
        node = self.find(name_or_node) if isinstance(name_or_node, str) else name_or_node
        return node.getState().contains(state)

    def checked(self, name):
        return self.state(name, self.atspi.STATE_CHECKED)

    def enabled(self, name):
        return self.state(name, self.atspi.STATE_SENSITIVE)

    def showing(self, name):
        return self.state(name, self.atspi.STATE_SHOWING)

    def value(self, name):
        return self.find(name).queryValue().currentValue

    def _tables(self, name):
        return [c.queryTable() for c in self.find(name) if c is not None and c.getRoleName() == "table"]

    def grid_rows(self, name):
        """A table control's rows below its header, up to the first row with an empty first cell."""
        body = self._tables(name)[-1]
        rows = []
        for row in range(body.nRows):
            cells = [body.getAccessibleAt(row, column).name.strip() for column in range(body.nColumns)]
            if not cells[0]:
                break
            rows.append(cells)
        return rows

    def grid_cell(self, name, row, column):
        """A cell of a one-table grid such as a file bar."""
        return self._tables(name)[0].getAccessibleAt(row, column)

    def combo_items(self, name):
        return [item.name for item in self.child(self.find(name), "list") if item is not None]

    def click_at(self, node):
        x, y, width, height = self.extents(node)
        if width <= 0 or height <= 0:
            raise Failure(f'"{node.name or node.description}" is not on the screen')
        # No --sync: it waits for the pointer to move, forever when it is already there.
        self.session.xdotool("mousemove", str(x + width // 2), str(y + height // 2), "click", "1")

    def click(self, name):
        node = self.find(name)
        if not self.state(node, self.atspi.STATE_SENSITIVE):
            raise Failure(f'"{name}" ({node.name}) is greyed out')
        self.click_at(node)

    def type_into(self, name, text):
        """Clicks into a field, selects what it holds and types `text` over it."""
        self.click(name)
        self.key("ctrl+a")
        self.session.xdotool("type", "--delay", "4", "--", text)
        wait_until(f'"{name}" to read "{text}"', lambda: self.text(name) == text, 5)

    def key(self, *keys):
        self.session.xdotool("key", "--clearmodifiers", *keys)

    def choose(self, combo_name, item_name):
        """Opens a drop-down list and clicks one of its entries."""
        self.click(combo_name)
        items = self.child(self.find(combo_name), "list")

        def entry():  # the entry once the open list shows it
            return next((item for item in items if item is not None and item.name == item_name
                         and (box := self.extents(item))[2] > 0 and box[3] > 0 and box[1] > 0), None)

        self.click_at(wait_until(f'"{item_name}" in the open list of "{combo_name}"', entry, 5))
        wait_until(f'"{combo_name}" to show "{item_name}"', lambda: self.find(combo_name).name == item_name, 5)

    def message_box(self, timeout=10.0):
        """The open message box: its title and its texts."""
        box = wait_until("a message box", lambda: next(iter(self.dialogs()), None), timeout)
        texts = []

        def collect(node, depth=0):
            if node.getRoleName() == "label" and node.name:
                texts.append(node.name)
            for child in (node if depth < 6 else []):
                if child is not None:
                    collect(child, depth + 1)

        collect(box)
        return box, box.name, texts

    def tab_bar(self):
        window = self.main_window()
        return wait_until("the tab bar", lambda: self.child(window, "page tab list"), 5)

    def current_tab(self):
        return self.tab_bar().name  # the tab bar is named after its current tab

    def click_tab(self, caption):
        tab = self.child(self.tab_bar(), "page tab", caption)
        if tab is None:
            raise Failure(f'no tab "{caption}"')
        self.click_at(tab)
        wait_until(f'the tab "{caption}" to be shown', lambda: self.current_tab() == caption, 5)

    def press_button(self, window, caption):
        self.click_at(wait_until(f'the button "{caption}"', lambda: self.child(window, "push button", caption), 5))


def fresh_folder(path):
    shutil.rmtree(path, ignore_errors=True)
    os.makedirs(path)
    return path
