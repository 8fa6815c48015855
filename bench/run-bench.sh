#!/bin/sh
# Runs the install benchmark under Wine: bench/run-bench.sh [build] [runs]
# Needs a display for the benchmark's window; without one it runs itself
# again under Xvfb.
set -e
build="$(cd "${1:-build}" && pwd)"
runs="${2:-5}"
if [ -z "$TAVIK_UNDER_XVFB" ] && [ -z "$DISPLAY" ]; then
  TAVIK_UNDER_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$build" "$runs"
fi
# Output goes through a file: Wine's helper processes would hold a pipe open.
out="$build/bench/install_bench.out"
status=0
"$build/wine-run.sh" "$build/bench/install_bench.exe" --runs "$runs" >"$out" 2>&1 || status=$?
cat "$out"
exit $status
