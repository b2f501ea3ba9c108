#!/usr/bin/env bash
# Runs one test program under wine. Its output goes through a file, not straight to ctest:
# the processes that wine starts on the side (the desktop window, the services) inherit the
# output and would hold ctest's pipe open long after the test has ended.
# A program still running shortly before CTest's own limit is ended here, so that what it
# printed (each test as it starts) shows where it stood. A program that ends with a status
# other than 0 has failed, whatever it printed last.
#   run-under-wine.sh WINE_LOADER PROGRAM [ARGS...]
loader=$1
shift
[ -x "$loader" ] || loader=wine
out=$(mktemp)
timeout --foreground -k 5 280 "$loader" "$@" >"$out" 2>&1
rc=$?
[ $rc -eq 124 ] && echo "ended after 280 s: the last test started above did not finish" >>"$out"
tr -d '\r' <"$out"
rm -f "$out"
[ $rc -ne 0 ] && echo "[  FAILED  ] the test program ended with status $rc"
exit $rc
