#!/usr/bin/python3
"""Pictures of the recorder's status icon on the desktops' status bars, each with a light and a
dark panel, idle and then recording, for the README:

    scripts/screenshots/status-icons.py [xfce] [kde] [gnome]     # all three by default

writes docs/images/status-icon-<host>-<light|dark>.png: the panel around the icon, idle on the
left, recording on the right. The hosts are those of the desktop tests (tests/e2e), started by
their harness inside a private desktop (tests/e2e/desktop-session.sh, which this script starts
itself):
  - xfce: xfce4-panel 4.18's status tray under xfwm4, its GTK theme Adwaita or Adwaita-dark
    (GTK_THEME);
  - kde: Plasma 5.27 on kwin_wayland, with the Breeze Light or Breeze Dark colour scheme and
    Plasma style (kdeglobals, plasmarc);
  - gnome: GNOME Shell 43 with the AppIndicator extension. Its top bar is dark whatever the
    theme: there is no light picture.
It needs the desktop tests' packages (scripts/install-deps.sh test) and, to shrink the
pictures, optipng (Debian package optipng; they are kept as ImageMagick writes them without it).
The recorder is build/registratore, or REGISTRATORE_BIN.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]
E2E = REPO / "tests" / "e2e"
IMAGES = REPO / "docs" / "images"
HOSTS = ("xfce", "kde", "gnome")

if not os.environ.get("REGISTRATORE_E2E_SESSION"):
    os.environ.setdefault("REGISTRATORE_BIN", str(REPO / "build" / "registratore"))
    os.execv(str(E2E / "desktop-session.sh"),
             [str(E2E / "desktop-session.sh"), "--no-tray", "/usr/bin/python3", "-E", *sys.argv])

sys.path.insert(0, str(E2E))
from driver import Desktop, Ui  # noqa: E402
from harness import SESSION_DIR, run, wait_for  # noqa: E402
from shells import GnomeShell, KdePlasma  # noqa: E402
from statusbars import Sni, StatusBar  # noqa: E402

WIDTH = 160     # of a picture's half, in pixels, centred on the icon


def crop(ui, name, bar, icon):
    """The panel's strip around the icon, from a screenshot of the whole display."""
    shot = ui.screenshot(name)
    x = max(0, min(icon.center[0] - WIDTH // 2, bar.x + bar.width - WIDTH))
    out = ui.artefacts / f"{name}-crop.png"
    run(["convert", str(shot), "-crop", f"{WIDTH}x{bar.height}+{x}+{bar.y}", "+repage", str(out)], timeout=30)
    return out


def pictures(ui, app, bar, icon_rect, x_windows=True):
    """Idle, then recording: the two crops side by side."""
    ui.x_windows = x_windows
    ui.wait_popover(app)
    time.sleep(2.0)     # the bar may still be placing its icons
    idle = crop(ui, "idle", bar, icon_rect())
    ui.start_recording(app, Path(tempfile.mkdtemp(dir=SESSION_DIR)) / "take.caf")
    # The popover stays open below the panel, out of the picture; the icon may move as the
    # panel makes room for the microphone-in-use indicator.
    wait_for(lambda: Sni().properties(item(app))["Status"] == "NeedsAttention", 10, "the item to ask for attention")
    time.sleep(1.5)
    recording = crop(ui, "recording", bar, icon_rect())
    ui.stop_recording(app)
    return idle, recording


def item(app):
    return Sni().wait_item(app.pid, timeout=10)


def kde_colours(dark):
    """Breeze Light or Dark for the Plasma session about to start: the colour scheme every KDE
    program reads and the Plasma style the panel is drawn with."""
    scheme = "BreezeDark" if dark else "BreezeLight"
    config = Path(os.environ.get("XDG_CONFIG_HOME", Path.home() / ".config"))
    config.mkdir(parents=True, exist_ok=True)
    colours = Path(f"/usr/share/color-schemes/{scheme}.colors").read_text()
    (config / "kdeglobals").write_text(colours + f"\n[General]\nColorScheme={scheme}\n")
    (config / "plasmarc").write_text(f"[Theme]\nname={'breeze-dark' if dark else 'breeze-light'}\n")


def shoot(desktop, host, dark):
    ui = Ui(desktop, SESSION_DIR / f"shots-{host}-{'dark' if dark else 'light'}", tap_on_record=False)
    ui.use_trayer(False)
    # What the hosts cache (icons, Plasma's theme) starts afresh with each one.
    os.environ["XDG_CACHE_HOME"] = tempfile.mkdtemp(prefix="cache-", dir=SESSION_DIR)
    try:
        if host == "xfce":
            os.environ["GTK_THEME"] = "Adwaita:dark" if dark else "Adwaita"
            bar = ui.start(StatusBar(ui.x, ui.artefacts)).start()
            app = ui.launch()
            item(app)
            shots = pictures(ui, app, bar.rect(), lambda: bar.icon_rect(app.pid))
        else:
            if host == "kde":
                kde_colours(dark)
            shell = (KdePlasma if host == "kde" else GnomeShell)(ui.artefacts)
            ui.at_end(shell.stop)
            shell.start()
            app = ui.launch(env=shell.app_env())
            item(app)
            shots = pictures(ui, app, shell.bar(), lambda: shell.icon_rect(ui.a11y), x_windows=False)
        out = IMAGES / f"status-icon-{host}-{'dark' if dark else 'light'}.png"
        run(["convert", *map(str, shots), "+append", "-strip", str(out)], timeout=30)
        if shutil.which("optipng"):
            run(["optipng", "-quiet", "-o5", str(out)], timeout=120)
        print(f"{out.relative_to(REPO)}: {out.stat().st_size} bytes", flush=True)
    finally:
        ui.finish()
        os.environ.pop("GTK_THEME", None)


def main():
    hosts = sys.argv[1:] or HOSTS
    if unknown := [h for h in hosts if h not in HOSTS]:
        sys.exit(f"unknown host {', '.join(unknown)}: choose among {', '.join(HOSTS)}")
    IMAGES.mkdir(parents=True, exist_ok=True)
    desktop = Desktop()
    failed = False
    for host in hosts:
        for dark in (False, True) if host != "gnome" else (True,):
            try:
                shoot(desktop, host, dark)
            except Exception as e:     # the other pictures are still worth taking
                print(f"{host} {'dark' if dark else 'light'}: {e}", file=sys.stderr, flush=True)
                failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
