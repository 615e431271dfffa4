"""Pictures the five windows as users see them, frame and all, from the
screen of a private X server under a window manager, the calculation windows
after a worked run. Needs python3-pil and a private D-Bus session
(scripts/screenshots gives it one).

    screenshots.py PATH_TO_KALVORAN FOLDER [WINDOW_MANAGER]
"""

import os
import sys

from PIL import Image

from assistive_client import Kalvoran, application, run_worked_flow
from desktop import Desktop, X11
from fixture import ABOUT, BRITISH, BRITISH_RUN, BY_TITLE, FAREWELL, MAIN, SI, end, labelled, settled, wait_for


def save(x, title, folder, name):
    path = os.path.join(folder, f"{name}.png")
    window = x.window(title)
    wait_for(f"'{title}' managed", lambda: x.managed(window))
    rect = settled(lambda: x.frame_rect(window))
    Image.frombytes("RGB", rect[2:], x.picture(rect), "raw", "BGRX").save(path)
    print(f"wrote {path}")


def main():
    path, folder = sys.argv[1], sys.argv[2]
    window_manager = sys.argv[3] if len(sys.argv) > 3 else "metacity"
    os.makedirs(folder, exist_ok=True)
    with Desktop(window_manager) as desktop:
        program = desktop.start_program(path, platform="xcb")
        try:
            x = X11(desktop.x)
            k = Kalvoran(wait_for("Kalvoran on the accessibility bus", lambda: application("Kalvoran")))
            save(x, MAIN, folder, "main")
            k.press(k.window(MAIN), "About")
            save(x, ABOUT, folder, "about")
            k.press(k.window(ABOUT), "OK")

            k.press(k.window(MAIN), "S.I Units")
            si = k.window(SI)
            run_worked_flow(k, si)
            save(x, SI, folder, "si")
            k.press(si, "Back")

            k.press(k.window(MAIN), "British Units")
            british = k.window(BRITISH)
            for label, text in labelled(BRITISH, BRITISH_RUN):
                k.set_text(british, label, text)
            k.press(british, "Calculate Now")
            pump_head = BY_TITLE[BRITISH].label_of("pumppressure")
            wait_for("the British results", lambda: k.text(british, pump_head) not in ("", "0.0"))
            save(x, BRITISH, folder, "british")
            k.press(british, "Exit")
            save(x, FAREWELL, folder, "farewell")
            k.press(k.window(FAREWELL), "End")
            return program.wait(timeout=10)
        finally:
            end(program)


if __name__ == "__main__":
    sys.exit(main())
