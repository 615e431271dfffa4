"""Pictures the five windows as users see them: the real program on a private
X server under a window manager, driven over the accessibility bus, each
window taken from the screen's pixels with the window manager's frame around
it. The calculation windows are pictured after a worked run.

    screenshots.py PATH_TO_KALVORAN FOLDER [WINDOW_MANAGER]

Run it inside a private D-Bus session (scripts/screenshots does). Needs
python3-pil besides what the desktop tests need.
"""

import os
import sys
import time

from PIL import Image
from Xlib import X

from assistive_client import Kalvoran, application, run_worked_flow
from desktop import Desktop, X11, wait_for

BRITISH_INPUTS = [
    ("Friction loss factor", "120"),
    ("The Dia. of the pipe  ( inch )", "2"),
    ("The length of the pipe (  ft  )", "100"),
    ("Flow of water in the pipe (  gpm  )", "50"),
    ("No. of Tees", "1"),
    ("No. of Elbows 90", "2"),
    ("No. of Long Elbows 90", "1"),
    ("No. of Butterfly Valves", "1"),
    ("No. of Gate Valves", "1"),
    ("No. of Swing Check", "1"),
    ("Elevation between the pump and the goal point ( ft )", "10"),
    ("Residual Pressure requiered at the goal point (psi)", "20"),
]


def save(x, title, path):
    window = x.window(title)
    time.sleep(0.7)  # the window manager frames, places and draws it
    fx, fy, fw, fh = x.frame_rect(window)
    raw = x.root.get_image(fx, fy, fw, fh, X.ZPixmap, 0xFFFFFFFF)
    Image.frombytes("RGB", (fw, fh), raw.data, "raw", "BGRX").save(path)
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
            main_title, about_title = "Kalvoran v 1.2", "About The program"
            save(x, main_title, os.path.join(folder, "main.png"))
            k.press(k.window(main_title), "About")
            save(x, about_title, os.path.join(folder, "about.png"))
            k.press(k.window(about_title), "OK")

            k.press(k.window(main_title), "S.I Units")
            si = k.window("Calculations in S.I Units")
            run_worked_flow(k, si)
            save(x, "Calculations in S.I Units", os.path.join(folder, "si.png"))
            k.press(si, "Back")

            k.press(k.window(main_title), "British Units")
            british = k.window("Calculations in British Units")
            for label, text in BRITISH_INPUTS:
                k.set_text(british, label, text)
            k.press(british, "Calculate Now")
            pump_head = "Requiered Pump Head ( psi )"
            wait_for("the British results", lambda: k.text(british, pump_head) not in ("", "0.0"))
            save(x, "Calculations in British Units", os.path.join(folder, "british.png"))
            k.press(british, "Exit")
            save(x, "Thank you", os.path.join(folder, "farewell.png"))
            k.press(k.window("Thank you"), "End")
            return program.wait(timeout=10)
        finally:
            if program.poll() is None:
                program.kill()
                program.wait()


if __name__ == "__main__":
    sys.exit(main())
