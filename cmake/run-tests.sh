#!/bin/sh
# Runs the whole suite: Windows tests under Wine on a virtual X display.
#   run-tests.sh [--plan] [BUILD [BUILD_X64]]
# BUILD is the shipped 32-bit build, BUILD_X64 the same program built for
# 64-bit Windows. Which build runs what follows one decision, whether the
# 32-bit build can run here (tavik_runs_32bit in wine-prefix.sh):
# - it can: BUILD runs everything (import gate, unit tests, native
#   sanitizer tests, end-to-end scenarios); BUILD_X64 its unit tests, for
#   the faults that show with 8-byte pointers.
# - it cannot (no 32-bit Wine, or a machine that executes no 32-bit code):
#   BUILD's Windows tests are reported skipped with the reason, its
#   host-side checks still run, the shipped program and a few of its test
#   programs run in the emulated i386 guest (cmake/guest.sh), and BUILD_X64
#   runs everything, the end-to-end scenarios included.
# --plan prints the ctest runs this machine gets, and runs none.
# One wineserver is kept alive per prefix, so each test skips Wine's cold
# start. Without a display (CI) the script runs itself again under Xvfb.
set -e
plan=""
if [ "$1" = --plan ]; then
  plan=1
  shift
fi
build="$(cd "${1:-build}" && pwd)"
build_x64=""
[ -z "$2" ] || build_x64="$(cd "$2" && pwd)"
if [ -z "$plan" ] && [ -z "$TAVIK_UNDER_XVFB" ] && { [ -z "$DISPLAY" ] || [ -n "$CI" ]; }; then
  TAVIK_UNDER_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$build" $build_x64
fi
status=0
run_suite() {  # run_suite BUILD [ctest options]
  dir="$1"
  shift
  if [ -n "$plan" ]; then
    echo "ctest $dir${*:+ $*}"
    return 0
  fi
  echo "== Tests of $dir"
  export WINEPREFIX="$dir/wineprefix"
  "$dir/wine-run.sh" cmd /c exit 0 >/dev/null 2>&1 || true  # creates the prefix once
  wineserver -p30 2>/dev/null || true  # already running is fine
  ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" "$@" || status=$?
  wineserver -k 2>/dev/null || true
}
(. "$(dirname "$0")/wine-prefix.sh" && tavik_runs_32bit) && runs_32=1 || runs_32=0
if [ "$runs_32" = 0 ]; then
  echo "== This machine cannot run the 32-bit build (no working $(. "$(dirname "$0")/wine-prefix.sh" && echo "$tavik_wine32")):" \
       "its Windows tests are skipped, the emulated i386 guest runs the shipped program and a few of them, and the 64-bit build runs everything." >&2
fi
# BUILD's guest cases (label "guest") run the 32-bit build in the emulated
# i386 guest where it cannot run here, and skip themselves where it can.
run_suite "$build"
if [ -n "$build_x64" ]; then
  if [ "$runs_32" = 1 ]; then run_suite "$build_x64" -LE e2e; else run_suite "$build_x64"; fi
fi
exit $status
