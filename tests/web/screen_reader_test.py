#!/usr/bin/python3
"""The page heard through Orca in Chromium, on the desktop tests' private X
server under Metacity, driven from the keyboard alone: the length typed is
heard whole, "Results shown" is announced after Calculate Now, and the first
result is heard whole. Reuses the Orca harness of tests/e2e.

    tests/e2e/run_desktop_test.sh ../web/screen_reader_test.py [--transcript] PAGE.html
"""

import os
import sys
import tempfile
import time
from pathlib import Path

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))

from desktop import Desktop  # noqa: E402
from fixture import SI_RESULTS, SI_RUN, WINDOWS, Checks, Failure, wait_for  # noqa: E402
import screen_reader_test  # noqa: E402
from screen_reader_test import Speech, User, excerpt, numbers, said, start_screen_reader, tail, words  # noqa: E402


def prepare_home(home, prepare=screen_reader_test.prepare_home):
    """The desktop test's Orca, whose browse mode keeps no key from the page:
    typed digits go into the field, not to Orca's heading and caret keys.
    Nor does it read the page aloud as it loads: a key that stops that reading
    has Orca put the caret where it stopped, in a caption, which takes the
    focus off the control just reached; the next Tab then starts from the
    window's top again, and Chromium, its focus gone and back in one update,
    tells of no move. A user who Tabs through turns it off the same way
    (Orca's "Automatically start speaking a page when first loaded")."""
    prefs = prepare(home)
    with open(os.path.join(prefs, "orca-customizations.py"), "a") as f:
        f.write("import orca.settings\norca.settings.caretNavigationEnabled = False\n"
                "orca.settings.structuralNavigationEnabled = False\norca.settings.sayAllOnLoad = False\n")
    return prefs


screen_reader_test.prepare_home = prepare_home

SI = WINDOWS["Form2"]
CHECKS = ["page heard", "length heard as typed", "results announced", "result heard whole"]


def flow(user, checks):
    """The keys a user presses; the bus tells where each Tab took the focus,
    and each control sought is waited for until Orca has named it."""

    def hear(name, mark, predicate, why, timeout=screen_reader_test.STEP_TIMEOUT):
        user.hear(name, mark, predicate, why, timeout)
        if name not in checks.failed:
            checks.passed.add(name)

    hear("page heard", user.mark, lambda h: said(h, "Finished loading Kalvoran"), "the page not announced", 60)
    # Orca may take the focus to the page's top as the page loads; Tab goes on from there.
    user.tab_to("S.I Units", limit=26)
    user.press("Return")  # the SI window, the focus on the length
    length = SI.label_of("L")
    wait_for(f"the focus on '{words(length)}'", lambda: words(length) in user.focus.last()[0],
             saw=lambda: f"the focus on '{user.focus.last()[0]}'")
    user.replace_text("10")
    user.tab_to(SI.label_of("Q"))
    heard = user.tab_to(length, back=True, value="10")
    if checks.expect("length heard as typed", "10" in numbers(heard), f"'10' typed, {sorted(numbers(heard))} heard"):
        checks.passed.add("length heard as typed")

    for field, text in SI_RUN:
        if field != "L":
            user.tab_to(SI.label_of(field), limit=26)
            user.replace_text(text)
    user.tab_to("Calculate Now", limit=26)
    hear("results announced", user.press("Return"), lambda h: said(h, "Results shown"), "no 'Results shown'")

    field, value = SI_RESULTS[0]
    heard = user.tab_to(SI.label_of(field), limit=26, value=value)
    if checks.expect("result heard whole", value in numbers(heard), f"'{value}' shown, {sorted(numbers(heard))} heard"):
        checks.passed.add("result heard whole")


def run(page, transcript):
    checks = Checks()
    started = time.monotonic()
    with Desktop("metacity") as desktop, tempfile.TemporaryDirectory() as profile:
        speech = Speech(os.path.join(desktop.runtime, "orca-debug.log"), transcript)
        try:
            start_screen_reader(desktop, speech)
            # Chromium gives its pages to assistive tools once the bus says one listens.
            command = ["/usr/bin/chromium", "--no-sandbox", "--force-renderer-accessibility",
                       f"--user-data-dir={profile}", "--no-first-run", "--disable-background-networking",
                       "--disable-component-update", "--disable-sync", "--window-size=1200,900",
                       f"--app={Path(page).resolve().as_uri()}"]
            log = os.path.join(desktop.runtime, "chromium.out")
            flow(User(desktop, speech, checks, lambda: desktop.processes.start(command, desktop.env, log=log)),
                 checks)
        except Exception as error:  # the flow cannot go on: the checks it had yet to decide fail
            why = str(error) if isinstance(error, Failure) else f"{type(error).__name__}: {error}"
            print(f"  stopped: {why}\n  Orca said last:\n{excerpt(speech.heard[-12:])}\n"
                  + tail(os.path.join(desktop.runtime, "chromium.out"), 10), flush=True)
    ok = checks.report(CHECKS)
    print(f"screen reader, page: {time.monotonic() - started:.1f} s")
    return ok


if __name__ == "__main__":
    args = [a for a in sys.argv[1:] if a != "--transcript"]
    if len(args) != 1:
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    sys.exit(0 if run(args[0], "--transcript" in sys.argv[1:]) else 1)
