#!/usr/bin/python3
"""Kalvoran heard through a real screen reader: Orca, speaking through
speech-dispatcher's dummy voice, with the program driven from the keyboard
alone (XTEST) on a private X server under Metacity. What Orca says is read
from the "SPEECH OUTPUT" lines of its debug log. A verdict for each check;
with --transcript, each utterance as Orca speaks it.

    run_desktop_test.sh screen_reader_test.py [--transcript] PATH_TO_KALVORAN
"""

import os
import re
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

from assistive_client import Kalvoran, application, contents, descendants, first, labels, showing, wait_for, within
from desktop import Desktop, X11
from fixture import ERROR, FAREWELL, MAIN, SI, SI_RESULTS, SI_RUN, TIMEOUT, WINDOWS, Checks, Failure, end, settled

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

# Seconds for Orca to say what a step should bring: on a loaded machine it
# speaks of a focus change a second or more after the bus tells of it.
STEP_TIMEOUT = 30.0
QUIET = 0.2  # an announcement is over once Orca has been silent this long
SILENT_RETRIES = 3  # Tabs away and back for a field Orca went to without a word (User.tab)

# Orca taking its focus to a control without a word: "[role | name]".
SILENT_MOVE = re.compile(r"Changing locusOfFocus from .* to \[[^|]*\| (.*)\]\. Notify: False")
SPEECH_LINE = re.compile(r"^\S+ - SPEECH OUTPUT: '(.*)'(?: voice=\S+)?\s*(?:\{.*\})?$", re.S)
NUMBER = re.compile(r"\d+(?:\.\d+)?")


def words(text):
    return " ".join(text.split())


class Utterance:
    def __init__(self, text, line):
        self.text = words(text)
        self.line = line  # as the log has it, for excerpts
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


def read(path):
    try:
        with open(path, encoding="utf-8", errors="replace") as f:
            return f.read()
    except OSError:
        return ""


def tail(path, lines=40):
    return "".join(read(path).splitlines(True)[-lines:]) or f"(nothing in {path})"


class Speech:
    """What Orca has said so far, read from its debug log as it is written."""

    def __init__(self, log, transcript):
        self.log = log
        self.transcript = transcript
        self.heard = []
        self.moved = []  # [utterances heard before it, name, focus event ignored] of each silent move
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
            if silent := SILENT_MOVE.search(line):
                self.moved.append([len(self.heard), words(silent.group(1)), False])
            elif self.moved and "Setting locusOfFocus to existing locusOfFocus" in line:
                self.moved[-1][2] = True  # the focus event that came after it: nothing more to say
            if self.unfinished is not None:  # Orca indents the text's next lines
                line = self.unfinished + "\n" + line.removeprefix(" " * 18)
                self.unfinished = None
            if "SPEECH OUTPUT: '" not in line:
                continue
            match = SPEECH_LINE.match(line)
            if not match:
                self.unfinished = line
                continue
            self.heard.append(Utterance(match.group(1), line.split("{")[0].rstrip()))
            if self.transcript:
                print(f"  heard: {self.heard[-1].text!r}", flush=True)

    def mark(self):
        self.poll()
        return len(self.heard)

    def since(self, mark):
        self.poll()
        return self.heard[mark:]

    def wait(self, mark, predicate, timeout=STEP_TIMEOUT):
        return within(timeout, lambda: predicate(self.since(mark)))

    def moved_silently(self, mark, name, ignored=False):
        """Whether Orca has taken its focus to the named control without a word
        since the mark (and, if ignored, then let the focus event pass unspoken)."""
        self.poll()
        return any(at >= mark and name in moved and (done or not ignored) for at, moved, done in self.moved)

    def quiet(self):
        """Waits for Orca to have said nothing for a moment."""
        settled(self.mark, STEP_TIMEOUT, QUIET)


def prepare_home(home):
    """Sound into a null ALSA device (there is no sound card), the dummy voice, and an Orca
    whose debug log is written a line at a time, to be read as it speaks. Returns Orca's settings."""
    files = {
        ".asoundrc": "pcm.!default { type null }\nctl.!default { type hw card 0 }\n",
        ".config/speech-dispatcher/speechd.conf": 'AudioOutputMethod "alsa"\nDefaultModule dummy\n',
        # Orca runs this file from its settings folder once it has opened its log.
        "orca/orca-customizations.py": "import orca.debug\nif orca.debug.debugFile:\n"
                                       "    orca.debug.debugFile.reconfigure(line_buffering=True)\n",
    }
    for name, text in files.items():
        path = os.path.join(home, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w") as f:
            f.write(text)
    return os.path.join(home, "orca")


def other_orcas():
    """Orca refuses to start while another of the same user's runs: the tests
    take turns (run_desktop_test.sh), but the user's own may run."""
    found = []
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            if read(f"/proc/{pid}/comm").strip() == "orca" and os.stat(f"/proc/{pid}").st_uid == os.getuid():
                found.append(int(pid))
        except OSError:  # gone while we looked
            pass
    return found


def start_screen_reader(desktop, speech):
    """speech-dispatcher with the dummy voice, then Orca, until Orca speaks."""
    runtime = desktop.runtime
    prefs = prepare_home(os.environ["HOME"])
    socket = os.path.join(runtime, "speech-dispatcher", "speechd.sock")
    out = os.path.join(runtime, "speech-dispatcher.out")
    desktop.processes.start(["speech-dispatcher", "--run-single", "--timeout", "0"], desktop.env, log=out)
    if not within(TIMEOUT, lambda: os.path.exists(socket)):
        raise Failure("speech-dispatcher did not start:\n" + tail(out))
    if not within(TIMEOUT, lambda: not other_orcas()):
        raise Failure(f"another Orca runs as this user (pids {other_orcas()}), and Orca runs only once per user")
    mark = speech.mark()
    desktop.processes.start(["orca", "--debug-file", speech.log, "--user-prefs", prefs], desktop.env,
                            log=os.path.join(runtime, "orca.out"))
    if not speech.wait(mark, lambda heard: said(heard, "Screen reader on"), timeout=60):
        raise Failure("Orca did not start; the end of its log:\n" + tail(speech.log))
    if "SPEECH: Using speech server factory: speechdispatcherfactory" not in read(speech.log):
        raise Failure("Orca speaks to no speech server; the end of its log:\n" + tail(speech.log))


class Focus:
    """Where the program says the focus goes, each control known by its label:
    an editable combo box is named by its text and labelled by a relation."""

    def __init__(self):
        self.reached = []
        pyatspi.Registry.registerEventListener(self._changed, "object:state-changed:focused")

    def _changed(self, event):
        if not event.detail1:
            return
        try:
            node = event.source
            if node.parent is not None and node.parent.getRoleName() == "combo box":
                node = node.parent
            # Chromium's labels have no names of their own: their field is named after them.
            self.reached.append((words(next(filter(None, labels(node)), node.name or "")), node))
        except Exception:  # gone already
            pass

    def since(self, count=0):
        context = GLib.MainContext.default()
        while context.pending():
            context.iteration(False)
        return self.reached[count:]

    def last(self):
        """The label and the control that has the focus now."""
        return (self.since() or [("", None)])[-1]


class User:
    """One run of the program, driven by keys and heard through Orca. The focus and the fields are read
    from the accessibility bus: so a step knows when Orca has had its chance to speak, and what of."""

    def __init__(self, desktop, speech, checks, start):
        """start() starts the program, once the focus and speech are followed."""
        self.speech = speech
        self.checks = checks
        self.x = X11(desktop.x)
        self.focus = Focus()
        self.mark = speech.mark()
        self.program = start()
        self.bus = None

    def expect(self, name, condition, why, heard):
        """A check on what Orca said: on a miss, the words it did say."""
        if not condition:
            self.checks.fail(name, why)
            print("  Orca said:\n" + excerpt(heard), flush=True)
            if not heard:  # not a word: what Orca was doing instead
                print("  the end of Orca's debug log:\n" + tail(self.speech.log, 25), flush=True)

    def hear(self, name, mark, predicate, why, timeout=STEP_TIMEOUT):
        self.expect(name, self.speech.wait(mark, predicate, timeout), why, self.speech.since(mark))

    def press(self, key, *modifiers):
        """A key, once Orca has echoed it (it echoes every key, a modifier
        by its name); the mark of what Orca says from it on."""
        mark = self.speech.mark()
        self.x.press(key, *modifiers)
        self.speech.wait(mark, lambda heard: any(u.echo for u in heard))
        return mark

    def tab(self, back=False, target=None, value=None, retries=SILENT_RETRIES):
        """Tab or Shift+Tab: the label of the control it reaches, and what Orca
        said of it from its label on, once Orca is quiet (nothing, if it never
        names it, or not the value given). With a target, another control is
        passed without listening."""
        count = len(self.focus.since())
        mark = self.press("Tab", "Shift_L") if back else self.press("Tab")
        wait_for("the focus to move on Tab", lambda: self.focus.since(count),
                 saw=lambda: f"the focus still on '{self.focus.last()[0]}', {len(self.focus.since())} moves in all; "
                 f"{self.x.input_focus()}")
        name = self.focus.last()[0]
        if target is not None and words(target) not in name:
            return name, []

        def of_it(heard):
            heard = [u for u in heard if not u.echo]
            start = next((i for i, u in enumerate(heard) if name in u.text), None)
            return [] if start is None else heard[start:]

        def told(heard):
            return (it := of_it(heard)) and (value is None or value in numbers(it))

        # What Orca says comes after the focus event, late when the machine is
        # busy; once it has let the focus event pass unspoken, it says nothing.
        self.speech.wait(mark, lambda heard: told(heard) or (retries and self.speech.moved_silently(mark, name, True)))
        if not told(self.speech.since(mark)) and retries and self.speech.moved_silently(mark, name):
            # Workaround for Orca 43's web script (onCaretMoved): Chromium tells
            # of the caret entering a field just before the field's focus, and
            # when Orca handles that before the focus event has come in, it
            # moves there without a word and takes the focus event as old news.
            # A race between two programs not ours, lost more often on a busy
            # machine: away and back, each time logged, up to SILENT_RETRIES
            # times. Orca's Where Am I is no way round: it leaves the text out.
            # Remove once Orca speaks of such a field.
            print(f"  Orca went to '{name}' without a word: Tab away and back", flush=True)
            count = len(self.focus.since())
            self.press("Tab") if back else self.press("Tab", "Shift_L")
            wait_for("the focus to move away on Tab", lambda: self.focus.since(count))
            return self.tab(back, target=target, value=value, retries=retries - 1)
        self.speech.quiet()
        return name, of_it(self.speech.since(mark))

    def tab_to(self, label, back=False, limit=12, value=None):
        """Tab until the labelled control has the focus; what Orca said of it
        (up to the value given, if it says it)."""
        passed = []
        for _ in range(limit):
            reached, heard = self.tab(back, target=label, value=value)
            if words(label) in reached:
                return heard
            passed.append(reached)
        raise Failure(f"'{words(label)}' not reached after {limit} presses of Tab, which reached {passed}")

    def replace_text(self, text):
        """Replaces the text of the focused field by typing, as a user does."""
        field = Kalvoran.editable(self.focus.last()[1])
        self.press("a", "Control_L")
        mark = self.speech.mark()
        self.x.type(text)
        wait_for(f"the field to read {text!r}", lambda: contents(field) == text, saw=lambda: repr(contents(field)))
        self.speech.wait(mark, lambda heard: len([u for u in heard if u.echo]) >= len(text))
        self.speech.quiet()

    def press_button(self, what, done):
        """Return on the focused button; Space if Return does nothing. Waits for done()."""
        count = len(self.focus.since())
        mark = self.press("Return")
        if not within(STEP_TIMEOUT, done):
            if not self.focus.since(count):  # Return did not even move the focus
                self.checks.fail(RETURN, f"Return did nothing on '{what}'; pressed Space instead")
                self.press("space")
            wait_for(f"'{what}'", done, STEP_TIMEOUT)
        return mark

    def results_shown(self):
        if self.bus is None:
            self.bus = Kalvoran(wait_for("Kalvoran on the accessibility bus", lambda: application("Kalvoran")))
        window = first(self.bus.shown_windows(SI))
        return window is not None and any(n.name == "Results" and showing(n) for n in descendants(window))


def main_window(user):
    user.hear("main window announced", user.mark, lambda h: said(h, MAIN) and said(h, "S.I Units", "push button"),
              f"no '{MAIN}' and 'S.I Units push button'")
    wait_for(f"'{MAIN}' shown", lambda: user.x.shown(MAIN), STEP_TIMEOUT)

    # Every control that takes the focus is heard by its name, pictures too.
    misses, round_heard = [], []
    for name in MAIN_TAB_ROUND:
        mark = user.speech.mark()
        reached, heard = user.tab()
        round_heard += user.speech.since(mark)
        if name not in reached:
            misses.append(f"Tab reached '{reached}' for '{name}'")
        elif not heard:
            misses.append(f"'{name}' not heard")
    user.expect("main window Tab round", not misses, "; ".join(misses), round_heard)
    if "S.I Units" not in user.focus.last()[0]:
        user.tab_to("S.I Units")


def si_window(user):
    user.hear("SI window announced", user.press_button("S.I Units", lambda: user.x.shown(SI)),
              lambda h: said(h, SI) and said(h, LENGTH), f"no '{SI}' with the focus on '{words(LENGTH)}'")
    wait_for(f"the focus on '{words(LENGTH)}'", lambda: user.focus.last()[0] == words(LENGTH),
             saw=lambda: f"the focus on '{user.focus.last()[0]}'")

    user.replace_text("10")
    user.tab_to(FLOW)
    heard = user.tab_to(LENGTH, back=True, value="10")
    user.expect("length heard as typed", "10" in numbers(heard), f"'10' typed, {sorted(numbers(heard))} heard", heard)


def worked_run(user):
    for label, text in RUN_IN_TAB_ORDER:
        user.tab_to(label)
        user.replace_text(text)
    user.tab_to("Calculate Now", back=True)
    user.hear("results announced", user.press_button("Calculate Now", user.results_shown),
              lambda h: any("result" in u.text.lower() for u in h if not u.echo), "nothing said of the results")

    misses, all_heard = [], []
    for label, value in RESULTS_IN_TAB_ORDER:
        heard = user.tab_to(label, limit=6, value=value)
        all_heard += heard
        if value not in numbers(heard):
            misses.append(f"{words(label)}: {value} shown, {sorted(numbers(heard))} heard")
            if label == FITTINGS_LENGTH:
                user.expect("fittings length heard whole", False, misses[-1], heard)
    user.expect("every result heard whole", not misses, "; ".join(misses), all_heard)


def refused_run(user):
    user.tab_to(C_FACTOR)
    user.press("a", "Control_L")
    user.press("BackSpace")
    user.tab_to("Calculate Now")
    user.hear("error message heard", user.press_button("Calculate Now, no C factor", lambda: user.x.shown(ERROR)),
              lambda h: said(h, "Select a C Factor"), "no 'Select a C Factor'")

    user.press("Return")
    if not within(STEP_TIMEOUT, lambda: not user.x.shown(ERROR)):
        user.checks.fail("error box dismissed with Return", "Return left the Error box open; pressed Space")
        user.press("space")
        user.x.unmapped(ERROR)
    # Where the user is again, before moving on from there.
    wait_for("the focus back on 'Calculate Now'", lambda: user.focus.last()[0] == "Calculate Now",
             saw=lambda: f"the focus on '{user.focus.last()[0]}'")


def farewell(user):
    user.tab_to("Exit")
    user.hear("farewell window announced", user.press_button("Exit", lambda: user.x.shown(FAREWELL)),
              lambda h: said(h, FAREWELL) and said(h, "End", "push button"), f"no '{FAREWELL}' with the focus on 'End'")
    user.press_button("End", lambda: user.program.poll() is not None)
    status = user.program.wait(timeout=TIMEOUT)
    user.checks.expect("End ends the program", status == 0, f"the program ended with status {status}")


# Each step of the flow, with the checks it decides.
STEPS = [
    (main_window, ["main window announced", "main window Tab round"]),
    (si_window, ["SI window announced", "length heard as typed"]),
    (worked_run, ["results announced", "fittings length heard whole", "every result heard whole"]),
    (refused_run, ["error message heard", "error box dismissed with Return"]),
    (farewell, ["farewell window announced", "End ends the program", RETURN]),
]
CHECKS = [name for _, names in STEPS for name in names]


def run(path, transcript):
    started = time.monotonic()
    checks = Checks()
    with Desktop("metacity") as desktop:
        speech = Speech(os.path.join(desktop.runtime, "orca-debug.log"), transcript)
        user, decided = None, []
        try:
            start_screen_reader(desktop, speech)
            # The program says so when its bridge came up after its first window.
            env = dict(desktop.env, QT_QPA_PLATFORM="xcb", QT_LOGGING_RULES="kalvoran.accessibility.debug=true")
            # As for a user: the program turns its accessibility on because a
            # screen reader runs, not because it is told to.
            env.pop("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", None)
            user = User(desktop, speech, checks, lambda: subprocess.Popen([path], env=env))
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
                end(user.program)
        checks.passed.update(CHECKS)
    ok = checks.report(CHECKS)
    print(f"screen reader: {time.monotonic() - started:.1f} s")
    return ok


def main():
    paths = [a for a in sys.argv[1:] if a != "--transcript"]
    if len(paths) != 1:
        print(__doc__, file=sys.stderr)
        return 2
    return 0 if run(paths[0], "--transcript" in sys.argv[1:]) else 1


if __name__ == "__main__":
    sys.exit(main())
