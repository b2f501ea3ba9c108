#!/usr/bin/env bash
# Runs one test program under wine. Its output goes through a file, not straight to ctest:
# the processes that wine starts on the side (the desktop window, the services) inherit the
# output and would hold ctest's pipe open long after the test has ended.
out=$(mktemp)
wine "$@" >"$out" 2>&1
rc=$?
tr -d '\r' <"$out"
rm -f "$out"
exit $rc
