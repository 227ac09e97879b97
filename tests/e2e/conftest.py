"""pytest glue for the desktop tests: they run inside desktop-session.sh (run.sh starts it).

The TestCase classes of test_*.py run as they are; plain test functions get the same
desktop and app through the fixtures below. A test's folder under $E2E_ARTIFACTS
(screenshots, the apps' output, the desktop at the failure) is kept only when it fails.
"""

import os
import shutil

import pytest

from harness import (App, E2ETestCase, app_env, artefacts_dir, in_desktop_session, keep_app_log,
                     keep_failure_state, stop_and_judge)


def _test_id(item):
    return f"{item.cls.__name__}.{item.name}" if item.cls else item.name


def pytest_collection_modifyitems(config, items):
    """The nested Wayland desktops (a class's desktop_class) run alone, when E2E_DESKTOP names
    one (gnome, kde); the rest of the suite runs without them."""
    def desktop(item):      # "" for the base class of those cases, None for the others
        return getattr(getattr(item.cls, "desktop_class", ""), "name", "") if hasattr(item.cls, "desktop_class") \
            else None
    chosen = [i for i in items if desktop(i) == (os.environ.get("E2E_DESKTOP") or None)]
    if len(chosen) != len(items):
        config.hook.pytest_deselected(items=[i for i in items if i not in chosen])
        items[:] = chosen


@pytest.hookimpl(hookwrapper=True)
def pytest_runtest_makereport(item, call):
    report = (yield).get_result()
    if report.failed:
        item.e2e_failed = True
    if report.when == "teardown" and not getattr(item, "e2e_failed", False):
        shutil.rmtree(artefacts_dir(_test_id(item)), ignore_errors=True)


@pytest.fixture(scope="session")
def desktop():
    """The shared X display, accessibility bus, pointer and tray (E2ETestCase's)."""
    if not in_desktop_session():
        pytest.skip("not inside tests/e2e/desktop-session.sh")
    E2ETestCase._shared()
    return E2ETestCase


@pytest.fixture
def artefacts(request):
    folder = artefacts_dir(_test_id(request.node))
    shutil.rmtree(folder, ignore_errors=True)
    folder.mkdir(parents=True, exist_ok=True)
    return folder


@pytest.fixture
def launch(desktop, artefacts, request):
    """Starts the app (launch(args=(), fresh_config=True, env=None)); each one is stopped and
    judged at the end of the test, and its output kept beside the test's artefacts."""
    apps = []

    def start(args=(), fresh_config=True, env=None, name="registratore"):
        app = App(args=args, env=app_env(fresh_config, env), name=name).start()
        apps.append(app)
        return app
    yield start
    failed = getattr(request.node, "e2e_failed", False)
    if failed:
        keep_failure_state(artefacts, desktop.x, desktop.a11y, apps)
    try:
        for app in apps:
            stop_and_judge(app)
    finally:
        for app in apps:
            keep_app_log(artefacts, app, failed)
