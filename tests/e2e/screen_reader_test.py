#!/usr/bin/python3
"""Kalvoran heard through a real screen reader: Orca, speaking through
speech-dispatcher's dummy voice, with the program driven from the keyboard
alone (XTEST) on a private X server under Metacity. What Orca says is read
from the "SPEECH OUTPUT" lines of its debug log.

    screen_reader_test.py [--transcript] PATH_TO_KALVORAN

Run it inside a private D-Bus session and a private HOME:

    run_desktop_test.sh screen_reader_test.py PATH_TO_KALVORAN

Prints a line for each check, "PASS name" or "FAIL name: why", then
"N passed, M failed"; exits 0 when every check passed. With --transcript,
prints each utterance as Orca speaks it.
"""

import os
import re
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

from assistive_client import Kalvoran, application, descendants, showing
from desktop import Desktop, X11
from fixture import ERROR, FAREWELL, MAIN, SI, SI_RESULTS, SI_RUN, WINDOWS, Checks, Failure, end, wait_for

SI_LAYOUT = WINDOWS["Form2"]
LENGTH, FLOW = SI_LAYOUT.label_of("L"), SI_LAYOUT.label_of("Q")
C_FACTOR, FITTINGS_LENGTH = SI_LAYOUT.label_of("C"), SI_LAYOUT.label_of("ELF")


def in_tab_order(run):
    """A run's (field, text) pairs in the SI window's Tab order, each by its label."""
    ordered = sorted(run, key=lambda pair: SI_LAYOUT.tab_order.index(pair[0]))
    return [(SI_LAYOUT.label_of(field), text) for field, text in ordered]


# The worked run after the length, and its seven results, in Tab order.
RUN_IN_TAB_ORDER = [pair for pair in in_tab_order(SI_RUN) if pair[0] != LENGTH]
RESULTS_IN_TAB_ORDER = in_tab_order(SI_RESULTS)
# The main window's Tab order from "S.I Units" round to it again.
MAIN_TAB_ROUND = ["British Units", "Exit", "Web address", "Side picture", "About", "Banner", "S.I Units"]

RETURN = "Return presses the focused button"
CHECKS = [
    "main window announced",
    "main window Tab round",
    RETURN,
    "SI window announced",
    "length heard as typed",
    "results announced",
    "fittings length heard whole",
    "every result heard whole",
    "error message heard",
    "error box dismissed with Return",
    "farewell window announced",
    "End ends the program",
]

STEP_TIMEOUT = 5.0  # seconds for Orca to say what a step should bring
QUIET = 0.2  # an announcement is over once Orca has been silent this long

SPEECH_LINE = re.compile(r"^\S+ - SPEECH OUTPUT: '(.*)'(?: voice=\S+)?\s*(?:\{.*\})?$", re.S)
NUMBER = re.compile(r"\d+(?:\.\d+)?")


def words(text):
    return " ".join(text.split())


class Utterance:
    def __init__(self, text, line):
        self.text = words(text)
        self.line = line  # as the log has it, for excerpts
        self.at = time.monotonic()
        # Orca echoes a key as its name and its locking state, which ends in a space.
        self.echo = text.endswith(" ")


def said(utterances, *phrases):
    """Whether one utterance holds every phrase."""
    return any(all(words(p) in u.text for p in phrases) for u in utterances)


def numbers(utterances):
    """The numbers heard, each as written out: "5.184", and "10" from "10."."""
    return {n for u in utterances if not u.echo for n in NUMBER.findall(u.text)}


def excerpt(utterances):
    return "\n".join(f"    {u.line}" for u in utterances) or "    (nothing)"


class Speech:
    """What Orca has said so far, read from its debug log as it is written."""

    def __init__(self, log, transcript):
        self.log = log
        self.transcript = transcript
        self.heard = []
        self.offset = 0
        self.pending = ""  # a line not yet ended
        self.unfinished = None  # an utterance whose text has line breaks, so far

    def poll(self):
        try:
            with open(self.log, encoding="utf-8", errors="replace") as f:
                f.seek(self.offset)
                chunk = f.read()
                self.offset = f.tell()
        except FileNotFoundError:
            return
        *lines, self.pending = (self.pending + chunk).split("\n")
        for line in lines:
            self._take(line)

    def _take(self, line):
        if self.unfinished is not None:  # Orca indents the text's next lines
            line = self.unfinished + "\n" + line.removeprefix(" " * 18)
            self.unfinished = None
        if "SPEECH OUTPUT: '" not in line:
            return
        match = SPEECH_LINE.match(line)
        if not match:
            self.unfinished = line
            return
        utterance = Utterance(match.group(1), line.split("{")[0].rstrip())
        self.heard.append(utterance)
        if self.transcript:
            print(f"  heard: {utterance.text!r}", flush=True)

    def mark(self):
        self.poll()
        return len(self.heard)

    def since(self, mark):
        self.poll()
        return self.heard[mark:]

    def wait(self, mark, predicate, timeout=STEP_TIMEOUT):
        """Waits for what Orca says from the mark on to satisfy the predicate."""
        deadline = time.monotonic() + timeout
        while True:
            heard = self.since(mark)
            if predicate(heard):
                return True
            if time.monotonic() > deadline:
                return False
            time.sleep(0.05)

    def quiet(self, timeout=STEP_TIMEOUT):
        """Waits for Orca to have said nothing for a moment."""
        deadline = time.monotonic() + timeout
        last = self.heard[-1].at if self.heard else 0
        while time.monotonic() < deadline and time.monotonic() - last < QUIET:
            time.sleep(0.05)
            self.poll()
            last = max(last, self.heard[-1].at if self.heard else 0)

    def raw_tail(self, lines=40):
        try:
            with open(self.log, encoding="utf-8", errors="replace") as f:
                return "".join(f.readlines()[-lines:])
        except FileNotFoundError:
            return "(no log)"


def prepare_home(home):
    """What speech-dispatcher and Orca read from the home: sound into a null
    ALSA device (there is no sound card), the dummy voice, and an Orca whose
    debug log is written a line at a time, so that each utterance can be read
    as soon as it is spoken. Returns Orca's settings folder."""
    with open(os.path.join(home, ".asoundrc"), "w") as f:
        f.write("pcm.!default { type null }\nctl.!default { type hw card 0 }\n")
    speechd = os.path.join(home, ".config", "speech-dispatcher")
    os.makedirs(speechd, exist_ok=True)
    with open(os.path.join(speechd, "speechd.conf"), "w") as f:
        f.write('AudioOutputMethod "alsa"\nDefaultModule dummy\n')
    orca = os.path.join(home, "orca")
    os.makedirs(orca, exist_ok=True)
    # Orca runs this file from its settings folder once it has opened its log.
    with open(os.path.join(orca, "orca-customizations.py"), "w") as f:
        f.write("import orca.debug\n"
                "if orca.debug.debugFile:\n"
                "    orca.debug.debugFile.reconfigure(line_buffering=True)\n")
    return orca


def other_orcas():
    """Orca refuses to start while another of the same user's runs."""
    found = []
    for entry in os.listdir("/proc"):
        try:
            with open(f"/proc/{entry}/comm") as f:
                if f.read().strip() == "orca" and os.stat(f"/proc/{entry}").st_uid == os.getuid():
                    found.append(int(entry))
        except (OSError, ValueError):
            pass
    return found


def start_screen_reader(desktop, speech):
    """speech-dispatcher with the dummy voice, then Orca, until Orca speaks."""
    runtime = desktop.runtime
    prefs = prepare_home(os.environ["HOME"])
    socket = os.path.join(runtime, "speech-dispatcher", "speechd.sock")
    out = os.path.join(runtime, "speech-dispatcher.out")
    desktop.processes.start(["speech-dispatcher", "--run-single", "--timeout", "0"], desktop.env, log=out)
    try:
        wait_for("speech-dispatcher's socket", lambda: os.path.exists(socket))
    except Failure:
        with open(out, encoding="utf-8", errors="replace") as f:
            raise Failure("speech-dispatcher did not start:\n" + f.read()[-3000:])
    try:
        wait_for("no other Orca of this user", lambda: not other_orcas())
    except Failure:
        raise Failure(f"another Orca runs as this user (pids {other_orcas()}), and Orca runs only once per user")
    mark = speech.mark()
    desktop.processes.start(["orca", "--debug-file", speech.log, "--user-prefs", prefs], desktop.env,
                            log=os.path.join(runtime, "orca.out"))
    if not speech.wait(mark, lambda heard: said(heard, "Screen reader on"), timeout=30):
        raise Failure("Orca did not start; the end of its log:\n" + speech.raw_tail())
    with open(speech.log, encoding="utf-8", errors="replace") as f:
        if "SPEECH: Using speech server factory: speechdispatcherfactory" not in f.read():
            raise Failure("Orca speaks to no speech server; the end of its log:\n" + speech.raw_tail())


class Focus:
    """Where the program says the keyboard focus goes, event by event, on the
    accessibility bus, each control known by its label: an editable combo box
    is named by its text and labelled by a relation."""

    def __init__(self):
        self.reached = []
        pyatspi.Registry.registerEventListener(self._changed, "object:state-changed:focused")

    def _changed(self, event):
        if not event.detail1:
            return
        node = event.source
        try:
            parent = node.parent
            if parent is not None and parent.getRoleName() == "combo box":
                node = parent
            labels = [r.getTarget(0).name for r in node.getRelationSet()
                      if r.getRelationType() == pyatspi.RELATION_LABELLED_BY and r.getNTargets()]
            self.reached.append((words((labels or [node.name or ""])[0]), node))
        except Exception:  # gone already
            pass

    def count(self):
        self.pump()
        return len(self.reached)

    def since(self, count):
        self.pump()
        return self.reached[count:]

    def last(self):
        """The label and the control that has the focus now."""
        self.pump()
        return self.reached[-1] if self.reached else ("", None)

    @staticmethod
    def pump():
        context = GLib.MainContext.default()
        while context.pending():
            context.iteration(False)


class User:
    """One run of the program, driven by keys and heard through Orca. Where
    the focus is, and what a field holds, is read from the accessibility bus:
    so a step knows when Orca has had its chance to speak, and what of."""

    def __init__(self, desktop, speech, checks, path):
        self.speech = speech
        self.checks = checks
        self.x = X11(desktop.x)
        self.keys = self.x
        env = dict(desktop.env, QT_QPA_PLATFORM="xcb")
        # As for a user: the program turns its accessibility on because a
        # screen reader runs, not because it is told to.
        env.pop("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", None)
        self.focus = Focus()
        self.mark = speech.mark()
        self.program = subprocess.Popen([path], env=env)
        self._bus = None

    def end(self):
        end(self.program)

    def expect(self, name, condition, why, heard):
        """A check on what Orca said: on a miss, the words it did say."""
        if not condition:
            self.checks.expect(name, False, why)
            print("  Orca said:\n" + excerpt(heard), flush=True)
        return condition

    def press(self, key, *modifiers):
        """A key, once Orca has echoed it; the mark of what Orca says from it on."""
        mark = self.speech.mark()
        self.keys.press(key, *modifiers)
        self.speech.wait(mark, lambda heard: any(u.echo for u in heard), timeout=1)
        return mark

    def kalvoran(self):
        if self._bus is None:
            self._bus = Kalvoran(wait_for("Kalvoran on the accessibility bus", lambda: application("Kalvoran")))
        return self._bus

    @staticmethod
    def until(what, find, timeout):
        """What find() returns once it is something; a Failure after the timeout."""
        return wait_for(what, lambda: find() or None, timeout, ignore=Exception)

    def tab(self, back=False, target=None, silence=1.0):
        """Tab or Shift+Tab: the label of the control it reaches, and what Orca
        said of it from its label on, once Orca is quiet (nothing, if it never
        names it). With a target, another control is passed without listening."""
        count = self.focus.count()
        mark = self.press("Tab", "Shift_L") if back else self.press("Tab")
        self.until("the focus to move on Tab", lambda: self.focus.since(count), 3)
        name = self.focus.last()[0]
        if target is not None and words(target) not in name:
            return name, []
        # The control sought must be named, however busy Orca is; another may stay silent.
        named = self.speech.wait(mark, lambda heard: said(heard, name), STEP_TIMEOUT if target else silence)
        self.speech.quiet()
        heard = [u for u in self.speech.since(mark) if not u.echo]
        if not named:
            return name, []
        return name, heard[next(i for i, u in enumerate(heard) if name in u.text):]

    def tab_to(self, label, back=False, limit=12):
        """Tab until the labelled control has the focus; what Orca said of it."""
        passed = []
        for _ in range(limit):
            reached, heard = self.tab(back, target=label)
            if words(label) in reached:
                return heard
            passed.append(reached)
        raise Failure(f"'{words(label)}' not reached after {limit} presses of Tab, which reached {passed}")

    def replace_text(self, text):
        """Replaces the text of the focused field by typing, as a user does."""
        field = self.kalvoran().editable(self.focus.last()[1])
        self.press("a", "Control_L")
        mark = self.speech.mark()
        self.keys.type(text)

        def reads():
            t = field.queryText()
            return t.getText(0, t.characterCount) == text

        self.until(f"the field to read {text!r}", reads, 3)
        self.speech.wait(mark, lambda heard: len([u for u in heard if u.echo]) >= len(text), 2)
        self.speech.quiet()

    def fill(self, label, text):
        self.tab_to(label)
        self.replace_text(text)

    def press_button(self, what, done):
        """Return on the focused button; Space if Return does nothing. Waits for done()."""
        count = self.focus.count()
        mark = self.press("Return")
        try:
            self.until(f"'{what}' by Return", done, 1)
        except Failure:
            if not self.focus.since(count):  # Return did not even move the focus
                self.checks.expect(RETURN, False, f"Return did nothing on '{what}'; pressed Space instead")
                self.press("space")
            self.until(f"'{what}'", done, STEP_TIMEOUT)
        return mark

    def results_shown(self):
        window = next(iter(self.kalvoran().shown_windows(SI)), None)
        return window is not None and any(n.name == "Results" and showing(n) for n in descendants(window))


def main_window(user):
    speech = user.speech
    heard_window = speech.wait(user.mark, lambda h: said(h, MAIN) and said(h, "S.I Units", "push button"), 15)
    user.expect("main window announced", heard_window, f"no '{MAIN}' and 'S.I Units push button'",
                speech.since(user.mark))
    user.until(f"'{MAIN}' shown", lambda: user.x.shown(MAIN), STEP_TIMEOUT)

    # Every control that takes the focus is heard by its name, pictures too.
    misses, round_heard = [], []
    for name in MAIN_TAB_ROUND:
        mark = speech.mark()
        reached, heard = user.tab()
        round_heard += speech.since(mark)
        if name not in reached:
            misses.append(f"Tab reached '{reached}' for '{name}'")
        elif not heard:
            misses.append(f"'{name}' not heard")
    user.expect("main window Tab round", not misses, "; ".join(misses), round_heard)
    if "S.I Units" not in user.focus.last()[0]:
        user.tab_to("S.I Units")


def si_window(user):
    speech = user.speech
    mark = user.press_button("S.I Units", lambda: user.x.shown(SI))
    opened = speech.wait(mark, lambda h: said(h, SI) and said(h, LENGTH))
    user.expect("SI window announced", opened, f"no '{SI}' with the focus on '{words(LENGTH)}'",
                speech.since(mark))
    user.until(f"the focus on '{words(LENGTH)}'", lambda: user.focus.last()[0] == words(LENGTH), 3)

    user.replace_text("10")
    user.tab_to(FLOW)
    heard = user.tab_to(LENGTH, back=True)
    user.expect("length heard as typed", "10" in numbers(heard),
                f"'10' typed, {sorted(numbers(heard))} heard", heard)


def worked_run(user):
    speech = user.speech
    for label, text in RUN_IN_TAB_ORDER:
        user.fill(label, text)
    user.tab_to("Calculate Now", back=True)
    mark = user.press_button("Calculate Now", user.results_shown)
    announced = speech.wait(mark, lambda h: any("result" in u.text.lower() for u in h if not u.echo), 2)
    user.expect("results announced", announced, "nothing said of the results", speech.since(mark))

    misses, all_heard = [], []
    for label, value in RESULTS_IN_TAB_ORDER:
        heard = user.tab_to(label, limit=6)
        all_heard += heard
        if value not in numbers(heard):
            misses.append(f"{words(label)}: {value} shown, {sorted(numbers(heard))} heard")
            if label == FITTINGS_LENGTH:
                user.expect("fittings length heard whole", False, misses[-1], heard)
    user.expect("every result heard whole", not misses, "; ".join(misses), all_heard)


def refused_run(user):
    speech = user.speech
    user.tab_to(C_FACTOR)
    user.press("a", "Control_L")
    user.press("BackSpace")
    user.tab_to("Calculate Now")
    mark = user.press_button("Calculate Now, no C factor", lambda: user.x.shown(ERROR))
    message = speech.wait(mark, lambda h: said(h, "Select a C Factor"))
    user.expect("error message heard", message, "no 'Select a C Factor'", speech.since(mark))

    user.press("Return")
    try:
        user.until("the Error box to go on Return", lambda: not user.x.shown(ERROR), 3)
    except Failure:
        user.checks.expect("error box dismissed with Return", False, "Return left the Error box open; pressed Space")
        user.press("space")
        user.x.unmapped(ERROR)
    # Where the user is again, before moving on from there.
    user.until("the focus back on 'Calculate Now'", lambda: user.focus.last()[0] == "Calculate Now", 3)


def farewell(user):
    speech = user.speech
    user.tab_to("Exit")
    mark = user.press_button("Exit", lambda: user.x.shown(FAREWELL))
    opened = speech.wait(mark, lambda h: said(h, FAREWELL) and said(h, "End", "push button"))
    user.expect("farewell window announced", opened, f"no '{FAREWELL}' with the focus on 'End'",
                speech.since(mark))
    user.press_button("End", lambda: user.program.poll() is not None)
    status = user.program.wait(timeout=10)
    user.checks.expect("End ends the program", status == 0, f"the program ended with status {status}")


# Each step of the flow, with the checks it decides.
STEPS = [
    (main_window, ["main window announced", "main window Tab round"]),
    (si_window, ["SI window announced", "length heard as typed"]),
    (worked_run, ["results announced", "fittings length heard whole", "every result heard whole"]),
    (refused_run, ["error message heard", "error box dismissed with Return"]),
    (farewell, ["farewell window announced", "End ends the program", RETURN]),
]


def run(path, transcript):
    started = time.monotonic()
    checks = Checks()
    with Desktop("metacity") as desktop:
        log = os.path.join(desktop.runtime, "orca-debug.log")
        speech = Speech(log, transcript)
        user, decided = None, []
        try:
            start_screen_reader(desktop, speech)
            user = User(desktop, speech, checks, path)
            for step, names in STEPS:
                print(f"step: {step.__name__.replace('_', ' ')} (at {time.monotonic() - started:.1f} s)", flush=True)
                step(user)
                decided += names
        except Exception as error:  # the flow cannot go on: the checks it had yet to decide fail
            why = str(error) if isinstance(error, Failure) else f"{type(error).__name__}: {error}"
            print(f"  stopped: {why}", flush=True)
            print("  Orca said last:\n" + excerpt(speech.heard[-12:]), flush=True)
            for name in CHECKS:
                if name not in decided:
                    checks.failed.setdefault(name, f"not reached: {why.splitlines()[0]}")
        finally:
            if user is not None:
                user.end()
        checks.passed.update(CHECKS)
    return checks.report(CHECKS)


def main():
    arguments = sys.argv[1:]
    transcript = "--transcript" in arguments
    paths = [a for a in arguments if a != "--transcript"]
    if len(paths) != 1:
        print(__doc__, file=sys.stderr)
        return 2
    started = time.monotonic()
    ok = run(paths[0], transcript)
    print(f"screen reader: {time.monotonic() - started:.1f} s")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
