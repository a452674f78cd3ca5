#!/usr/bin/env python3
"""Prints why each test or test case in a ctest JUnit report was skipped, one line each.

Usage: list_skipped_tests.py JUNIT_XML
A test that did not run gives its first line of output; inside tests that ran, GoogleTest's and Qt
Test's skipped cases give their messages.
"""
import re
import sys
import xml.etree.ElementTree as ElementTree

GTEST_RUN = re.compile(r"^\[ RUN      \] (\S+)")
GTEST_SKIPPED = re.compile(r"^\[  SKIPPED \] (\S+) \(\d+ ms\)$")
QTEST_SKIP = re.compile(r"^SKIP   : (\S+\(.*?\)) ?(.*)$")


def skipped_cases(output):
    """(case, message) for each GoogleTest or Qt Test case skipped in one test's output."""
    cases, running, message = [], None, []
    for line in output.splitlines():
        if match := GTEST_RUN.match(line):
            running, message = match.group(1), []
        elif match := GTEST_SKIPPED.match(line):
            # GoogleTest puts "FILE:LINE: Skipped" before the message.
            text = [m for m in message if m.strip() and not m.endswith(": Skipped")]
            cases.append((match.group(1), " ".join(text) or "no reason given"))
            running = None
        elif match := QTEST_SKIP.match(line):
            cases.append((match.group(1), match.group(2) or "no reason given"))
        elif running:
            message.append(line)
    return cases


def main():
    lines = []
    for test in ElementTree.parse(sys.argv[1]).getroot().iter("testcase"):
        output = test.findtext("system-out") or ""
        if test.get("status") == "notrun":
            reason = next((line for line in output.splitlines() if line.strip()), "no reason given")
            lines.append(f"{test.get('name')}: did not run: {reason}")
        lines += [f"{test.get('name')}: {case}: {message}" for case, message in skipped_cases(output)]
    for line in lines:
        print(f"  skipped: {line}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
