"""A Wine prefix of a test's own, and what it holds, to tell what an install
and uninstall left behind: every file and folder under it, and every registry
key and value in its registry files, less what Wine itself rewrites on every
start."""

import glob
import os
from contextlib import suppress
import re
import shutil
import subprocess

from fixture import Failure

REGISTRY_FILES = ("system.reg", "user.reg", "userdef.reg")

# Keys that Wine itself rewrites, with their subkeys: (file, key, what they are).
WINE_OWN = [
    # Filled in afresh by each start of Wine's desktop process.
    ("system.reg", r"System\CurrentControlSet\Control\Class\{4D36E968-E325-11CE-BFC1-08002BE10318}",
     "display adapters"),
    ("system.reg", r"System\CurrentControlSet\Control\Class\{4D36E96E-E325-11CE-BFC1-08002BE10318}", "monitors"),
    ("system.reg", r"Software\Microsoft\Windows NT\CurrentVersion\NetworkCards", "network cards"),
    # Wine's record of the desktop menu entries it made for Start-menu
    # shortcuts, outside the prefix; it does not take them back.
    ("user.reg", r"Software\Wine\MenuFiles", "Wine's desktop menu entries"),
    # The host's serial ports, which Wine maps to COM1... when it first looks
    # for them, at any start after the prefix is made.
    ("system.reg", r"Software\Wine\Ports", "serial ports"),
    ("system.reg", r"Software\Wow6432Node\Wine\Ports", "serial ports"),
]
# The device names Wine makes for those ports (COM1, COM2, ...).
WINE_OWN_FILES = re.compile(r"dosdevices/com[0-9]+")
# Wine's list of the host's fonts, each a path on Z: (the host's root), which
# it writes afresh at each start: a font installed on the host while a test
# runs is added there. A font put in the prefix is named otherwise, and counts.
HOST_FONT_KEYS = {("system.reg", r"Software\Microsoft\Windows NT\CurrentVersion\Fonts"),
                  ("system.reg", r"Software\Microsoft\Windows\CurrentVersion\Fonts"),
                  ("user.reg", r"Software\Wine\Fonts\External Fonts")}
HOST_FONT = re.compile(r'"(?:[^"\\]|\\.)*"="Z:\\\\.*')


def _files(prefix):
    found = set()
    for folder, dirs, files in os.walk(prefix):
        relative = os.path.relpath(folder, prefix)
        found |= {os.path.normpath(os.path.join(relative, name)) + "/" for name in dirs}
        found |= {os.path.normpath(os.path.join(relative, name)) for name in files}
    return {f for f in found - set(REGISTRY_FILES) if not WINE_OWN_FILES.fullmatch(f)}


def _value_name(line):
    if line.startswith("@="):
        return "@"
    match = re.match(r'"((?:[^"\\]|\\.)*)"=', line)
    return match.group(1) if match else line


def _registry(path):
    """{key as written: {value name: value line}} of one registry file."""
    keys = {}
    current = None
    pending = ""
    with open(path, encoding="utf-8", errors="replace") as f:
        for raw in f:
            line = pending + raw.rstrip("\n")
            pending = ""
            if line.endswith("\\") and current is not None and not line.startswith("["):
                pending = line[:-1]  # a value that goes on on the next line
                continue
            if line.startswith("["):
                current = line[1:line.rindex("]")]
                keys[current] = {}
            elif current is not None and line and not line.startswith(("#", ";")):
                keys[current][_value_name(line)] = line
    return keys


def take(prefix):
    registry = {}
    for name in REGISTRY_FILES:
        path = os.path.join(prefix, name)
        if os.path.exists(path):
            registry.update({f"{name}:{key}": values for key, values in _registry(path).items()})
    return {"files": _files(prefix), "registry": registry}


def _wine_own(key):
    """What the key is when it is one of Wine's own, else None."""
    file, _, path = key.partition(":")
    for own_file, own, what in WINE_OWN:
        written = own.replace("\\", "\\\\")  # as the registry files write it
        if file == own_file and (path == written or path.startswith(written + "\\\\")):
            return what
    return None


def _host_font(key, *lines):
    """Whether the value lines (None where there is none) are Wine's own of a host font."""
    file, _, path = key.partition(":")
    return (file, path.replace("\\\\", "\\")) in HOST_FONT_KEYS and \
        all(line is None or HOST_FONT.fullmatch(line) for line in lines)


def differences(before, after):
    """What differs, one line each: files and folders, registry keys and
    values. Gives (the differences, what Wine's own keys that changed are)."""
    lines = [f"file added: {f}" for f in sorted(after["files"] - before["files"])]
    lines += [f"file removed: {f}" for f in sorted(before["files"] - after["files"])]
    old, new = before["registry"], after["registry"]
    keyed = [(k, f"registry key added: [{k}]") for k in sorted(new.keys() - old.keys())]
    keyed += [(k, f"registry key removed: [{k}]") for k in sorted(old.keys() - new.keys())]
    wine = set()
    for key in sorted(old.keys() & new.keys()):
        for name in sorted(old[key].keys() | new[key].keys()):
            was, now = old[key].get(name), new[key].get(name)
            if was != now and _host_font(key, was, now):
                wine.add("the host's fonts")
            elif was != now:
                keyed.append((key, f"registry value: [{key}] {was} -> {now}"))
    for key, line in keyed:
        what = _wine_own(key)
        if what is None:
            lines.append(line)
        else:
            wine.add(what)
    return lines, wine


class Prefix:
    """A Wine prefix, and a home, in a folder of their own, on a desktop's X server."""

    def __init__(self, desktop, folder):
        self.prefix = os.path.join(folder, "prefix")
        self.home = os.path.join(folder, "home")
        self.log = os.path.join(folder, "wine.log")
        os.makedirs(self.home, exist_ok=True)
        self.env = dict(desktop.env, HOME=self.home, WINEPREFIX=self.prefix, WINEARCH="win64", WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree=;mshtml=")
        for variable in ("XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"):
            self.env.pop(variable, None)

    def run(self, *command, timeout=120):
        with open(self.log, "ab") as log:
            log.write(f"$ {' '.join(command)}\n".encode())
            log.flush()
            return subprocess.run(command, env=self.env, stdout=log, stderr=subprocess.STDOUT,
                                  timeout=timeout).returncode

    def settle(self):
        """Waits for every Wine process to end and the server to write the registry out."""
        self.run("wineserver", "-w", timeout=60)

    def kill(self):
        with suppress(subprocess.TimeoutExpired):
            self.run("wineserver", "-k", timeout=20)
            self.run("wineserver", "-w", timeout=20)

    def _filled(self, path):
        if "{user}" in path:
            path = path.format(user=next(u for u in os.listdir(self.c("users")) if u != "Public"))
        return path

    def c(self, path):
        """Where a path under C:\\ ("a/b", {user} filled in) lies on this machine."""
        return os.path.join(self.prefix, "drive_c", self._filled(path))

    def windows(self, path):
        return "C:\\" + self._filled(path).replace("/", "\\")

    def create(self, scale=None):
        """A fresh prefix: Wine's own fonts, every frame drawn by Wine as by
        Windows, the display's dots per inch.
        Workaround: Debian's Wine 8 does not find fonts-wine's faces, so they are
        copied in. No upstream report found; remove once captions draw right
        without the copy."""
        if self.run("wineboot", "-i", timeout=180) != 0:
            raise Failure("wineboot -i failed")
        for font in glob.glob("/usr/share/wine/fonts/*"):
            shutil.copy(font, self.c("windows/Fonts"))
        self.run("wine", "reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Decorated", "/d", "N", "/f")
        if scale:
            self.run("wine", "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD",
                     "/d", str(96 * scale // 100), "/f")
        self.kill()

    def left_behind(self, before, ignore=lambda line, after: False):
        """What differs from before, printed, less what ignore(line, after) lets
        go. What Windows deletes at its next start (the NSIS uninstaller's temp
        copy of itself) goes when Wine restarts the prefix."""

        def compare():
            self.settle()
            after = take(self.prefix)
            left, wine_own = differences(before, after)
            return [line for line in left if not ignore(line, after)], wine_own

        left, wine_own = compare()
        if left:
            self.run("wineboot", "-r", timeout=60)
            first, (left, wine_own) = left, compare()
            for line in (line for line in first if line not in left):
                print(f"    left until the next restart: {line}")
        for line in left:
            print(f"    left: {line}")
        if wine_own:
            print(f"    note: Wine's own keys changed as well, not counted: {', '.join(sorted(wine_own))}")
        return left
