"""Measures how long the app takes from launch to its status icon being shown in the tray.

Run inside the desktop session:
    tests/e2e/desktop-session.sh /usr/bin/python3 -E tests/e2e/measure_launch.py [--runs 5]

"Shown" is the moment the icon's window, embedded by trayer, becomes viewable on the X
server: what a user would see. The popover's first appearance is reported as well. Each
launch gets an empty preferences folder. The figures are printed; nothing passes or fails
on them.
"""

import argparse
import os
import statistics
import sys
import tempfile
import time

from harness import SESSION_DIR, App, Tray, wait_for
from xdesk import XDesk


def one_launch(x, binary, poll=0.002, timeout=20.0):
    env = dict(os.environ, XDG_CONFIG_HOME=tempfile.mkdtemp(prefix="config-", dir=SESSION_DIR))
    app = App(binary=binary, env=env).start()
    try:
        t_icon = t_popover = None
        deadline = app.t_launch + timeout
        while time.monotonic() < deadline and (t_icon is None or t_popover is None):
            now = time.monotonic() - app.t_launch
            if t_icon is None and x.tray_icons(app.pid):
                t_icon = now
            if t_popover is None and x.windows_of(app.pid, "Recorder", viewable_only=True):
                t_popover = now
            if not app.running():
                break
            time.sleep(poll)
        if t_icon is None:
            raise RuntimeError("the status icon never appeared in the tray\n" + app.report())
        return t_icon, t_popover
    finally:
        app.stop()
        # The next launch must not see this one's icon.
        wait_for(lambda: not x.tray_icons(app.pid), 10, "the old icon to leave the tray")


def fmt(seconds):
    return "-" if seconds is None else f"{seconds * 1000:.0f} ms"


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--runs", type=int, default=5)
    ap.add_argument("--bin", default=None, help="the app (default $REGISTRATORE_BIN or build/registratore)")
    args = ap.parse_args()
    if not os.environ.get("REGISTRATORE_E2E_SESSION"):
        print("run me inside tests/e2e/desktop-session.sh", file=sys.stderr)
        return 2

    x = XDesk()
    tray = Tray(x)
    if not tray.running():
        tray.start()
    icons, popovers = [], []
    for i in range(args.runs):
        t_icon, t_popover = one_launch(x, args.bin)
        icons.append(t_icon)
        if t_popover is not None:
            popovers.append(t_popover)
        print(f"launch {i + 1}: status icon shown after {fmt(t_icon)}, popover after {fmt(t_popover)}",
              flush=True)
    print(f"launch to status icon shown: median {fmt(statistics.median(icons))} over {len(icons)} launches"
          f" (min {fmt(min(icons))}, max {fmt(max(icons))})")
    if popovers:
        print(f"launch to popover shown: median {fmt(statistics.median(popovers))} over {len(popovers)} launches")
    x.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
