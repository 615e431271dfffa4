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

from desktop import Desktop, X11  # noqa: E402
from fixture import SI_RESULTS, SI_RUN, WINDOWS, Checks, Failure  # noqa: E402
import screen_reader_test  # noqa: E402
from screen_reader_test import Speech, excerpt, numbers, said, start_screen_reader, tail  # noqa: E402


def prepare_home(home, prepare=screen_reader_test.prepare_home):
    """The desktop test's Orca, whose browse mode keeps no key from the page:
    typed digits go into the field, not to Orca's heading and caret keys."""
    prefs = prepare(home)
    with open(os.path.join(prefs, "orca-customizations.py"), "a") as f:
        f.write("import orca.settings\norca.settings.caretNavigationEnabled = False\n"
                "orca.settings.structuralNavigationEnabled = False\n")
    return prefs


screen_reader_test.prepare_home = prepare_home

SI = WINDOWS["Form2"]
CHECKS = ["page heard", "length heard as typed", "results announced", "result heard whole"]


def run(page, transcript):
    checks = Checks()
    started = time.monotonic()
    with Desktop("metacity") as desktop, tempfile.TemporaryDirectory() as profile:
        speech = Speech(os.path.join(desktop.runtime, "orca-debug.log"), transcript)
        x = X11(desktop.x)

        def press(key, *modifiers, settle=0.4):
            x.press(key, *modifiers)
            time.sleep(settle)

        def hear(name, mark, predicate, why, timeout=8.0):
            if not speech.wait(mark, predicate, timeout):
                checks.fail(name, why)
                print("  Orca said:\n" + excerpt(speech.since(mark)), flush=True)
            else:
                checks.passed.add(name)

        def type_into(text):
            press("a", "Control_L")
            x.type(text)
            time.sleep(0.4)

        try:
            start_screen_reader(desktop, speech)
            mark = speech.mark()
            # Chromium gives its pages to assistive tools once the bus says one listens.
            desktop.processes.start(
                ["/usr/bin/chromium", "--no-sandbox", "--force-renderer-accessibility", f"--user-data-dir={profile}",
                 "--no-first-run", "--disable-background-networking", "--disable-component-update",
                 "--disable-sync", "--window-size=1200,900", f"--app={Path(page).resolve().as_uri()}"],
                desktop.env, log=os.path.join(desktop.runtime, "chromium.out"))
            hear("page heard", mark, lambda h: said(h, "Finished loading Kalvoran"), "the page not announced", 30)

            def tab_to(name, limit=26):
                """Tab until Orca names the control; what it said of it. Each Tab waits
                for Orca to have spoken of the last: on a busy machine it speaks late,
                and skips a control the focus has already left."""
                for _ in range(limit):
                    mark = speech.mark()
                    press("Tab", settle=0.1)
                    speech.wait(mark, lambda h: any(not u.echo for u in h), 8.0)
                    speech.quiet()
                    if said(speech.since(mark), name):
                        return speech.since(mark)
                raise Failure(f"'{name}' not reached with Tab (Orca leaves some focus changes unspoken "
                              "on a busy machine: run it again on a quiet one)")

            tab_to("S.I Units push button")
            press("Return")  # the SI window, the focus on the length
            type_into("10")
            tab_to(SI.label_of("Q"))
            heard = tab_to(SI.label_of("L"))
            if checks.expect("length heard as typed", "10" in numbers(heard), f"'10' typed, {sorted(numbers(heard))} heard"):
                checks.passed.add("length heard as typed")

            for field, text in SI_RUN:
                if field != "L":
                    tab_to(SI.label_of(field))
                    type_into(text)
            tab_to("Calculate Now push button")
            mark = speech.mark()
            press("Return", settle=1.0)
            hear("results announced", mark, lambda h: said(h, "Results shown"), "no 'Results shown'")

            field, value = SI_RESULTS[0]
            heard = tab_to(SI.label_of(field))
            if checks.expect("result heard whole", value in numbers(heard), f"'{value}' shown, {sorted(numbers(heard))} heard"):
                checks.passed.add("result heard whole")
        except Failure as error:
            print(f"  stopped: {error}\n" + tail(os.path.join(desktop.runtime, "chromium.out"), 10), flush=True)
    ok = checks.report(CHECKS)
    print(f"screen reader, page: {time.monotonic() - started:.1f} s")
    return ok


if __name__ == "__main__":
    args = [a for a in sys.argv[1:] if a != "--transcript"]
    if len(args) != 1:
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    sys.exit(0 if run(args[0], "--transcript" in sys.argv[1:]) else 1)
