"""End-to-end harness: the real renomiq on a virtual X display, driven through
the accessibility bus (AT-SPI) by the controls' accessible names.

    with Session() as s:                      # Xvfb, a D-Bus session, the AT-SPI bus
        app = s.start(args=[], drives="C=/;T=/tmp/x", files=...)
        box = app.find("Folder", role="text")
        app.set_text(box, "T:\\photos"); app.key("Return")
        app.wait(lambda: app.text_of(app.find("List count")) == "0 Folders 3 Files")
        rows = app.table_rows(app.find("File list", role="table"))

The display has a window manager (openbox), as a user's desktop has: it
places, decorates and focuses the windows. Everything a test starts is stopped
when the session ends. Nothing sleeps for a fixed time: wait() polls a
condition until its timeout.
"""

import os
import shutil
import signal
import subprocess
import sys
import tempfile
import struct
import time
import unittest
import zlib

DEFAULT_TIMEOUT = 10.0


class TimeoutError_(AssertionError):
    pass


def wait_for(condition, timeout=DEFAULT_TIMEOUT, interval=0.02, what="condition"):
    """Polls condition() until it returns a true value, which is returned."""
    deadline = time.monotonic() + timeout
    last_error = None
    while True:
        try:
            value = condition()
            if value:
                return value
        except Exception as e:  # the accessible tree changes under us
            last_error = e
        if time.monotonic() > deadline:
            raise TimeoutError_("timed out waiting for %s%s" % (what, " (%r)" % last_error if last_error else ""))
        time.sleep(interval)


class Session:
    """Xvfb with a window manager, a private D-Bus session bus and the AT-SPI
    bus, torn down at exit."""

    def __init__(self, screen="1280x1024"):
        self.procs = []
        self.apps = []
        self.tmp = tempfile.mkdtemp(prefix="renomiq-e2e-")
        self.env = dict(os.environ)
        self.screen = screen

    def __enter__(self):
        # Stopped from outside (a test timeout): end through __exit__, which cleans up.
        signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
        self._start_x()
        self._start_window_manager()
        self._start_dbus()
        self._start_atspi()
        import pyatspi  # connects to the bus named in the environment
        self.pyatspi = pyatspi
        return self

    def __exit__(self, *exc):
        for app in self.apps:
            app.stop()
        # Services the bus started on demand (the accessibility bus and its
        # registry) are not our children: find them by our bus address.
        address = self.env.get("DBUS_SESSION_BUS_ADDRESS")
        if address:
            for pid in _pids_with_env("DBUS_SESSION_BUS_ADDRESS=" + address):
                _kill(pid)
        for p in reversed(self.procs):
            _stop(p)
        shutil.rmtree(self.tmp, ignore_errors=True)
        return False

    def _spawn(self, argv, **kw):
        p = subprocess.Popen(argv, env=self.env, start_new_session=True, **kw)
        self.procs.append(p)
        return p

    def _start_x(self):
        # Display numbers away from the usual ones, so that suites running side
        # by side on one machine do not meet. Xvfb writes the number to the
        # pipe once it accepts clients. -noreset: a server that resets when its
        # last client leaves refuses the next one meanwhile.
        base = 100 + os.getpid() % 800
        for number in range(base, base + 50):
            if os.path.exists("/tmp/.X%d-lock" % number) or os.path.exists("/tmp/.X11-unix/X%d" % number):
                continue
            r, w = os.pipe()
            # -fbdir: the screen's memory as a file, read for screenshots.
            p = self._spawn(["Xvfb", ":%d" % number, "-displayfd", str(w), "-screen", "0", self.screen + "x24",
                             "-noreset", "-nolisten", "tcp", "-fbdir", self.tmp], pass_fds=(w,),
                            stderr=subprocess.DEVNULL)
            os.close(w)
            with os.fdopen(r) as f:
                ready = f.readline().strip()
            if ready and p.poll() is None:
                self.env["DISPLAY"] = ":%d" % number
                os.environ["DISPLAY"] = self.env["DISPLAY"]
                return
        raise RuntimeError("Xvfb did not start")

    def _start_window_manager(self):
        # Its own configuration folder, so that nothing of the user's applies.
        env = dict(self.env, XDG_CONFIG_HOME=os.path.join(self.tmp, "wm"))
        p = subprocess.Popen(["openbox", "--sm-disable", "--config-file", "/etc/xdg/openbox/rc.xml"], env=env,
                             start_new_session=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.procs.append(p)

        def managing():
            # A window manager names its check window on the root window once
            # it has taken the screen.
            if p.poll() is not None:
                raise RuntimeError("openbox ended with status %s" % p.returncode)
            out = self.x(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"])
            if "window id #" not in out:
                return False
            check = out.split("#")[-1].strip()
            return "Openbox" in self.x(["xprop", "-id", check, "_NET_WM_NAME"])
        wait_for(managing, timeout=30, what="the window manager")

    def x(self, argv):
        """Runs an X client on the session's display; returns its output."""
        return subprocess.run(argv, env=self.env, capture_output=True, text=True, timeout=30).stdout

    def screenshot(self, name, drawn=()):
        """Saves the whole screen as build/screenshots/NAME.png (or under
        $RENOMIQ_SCREENSHOTS) for a person to look at; returns the path.
        drawn: screen boxes (x, y, width, height) of windows that must show
        their content, not the blank of a window mapped but not yet painted."""
        folder = os.environ.get("RENOMIQ_SCREENSHOTS") or os.path.join(
            os.path.dirname(os.path.abspath(PROGRAM)), "..", "screenshots")
        os.makedirs(folder, exist_ok=True)

        def grab():
            # What the screen shows: the server's own memory of it, as an xwd
            # file. Reading the root window through the X protocol (xwd -root)
            # gave some windows drawn on the screen (the options) as black.
            with open(os.path.join(self.tmp, "Xvfb_screen0"), "rb") as f:
                raw = f.read()
            width, height, rows = _rgb_of_xwd(raw)
            for x, y, w, h in drawn:
                x0, x1 = max(x, 0), min(x + w, width)
                colours = set()
                for r in range(max(y, 0), min(y + h, height), 4):
                    line = rows[r][3 * x0:3 * x1]
                    colours.update(line[i:i + 3] for i in range(0, len(line), 12))
                if len(colours) <= 1:
                    return None  # one colour all over: not painted yet
            return width, height, rows
        width, height, rows = wait_for(grab, what="the windows drawn for %s" % name)
        path = os.path.join(os.path.abspath(folder), name + ".png")
        with open(path, "wb") as f:
            f.write(_png(width, height, rows))
        return path

    def _start_dbus(self):
        p = self._spawn(["dbus-daemon", "--session", "--nofork", "--print-address=1"], stdout=subprocess.PIPE)
        address = p.stdout.readline().decode().strip()
        if not address:
            raise RuntimeError("dbus-daemon did not start")
        self.env["DBUS_SESSION_BUS_ADDRESS"] = address
        os.environ["DBUS_SESSION_BUS_ADDRESS"] = address
        for var in ("AT_SPI_BUS_ADDRESS", "NO_AT_BRIDGE"):
            self.env.pop(var, None)
            os.environ.pop(var, None)

    def _start_atspi(self):
        self._spawn(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for(lambda: subprocess.run(
            ["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus", "/org/a11y/bus",
             "org.a11y.Bus.GetAddress"], env=self.env, capture_output=True).returncode == 0,
            what="the accessibility bus")

    def user_dirs(self, name="user"):
        """A fresh HOME with its XDG folders; returns (home, config, data)."""
        home = os.path.join(self.tmp, name)
        config = os.path.join(home, ".config")
        data = os.path.join(home, ".local", "share")
        os.makedirs(config, exist_ok=True)
        os.makedirs(data, exist_ok=True)
        return home, config, data

    def start(self, program, args=(), drives="C=/", home=None, cwd=None, env=None):
        """Starts renomiq (or renomiq-send, which becomes the renomiq it
        starts) and waits for it on the accessibility bus. env: more
        variables for the program (QT_SCALE_FACTOR, a desktop's fonts)."""
        extra = env or {}
        if home is None:
            home = self.user_dirs()[0]
        env = dict(self.env)
        env.update({
            "HOME": home,
            "XDG_CONFIG_HOME": os.path.join(home, ".config"),
            "XDG_DATA_HOME": os.path.join(home, ".local", "share"),
            "RENOMIQ_DRIVES": drives,
            "QT_QPA_PLATFORM": "xcb",
            "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
            "QT_ACCESSIBILITY": "1",
        })
        env.update(extra)
        log = open(os.path.join(home, "renomiq-%d.log" % len(self.apps)), "w+")
        proc = subprocess.Popen([program] + list(args), env=env, start_new_session=True, stderr=log, cwd=cwd)
        app = App(self, proc, home)
        app.log = log
        self.apps.append(app)
        return app


def _rgb_of_xwd(raw):
    """(width, height, rows of RGB bytes) of an xwd dump of a TrueColor screen."""
    (header_size, _version, _format, _depth, width, height, _xoffset, byte_order, _unit, _bit_order, _pad,
     bits_per_pixel, bytes_per_line, _visual, red_mask, green_mask, blue_mask, _bits_per_rgb, _entries,
     ncolors) = struct.unpack(">20I", raw[:80])
    size = bits_per_pixel // 8
    if size not in (3, 4):
        raise ValueError("xwd: %d bits per pixel" % bits_per_pixel)
    data = raw[header_size + 12 * ncolors:]
    # Each colour's byte within a pixel, as the masks place it.
    picks = []
    for mask in (red_mask, green_mask, blue_mask):
        byte = ((mask & -mask).bit_length() - 1) // 8
        picks.append(byte if byte_order == 0 else size - 1 - byte)
    rows = []
    for y in range(height):
        line = data[y * bytes_per_line:y * bytes_per_line + size * width]
        row = bytearray(3 * width)
        for i, pick in enumerate(picks):
            row[i::3] = line[pick::size]
        rows.append(bytes(row))
    return width, height, rows


def _png(width, height, rows):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(b"".join(b"\0" + r for r in rows), 6)) + chunk(b"IEND", b""))


def _pids_with_env(entry):
    needle = entry.encode() + b"\0"
    mine = os.getpid()
    for name in os.listdir("/proc"):
        if not name.isdigit() or int(name) == mine:
            continue
        try:
            with open("/proc/%s/environ" % name, "rb") as f:
                if needle in f.read() + b"\0":
                    yield int(name)
        except OSError:
            pass


def _kill(pid):
    try:
        os.kill(pid, signal.SIGTERM)
    except OSError:
        pass


def _regex_escape(text):
    return "".join("\\" + c if c in ".^$*+?()[]{}|\\" else c for c in text)


def _stop(p):
    if p.poll() is not None:
        return
    try:
        os.killpg(p.pid, signal.SIGTERM)
    except ProcessLookupError:
        return
    try:
        p.wait(timeout=5)
    except subprocess.TimeoutExpired:
        os.killpg(p.pid, signal.SIGKILL)
        p.wait()


class _Started:
    """A renomiq that another renomiq started (not our child)."""

    def __init__(self, pid):
        self.pid = pid
        self.returncode = None

    def poll(self):
        try:
            os.kill(self.pid, 0)
        except ProcessLookupError:
            self.returncode = 0
            return 0
        return None


class App:
    """One running renomiq and its accessible tree."""

    def __init__(self, session, proc, home):
        self.session = session
        self.proc = proc
        self.home = home
        self.pyatspi = session.pyatspi
        self._root = None
        self._status_nodes = {}
        self._scale = None
        self.log = None

    @property
    def data_folder(self):
        return os.path.join(self.home, ".local", "share", "Corvane", "Renomiq")

    @property
    def registry_file(self):
        return os.path.join(self.home, ".config", "Corvane", "Renomiq", "registry.reg")

    def stop(self):
        if isinstance(self.proc, _Started):
            _kill(self.proc.pid)
        else:
            _stop(self.proc)

    def other_instance(self, timeout=DEFAULT_TIMEOUT):
        """Another renomiq on the accessibility bus (one this one started)."""
        known = {a.proc.pid for a in self.session.apps}

        def look():
            desktop = self.pyatspi.Registry.getDesktop(0)
            for i in range(desktop.childCount):
                child = desktop.getChildAtIndex(i)
                if child is None:
                    continue
                pid = child.get_process_id()
                if pid in known:
                    continue
                try:
                    with open("/proc/%d/cmdline" % pid, "rb") as f:
                        argv = f.read().split(b"\0")
                except OSError:
                    continue
                if os.path.basename(argv[0]) == b"renomiq":
                    return pid, [a.decode() for a in argv[1:] if a]
            return None
        pid, args = wait_for(look, timeout, what="a second renomiq")
        other = App(self.session, _Started(pid), self.home)
        other.args = args
        self.session.apps.append(other)
        return other

    def x_windows(self):
        return subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(self.proc.pid)],
                              env=self.session.env, capture_output=True, text=True).stdout.split()

    def popup_menu(self, node, keys):
        """Right-clicks a control and walks its popup menu with keys (popup
        menus are not on the accessibility bus while they are open)."""
        before = len(self.x_windows())
        self.mouse_click(node, button=3)
        wait_for(lambda: len(self.x_windows()) > before, what="the popup menu")
        if keys:
            self.key(*keys)

    def exited(self, timeout=DEFAULT_TIMEOUT):
        """Waits for the program to end by itself; returns its exit status."""
        wait_for(lambda: self.proc.poll() is not None, timeout, what="renomiq to exit")
        return self.proc.returncode

    def root(self, timeout=DEFAULT_TIMEOUT):
        def find():
            if self.proc.poll() is not None:
                output = ""
                if self.log is not None:
                    self.log.seek(0)
                    output = self.log.read()[-2000:]
                raise AssertionError("renomiq ended with status %s before it showed: %s"
                                     % (self.proc.returncode, output))
            desktop = self.pyatspi.Registry.getDesktop(0)
            for i in range(desktop.childCount):
                child = desktop.getChildAtIndex(i)
                if child is not None and child.get_process_id() == self.proc.pid:
                    return child
            return None
        if self._root is None:
            self._root = wait_for(find, timeout, what="renomiq on the accessibility bus")
        return self._root

    # --- finding controls ---------------------------------------------------

    def find_all(self, name=None, role=None, within=None, showing=True, description=None):
        role_name = role
        found = []

        def visit(node, depth):
            if node is None or depth > 40:
                return
            try:
                node_name = node.name
                node_role = node.getRoleName()
                states = node.getState()
            except Exception:
                return
            if showing and not states.contains(self.pyatspi.STATE_SHOWING):
                if node_role not in ("application",):
                    return
            if ((name is None or node_name == name) and (role_name is None or node_role == role_name)
                    and (description is None or node.description == description)):
                found.append(node)
            if (node_role in ("table", "list", "tree table", "tree")
                    and role_name not in ("table cell", "list item", "tree item")):
                return  # rows are read through the table, not searched (one call a row); a
                # file dialog's tree may show a folder of many thousand files
            for i in range(node.childCount):
                visit(node.getChildAtIndex(i), depth + 1)

        visit(within or self.root(), 0)
        return found

    def find(self, name, role=None, within=None, timeout=DEFAULT_TIMEOUT):
        """The one showing control with this accessible name (and role)."""
        return wait_for(lambda: (self.find_all(name, role, within) or [None])[0], timeout,
                        what="control %r (%s)" % (name, role))

    def status(self, description):
        """The text of a status panel found by its description ("List count", "Last operation")."""
        node = self._status_nodes.get(description)
        if node is None:
            found = self.find_all(description=description, role="label")
            if not found:
                return None
            node = self._status_nodes[description] = found[0]
        return node.name

    def window(self, title, timeout=DEFAULT_TIMEOUT):
        """A top-level window or dialog by its caption."""
        def look():
            root = self.root()
            for i in range(root.childCount):
                w = root.getChildAtIndex(i)
                if w is not None and w.name == title and w.getState().contains(self.pyatspi.STATE_SHOWING):
                    return w
            return None
        try:
            return wait_for(look, timeout, what="window %r" % title)
        except TimeoutError_ as e:
            showing = self._texts_of_windows()
            raise TimeoutError_("%s; showing: %s" % (e, showing)) from None

    def _texts_of_windows(self):
        """The showing windows with their labels' texts, for a failure's message."""
        try:
            return [(w, [n.name for n in self.find_all(role="label", within=self.window(w, timeout=0))][:6])
                    for w in self.windows()]
        except Exception as e:
            return repr(e)

    def x_titles(self):
        """The captions of the program's visible X windows, as the desktop shows them."""
        ids = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(self.proc.pid)],
                             env=self.session.env, capture_output=True, text=True).stdout.split()
        return [subprocess.run(["xdotool", "getwindowname", i], env=self.session.env, capture_output=True,
                               text=True).stdout.rstrip("\n") for i in ids]

    def windows(self):
        root = self.root()
        result = []
        for i in range(root.childCount):
            w = root.getChildAtIndex(i)
            if w is not None and w.getState().contains(self.pyatspi.STATE_SHOWING):
                result.append(w.name)
        return result

    # --- reading ------------------------------------------------------------

    def text_of(self, node):
        try:
            t = node.queryText()
            return t.getText(0, t.characterCount)
        except NotImplementedError:
            return node.name

    def table_rows(self, table):
        t = table.queryTable()
        return [t.getAccessibleAt(r, 0).name for r in range(t.nRows)]

    def is_enabled(self, node):
        return node.getState().contains(self.pyatspi.STATE_ENABLED)

    def is_checked(self, node):
        return node.getState().contains(self.pyatspi.STATE_CHECKED)

    def wait(self, condition, timeout=DEFAULT_TIMEOUT, what="condition"):
        try:
            return wait_for(condition, timeout, what=what)
        except TimeoutError_ as e:
            raise TimeoutError_("%s; showing: %s" % (e, self._texts_of_windows())) from None

    def wait_equal(self, value, expected, timeout=DEFAULT_TIMEOUT, what="value"):
        """Waits until value() equals expected; a timeout names the last value."""
        last = []

        def same():
            last[:] = [value()]
            return last[0] == expected
        try:
            wait_for(same, timeout, what=what)
        except TimeoutError_:
            raise TimeoutError_("%s is %r, not %r" % (what, last[0] if last else None, expected)) from None

    # --- acting -------------------------------------------------------------

    def click(self, node):
        """The control's default action (a button's press, a check box's toggle)."""
        action = node.queryAction()
        for i in range(action.nActions):
            if action.getName(i) in ("Press", "press", "click", "Toggle", "toggle", "SetFocus"):
                action.doAction(i)
                return
        action.doAction(0)

    def activate(self, title):
        """Asks the window manager to activate the program's window with this
        caption (as a click on its title bar would) and waits until it has."""
        def focus():
            ids = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(self.proc.pid),
                                  "--name", "^%s$" % _regex_escape(title)],
                                 env=self.session.env, capture_output=True, text=True).stdout.split()
            if not ids:
                return False
            subprocess.run(["xdotool", "windowactivate", ids[-1]], env=self.session.env,
                           capture_output=True, timeout=5)
            active = subprocess.run(["xdotool", "getactivewindow"], env=self.session.env, capture_output=True,
                                    text=True, timeout=5).stdout.strip()
            return active == ids[-1]
        wait_for(focus, what="X window %r active" % title)

    def focus(self, node):
        """Puts the key focus on a control, activating its window first."""
        focused = lambda: node.getState().contains(self.pyatspi.STATE_FOCUSED)
        top = node
        while top.parent is not None and top.parent.getRoleName() != "application":
            top = top.parent
        self.activate(top.name)

        def grab():
            node.queryComponent().grabFocus()
            return focused()
        wait_for(grab, what="focus on %r" % node.name)

    def focused(self, within):
        """The control of a window that has the key focus (a table itself, not
        its cell), or None."""
        found = []

        def visit(node, depth):
            if node is None or depth > 40 or found:
                return
            try:
                states = node.getState()
                role = node.getRoleName()
            except Exception:
                return
            if not states.contains(self.pyatspi.STATE_SHOWING):
                return
            if role in ("table", "list", "tree table", "tree"):
                if states.contains(self.pyatspi.STATE_FOCUSED):
                    found.append(node)
                return
            for i in range(node.childCount):
                visit(node.getChildAtIndex(i), depth + 1)
            # The innermost: a container may report the focus of a control in it.
            if not found and states.contains(self.pyatspi.STATE_FOCUSED):
                found.append(node)
        visit(within, 0)
        return found[0] if found else None

    def wait_focus(self, node, timeout=DEFAULT_TIMEOUT):
        """Waits until this control has the key focus (a window's own timer
        puts it there after the window shows)."""
        wait_for(lambda: node.getState().contains(self.pyatspi.STATE_FOCUSED), timeout,
                 what="the focus on %r" % node.name)

    def do_action(self, node, name):
        """Performs the control's accessibility action with this name (what a
        screen reader's user chooses), not a click."""
        action = node.queryAction()
        names = [action.getName(i) for i in range(action.nActions)]
        for i, n in enumerate(names):
            if n.lower() == name.lower():
                action.doAction(i)
                return
        raise AssertionError("%r has no action %r, only %r" % (node.name, name, names))

    def set_text(self, node, text):
        node.queryEditableText().setTextContents(text)
        wait_for(lambda: self.text_of(node) == text, what="text %r" % text)

    def key(self, *keys):
        """Presses keys (xdotool names: Return, F2, ctrl+c) in the focused window."""
        subprocess.run(["xdotool", "key", "--clearmodifiers"] + list(keys), env=self.session.env, check=True)

    def type(self, text):
        subprocess.run(["xdotool", "type", "--delay", "5", text], env=self.session.env, check=True)

    def mouse_click(self, node, button=1, double=False):
        """A real mouse click in the middle of a control (a table cell, a row).
        node may be a function that finds the control: a table's cell is
        found again when the table renewed its cells meanwhile."""
        find = node if callable(node) else (lambda: node)
        ex, ey, ew, eh = wait_for(lambda: self.extents(find()), what="where the control is")
        x, y = ex + min(ew // 2, 40), ey + eh // 2
        subprocess.run(["xdotool", "mousemove", "--sync", str(x), str(y), "click", "--repeat",
                        "2" if double else "1", str(button)], env=self.session.env, check=True)

    def drag(self, start, end):
        """Presses the left button at start (x, y), moves to end with it held
        and releases it there, as a hand marks text."""
        def xdo(*argv):
            subprocess.run(["xdotool"] + [str(a) for a in argv], env=self.session.env, check=True, timeout=10)
        xdo("mousemove", "--sync", *start)
        xdo("mousedown", 1)
        # Through a point between, so that the control sees a move with the button held.
        xdo("mousemove", "--sync", (start[0] + end[0]) // 2, (start[1] + end[1]) // 2)
        xdo("mousemove", "--sync", *end)
        xdo("mouseup", 1)

    def character_box(self, node, offset):
        """The screen extents (x, y, width, height) of a character of a text control."""
        f = self.scale()
        return tuple(round(v * f) for v in node.queryText().getCharacterExtents(offset,
                                                                                 self.pyatspi.DESKTOP_COORDS))

    def extents(self, node):
        """A control's (x, y, width, height) in the screen's pixels."""
        e = node.queryComponent().getExtents(self.pyatspi.DESKTOP_COORDS)
        f = self.scale()
        return round(e.x * f), round(e.y * f), round(e.width * f), round(e.height * f)

    def scale(self):
        """Screen pixels per unit of the accessible extents: Qt reports them
        unscaled under QT_SCALE_FACTOR. Measured on a window, as the X server
        and the accessibility bus each give its width."""
        if self._scale is None:
            def measure():
                root = self.root()
                shown = [w for w in (root.getChildAtIndex(i) for i in range(root.childCount))
                         if w is not None and w.getState().contains(self.pyatspi.STATE_SHOWING)]
                every = self.x_windows()
                for w in shown:
                    # By its caption, or the one window there is (the list
                    # window's caption is longer than its accessible name).
                    ids = self.session.x(["xdotool", "search", "--onlyvisible", "--pid", str(self.proc.pid),
                                          "--name", "^%s *$" % _regex_escape(w.name)]).split() if w.name else []
                    if not ids and len(shown) == 1 and len(every) == 1:
                        ids = every
                    if not ids:
                        continue
                    shell = self.session.x(["xdotool", "getwindowgeometry", "--shell", ids[-1]])
                    width = int(dict(line.split("=", 1) for line in shell.split())["WIDTH"])
                    units = w.queryComponent().getExtents(self.pyatspi.DESKTOP_COORDS).width
                    if units > 0:
                        return round(4 * width / units) / 4
                return None
            self._scale = wait_for(measure, what="a window to measure the scale on")
        return self._scale

    def click_row(self, table, row, **kw):
        """Clicks a row of a table (which selects it and focuses the table)."""
        def click():
            # A window just mapped may not take the first click: click until it shows.
            self.mouse_click(table.queryTable().getAccessibleAt(row, 0), **kw)
            return wait_for(lambda: table.queryTable().isRowSelected(row), timeout=2, what="row %d" % row)
        wait_for(click, what="row %d selected" % row)


# The program under test, as CTest names it.
PROGRAM = os.environ.get("RENOMIQ_PROGRAM", "renomiq")


class SessionTestCase(unittest.TestCase):
    """Tests that share one display and accessibility bus, started once for the class."""

    screen = "1280x1024"

    @classmethod
    def setUpClass(cls):
        session = Session(cls.screen)
        try:
            cls.session = session.__enter__()
        except BaseException:
            session.__exit__(None, None, None)
            raise

    def make_tree(self, files):
        """Creates the files (a name ending with "/" a folder) in a folder of the test's own."""
        root = os.path.join(self.session.tmp, self.id().rsplit(".", 1)[-1])
        for f in files:
            path = os.path.join(root, f)
            if f.endswith("/"):
                os.makedirs(path, exist_ok=True)
            else:
                os.makedirs(os.path.dirname(path), exist_ok=True)
                open(path, "w").close()
        return root

    @classmethod
    def tearDownClass(cls):
        cls.session.__exit__(None, None, None)
