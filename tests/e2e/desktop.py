"""The desktops Kalvoran is tried on (Xvfb with a window manager, or headless
Weston), private to one test, and the X11 side of a user: where windows are,
which is on top and active, real clicks and keys through XTEST. Needs
python3-xlib and a private D-Bus session: Mutter, KWin and the accessibility
bus need one."""

import os
import shutil
import signal
import subprocess
import tempfile
import time
from contextlib import suppress
from functools import cache

from Xlib import XK, X, Xatom
from Xlib import display as xdisplay
from Xlib import error as xerror
from Xlib.ext import xtest
from Xlib.protocol import event as xevent

from fixture import TIMEOUT, Failure, settled, wait_for

WINDOW_MANAGERS = {
    "metacity": ["metacity", "--replace", "--sm-disable"],
    "mutter": ["mutter", "--x11", "--replace", "--sm-disable"],
    "openbox": ["openbox", "--replace", "--sm-disable"],
    "xfwm4": ["xfwm4", "--replace", "--compositor=off", "--sm-client-disable"],
    "kwin": ["kwin_x11", "--replace"],
}


class Processes:
    """Processes started in sessions of their own, ended together, last first."""

    def __init__(self):
        self.started = []

    def start(self, command, env, log=None, **kwargs):
        out = open(log, "wb") if log else subprocess.DEVNULL
        process = subprocess.Popen(command, env=env, stdout=out, stderr=subprocess.STDOUT,
                                   start_new_session=True, **kwargs)
        self.started.append(process)
        return process

    def end(self):
        for process in reversed(self.started):
            if process.poll() is None:
                with suppress(ProcessLookupError):
                    os.killpg(process.pid, signal.SIGTERM)
                try:
                    process.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    os.killpg(process.pid, signal.SIGKILL)
                    process.wait()
        self.started.clear()


class Desktop:
    """One private desktop: "none" (a bare X server), a window manager's name,
    "weston-xwayland" or "weston-wayland", on an X server at a display scale
    in percent. Use it in a with statement."""

    def __init__(self, kind, scale=100):
        self.kind, self.scale = kind, scale
        self.processes = Processes()
        self.runtime = tempfile.mkdtemp(prefix="kalvoran-desktop-")
        os.chmod(self.runtime, 0o700)
        self.env = {k: v for k, v in os.environ.items()
                    if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE")}
        self.env["XDG_RUNTIME_DIR"] = self.runtime
        self.x = None  # an Xlib connection where the desktop has an X server

    def __enter__(self):
        try:
            if self.kind.startswith("weston"):
                self._start_weston()
            else:
                self._start_xvfb()
                if self.has_window_manager:
                    self._start_window_manager()
        except BaseException:
            self.__exit__()
            raise
        return self

    def __exit__(self, *exc):
        if self.x is not None:
            self.x.close()
            self.x = None
        self.processes.end()
        if keep := os.environ.get("KALVORAN_DESKTOP_LOGS"):
            # What the desktop's programs wrote (Orca's debug log, a browser's
            # output, the window manager's), kept for a run to be read after it.
            os.makedirs(keep, exist_ok=True)
            for name in sorted(os.listdir(self.runtime)):
                if name.endswith((".log", ".out")):
                    shutil.copy(os.path.join(self.runtime, name), keep)
        shutil.rmtree(self.runtime, ignore_errors=True)

    @property
    def has_window_manager(self):
        return self.kind in WINDOW_MANAGERS

    def _start_xvfb(self):
        read, write = os.pipe()
        # Without -noreset the server drops its resources when its last client leaves.
        # A screen that a scaled window still fits on, as its pixels would be smaller.
        size = f"{1280 * max(self.scale, 100) // 100}x{1024 * max(self.scale, 100) // 100}x24"
        self.processes.start(["Xvfb", "-displayfd", str(write), "-screen", "0", size, "-nolisten", "tcp", "-noreset"],
                             self.env, pass_fds=(write,))
        os.close(write)
        with os.fdopen(read) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise Failure("Xvfb did not start")
        self.env["DISPLAY"] = f":{number}"
        self._tell_the_bus("DISPLAY")
        self.x = xdisplay.Display(self.env["DISPLAY"])
        if self.scale != 100:
            # What xrdb -merge would set: the display's dots per inch, as a
            # desktop's settings give them to every X client.
            self.x.screen().root.change_property(self.x.intern_atom("RESOURCE_MANAGER"), Xatom.STRING, 8,
                                                 f"Xft.dpi:\t{96 * self.scale // 100}\n".encode())
            self.x.sync()

    def _start_window_manager(self):
        log = os.path.join(self.runtime, "wm.log")
        self.processes.start(WINDOW_MANAGERS[self.kind], self.env, log=log)
        root = self.x.screen().root
        check = self.x.intern_atom("_NET_SUPPORTING_WM_CHECK")

        def ready():
            prop = root.get_full_property(check, Xatom.WINDOW)
            if not prop or not prop.value:
                return None
            # The check window must exist: a stale id from an earlier manager does not count.
            self.x.create_resource_object("window", prop.value[0]).get_geometry()
            return True

        wait_for(f"{self.kind} to manage the screen", ready)
        # It claims the screen before it is done starting: Openbox often drops
        # a window mapped in the next moment, Mutter and Openbox set their root
        # properties up to 0.1 s later. A window of ours that it lists as
        # managed, mapped again every half second until then, and lets go,
        # shows that it handles windows now.
        clients = self.x.intern_atom("_NET_CLIENT_LIST")
        probe = root.create_window(0, 0, 16, 16, 0, X.CopyFromParent)
        probe.set_wm_name("window manager probe")
        mapped_at = [0.0]

        def managed():
            return probe.id in (getattr(root.get_full_property(clients, Xatom.WINDOW), "value", None) or [])

        def mapped_and_managed():
            if not managed() and time.monotonic() - mapped_at[0] > 0.5:
                probe.map()
                self.x.sync()
                mapped_at[0] = time.monotonic()
            return managed()

        wait_for(f"{self.kind} to manage a window", mapped_and_managed)
        probe.destroy()
        self.x.sync()
        wait_for(f"{self.kind} to let a window go", lambda: not managed())

    def _start_weston(self):
        socket = "wayland-kalvoran"
        log = os.path.join(self.runtime, "weston.log")
        command = ["weston", "--backend=headless-backend.so", f"--socket={socket}", "--idle-time=0",
                   f"--log={log}"]
        if self.kind == "weston-xwayland":
            command.append("--xwayland")
        self.processes.start(command, self.env)
        wait_for("Weston's socket", lambda: os.path.exists(os.path.join(self.runtime, socket)))
        self.env["WAYLAND_DISPLAY"] = socket
        self.env["XDG_SESSION_TYPE"] = "wayland"
        if self.kind == "weston-xwayland":
            def listening():
                with open(log, encoding="utf-8", errors="replace") as lines:
                    found = [line for line in lines if "xserver listening on display" in line]
                return found[0].rsplit(" ", 1)[-1].strip() if found else None

            self.env["DISPLAY"] = wait_for("XWayland's display", listening)
        self._tell_the_bus("WAYLAND_DISPLAY", "DISPLAY")

    def _tell_the_bus(self, *names):
        """Gives the session bus the desktop's display and runtime folder for the
        services it starts, as a desktop session does: else KWin's global
        shortcuts service aborts for want of a display at each of KWin's calls,
        dozens of them, and KWin waits on each (over 30 s to start when busy)."""
        if not (self.has_window_manager or self.kind.startswith("weston")):
            # A bare X server (the Windows install test): nothing asks the bus for
            # a service, and a bus there may be the caller's own, not ours to change.
            return
        names = [n for n in (*names, "XDG_RUNTIME_DIR") if n in self.env]
        subprocess.run(["dbus-update-activation-environment", *(f"{n}={self.env[n]}" for n in names)],
                       env=self.env, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=TIMEOUT)

    def start_program(self, path, platform=None):
        """With the accessibility bridge on; without a platform, the program picks its own."""
        env = dict(self.env, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        if platform:
            env["QT_QPA_PLATFORM"] = platform
        return subprocess.Popen([path], env=env)


class X11:
    """What a user of an X11 desktop sees of a program's windows, and clicks."""

    def __init__(self, display):
        self.d = display
        self.root = display.screen().root

    @cache
    def atom(self, name):
        return self.d.intern_atom(name)

    def prop(self, window, name, kind=X.AnyPropertyType):
        p = window.get_full_property(self.atom(name), kind)
        return list(p.value) if p is not None else []

    def title(self, window):
        names = window.get_full_property(self.atom("_NET_WM_NAME"), self.atom("UTF8_STRING"))
        if names is None:
            return window.get_wm_name()
        return names.value.decode() if isinstance(names.value, bytes) else names.value

    def clients(self, parent=None, depth=0):
        """Every top-level client window of the display, managed or not."""
        for child in (self.root if parent is None else parent).query_tree().children:
            try:
                if child.get_wm_class() is not None or self.title(child):
                    yield child
                elif depth < 3:  # inside a window manager's frame
                    yield from self.clients(child, depth + 1)
            except xerror.XError:  # gone while we looked
                pass

    def mapped(self, window):
        try:
            return window.get_attributes().map_state == X.IsViewable
        except xerror.XError:
            return False

    def titled(self, title):
        def matches(window):
            try:
                return self.title(window) == title and self.mapped(window)
            except xerror.XError:  # gone while we looked
                return False

        return [w for w in self.clients() if matches(w)]

    def window(self, title, timeout=TIMEOUT):
        """The mapped client window with this title, once there is one."""
        return wait_for(f"window '{title}' mapped", lambda: next(iter(self.titled(title)), None), timeout,
                        saw=self.shown_titles)

    def unmapped(self, title, timeout=TIMEOUT):
        wait_for(f"window '{title}' to go", lambda: not self.titled(title), timeout, saw=self.shown_titles)

    def shown_titles(self):
        """What a miss saw: the titles of the mapped client windows."""
        titles = []
        for window in self.clients():
            with suppress(xerror.XError):
                if self.mapped(window):
                    titles.append(self.title(window))
        return f"these windows mapped: {titles}"

    def shown(self, title):
        return bool(self.titled(title))

    def client_rect(self, window):
        """The client area in root pixels: (x, y, width, height)."""
        geometry = window.get_geometry()
        origin = window.translate_coords(self.root, 0, 0)
        return (-origin.x, -origin.y, geometry.width, geometry.height)

    def frame_rect(self, window):
        x, y, w, h = self.client_rect(window)
        left, right, top, bottom = (self.prop(window, "_NET_FRAME_EXTENTS") or [0, 0, 0, 0])[:4]
        return (x - left, y - top, w + left + right, h + top + bottom)

    def picture(self, rect):
        """The screen's pixels in (x, y, width, height) as RGB bytes, once
        they have stopped changing: the window manager frames, places and
        draws a window a moment after it is mapped, later on a busy machine."""
        x, y, w, h = rect
        return settled(lambda: self.root.get_image(x, y, w, h, X.ZPixmap, 0xFFFFFFFF).data, timeout=TIMEOUT)

    def managed(self, window):
        return window.id in self.prop(self.root, "_NET_CLIENT_LIST")

    def stacking(self):
        """Managed client windows, bottom to top."""
        return self.prop(self.root, "_NET_CLIENT_LIST_STACKING")

    def active(self):
        value = self.prop(self.root, "_NET_ACTIVE_WINDOW")
        return value[0] if value else 0

    def input_focus(self):
        """What a miss of a key saw: the titled window holding the X input focus, and the active one."""
        def titled(window):
            with suppress(xerror.XError, AttributeError):
                while window and window != self.root:
                    if title := self.title(window):
                        return repr(title)
                    window = window.query_tree().parent
            return "none"

        active = self.active()
        return (f"X input focus on {titled(self.d.get_input_focus().focus)}, active window "
                f"{titled(self.d.create_resource_object('window', active)) if active else 'none'}")

    def states(self, window):
        return {self.d.get_atom_name(a) for a in self.prop(window, "_NET_WM_STATE")}

    def click(self, x, y):
        # Away again after it, so that the next click is never taken for a double click.
        for event, args in ((X.MotionNotify, dict(x=x, y=y)), (X.ButtonPress, dict(detail=1)),
                            (X.ButtonRelease, dict(detail=1)), (X.MotionNotify, dict(x=1, y=1))):
            xtest.fake_input(self.d, event, **args)
            self.d.sync()
            time.sleep(0.05)

    KEYSYMS = {".": "period", "-": "minus", " ": "space"}

    def _code(self, name):
        code = self.d.keysym_to_keycode(XK.string_to_keysym(self.KEYSYMS.get(name, name)))
        if not code:
            raise Failure(f"no key for {name!r} on this X server")
        return code

    def press(self, key, *modifiers):
        """A real key press, with modifiers held ("Control_L"): it goes to the focused window."""
        codes = [self._code(name) for name in (*modifiers, key)]
        # Paced as a hand presses keys; what they do is waited for by the caller.
        for code in codes:
            xtest.fake_input(self.d, X.KeyPress, code)
        self.d.sync()
        time.sleep(0.03)
        for code in reversed(codes):
            xtest.fake_input(self.d, X.KeyRelease, code)
        self.d.sync()
        time.sleep(0.05)

    def type(self, text):
        for character in text:
            self.press(character)

    def _client_message(self, window, name, data):
        message = xevent.ClientMessage(window=window, client_type=self.atom(name), data=(32, data))
        mask = X.SubstructureRedirectMask | X.SubstructureNotifyMask
        self.root.send_event(message, event_mask=mask)
        self.d.sync()

    def activate_as_pager(self, window):
        self._client_message(window, "_NET_ACTIVE_WINDOW", [2, X.CurrentTime, 0, 0, 0])

    def move_as_pager(self, window, x, y):
        """Moves the window's frame."""
        gravity_and_flags = 1 | (1 << 8) | (1 << 9) | (2 << 12)  # north-west, x and y, from a pager
        self._client_message(window, "_NET_MOVERESIZE_WINDOW", [gravity_and_flags, x, y, 0, 0])

    def close_button(self, window):
        """The rightmost mark on the title bar, found in its pixels as a user's
        eye finds it whatever the theme, once the window manager has drawn the
        bar: in a picture of it that has stopped changing."""
        wait_for(f"'{self.title(window)}' managed", lambda: self.managed(window))
        fx, fy, fw, _ = settled(lambda: self.frame_rect(window), timeout=TIMEOUT)
        top = self.client_rect(window)[1] - fy
        if top < 8:
            raise Failure(f"'{self.title(window)}' has no title bar")
        return wait_for(f"a button drawn on the title bar of '{self.title(window)}'",
                        lambda: self._close_button(self.picture((fx, fy, fw, top)), fx, fy, fw, top))

    @staticmethod
    def _close_button(data, fx, fy, fw, top):
        """Where the rightmost mark is in the title bar's pixels, or None."""
        def pixel(x, y):
            i = (y * fw + x) * 4
            return data[i + 2], data[i + 1], data[i]

        row = [pixel(x, top // 2) for x in range(fw)]
        background = max(set(row), key=row.count)
        rows = range(top // 4, top - top // 4)

        def marked(x):
            return [y for y in rows if sum(abs(a - b) for a, b in zip(pixel(x, y), background)) > 90]

        right = next((x for x in range(fw - 4, fw // 2, -1) if marked(x)), None)
        if right is None:
            return None
        left, gap, ys = right, 0, []
        for x in range(right, fw // 2, -1):
            found = marked(x)
            if found:
                left, gap = x, 0
                ys += found
            else:
                gap += 1
                if gap == 3:
                    break
        return fx + (left + right) // 2, fy + (min(ys) + max(ys)) // 2
