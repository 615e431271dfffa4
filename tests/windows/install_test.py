"""The ways to install Kalvoran on Windows, under Wine, each in a fresh prefix:
the NSIS installer for the current user and for all users, the MSI, and the
MSI replaced by a newer one. Each row installs silently, checks
where the files, the shortcut and the installed-apps entry went, starts the
installed program until its main window shows, closes it, uninstalls
silently and checks that the prefix is as it was before the install.

Usage: install_test.py BUILD_DIR [ROW] (build/windows, after make windows;
ROW: only the rows whose names hold it).
"""

import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

from Xlib.protocol import event as xevent

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from desktop import X11, Desktop, Failure, Processes, wait_for  # noqa: E402

import prefix_snapshot  # noqa: E402

MAIN_TITLE = "Kalvoran v 1.2"
UNINSTALL = r"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"
ALL_USERS = {
    "dir": "Program Files/Kalvoran",
    "shortcut": "ProgramData/Microsoft/Windows/Start Menu/Programs/Kalvoran.lnk",
    "registry": "system.reg",
}
# Wine 8's msiexec puts a per-machine package's ProgramMenuFolder shortcut in
# the installing user's Start menu, ALLUSERS=1 or not; Windows puts it in all
# users' menu.
MSI = dict(ALL_USERS, shortcut="users/{user}/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Kalvoran.lnk")
CURRENT_USER = {
    "dir": "users/{user}/AppData/Local/Programs/Kalvoran",
    "shortcut": "users/{user}/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Kalvoran.lnk",
    "registry": "user.reg",
}

# One row per way to install: its name, how to install (the package, then the
# command after it), the scope it must land in, and how to uninstall. Plain /S
# (all users, with administrator rights) is wine_e2e.py's install.
ROWS = [
    ("NSIS, only for me", "setup", ["/S", "/CurrentUser"], CURRENT_USER, "nsis"),
    ("NSIS, for all users", "setup", ["/S", "/AllUsers"], ALL_USERS, "nsis"),
    ("MSI", "msi", [], MSI, "msi"),
    ("MSI, upgraded by a newer one", "msi", [], MSI, "msi-upgrade"),
]


class Prefix:
    """A Wine prefix in a folder of its own, on the desktop's X server."""

    def __init__(self, desktop, folder):
        self.prefix = os.path.join(folder, "prefix")
        self.log = os.path.join(folder, "wine.log")
        home = os.path.join(folder, "home")
        os.makedirs(home, exist_ok=True)
        self.env = dict(desktop.env, HOME=home, WINEPREFIX=self.prefix, WINEARCH="win64", WINEDEBUG="-all",
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
        """Every Wine process ended and the registry written out."""
        self.run("wineserver", "-w", timeout=60)

    def kill(self):
        try:
            self.run("wineserver", "-k", timeout=20)
            self.run("wineserver", "-w", timeout=20)
        except subprocess.TimeoutExpired:
            pass

    def user(self):
        return next(u for u in os.listdir(os.path.join(self.prefix, "drive_c", "users")) if u != "Public")

    def c(self, path):
        """Where a path under C:\\ lies on this machine, {user} filled in."""
        return os.path.join(self.prefix, "drive_c", path.format(user=self.user()))

    def windows(self, path):
        return "C:\\" + path.format(user=self.user()).replace("/", "\\")

    def uninstall_entries(self, registry_file):
        """The installed-apps entries named Kalvoran: {key: DisplayVersion line}."""
        keys = prefix_snapshot.take(self.prefix)["registry"]
        found = {}
        for key, values in keys.items():
            file, _, path = key.partition(":")
            if file == registry_file and path.startswith(UNINSTALL + "\\\\") \
                    and values.get("DisplayName") == '"DisplayName"="Kalvoran"':
                found[path] = values.get("DisplayVersion")
        return found


def pristine(desktop, folder):
    """A fresh prefix made once, copied for each row: Wine's own fonts, Wine's
    frames, and nothing else."""
    wine = Prefix(desktop, folder)
    if wine.run("wineboot", "-i", timeout=180) != 0:
        raise Failure("wineboot -i failed")
    for font in glob.glob("/usr/share/wine/fonts/*"):
        shutil.copy(font, wine.c("windows/Fonts"))
    wine.run("wine", "reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Decorated", "/d", "N", "/f")
    wine.kill()
    return wine.prefix


def newer_msi(build, version, folder):
    """The same MSI at a higher version, built from the configured template:
    same UpgradeCode, a new ProductCode. Never shipped."""
    major, minor, patch = version.split(".")
    newer = f"{major}.{minor}.{int(patch) + 1}"
    out = os.path.join(folder, f"kalvoran-{newer}-x64.msi")
    subprocess.run(["wixl", "-a", "x64", "-D", f"Version={newer}", "-o", out, "kalvoran.wxs", "files.wxs"],
                   cwd=os.path.join(build, "packaging", "windows"), check=True, capture_output=True)
    return out, newer


def start_and_close(x, wine, program):
    """The installed program's main window shows; a close request from the
    window system ends the program."""
    processes = Processes()
    try:
        process = processes.start(["wine", program], wine.env)
        window = wait_for(f"'{MAIN_TITLE}'", lambda: next(iter(x.titled(MAIN_TITLE)), None), timeout=60)
        message = xevent.ClientMessage(window=window, client_type=x.atom("WM_PROTOCOLS"),
                                       data=(32, [x.atom("WM_DELETE_WINDOW"), 0, 0, 0, 0]))
        window.send_event(message)
        x.d.flush()
        wait_for(f"'{MAIN_TITLE}' closed", lambda: not x.titled(MAIN_TITLE))
        try:
            process.wait(timeout=10)  # a farewell window may still be up: ended below
        except subprocess.TimeoutExpired:
            pass
    finally:
        processes.end()
        wine.kill()


# What Windows Installer makes for itself on its first use and keeps, empty,
# when the last package goes: its cache folder and its registration keys.
INSTALLER_OWN = re.compile(r"registry key added: \[system\.reg:Software\\\\(Classes\\\\Installer|"
                           r"Microsoft\\\\Windows\\\\CurrentVersion\\\\Installer)\\\\.*\]")


def left_behind(wine, before):
    """What the uninstall left, after a restart of the prefix when needed (the
    NSIS uninstaller's temp copy goes at the next start, as on Windows), less
    Windows Installer's own empty keys and folder."""

    def compare():
        after = prefix_snapshot.take(wine.prefix)
        left, _ = prefix_snapshot.differences(before, after)

        def installer_own(line):
            if line == "file added: drive_c/windows/Installer/":
                return not any(f.startswith("drive_c/windows/Installer/") and not f.endswith("/")
                               for f in after["files"])
            key = line[line.find("[") + 1:-1]
            return bool(INSTALLER_OWN.fullmatch(line)) and not after["registry"].get(key)

        return [line for line in left if not installer_own(line)]

    wine.settle()
    left = compare()
    if left:
        wine.run("wineboot", "-r", timeout=60)
        wine.settle()
        left = compare()
    return left


def run_row(row, packages, x, desktop, folder, clean, check):
    name, package, arguments, scope, kind = row
    wine = Prefix(desktop, folder)
    shutil.copytree(clean, wine.prefix, symlinks=True)
    before = prefix_snapshot.take(wine.prefix)
    path = packages[package]

    def install(path):
        if package == "msi":
            return wine.run("wine", "msiexec", "/i", path, "/qn")
        return wine.run("wine", path, *arguments)

    status = install(path)
    wine.settle()
    check(name, "installs", status == 0, f"status {status}")
    version = packages["version"]
    if kind == "msi-upgrade":
        path, version = newer_msi(packages["build"], version, folder)
        status = install(path)
        wine.settle()
        check(name, f"{version} replaces the installed one", status == 0, f"status {status}")
    program = wine.c(scope["dir"] + "/kalvoran.exe")
    check(name, "program in " + scope["dir"], os.path.isfile(program), "no kalvoran.exe")
    shortcuts = [os.path.relpath(f, wine.prefix) for f in glob.glob(wine.prefix + "/drive_c/**/*.lnk", recursive=True)]
    check(name, "Start-menu shortcut", os.path.isfile(wine.c(scope["shortcut"])),
          f"no {scope['shortcut']}; shortcuts: {shortcuts}")
    entries = wine.uninstall_entries(scope["registry"])
    check(name, f"one installed-apps entry, version {version}, in {scope['registry']}",
          list(entries.values()) == [f'"DisplayVersion"="{version}"'], f"found {entries}")
    if os.path.isfile(program):
        try:
            start_and_close(x, wine, wine.windows(scope["dir"] + "/kalvoran.exe"))
            check(name, "starts, shows its main window and closes", True, "")
        except Failure as failure:
            check(name, "starts, shows its main window and closes", False, str(failure))
    if package == "msi":
        status = wine.run("wine", "msiexec", "/x", path, "/qn")
    else:
        status = wine.run("wine", wine.windows(scope["dir"] + "/Uninstall.exe"), "/S")
    check(name, "uninstalls", status == 0, f"status {status}")
    left = left_behind(wine, before)
    for line in left:
        print(f"    left: {line}")
    check(name, "nothing left", not left, f"{len(left)} difference(s), listed above")
    wine.kill()


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build/windows"
    only = sys.argv[2] if len(sys.argv) > 2 else ""  # the rows whose names hold this
    packages = {"build": build}
    for package, pattern in (("setup", "kalvoran-*-setup.exe"), ("msi", "kalvoran-*-x64.msi")):
        found = sorted(glob.glob(os.path.join(build, pattern)))
        if not found:
            print(f"install_test: no {pattern} in {build}; run: make windows", file=sys.stderr)
            return 1
        packages[package] = os.path.abspath(found[0])
    packages["version"] = re.search(r"kalvoran-([0-9.]+)-x64\.msi$", packages["msi"]).group(1)
    failed = []
    started = time.monotonic()

    def check(row, what, passed, why):
        print(f"  {'ok  ' if passed else 'FAIL'} {row}: {what}{'' if passed else ': ' + why}", flush=True)
        if not passed:
            failed.append(f"{row}: {what}")

    top = tempfile.mkdtemp(prefix="kalvoran-install-")
    try:
        with Desktop("none") as desktop:
            x = X11(desktop.x)
            clean = pristine(desktop, os.path.join(top, "pristine"))
            print(f"[{time.monotonic() - started:5.1f} s] a pristine prefix", flush=True)
            for number, row in enumerate(r for r in ROWS if only in r[0]):
                try:
                    run_row(row, packages, x, desktop, os.path.join(top, str(number)), clean, check)
                except (Failure, subprocess.SubprocessError, OSError) as error:
                    check(row[0], "runs to the end", False, str(error))
                print(f"[{time.monotonic() - started:5.1f} s] {row[0]}", flush=True)
    finally:
        shutil.rmtree(top, ignore_errors=True)
    print(f"install_test: {len(failed)} check(s) failed" if failed else "install_test: every check passed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
