"""pytest glue for the desktop tests, which run inside desktop-session.sh (run.sh starts it): the
fixtures, the choice of the nested desktops' cases, and what a failed test leaves behind (its
folder under $E2E_ARTIFACTS, kept only when it fails, and the apps' output in its report)."""

import os
import re
import shutil

import pytest

from driver import Desktop, Ui
from harness import ARTIFACTS, in_desktop_session
from statusbars import ScriptedWatcher, Sni, StatusBar

REPORTS = pytest.StashKey[dict]()


def pytest_collection_modifyitems(config, items):
    """The cases on GNOME Shell and KDE Plasma (the desktops of the `shell` fixture) run alone,
    when E2E_DESKTOP names theirs; the rest of the suite runs without them."""
    def desktop(item):
        return getattr(item, "callspec", None) and item.callspec.params.get("shell")
    chosen = [i for i in items if desktop(i) == (os.environ.get("E2E_DESKTOP") or None)]
    config.hook.pytest_deselected(items=[i for i in items if i not in chosen])
    items[:] = chosen


@pytest.hookimpl(hookwrapper=True)
def pytest_runtest_makereport(item, call):
    report = (yield).get_result()
    item.stash.setdefault(REPORTS, {})[report.when] = report
    ui = item.funcargs.get("ui") if report.failed and report.when != "teardown" else None
    for app in ui.apps if ui else ():
        report.sections.append((f"output of {app.name} ({app.pid})", app.report()))


@pytest.fixture(scope="session")
def desktop():
    if not in_desktop_session():
        pytest.skip("not inside tests/e2e/desktop-session.sh")
    return Desktop()


@pytest.fixture
def ui(desktop, request):
    """The test's driver. Trayer runs, unless the test has status bars of its own (no_trayer) or
    is the case of one (bar)."""
    node = request.node
    ui = Ui(desktop, ARTIFACTS / re.sub(r"[^\w.,\[\]-]+", "_", f"{node.module.__name__}.{node.name}"))
    bar = getattr(node, "callspec", None) and node.callspec.params.get("bar")
    ui.use_trayer(bar == "trayer" if bar else "no_trayer" not in request.fixturenames)
    yield ui
    failed = any(r.failed for r in node.stash.get(REPORTS, {}).values())
    ui.finish(failed)
    if not failed:
        shutil.rmtree(ui.artefacts, ignore_errors=True)


@pytest.fixture
def app(ui):
    """The recorder, launched on the desktop with its popover open."""
    return ui.launch_ready()


@pytest.fixture
def no_trayer():
    """Asked for by a test whose status bars are its own: trayer does not run during it."""


@pytest.fixture(scope="session")
def sni(desktop):
    return Sni()


@pytest.fixture
def status_bar(ui, no_trayer):
    """Starts a real status bar, stopped at the end of the test: status_bar() is xfce4-panel
    under xfwm4, status_bar("tint2"), status_bar(wm=False) without a window manager."""
    return lambda kind="xfce4-panel", wm=True: ui.start(StatusBar(ui.x, ui.artefacts, kind, wm)).start()


@pytest.fixture
def bar(request, ui, status_bar):
    """Each status bar that shows our icon where it can be clicked (parametrised indirectly)."""
    return StatusBar(ui.x, ui.artefacts, "trayer") if request.param == "trayer" else status_bar(request.param)


@pytest.fixture
def watcher(ui):
    """A StatusNotifierWatcher played by python3-dbusmock, as a status bar's that comes up late;
    watcher(host=False) has no host, so it shows no icon."""
    return lambda host=True: ui.start(ScriptedWatcher(ui.artefacts, host))
