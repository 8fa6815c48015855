#!/bin/sh
# Runs the whole suite: Windows tests under Wine on a virtual X display.
# One wineserver is kept alive for the run, so each test skips Wine's cold
# start. Without a display (CI) the script runs itself again under Xvfb.
set -e
build="$(cd "${1:-build}" && pwd)"
if [ -z "$TAVIK_UNDER_XVFB" ] && { [ -z "$DISPLAY" ] || [ -n "$CI" ]; }; then
  TAVIK_UNDER_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$build"
fi
export WINEPREFIX="$build/wineprefix"
"$build/wine-run.sh" cmd /c exit 0 >/dev/null 2>&1 || true  # creates the prefix once
wineserver -p30 2>/dev/null || true  # already running is fine
status=0
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" || status=$?
wineserver -k 2>/dev/null || true
exit $status
