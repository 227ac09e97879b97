"""Only one recorder runs per session: a second launch hands over to the running one."""

import os
import signal
import subprocess
import time

from harness import CLOSE, OPEN, SETTLE, app_binary


def test_second_launch_exits_at_once_and_the_running_one_opens_its_panel(ui, app):
    icon = ui.tray_icon_rect(app)
    ui.toggle(app, CLOSE, lambda: ui.click_tray_icon(app))
    for panel in ("hidden", "open"):
        m = app.mark()
        second = ui.launch(env=app.env, name="second launch")
        rc = second.wait_exit(5)
        facts = f"with the panel {panel}\n{second.report()}"
        assert rc == 0 and time.monotonic() - second.t_launch < 2.0, facts
        assert any(line.strip() for line in second.err_lines()), f"the second launch says nothing on stderr {facts}"
        assert second.lines() == [], facts
        ui.wait_popover(app)
        if panel == "hidden":
            app.wait_lines(OPEN, since=m)
        ui.assert_quiet(app, app.mark(), SETTLE)
        assert app.running()
        # One icon in the tray: the first one's, where it was.
        icons = [w for w in ui.x.walk(ui.x.tray_panel()) if ui.x.pid_of(w) in (app.pid, second.pid)
                 and ui.x.is_viewable(w)]
        assert len(icons) == 1, f"{len(icons)} icons of ours in the tray"
        assert ui.tray_icon_rect(app) == icon
        assert not ui.x.windows_of(second.pid)
    ui.toggle(app, CLOSE, lambda: ui.click_tray_icon(app))     # the running one still works as before


def test_a_recorder_killed_earlier_does_not_stop_the_next_launch(ui, app):
    app.send_signal(signal.SIGKILL)
    app.wait_exit(5)
    second = ui.launch_ready(env={"XDG_CONFIG_HOME": app.env["XDG_CONFIG_HOME"]})
    ui.tray_icon_rect(second)
    assert second.running()


def test_a_recording_given_to_a_later_launch_goes_to_the_running_one(ui, app):
    """`registratore FILE`, as a file manager runs it from the desktop entry's %F, in the file's
    folder: the running recorder gets the file's absolute path, its link resolved, and shows
    itself; the launch ends at once."""
    folder = ui.new_folder()
    recording = folder / "nota vocale è.caf"
    recording.write_bytes(b"caff\x00\x01\x00\x00")
    os.symlink(recording.name, folder / "link.caf")
    ui.toggle(app, CLOSE, lambda: ui.click_tray_icon(app))
    m = app.mark()
    done = subprocess.run([app_binary(), "link.caf"], cwd=folder, env=app.env, stdin=subprocess.DEVNULL,
                          capture_output=True, text=True, timeout=20)
    assert done.returncode == 0, done
    expected = f"registratore: opening {os.path.realpath(recording)}"
    app.wait_err(lambda line: line == expected)
    app.wait_lines(OPEN, since=m)
    ui.wait_popover(app)
