# SPDX-FileCopyrightText: 2026 Kotobax developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""Runs the end-to-end tests (test_*.py beside this file) on a private desktop.

usage: run.py [--screenshots FOLDER] [name pattern ...]
Prints one line per test and a closing line "N passed, M failed". Ends with status 0 when every
test passed, 1 when one failed, and 0 with a note when no virtual display can be started."""

import argparse
import os
import sys
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

from desktop import Desktop, DesktopUnavailable  # noqa: E402


class Result(unittest.TextTestResult):
    def startTest(self, test):
        self._started = time.monotonic()
        super().startTest(test)

    def _line(self, verdict, test):
        seconds = time.monotonic() - self._started
        self.stream.write(f"{verdict:6} {test.id()}  ({seconds:.1f} s)\n")
        self.stream.flush()

    def addSuccess(self, test):
        unittest.TestResult.addSuccess(self, test)
        self._line("ok", test)

    def addFailure(self, test, err):
        unittest.TestResult.addFailure(self, test, err)
        self._line("FAIL", test)

    def addError(self, test, err):
        unittest.TestResult.addError(self, test, err)
        self._line("ERROR", test)

    def addSkip(self, test, reason):
        unittest.TestResult.addSkip(self, test, reason)
        self._line("skip", test)
        self.stream.write(f"       {reason}\n")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--screenshots", default="", help="folder for the README's screenshots")
    parser.add_argument("patterns", nargs="*", help="run only tests whose id contains one")
    args = parser.parse_args()
    if args.screenshots:
        os.environ["KX_E2E_SHOTS"] = os.path.abspath(args.screenshots)

    started = time.monotonic()
    try:
        desktop = Desktop().__enter__()
    except DesktopUnavailable as why:
        print(f"e2e: skipped, no virtual display: {why}")
        return 0
    try:
        suite = unittest.defaultTestLoader.discover(HERE, pattern="test_*.py", top_level_dir=HERE)
        if args.patterns:
            suite = unittest.TestSuite(
                test for test in _flatten(suite) if any(p in test.id() for p in args.patterns))
        runner = unittest.TextTestRunner(stream=sys.stdout, verbosity=0, resultclass=Result)
        result = runner.run(suite)
    finally:
        desktop.stop()
    failed = len(result.failures) + len(result.errors)
    passed = result.testsRun - failed - len(result.skipped)
    print(f"e2e: {time.monotonic() - started:.0f} s")
    print(f"{passed} passed, {failed} failed")
    return 0 if failed == 0 and result.testsRun > 0 else 1


def _flatten(suite):
    for item in suite:
        if isinstance(item, unittest.TestSuite):
            yield from _flatten(item)
        else:
            yield item


if __name__ == "__main__":
    sys.exit(main())
