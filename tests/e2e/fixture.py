"""What every end-to-end test of Kalvoran shares, on Linux and under Wine:
the windows as the program's own tables lay them out (the build's layout
dump, through KALVORAN_LAYOUTS, else build/layout/layouts.json), the worked runs, the
verdicts of named checks, and waiting. Plain Python: the Wine tests import it
without the accessibility bus's module."""

import json
import os
import time
from types import SimpleNamespace

try:
    from Xlib.error import XError
except ImportError:  # no X connection, no X errors
    XError = OSError

TIMEOUT = 30.0  # seconds to wait for any one thing: enough for a loaded machine, and only spent on a miss
ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
LAYOUTS = os.environ.get("KALVORAN_LAYOUTS") or os.path.join(ROOT, "build", "layout", "layouts.json")


class Failure(Exception):
    pass


def wait_for(what, find, timeout=TIMEOUT, ignore=(XError, OSError, ValueError), saw=None):
    """What find() gives once it is neither None nor False. The errors to
    ignore are those of windows that come and go under our feet. On a miss,
    the failure says what saw() describes, else find()'s last answer."""
    deadline = time.monotonic() + timeout
    found = None
    while True:
        try:
            found = find()
        except ignore as error:
            found = error
        else:
            if found is not None and found is not False:
                return found
        if time.monotonic() >= deadline:
            break
        time.sleep(0.05)
    seen = saw() if saw is not None else repr(found) if isinstance(found, Exception) else found
    raise Failure(f"timed out after {timeout:g} s waiting for {what}; saw {seen}")


def settled(read, timeout=5.0, still=0.3):
    """What read() gives once it has stopped changing for `still` seconds (a
    window still being placed), or its last value after the timeout."""
    last, since = None, time.monotonic()
    deadline = since + timeout
    while time.monotonic() < deadline:
        now = read()
        if now != last:
            last, since = now, time.monotonic()
        elif time.monotonic() - since >= still:
            break
        time.sleep(0.05)
    return last


def end(process):
    if process.poll() is None:
        process.kill()
        process.wait()


class Checks:
    """The verdict of each named check: it passes once run() or passed()
    has said so, unless it missed anywhere; the first miss is its reason."""

    def __init__(self):
        self.failed = {}
        self.passed = set()

    def fail(self, name, why):
        self.failed.setdefault(name, why)
        print(f"  miss {name}: {why}", flush=True)

    def expect(self, name, condition, why):
        if not condition:
            self.fail(name, why)
        return bool(condition)

    def run(self, name, body):
        try:
            body()
        except Failure as error:
            self.fail(name, str(error))
        except Exception as error:  # an AT-SPI or X error ends this check, not the run
            self.fail(name, f"{type(error).__name__}: {error}")
        else:
            self.passed.add(name)

    def report(self, names):
        """Prints each check's verdict and the count; whether all passed."""
        whys = [self.failed.get(name, None if name in self.passed else "not reached") for name in names]
        for name, why in zip(names, whys):
            print(f"PASS {name}" if why is None else f"FAIL {name}: {why}")
        failed = sum(why is not None for why in whys)
        print(f"{len(whys) - failed} passed, {failed} failed")
        return failed == 0


class Window:
    """One window of the dump: its name (Form1 ...), title, client size in
    pixels, controls (with the dump's fields as attributes) and Tab order."""

    def __init__(self, table):
        self.name, self.title = table["name"], table["caption"]
        self.size = tuple(table["clientPixels"][2:])
        self.controls = [SimpleNamespace(**row) for row in table["controls"]]
        self.tab_order = [row["name"] for row in table["tabOrder"]]

    def first(self, what, matches):
        found = next((c for c in self.controls if matches(c)), None)
        if found is None:
            raise LookupError(f"no {what} in '{self.title}'")
        return found

    def find(self, name, index=-1):
        return self.first(f"control {name}({index})", lambda c: c.name == name and c.index == index)

    def button(self, caption):
        return self.first(f"button '{caption}'", lambda c: c.kind == "PushButton" and c.caption == caption)

    def label_of(self, field):
        """The caption of the label that names this field."""
        return self.first(f"label naming '{field}'", lambda c: c.kind == "Label" and c.names == field).caption

    def rect(self, control):
        """(x, y, width, height) in pixels from the client area's top left
        corner: a control in a frame is placed in the frame's pixels."""
        x, y, w, h = control.pixels
        if control.parent:
            frame = self.find(control.parent)
            x, y = x + frame.pixels[0], y + frame.pixels[1]
        return x, y, w, h

    def centre(self, control, right_margin=0):
        """A point well inside the control (left of a combo box's arrow with a margin)."""
        x, y, w, h = self.rect(control)
        return x + (w - right_margin) // 2, y + h // 2


def _dump():
    try:
        with open(LAYOUTS, encoding="utf-8") as f:
            return json.load(f)
    except OSError:
        raise SystemExit(f"no layout dump at {LAYOUTS}; run: cmake --preset layout && cmake --build --preset layout")


_DUMP = _dump()
WINDOWS = {w["name"]: Window(w) for w in _DUMP["windows"]}
BY_TITLE = {w.title: w for w in WINDOWS.values()}
MAIN, SI, BRITISH, FAREWELL, ABOUT = (WINDOWS[f"Form{n}"].title for n in range(1, 6))
ERROR = _DUMP["errorBoxTitle"]  # the toolkit's message box

# The worked runs the desktop's and the page's tests share: the SI one field
# by field in the order a user fills it, with the seven results the program
# shows for it, and a British one with every fitting, for the pictures.
with open(os.path.join(ROOT, "tests", "data", "worked_runs.json"), encoding="utf-8") as _f:
    _RUNS = {run["name"]: run for run in json.load(_f)["runs"]}
SI_RUN = [("C", _RUNS["c120_50mm"]["c"]), ("D", _RUNS["c120_50mm"]["d"])] + [tuple(p) for p in _RUNS["c120_50mm"]["typed"]]
SI_RESULTS = [tuple(p) for p in _RUNS["c120_50mm"]["results"]]
_EVERY_FITTING = _RUNS["c120_2in_every_fitting"]
BRITISH_RUN = [("C", _EVERY_FITTING["c"]), ("D", _EVERY_FITTING["d"])] + [tuple(p) for p in _EVERY_FITTING["typed"]]


def labelled(title, run):
    """A run's (field, text) pairs as (label, text), for clients that find fields by label."""
    return [(BY_TITLE[title].label_of(field), text) for field, text in run]
