#!/usr/bin/python3
"""Every text box of every window answers, over the accessibility bus, every
text query a screen reader makes at every offset of its text, within a second
and with a range inside the text; a program that stops answering fails here
instead of hanging the test. A verdict for each of the five windows.

    run_desktop_test.sh text_queries_test.py PATH_TO_KALVORAN
"""

import sys
import time

import pyatspi
from gi.repository import Atspi, GLib  # the versions pyatspi has chosen

from assistive_client import Kalvoran, application, descendants, run_worked_flow, wait_for
from desktop import Desktop
from fixture import ABOUT, BRITISH, FAREWELL, MAIN, SI, Checks, Failure, end

WINDOWS = [MAIN, ABOUT, SI, BRITISH, FAREWELL]

ANSWER_MS = 1000  # the longest a query may take
BOUNDARIES = {kind: getattr(pyatspi, "TEXT_BOUNDARY_" + kind.upper().replace(" ", "_")) for kind in (
    "char", "word start", "word end", "sentence start", "sentence end", "line start", "line end")}
MISSES_SHOWN = 6  # kinds of wrong answer shown in a report


class Hung(Failure):
    """The program stopped answering: nothing more can be asked of it."""


def box_name(node):
    name = node.name
    if not name and node.parent is not None and node.parent.getRoleName() == "combo box":
        name = node.parent.name
    return " ".join((name or "(unnamed)").split())


class TextBox:
    """One text box, asked every query at every offset; `misses` holds (query, sentence) for each wrong answer."""

    def __init__(self, node):
        self.text = node.queryText()
        self.name = box_name(node)
        self.queries = 0
        self.misses = []
        self.full = self.ask("getText", lambda: self.text.getText(0, -1))
        self.length = len(self.full)

    def ask(self, what, query):
        self.queries += 1
        try:
            return query()
        except GLib.Error as error:
            message = error.message.lower()
            if "reply" in message or "timeout" in message:
                hung = f"'{self.name}': no answer within {ANSWER_MS} ms to {what}"
                if self.misses:
                    hung += f"; before that {len(self.misses)} wrong answers: {first_of_each_query(self.misses)}"
                raise Hung(hung) from None
            raise Failure(f"'{self.name}': {what} failed: {error.message}") from None

    def miss(self, what, why):
        self.misses.append((what.split("(", 1)[0], f"'{self.name}' {what}: {why}"))

    def check(self):
        count = self.ask("characterCount", lambda: self.text.characterCount)
        if count != self.length:
            self.miss("characterCount", f"{count}, but its text has {self.length} characters")
        for offset in range(self.length + 1):
            for kind, boundary in BOUNDARIES.items():
                for query in ("At", "Before", "After"):
                    self.check_item(query, offset, kind, boundary)
            self.check_attributes(offset)
            self.check_character(offset)

    def check_item(self, query, offset, kind, boundary):
        what = f"getText{query}Offset({offset}, {kind})"
        method = getattr(self.text, f"getText{query}Offset")
        found, start, end = self.ask(what, lambda: method(offset, boundary))
        if not 0 <= start <= end <= self.length:
            self.miss(what, f"range {start}-{end} outside the text of {self.length} characters")
        elif found != self.full[start:end]:
            self.miss(what, f"{found!r} for the range {start}-{end}, which holds {self.full[start:end]!r}")
        elif query == "At" and not start <= offset <= end:
            self.miss(what, f"range {start}-{end} does not hold the offset")

    def check_attributes(self, offset):
        for what, query in ((f"getAttributeRun({offset})", lambda: self.text.getAttributeRun(offset, False)),
                            (f"getAttributes({offset})", lambda: self.text.getAttributes(offset))):
            _, start, end = self.ask(what, query)
            # A run holds the offset and, inside the text, at least its character.
            if not (0 <= start <= offset <= end <= self.length and (end > offset or offset == self.length)):
                self.miss(what, f"run {start}-{end} for a text of {self.length} characters")

    def check_character(self, offset):
        what = f"getCharacterAtOffset({offset})"
        character = self.ask(what, lambda: self.text.getCharacterAtOffset(offset))
        if offset < self.length and not self.full[offset].isascii():
            return  # sent as one byte of the local 8-bit encoding: only ASCII comes through whole
        if character != (ord(self.full[offset]) if offset < self.length else 0):
            self.miss(what, f"{character} for {self.full[offset:offset + 1]!r}")


def first_of_each_query(misses):
    """The first wrong answer to each query: each kind of fault once."""
    firsts = {}
    for query, sentence in misses:
        firsts.setdefault(query, sentence)
    return "; ".join(list(firsts.values())[:MISSES_SHOWN])


def check_window(k, title):
    window = k.window(title)
    boxes = [TextBox(node) for node in descendants(window) if node.getRoleName() == "text"]
    for box in boxes:
        box.check()
    misses = [miss for box in boxes for miss in box.misses]
    if misses:
        raise Failure(f"{len(misses)} wrong answers: {first_of_each_query(misses)}")
    queries = sum(box.queries for box in boxes)
    print(f"  {title}: {len(boxes)} text boxes, {queries} queries, every answer right", flush=True)


def drive(k, checks):
    """Visits the five windows in turn, each with texts as a user leaves them."""
    def visit(title, before=lambda: None):
        try:
            before()
            check_window(k, title)
        except Failure as error:
            checks.fail(title, str(error))
            if isinstance(error, Hung):
                raise
        else:
            checks.passed.add(title)

    visit(MAIN)
    visit(ABOUT, lambda: k.press(k.window(MAIN), "About"))
    k.press(k.window(ABOUT), "OK")
    k.no_window(ABOUT)
    k.press(k.window(MAIN), "S.I Units")
    # With results in the frame: long numbers, as a user reads them.
    visit(SI, lambda: run_worked_flow(k, k.window(SI)))
    k.press(k.window(SI), "Back")
    k.press(k.window(MAIN), "British Units")
    visit(BRITISH)
    k.press(k.window(BRITISH), "Exit")
    visit(FAREWELL)


def main():
    started = time.monotonic()
    checks = Checks()
    not_reached = "not reached: the program stopped answering before it"
    with Desktop("none") as desktop:
        program = desktop.start_program(sys.argv[1], platform="xcb")
        try:
            k = Kalvoran(wait_for("Kalvoran on the accessibility bus", lambda: application("Kalvoran")))
            k.window(MAIN)
            Atspi.set_timeout(ANSWER_MS, ANSWER_MS)
            drive(k, checks)
        except Hung:
            pass  # its window failed; the windows after it cannot be reached
        except Exception as error:  # navigation broke down: the windows not reached fail
            not_reached = f"{type(error).__name__}: {error}"
        finally:
            for title in WINDOWS:
                if title not in checks.passed and title not in checks.failed:
                    checks.fail(title, not_reached)
            end(program)
    ok = checks.report(WINDOWS)
    print(f"text queries: {time.monotonic() - started:.1f} s")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
