"""pytest glue for the desktop tests: they run inside desktop-session.sh (run.sh starts it).

The tests are the TestCase classes of test_*.py (harness.E2ETestCase). A test's folder under
$E2E_ARTIFACTS (screenshots, the apps' output, the desktop at the failure) is kept only when it
fails.
"""

import os
import shutil

import pytest

from harness import artefacts_dir


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
