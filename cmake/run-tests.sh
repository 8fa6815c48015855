#!/bin/sh
# Runs the whole suite: Windows tests under Wine on a virtual X display.
#   run-tests.sh [BUILD [BUILD_X64]]
# BUILD (the shipped 32-bit build) runs everything: the import gate, the
# unit tests, the native sanitizer tests and the end-to-end scenarios.
# BUILD_X64, when given, runs the unit tests of the 64-bit build, there for
# the faults that show with 8-byte pointers (it has no native test of its
# own). Where this machine cannot execute 32-bit code (some virtual
# machines cannot), the 32-bit build's Windows tests are reported skipped
# and the end-to-end scenarios run on the 64-bit build instead.
# One wineserver is kept alive per prefix, so each test skips Wine's cold
# start. Without a display (CI) the script runs itself again under Xvfb.
set -e
build="$(cd "${1:-build}" && pwd)"
build_x64=""
[ -z "$2" ] || build_x64="$(cd "$2" && pwd)"
if [ -z "$TAVIK_UNDER_XVFB" ] && { [ -z "$DISPLAY" ] || [ -n "$CI" ]; }; then
  TAVIK_UNDER_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$build" $build_x64
fi
status=0
run_suite() {  # run_suite BUILD [ctest options]
  dir="$1"
  shift
  echo "== Tests of $dir"
  export WINEPREFIX="$dir/wineprefix"
  "$dir/wine-run.sh" cmd /c exit 0 >/dev/null 2>&1 || true  # creates the prefix once
  wineserver -p30 2>/dev/null || true  # already running is fine
  ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" "$@" || status=$?
  wineserver -k 2>/dev/null || true
}
run_suite "$build"
(. "$(dirname "$0")/wine-prefix.sh" && tavik_wine_runs) && runs_32=1 || runs_32=0
if [ "$runs_32" = 0 ]; then
  echo "== WARNING: this machine cannot run 32-bit programs: the Windows tests of" \
       "$build were skipped; the end-to-end scenarios run on the 64-bit build." >&2
fi
if [ -n "$build_x64" ]; then
  if [ "$runs_32" = 1 ]; then run_suite "$build_x64" -LE e2e; else run_suite "$build_x64"; fi
fi
exit $status
