"""What a Wine prefix holds, to tell what an install and uninstall left
behind: every file and folder under it, and every registry key and value in
its registry files, less what Wine itself rewrites on every start."""

import os
import re

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


def _files(prefix):
    found = set()
    for folder, dirs, files in os.walk(prefix):
        relative = os.path.relpath(folder, prefix)
        for name in dirs:
            found.add(os.path.normpath(os.path.join(relative, name)) + "/")
        for name in files:
            found.add(os.path.normpath(os.path.join(relative, name)))
    return {f for f in found - set(REGISTRY_FILES) if not WINE_OWN_FILES.fullmatch(f)}


def _value_name(line):
    if line.startswith("@="):
        return "@"
    match = re.match(r'"((?:[^"\\]|\\.)*)"=', line)
    return match.group(1) if match else line


def _registry(path):
    """{key: {value name: value}} of one registry file; keys as written, without
    their modification times."""
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
            for key, values in _registry(path).items():
                registry[f"{name}:{key}"] = values
    return {"files": _files(prefix), "registry": registry}


def _wine_own(key):
    """What the key is when it is one of Wine's own, else None."""
    file, _, path = key.partition(":")
    for own_file, own, what in WINE_OWN:
        written = own.replace("\\", "\\\\")  # as the registry files write it
        if file == own_file and (path == written or path.startswith(written + "\\\\")):
            return what
    return None


def differences(before, after):
    """What differs, one line each: files and folders, registry keys and
    values. Gives (the differences, those in Wine's own keys)."""
    lines = [f"file added: {f}" for f in sorted(after["files"] - before["files"])]
    lines += [f"file removed: {f}" for f in sorted(before["files"] - after["files"])]
    old, new = before["registry"], after["registry"]
    keyed = [(k, f"registry key added: [{k}]") for k in sorted(new.keys() - old.keys())]
    keyed += [(k, f"registry key removed: [{k}]") for k in sorted(old.keys() - new.keys())]
    for key in sorted(old.keys() & new.keys()):
        for name in sorted(old[key].keys() | new[key].keys()):
            if old[key].get(name) != new[key].get(name):
                keyed.append((key, f"registry value: [{key}] {old[key].get(name)} -> {new[key].get(name)}"))
    wine = []
    for key, line in keyed:
        what = _wine_own(key)
        if what is None:
            lines.append(line)
        else:
            wine.append(f"{line} ({what})")
    return lines, wine
