#!/usr/bin/env bash
# Runs one test program under wine. Its output goes through a file, not straight to ctest:
# the processes that wine starts on the side (the desktop window, the services) inherit the
# output and would hold ctest's pipe open long after the test has ended.
#   run-under-wine.sh WINE_LOADER PROGRAM [ARGS...]
loader=$1
shift
[ -x "$loader" ] || loader=wine
out=$(mktemp)
"$loader" "$@" >"$out" 2>&1
rc=$?
tr -d '\r' <"$out"
rm -f "$out"
exit $rc
