"""Drives Kalvoran the way a screen reader's user would, through the platform
accessibility bus (AT-SPI): finds every window, button, input and result by
its accessible name, presses buttons, sets texts and reads them back.

The flows here are run on each desktop by desktop_test.py, which starts the
X server or compositor, the private D-Bus session and the program.
"""

import pyatspi

import fixture
from fixture import ABOUT, ERROR, FAREWELL, MAIN, SI, SI_RESULTS, SI_RUN, TIMEOUT, Failure, labelled


def wait_for(what, find, timeout=TIMEOUT):
    # The tree changes under our feet while windows come and go.
    return fixture.wait_for(what, find, timeout, ignore=Exception)


def descendants(node):
    stack = [node]
    while stack:
        current = stack.pop()
        if current is None:
            continue
        yield current
        for i in range(current.childCount - 1, -1, -1):
            stack.append(current.getChildAtIndex(i))


def application(name):
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == name:
            return app
    return None


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


class Kalvoran:
    def __init__(self, app):
        self.app = app

    def shown_windows(self, title):
        """The visible top-level windows with this title."""
        windows = (self.app.getChildAtIndex(i) for i in range(self.app.childCount))
        return [w for w in windows if w is not None and w.name == title and showing(w)]

    def window(self, title):
        """A visible top-level window by its title."""
        return wait_for(f"window '{title}'", lambda: next(iter(self.shown_windows(title)), None))

    def no_window(self, title):
        wait_for(f"window '{title}' to go", lambda: None if self.shown_windows(title) else True)

    @staticmethod
    def control(window, name, role):
        def find():
            for node in descendants(window):
                if node.getRoleName() == role and node.name == name:
                    return node
            return None

        return wait_for(f"{role} '{name}' in '{window.name}'", find)

    def press(self, window, caption):
        button = self.control(window, caption, "push button")
        action = button.queryAction()
        names = [action.getName(i) for i in range(action.nActions)]
        index = names.index("Press") if "Press" in names else 0
        if not action.doAction(index):
            raise Failure(f"could not press '{caption}'")

    @staticmethod
    def labelled(window, label):
        """The input or result field that the label of this caption names."""
        for node in descendants(window):
            if node.getRoleName() in ("text", "combo box"):
                if node.name == label:
                    return node
                for relation in node.getRelationSet():
                    if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
                        for t in range(relation.getNTargets()):
                            if relation.getTarget(t).name == label:
                                return node
        raise Failure(f"no field labelled '{label}' in '{window.name}'")

    @staticmethod
    def editable(field):
        if field.getRoleName() == "combo box":
            for node in descendants(field):
                if node.getRoleName() == "text":
                    return node
        return field

    def set_text(self, window, label, text):
        field = self.editable(self.labelled(window, label))
        if not field.queryEditableText().setTextContents(text):
            raise Failure(f"could not type into '{label}'")
        self.expect_text(window, label, text)

    def text(self, window, label):
        field = self.editable(self.labelled(window, label))
        t = field.queryText()
        return t.getText(0, t.characterCount)

    def expect_text(self, window, label, expected):
        wait_for(f"'{label}' to read {expected!r}", lambda: True if self.text(window, label) == expected else None)

    def error_box(self, message):
        """The visible message box that shows this message, or None."""
        for w in self.shown_windows(ERROR):
            if any(message in (n.name or "") for n in descendants(w)):
                return w
        return None

    def dismiss_error(self, message):
        box = wait_for(f"the message {message!r}", lambda: self.error_box(message))
        self.press(box, "OK")
        wait_for(f"the message {message!r} to close", lambda: None if self.error_box(message) else True)


def run_worked_flow(k, si):
    """The worked SI run: inputs typed, 'Calculate Now', the seven results read."""
    for label, text in labelled(SI, SI_RUN):
        k.set_text(si, label, text)
    k.press(si, "Calculate Now")
    for label, expected in labelled(SI, SI_RESULTS):
        k.expect_text(si, label, expected)


def step(number, what):
    print(f"step {number}: {what}", flush=True)


def drive(program):
    k = Kalvoran(wait_for("Kalvoran on the accessibility bus", lambda: application("Kalvoran")))

    main = k.window(MAIN)
    step(1, "main window found; press 'S.I Units'")
    k.press(main, "S.I Units")
    si = k.window(SI)
    k.no_window(MAIN)

    step(2, "a refused run: two messages, dismissed in turn")
    k.press(si, "Calculate Now")
    k.dismiss_error("Select a C Factor")
    k.dismiss_error("Select a Diameter")

    step(3, "fill the inputs, press 'Calculate Now' and read the seven results")
    run_worked_flow(k, si)

    step(4, "'Back' to the main window, then 'About' and its 'OK'")
    k.press(si, "Back")
    main = k.window(MAIN)
    k.press(main, "About")
    about = k.window(ABOUT)
    k.press(about, "OK")
    k.no_window(ABOUT)

    step(5, "'Exit' to the farewell window, then 'End'")
    k.press(main, "Exit")
    farewell = k.window(FAREWELL)
    k.press(farewell, "End")
    status = program.wait(timeout=TIMEOUT)
    if status != 0:
        raise Failure(f"the program ended with status {status}")
    step(6, "the program ended with status 0")
