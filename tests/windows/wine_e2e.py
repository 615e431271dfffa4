#!/usr/bin/python3
"""The Windows installer and the installed program under Wine, on a private
X server with Metacity: silent install into a fresh Wine prefix, the program
started from where it was installed and driven with real clicks and keys
(XTEST), results read back through the clipboard, then a silent uninstall
that must leave the prefix as it found it.

    wine_e2e.py SETUP_EXE [--scale PERCENT] [--screenshots DIR]

With --scale (100, 125, 150 or 200), the prefix's display is set to that
many dots per inch of 96 before anything starts, and every window must open
at its layout's size times the scale.

Prints "PASS name" or "FAIL name: why" for each check, then "N passed, M
failed"; exits 0 when every check passed. With --screenshots, writes
main.png, si.png, british.png, about.png and farewell.png into DIR. Run it
through run_wine_e2e.sh, which gives it a private D-Bus session and ends
anything left behind.
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))

from Xlib import X  # noqa: E402
from Xlib import display as xdisplay  # noqa: E402

from desktop import Desktop, Processes, X11  # noqa: E402
from fixture import (ABOUT, BRITISH, BRITISH_RUN, BY_TITLE, ERROR, FAREWELL, MAIN, SI, SI_RESULTS,  # noqa: E402
                     SI_RUN, Checks, Failure, settled, wait_for)

import prefix_snapshot  # noqa: E402
INSTALL_DIR = r"C:\Program Files\Kalvoran"
PROGRAM = INSTALL_DIR + r"\kalvoran.exe"
UNINSTALLER = INSTALL_DIR + r"\Uninstall.exe"
SHORTCUT = "ProgramData/Microsoft/Windows/Start Menu/Programs/Kalvoran.lnk"
REGISTRY_KEYS = [r"HKLM\Software\Kalvoran", r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kalvoran"]

CHECKS = [
    "silent install",
    "main window centred",
    "every window at its layout size times the scale",
    "S.I Units opens the SI window",
    "worked SI run, results as on Linux",
    "Error box application-modal",
    "About opens, OK closes it",
    "Exit, End: status 0",
    "no task-bar entry for main and farewell",
    "silent uninstall leaves the prefix as it was",
]


class Clipboard:
    """Reads the X CLIPBOARD selection, which Wine keeps in step with the
    Windows clipboard, on a connection of its own."""

    def __init__(self, name):
        self.d = xdisplay.Display(name)
        self.window = self.d.screen().root.create_window(0, 0, 1, 1, 0, X.CopyFromParent)
        self.selection = self.d.intern_atom("CLIPBOARD")
        self.utf8 = self.d.intern_atom("UTF8_STRING")
        self.property = self.d.intern_atom("KALVORAN_CLIPBOARD")

    def read(self, timeout=2.0):
        self.window.convert_selection(self.selection, self.utf8, self.property, X.CurrentTime)
        self.d.flush()
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            while self.d.pending_events():
                event = self.d.next_event()
                if event.type == X.SelectionNotify:
                    if event.property == X.NONE:
                        return None
                    value = self.window.get_full_property(self.property, X.AnyPropertyType)
                    return value.value.decode("utf-8", "replace") if value is not None else None
            time.sleep(0.02)
        return None

    def close(self):
        self.d.close()


class User:
    """Clicks and keys through XTEST, on windows that Wine frames itself."""

    def __init__(self, x, clipboard, scale):
        self.x = x
        self.d = x.d
        self.clipboard = clipboard
        self.tables = BY_TITLE
        self.scale = scale / 100

    def scaled(self, *pixels):
        return tuple(round(p * self.scale) for p in pixels)

    def client_size(self, title):
        """The client area's size in device pixels: the layout's, scaled."""
        return self.scaled(*self.tables[title].size)

    # Wine draws the frame inside the X window: the sides and the bottom are
    # as wide as each other, the caption is on top. The client size is the
    # layout's, scaled, so the client area follows.
    def client_rect(self, title):
        window = self.x.window(title)
        wx, wy, ww, wh = self.x.client_rect(window)
        cw, ch = self.client_size(title)
        border = (ww - cw) // 2
        return wx + border, wy + wh - ch - border, cw, ch

    def point(self, title, control, right_margin=0):
        """Where a control's centre is on the screen."""
        cx, cy, _, _ = self.client_rect(title)
        px, py = self.scaled(*self.tables[title].centre(control, right_margin))
        return cx + px, cy + py

    def click_control(self, title, control, right_margin=0):
        self.x.click(*self.point(title, control, right_margin))
        time.sleep(0.15)

    def click_button(self, title, caption):
        self.click_control(title, self.tables[title].button(caption))

    def key(self, name, ctrl=False):
        self.x.press(name, *(["Control_L"] if ctrl else []))

    def field(self, title, name):
        control = self.tables[title].find(name)
        # A combo box's text is left of its arrow.
        return control, (22 if control.kind == "ComboBox" else 0)

    def set_text(self, title, name, text):
        control, margin = self.field(title, name)
        self.click_control(title, control, margin)
        self.key("a", ctrl=True)
        if text:
            self.x.type(text)
        else:
            self.key("Delete")

    def copy_text(self, title, name, expected=None):
        """A field's text, copied to the clipboard as a user would copy it.
        With an expected text, tries again until it comes or time is up, so
        that an earlier copy still on the clipboard is not taken for it."""
        control, margin = self.field(title, name)
        text = None
        for _ in range(3):
            self.click_control(title, control, margin)
            self.key("a", ctrl=True)
            self.key("c", ctrl=True)
            deadline = time.monotonic() + 1.5
            while time.monotonic() < deadline:
                text = self.clipboard.read()
                if expected is None or text == expected:
                    return text
                time.sleep(0.1)
        return text


class Wine:
    """One fresh Wine prefix, on the desktop's X server, in a folder of its own."""

    def __init__(self, desktop, folder, log):
        self.home = os.path.join(folder, "home")
        self.prefix = os.path.join(folder, "prefix")
        os.makedirs(self.home)
        self.log = log
        self.env = dict(desktop.env, HOME=self.home, WINEPREFIX=self.prefix, WINEARCH="win64", WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree=;mshtml=")
        for variable in ("XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"):
            self.env.pop(variable, None)

    def run(self, command, timeout):
        with open(self.log, "ab") as log:
            log.write(f"$ {' '.join(command)}\n".encode())
            log.flush()
            return subprocess.run(command, env=self.env, stdout=log, stderr=subprocess.STDOUT,
                                  timeout=timeout).returncode

    def wine(self, *args, timeout=60):
        return self.run(["wine", *args], timeout)

    def settle(self, timeout=60):
        """Waits for every Wine process to end and the server to write the
        registry out as it goes."""
        self.run(["wineserver", "-w"], timeout)

    def kill(self):
        """Ends every process of the prefix, the server too, and waits for them."""
        try:
            self.run(["wineserver", "-k"], 20)
            self.run(["wineserver", "-w"], 20)
        except subprocess.TimeoutExpired:
            pass

    def path(self, windows_path):
        """Where a C: path lies on this machine."""
        relative = windows_path.split(":", 1)[1].lstrip("\\").replace("\\", "/")
        return os.path.join(self.prefix, "drive_c", relative)

    def create(self, scale):
        if self.run(["wineboot", "-i"], 180) != 0:
            raise Failure("wineboot -i failed")
        fonts = self.path(r"C:\windows\Fonts")
        for font in os.listdir("/usr/share/wine/fonts"):
            shutil.copy(os.path.join("/usr/share/wine/fonts", font), fonts)
        # Wine draws every frame itself, as Windows would, and does not hand
        # them to the window manager.
        self.wine("reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Decorated", "/d", "N", "/f")
        # The display's dots per inch, read by each process as it starts.
        self.wine("reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD", "/d",
                  str(96 * scale // 100), "/f")
        self.kill()


def save_window(x, title, folder, name):
    from PIL import Image  # only for screenshots

    window = x.window(title)
    fx, fy, fw, fh = settled(lambda: x.client_rect(window))
    time.sleep(0.5)  # painted
    raw = x.root.get_image(fx, fy, fw, fh, X.ZPixmap, 0xFFFFFFFF)
    path = os.path.join(folder, name)
    Image.frombytes("RGB", (fw, fh), raw.data, "raw", "BGRX").save(path)
    print(f"  wrote {path}", flush=True)


def run(setup, screenshots, scale):
    checks = Checks()
    folder = tempfile.mkdtemp(prefix="kalvoran-wine-")
    started = time.monotonic()

    def phase(what):
        print(f"[{time.monotonic() - started:5.1f} s] {what}", flush=True)

    wine = None
    processes = Processes()
    try:
        with Desktop("metacity", scale) as desktop:
            x = X11(desktop.x)
            clipboard = Clipboard(desktop.env["DISPLAY"])
            user = User(x, clipboard, scale)
            wine = Wine(desktop, folder, os.path.join(folder, "wine.log"))
            phase("a fresh Wine prefix")
            installed = False
            before = None

            def install():
                nonlocal installed, before
                wine.create(scale)
                before = prefix_snapshot.take(wine.prefix)
                phase("silent install")
                status = wine.wine(setup, "/S", timeout=120)
                checks.expect("silent install", status == 0, f"the installer ended with status {status}")
                for where in (PROGRAM, UNINSTALLER):
                    checks.expect("silent install", os.path.isfile(wine.path(where)), f"no {where}")
                checks.expect("silent install", os.path.isfile(os.path.join(wine.prefix, "drive_c", SHORTCUT)),
                              f"no Start-menu shortcut C:\\{SHORTCUT.replace('/', chr(92))}")
                for key in REGISTRY_KEYS:
                    checks.expect("silent install", wine.wine("reg", "query", key) == 0, f"no registry key {key}")
                installed = os.path.isfile(wine.path(PROGRAM))

            checks.run("silent install", install)
            if installed:
                phase("the installed program")
                program = processes.start(["wine", PROGRAM], wine.env, log=os.path.join(folder, "program.log"))
                drive(user, program, checks, screenshots, scale)
                processes.end()  # the program, if it outlived its checks

                phase("silent uninstall")

                def uninstall():
                    status = wine.wine(UNINSTALLER, "/S", timeout=60)
                    checks.expect("silent uninstall leaves the prefix as it was", status == 0,
                                  f"the uninstaller ended with status {status}")
                    # It goes on from a copy of itself in the temp folder.
                    wine.settle()
                    left, wine_own = prefix_snapshot.differences(before, prefix_snapshot.take(wine.prefix))
                    if left:
                        # What is left for Windows to delete at the next start (the
                        # uninstaller's temp copy, which cannot delete itself) goes
                        # when Wine restarts the prefix as Windows would.
                        wine.run(["wineboot", "-r"], 60)
                        wine.settle()
                        restarted, wine_own = prefix_snapshot.differences(before, prefix_snapshot.take(wine.prefix))
                        for line in left:
                            if line not in restarted:
                                print(f"  left until the next restart: {line}")
                        left = restarted
                    for line in left:
                        print(f"  left: {line}")
                    if wine_own:
                        kinds = sorted({line[line.rindex("(") + 1:-1] for line in wine_own})
                        print(f"  note: Wine's own keys changed as well, not counted: {', '.join(kinds)}")
                    checks.expect("silent uninstall leaves the prefix as it was", not left,
                                  f"{len(left)} difference(s) from before the install, listed above")

                checks.run("silent uninstall leaves the prefix as it was", uninstall)
                outside = [os.path.relpath(os.path.join(d, f), wine.home)
                           for d, _, files in os.walk(wine.home) for f in files if "Kalvoran" in f]
                for path in outside:
                    print(f"  note: outside the prefix, in the private home: {path}")
            clipboard.close()
    finally:
        processes.end()
        if wine is not None:
            wine.kill()
        shutil.rmtree(folder, ignore_errors=True)
    phase("done, every process ended")
    return checks.report(CHECKS)


def drive(user, program, checks, screenshots, scale):
    x = user.x

    def shot(title, name):
        if screenshots:
            save_window(x, title, screenshots, name)

    skips = {}

    def note_taskbar(title):
        skips[title] = "_NET_WM_STATE_SKIP_TASKBAR" in x.states(x.window(title))

    sizes_seen = set()

    def note_size(title):
        # Wine frames the client inside the X window: whatever the scale, the
        # frame is a few pixels at the sides and below, and a caption above.
        sizes_seen.add(title)
        window = x.window(title)
        _, _, ww, wh = settled(lambda: x.client_rect(window))
        cw, ch = user.client_size(title)
        border, caption = (ww - cw) / 2, wh - ch - (ww - cw) / 2
        print(f"  {BY_TITLE[title].name} at {scale} %: client {cw}x{ch} from the layout's "
              f"{'x'.join(map(str, BY_TITLE[title].size))}, window {ww}x{wh}: frame {border:g}, caption {caption:g}",
              flush=True)
        checks.expect("every window at its layout size times the scale", 0 <= border <= 12 and border <= caption <= 60,
                      f"'{title}' is {ww}x{wh}, which leaves a frame of {border:g} and a caption of {caption:g} "
                      f"around a client of {cw}x{ch}")

    def centred():
        window = wait_for(f"window '{MAIN}' mapped", lambda: next(iter(x.titled(MAIN)), None), timeout=60)
        settled(lambda: x.client_rect(window))
        cx, cy, cw, ch = user.client_rect(MAIN)
        geometry = x.root.get_geometry()
        area = (x.prop(x.root, "_NET_WORKAREA") or [0, 0, geometry.width, geometry.height])[:4]
        want = (area[0] + (area[2] - cw) // 2, area[1] + (area[3] - ch) // 2)
        checks.expect("main window centred", abs(cx - want[0]) <= 2 and abs(cy - want[1]) <= 2,
                      f"client area at {(cx, cy)}, centred would be {want}")
        note_taskbar(MAIN)
        note_size(MAIN)
        shot(MAIN, "main.png")

    checks.run("main window centred", centred)
    if "main window centred" in checks.failed and not x.titled(MAIN):
        return

    def about():
        user.click_button(MAIN, "About")
        note_size(ABOUT)
        shot(ABOUT, "about.png")
        user.click_button(ABOUT, "OK")
        x.unmapped(ABOUT)
        checks.expect("About opens, OK closes it", x.shown(MAIN), "the main window went with About")

    checks.run("About opens, OK closes it", about)

    def si_window():
        user.click_button(MAIN, "S.I Units")
        note_size(SI)
        x.unmapped(MAIN)

    checks.run("S.I Units opens the SI window", si_window)
    if not x.shown(SI):
        return
    si = BY_TITLE[SI]

    def worked_run():
        for field, text in SI_RUN:
            user.set_text(SI, field, text)
        user.click_button(SI, "Calculate Now")
        shot(SI, "si.png")  # before the copies below leave a field selected
        wrong = []
        for field, expected in SI_RESULTS:
            got = user.copy_text(SI, field, expected)
            if got != expected:
                wrong.append(f"{field} {got!r}, Linux {expected!r}")
        if wrong:
            typed = [f"{field}={user.copy_text(SI, field)!r}" for field, _ in SI_RUN]
            raise Failure("; ".join(wrong) + f" (inputs read back: {', '.join(typed)})")

    checks.run("worked SI run, results as on Linux", worked_run)

    def error_modal():
        user.set_text(SI, "C", "")
        user.click_button(SI, "Calculate Now")
        box = x.window(ERROR)
        bx, by, bw, bh = x.client_rect(box)
        caption = (bx + bw // 2, by + 8)  # on the box's own title bar
        try:
            # The message, copied off the box as Windows lets a user do (Ctrl+C);
            # again if the box had not taken the focus yet on a busy machine.
            for attempt in range(3):
                x.click(*caption)
                user.key("c", ctrl=True)
                try:
                    wait_for("the message on the clipboard",
                             lambda: "Select a C Factor" in (user.clipboard.read() or "") or None, timeout=2)
                    break
                except Failure:
                    if attempt == 2:
                        raise Failure(f"the box's text is {user.clipboard.read()!r}, not 'Select a C Factor'")
            back = user.point(SI, si.button("Back"))
            if bx <= back[0] < bx + bw and by <= back[1] < by + bh:
                raise Failure("the Error box covers the SI window's Back, so no click can reach it")
            x.click(*back)
            time.sleep(1.0)
            checks.expect("Error box application-modal", x.shown(SI) and not x.shown(MAIN) and x.shown(ERROR),
                          "a click on the SI window's Back went through while the Error box was open")
        finally:
            if x.shown(ERROR):
                # Through the window manager: the box may be under another window.
                x.activate_as_pager(x.window(ERROR))
                time.sleep(0.3)
                user.key("Return")
        x.unmapped(ERROR)
        time.sleep(0.5)
        checks.expect("Error box application-modal", x.shown(SI) and not x.shown(MAIN),
                      "the click on Back was kept and acted on once the box was gone")

    checks.run("Error box application-modal", error_modal)

    def exit_to_farewell():
        for title in (BRITISH, SI, MAIN):
            if x.shown(title):
                user.click_button(title, "Exit")
                return

    if screenshots:
        def british():
            user.click_button(SI, "Back")
            x.window(MAIN)
            user.click_button(MAIN, "British Units")
            x.window(BRITISH)
            for field, text in BRITISH_RUN:
                user.set_text(BRITISH, field, text)
            user.click_button(BRITISH, "Calculate Now")
            time.sleep(0.5)
            shot(BRITISH, "british.png")

        try:
            british()
        except Exception as error:  # a missing picture is reported, the checks go on
            print(f"  no british.png: {type(error).__name__}: {error}")
    exit_to_farewell()

    def end():
        x.window(FAREWELL)
        note_taskbar(FAREWELL)
        note_size(FAREWELL)
        shot(FAREWELL, "farewell.png")
        user.click_button(FAREWELL, "End")
        status = program.wait(timeout=20)
        checks.expect("Exit, End: status 0", status == 0, f"the program ended with status {status}")

    checks.run("Exit, End: status 0", end)

    def taskbar():
        for title in (MAIN, FAREWELL):
            if title not in skips:
                raise Failure(f"'{title}' was never seen")
            checks.expect("no task-bar entry for main and farewell", skips[title],
                          f"'{title}' has a task-bar entry (no _NET_WM_STATE_SKIP_TASKBAR)")

    checks.run("no task-bar entry for main and farewell", taskbar)
    if len(sizes_seen) == 4:
        checks.passed.add("every window at its layout size times the scale")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("setup")
    parser.add_argument("--scale", type=int, choices=(100, 125, 150, 200), default=100, metavar="PERCENT")
    parser.add_argument("--screenshots", metavar="DIR")
    args = parser.parse_args()
    if args.screenshots:
        os.makedirs(args.screenshots, exist_ok=True)
    return 0 if run(os.path.abspath(args.setup), args.screenshots, args.scale) else 1


if __name__ == "__main__":
    sys.exit(main())
