"""Runs the end-to-end tests (inside desktop-session.sh) and writes the counts for run.sh.

    /usr/bin/python3 tests/e2e/run_suite.py [-k PATTERN] [--counts FILE]
"""

import argparse
import sys
import unittest
from pathlib import Path

HERE = Path(__file__).resolve().parent


class Tee:
    def __init__(self, *streams):
        self.streams = streams

    def write(self, text):
        for s in self.streams:
            s.write(text)
            s.flush()

    def flush(self):
        for s in self.streams:
            s.flush()


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("-k", dest="patterns", action="append", default=None,
                    help="only tests whose name contains this (unittest -k)")
    ap.add_argument("--counts", help="write 'passed failed skipped' to this file")
    ap.add_argument("--failfast", action="store_true")
    ap.add_argument("--log", help="also write the runner's report to this file")
    args = ap.parse_args()

    loader = unittest.TestLoader()
    if args.patterns:
        loader.testNamePatterns = [p if "*" in p else f"*{p}*" for p in args.patterns]
    suite = loader.discover(start_dir=str(HERE), pattern="test_*.py", top_level_dir=str(HERE))
    stream = Tee(sys.stderr, open(args.log, "w")) if args.log else sys.stderr
    result = unittest.TextTestRunner(verbosity=2, failfast=args.failfast, stream=stream).run(suite)

    # A test with failing subtests counts once.
    def owner(t):
        return getattr(t, "test_case", t).id()
    failed = len({owner(t) for t, _ in result.failures + result.errors}
                 | {owner(t) for t in result.unexpectedSuccesses})
    skipped = len({owner(t) for t, _ in result.skipped})
    passed = max(result.testsRun - failed - skipped, 0)
    if args.counts:
        Path(args.counts).write_text(f"{passed} {failed} {skipped}\n")
    if result.testsRun == 0:
        print("e2e: no test ran", file=sys.stderr)
        return 1
    return 0 if result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
