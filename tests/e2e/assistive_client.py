"""Drives Kalvoran as a screen reader's user would, over the accessibility bus
(AT-SPI): windows, buttons and fields found by their accessible names. The
flows here are run on each desktop by desktop_test.py.
"""

import pyatspi

import fixture
from fixture import ABOUT, ERROR, FAREWELL, MAIN, SI, SI_RESULTS, SI_RUN, TIMEOUT, Failure, labelled


def wait_for(what, find, timeout=TIMEOUT, saw=None):
    # The tree changes under our feet while windows come and go; an empty answer is no answer.
    return fixture.wait_for(what, lambda: find() or None, timeout, ignore=Exception, saw=saw)


def within(timeout, find):
    """Whether find() comes to something within the timeout."""
    try:
        return bool(wait_for("", find, timeout))
    except Failure:
        return False


def first(items, default=None):
    return next(iter(items), default)


def children(node):
    return [c for c in (node.getChildAtIndex(i) for i in range(node.childCount)) if c is not None]


def descendants(node):
    yield node
    for child in children(node):
        yield from descendants(child)


def application(name):
    return first(app for app in children(pyatspi.Registry.getDesktop(0)) if app.name == name)


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def labels(node):
    """The names of the labels that name this control, through its relations."""
    return [r.getTarget(t).name for r in node.getRelationSet()
            if r.getRelationType() == pyatspi.RELATION_LABELLED_BY for t in range(r.getNTargets())]


def contents(node):
    text = node.queryText()
    return text.getText(0, text.characterCount)


class Kalvoran:
    def __init__(self, app):
        self.app = app

    def shown_windows(self, title):
        return [w for w in children(self.app) if w.name == title and showing(w)]

    def window(self, title):
        return wait_for(f"window '{title}'", lambda: first(self.shown_windows(title)))

    def no_window(self, title):
        wait_for(f"window '{title}' to go", lambda: not self.shown_windows(title))

    @staticmethod
    def control(window, name, role):
        return wait_for(f"{role} '{name}' in '{window.name}'",
                        lambda: first(n for n in descendants(window) if n.getRoleName() == role and n.name == name))

    def press(self, window, caption):
        action = self.control(window, caption, "push button").queryAction()
        names = [action.getName(i) for i in range(action.nActions)]
        if not action.doAction(names.index("Press") if "Press" in names else 0):
            raise Failure(f"could not press '{caption}'")

    @staticmethod
    def labelled(window, label):
        """The input or result field that the label of this caption names."""
        for node in descendants(window):
            if node.getRoleName() in ("text", "combo box") and (node.name == label or label in labels(node)):
                return node
        raise Failure(f"no field labelled '{label}' in '{window.name}'")

    @staticmethod
    def editable(field):
        if field.getRoleName() == "combo box":
            return first((n for n in descendants(field) if n.getRoleName() == "text"), field)
        return field

    def set_text(self, window, label, text):
        if not self.editable(self.labelled(window, label)).queryEditableText().setTextContents(text):
            raise Failure(f"could not type into '{label}'")
        self.expect_text(window, label, text)

    def text(self, window, label):
        return contents(self.editable(self.labelled(window, label)))

    def expect_text(self, window, label, expected):
        wait_for(f"'{label}' to read {expected!r}", lambda: self.text(window, label) == expected)

    def error_box(self, message):
        """The visible message box that shows this message, or None."""
        return first(w for w in self.shown_windows(ERROR) if any(message in (n.name or "") for n in descendants(w)))

    def dismiss_error(self, message):
        self.press(wait_for(f"the message {message!r}", lambda: self.error_box(message)), "OK")
        self.error_closed(message)

    def error_closed(self, message):
        wait_for(f"the message {message!r} to close", lambda: not self.error_box(message))


def run_worked_flow(k, si):
    for label, text in labelled(SI, SI_RUN):
        k.set_text(si, label, text)
    k.press(si, "Calculate Now")
    for label, expected in labelled(SI, SI_RESULTS):
        k.expect_text(si, label, expected)


def drive(program):
    k = Kalvoran(wait_for("Kalvoran on the accessibility bus", lambda: application("Kalvoran")))
    main = k.window(MAIN)
    print("step 1: main window found; press 'S.I Units'", flush=True)
    k.press(main, "S.I Units")
    si = k.window(SI)
    k.no_window(MAIN)

    print("step 2: a refused run: two messages, dismissed in turn", flush=True)
    k.press(si, "Calculate Now")
    k.dismiss_error("Select a C Factor")
    k.dismiss_error("Select a Diameter")

    print("step 3: fill the inputs, press 'Calculate Now' and read the seven results", flush=True)
    run_worked_flow(k, si)

    print("step 4: 'Back' to the main window, then 'About' and its 'OK'", flush=True)
    k.press(si, "Back")
    main = k.window(MAIN)
    k.press(main, "About")
    k.press(k.window(ABOUT), "OK")
    k.no_window(ABOUT)

    print("step 5: 'Exit' to the farewell window, then 'End'", flush=True)
    k.press(main, "Exit")
    k.press(k.window(FAREWELL), "End")
    status = program.wait(timeout=TIMEOUT)
    if status != 0:
        raise Failure(f"the program ended with status {status}")
    print("step 6: the program ended with status 0", flush=True)
