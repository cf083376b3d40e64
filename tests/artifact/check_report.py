"""Collects the outcome of one artifact check: every failed row with its id and
field, printed at the end, and the process exit status."""

import argparse
import sys


class Report:
    def __init__(self, title):
        self.title = title
        self.failures = []
        self.passed = 0

    def fail(self, row, message):
        self.failures.append("[%s] %s" % (row, message))

    def expect_equal(self, row, field, got, want):
        if got == want:
            self.passed += 1
        else:
            self.fail(row, "%s: got %s, want %s" % (field, _show(got), _show(want)))

    def expect(self, row, condition, message):
        if condition:
            self.passed += 1
        else:
            self.fail(row, message)

    def finish(self):
        for line in self.failures:
            print("FAIL " + line)
        state = "FAILED" if self.failures else "passed"
        print("%s: %s (%d expectations met, %d failed)"
              % (self.title, state, self.passed, len(self.failures)))
        return 1 if self.failures else 0


def _show(value):
    if isinstance(value, int) and not isinstance(value, bool) and value >= 0x10000:
        return "0x%X" % value
    return repr(value)


def run_main(title, check, with_objdump=False):
    """Command line shared by the checks: --dll PATH [--objdump PATH]."""
    parser = argparse.ArgumentParser(description=title)
    parser.add_argument("--dll", required=True)
    if with_objdump:
        parser.add_argument("--objdump", required=True)
    args = parser.parse_args()
    report = Report(title)
    try:
        if with_objdump:
            check(args.dll, report, args.objdump)
        else:
            check(args.dll, report)
    except Exception as error:  # a malformed file fails the check, it does not crash it
        report.fail("parse", "%s: %s" % (type(error).__name__, error))
    sys.exit(report.finish())
