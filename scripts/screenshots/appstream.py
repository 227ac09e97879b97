#!/usr/bin/python3
"""Takes the screenshots of the AppStream data, docs/screenshots/panel.png and settings.png: the
recorder panel open under its icon, and the panel with its settings menu, on the desktop tests'
virtual desktop (Xvfb, trayer as the status bar near the top right; tests/e2e). Each is the top
right of the screen, 16:9, on a plain background; optipng makes the files small.

    /usr/bin/python3 scripts/screenshots/appstream.py [BUILD_DIR]    (default: build)

It starts its own desktop session (tests/e2e/desktop-session.sh) around itself."""

import os
import subprocess
import sys
import tempfile
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]
E2E = REPO / "tests" / "e2e"
OUT = REPO / "docs" / "screenshots"
WIDTH, HEIGHT = 640, 360        # 16:9, wider than the 624 pixels GNOME Software wants
TRAY_MARGIN = 220               # trayer this far from the screen's right edge, so the menu has room
BACKGROUND = "#3b4252"
PAD = 40

if not (os.environ.get("DISPLAY") and os.environ.get("REGISTRATORE_E2E_SESSION")):
    build = Path(sys.argv[1] if len(sys.argv) > 1 else REPO / "build").resolve()
    os.environ.setdefault("REGISTRATORE_BIN", str(build / "registratore"))
    if not Path(os.environ["REGISTRATORE_BIN"]).is_file():
        sys.exit(f"{os.environ['REGISTRATORE_BIN']} is not built (cmake --build {build} --target registratore)")
    os.execv(str(E2E / "desktop-session.sh"), [str(E2E / "desktop-session.sh"), "/usr/bin/python3", "-E", __file__])

sys.path.insert(0, str(E2E))
from driver import Desktop, Ui          # noqa: E402  (the harness's modules, found above)
from harness import screenshot          # noqa: E402


def shoot(name):
    """The top right of the screen, into docs/screenshots/NAME.png, WIDTH x HEIGHT with a strip of
    background on the right: the settings menu opens against the screen's edge."""
    whole = screenshot(Path(tempfile.mkdtemp()) / "screen.png")
    screen_width = int(subprocess.run(["identify", "-format", "%w", str(whole)], check=True,
                                      capture_output=True, text=True).stdout)
    target = OUT / f"{name}.png"
    subprocess.run(["/usr/bin/convert", str(whole), "-crop", f"{WIDTH - PAD}x{HEIGHT}+{screen_width - WIDTH + PAD}+0", "+repage",
                    "-background", BACKGROUND, "-gravity", "west", "-extent", f"{WIDTH}x{HEIGHT}", "-strip", str(target)], check=True)
    subprocess.run(["optipng", "-quiet", "-o5", str(target)], check=False)
    print(f"{target.relative_to(REPO)}: {target.stat().st_size} bytes")


OUT.mkdir(parents=True, exist_ok=True)
subprocess.run(["xsetroot", "-solid", BACKGROUND], check=True)
ui = Ui(Desktop(), Path(tempfile.mkdtemp(prefix="screenshots-")))
try:
    ui.tray.stop()
    ui.tray.args = [f"{TRAY_MARGIN}" if a == "0" and b == "--margin" else a for b, a in zip([""] + ui.tray.args, ui.tray.args)]
    ui.use_trayer(True)
    app = ui.launch_ready()
    ui.pointer.move(0, 799)     # no button shown hovered
    shoot("panel")
    ui.open_settings_popup(app)
    shoot("settings")
finally:
    ui.finish()
