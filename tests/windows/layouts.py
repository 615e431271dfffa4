"""Where the controls of each window are, read from the layout tables in ui/,
so that clicks under Wine land where the program puts its controls without a
second copy of every box here.

Reads only what the tables hold as plain rows: a control's name, index, kind,
caption when it is a string literal, box, the field a label names and the
frame a control sits in; the British window is the SI table with its
differences applied, as the program builds it.
"""

import os
import re

UI = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "ui")
TWIPS_PER_PIXEL = 15


def pixels(twips):
    # The program's own rounding (ui/layout.h), so that a click lands where it draws.
    half = TWIPS_PER_PIXEL // 2
    return (twips + (half if twips >= 0 else -half)) // TWIPS_PER_PIXEL


class Control:
    def __init__(self, name, index, kind, caption, box, names, parent):
        self.name, self.index, self.kind = name, index, kind
        self.caption, self.box, self.names, self.parent = caption, box, names, parent

    def __repr__(self):
        return f"Control({self.name!r}, {self.index}, {self.kind}, {self.caption!r}, {self.box})"


def _split_top(text):
    """Comma-separated items of a row, commas inside braces or quotes kept."""
    items, depth, quoted, current = [], 0, False, ""
    i = 0
    while i < len(text):
        c = text[i]
        if quoted:
            current += c
            if c == "\\":
                current += text[i + 1]
                i += 1
            elif c == '"':
                quoted = False
        elif c == '"':
            quoted = True
            current += c
        elif c == "{":
            depth += 1
            current += c
        elif c == "}":
            depth -= 1
            current += c
        elif c == "," and depth == 0:
            items.append(current.strip())
            current = ""
        else:
            current += c
        i += 1
    if current.strip():
        items.append(current.strip())
    return items


def _string(item):
    """The text of one or more adjacent string literals, or None for anything else."""
    parts = re.findall(r'"((?:[^"\\]|\\.)*)"', item)
    if not parts or re.sub(r'"(?:[^"\\]|\\.)*"', "", item).strip():
        return None
    escapes = {"n": "\n", "t": "\t", '"': '"', "\\": "\\"}
    return re.sub(r"\\(.)", lambda m: escapes.get(m.group(1), m.group(1)), "".join(parts))


def _box(item):
    numbers = re.fullmatch(r"\{\s*(-?\d+),\s*(-?\d+),\s*(-?\d+),\s*(-?\d+)\s*\}", item)
    return tuple(int(n) for n in numbers.groups()) if numbers else None


def _rows(source, array):
    """The rows of one constexpr array of the file, each as its top-level items."""
    start = re.search(rf"\b{array}\{{\{{", source)
    if start is None:
        raise ValueError(f"no table {array} in ui/")
    body = source[start.end():source.index("}};", start.end())]
    body = re.sub(r"//[^\n]*", "", body)
    rows, depth, current = [], 0, ""
    for c in body:
        if c == "{":
            depth += 1
            if depth == 1:
                current = ""
                continue
        elif c == "}":
            depth -= 1
            if depth == 0:
                rows.append(_split_top(current))
                continue
        if depth >= 1:
            current += c
    return rows


def _controls(source, array):
    controls = []
    for items in _rows(source, array):
        items += [""] * (8 - len(items))
        name, index, kind, caption, box, _style, names, parent = items[:8]
        controls.append(Control(_string(name), int(index), kind.replace("Kind::", ""), _string(caption),
                                _box(box), _string(names) or "", _string(parent) or ""))
    return controls


def _read(file):
    with open(os.path.join(UI, file), encoding="utf-8") as f:
        return f.read()


def load():
    """Every window's controls by window caption."""
    info = _read("info_layouts.cpp")
    calculation = _read("calculation_layouts.cpp")
    windows = {
        "Kalvoran v 1.2": _controls(info, "kMainControls"),
        "Thank you": _controls(info, "kFarewellControls"),
        "About The program": _controls(info, "kAboutControls"),
        "Calculations in S.I Units": _controls(calculation, "kSiControls"),
    }
    british = _controls(calculation, "kSiControls")
    for name, caption, box in _rows(calculation, "kBritishDifferences"):
        for control in british:
            if control.name == _string(name):
                control.caption, control.box = _string(caption), _box(box)
    windows["Calculations in British Units"] = british
    return windows


class Window:
    """One window's controls, with their boxes in client pixels."""

    def __init__(self, title, controls):
        self.title = title
        self.controls = controls

    def find(self, name, index=-1):
        for c in self.controls:
            if c.name == name and c.index == index:
                return c
        raise LookupError(f"no control {name}({index}) in '{self.title}'")

    def button(self, caption):
        for c in self.controls:
            if c.kind == "PushButton" and c.caption == caption:
                return c
        raise LookupError(f"no button '{caption}' in '{self.title}'")

    def field_of(self, label):
        """The name of the field that the label of this caption names."""
        for c in self.controls:
            if c.kind == "Label" and c.caption == label and c.names:
                return c.names
        raise LookupError(f"no label '{label}' naming a field in '{self.title}'")

    def rect(self, control):
        """(x, y, width, height) in pixels from the client area's top left corner."""
        left, top, width, height = control.box
        if control.parent:
            frame = self.find(control.parent)
            left, top = left + frame.box[0], top + frame.box[1]
        return pixels(left), pixels(top), pixels(width), pixels(height)

    def centre(self, control, right_margin=0):
        """A point well inside the control (left of a combo box's arrow with a margin)."""
        x, y, w, h = self.rect(control)
        return x + (w - right_margin) // 2, y + h // 2


def windows():
    return {title: Window(title, controls) for title, controls in load().items()}


# The layouts' names for the windows, by caption.
FORMS = {"Form1": "Kalvoran v 1.2", "Form2": "Calculations in S.I Units", "Form3": "Calculations in British Units",
         "Form4": "Thank you", "Form5": "About The program"}


def client_sizes():
    """Each window's client area in pixels, by caption."""
    sizes = {}
    for file in ("info_layouts.cpp", "calculation_layouts.cpp"):
        for form, width, height in re.findall(r'WindowLayout \w+\{\s*"(Form\d)",\s*[^,]+,\s*(\d+),\s*(\d+),',
                                              _read(file)):
            sizes[FORMS[form]] = (pixels(int(width)), pixels(int(height)))
    if len(sizes) != len(FORMS):
        raise ValueError(f"window sizes found for {sorted(sizes)} only")
    return sizes
