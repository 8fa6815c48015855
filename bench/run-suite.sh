#!/bin/sh
# The performance suite: builds what it needs, runs every measure side by
# side and prints one markdown table (also left in BUILD/bench/results.md).
#
#   bench/run-suite.sh [build] [--x64 DIR | --no-x64] [--runs N] [--zopfli-runs N]
#                      [--no-pack] [--max-load L] [--repeats N]
#
# The table is made for the shipped executable (the windows preset, in
# build), then once more, without the packing rows, for the 64-bit one
# (the windows-x64 preset, in build-x64, when the project has that preset;
# --x64 DIR names another folder, --no-x64 leaves it out). Each runs in a
# Wine prefix of its own (BUILD/bench/wineprefix), so the installs,
# shortcuts and registry keys it makes never meet the tests' prefix. Needs a
# display; without one it runs itself again under Xvfb. Run it on a quiet
# machine: it warns when the load average is high at the start, and a round
# during which it reached --max-load (default 1.5; the suite keeps about one
# core busy itself) is run again, up to --repeats times (default 3).
set -e
cd "$(dirname "$0")/.."
build=build
case "$1" in -*|"") ;; *) build="$1"; shift ;; esac
x64=""
grep -q '"windows-x64"' CMakePresets.json && x64=build-x64
suite_args=""
while [ $# -gt 0 ]; do
  case "$1" in
    --x64) x64="$2"; shift 2 ;;
    --no-x64) x64=""; shift ;;
    *) suite_args="$suite_args $1"; shift ;;
  esac
done

# The suite's own packages, installed only when one is missing.
missing=""
for p in nsis libdeflate-dev libzopfli-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  [ "$(id -u)" -eq 0 ] || { echo "Install as root:$missing" >&2; exit 1; }
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $missing
fi

if [ -z "$TAVIK_UNDER_XVFB" ] && [ -z "$DISPLAY" ]; then
  if [ -n "$x64" ]; then set -- --x64 "$x64" $suite_args; else set -- --no-x64 $suite_args; fi
  TAVIK_UNDER_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$build" "$@"
fi

make deps
load=$(cut -d' ' -f1 /proc/loadavg)
if awk "BEGIN { exit !($load >= 0.5) }"; then
  echo "warning: load average $load at the start; loaded rounds will be repeated, the figures may still be noisy" >&2
fi
start_load="$(cut -d' ' -f1-3 /proc/loadavg)"

keeper=""
# With set -e a failing command in an EXIT trap becomes the script's status:
# no wineserver left to end is no failure.
trap 'if [ -n "$keeper" ]; then kill "$keeper" 2>/dev/null; fi; wineserver -k 2>/dev/null || true' EXIT

# run_table BUILD PRESET TITLE [bench_suite options]: builds the suite's
# programs in BUILD with PRESET and prints that build's table.
run_table() {
  dir="$1" preset="$2" title="$3"
  shift 3
  test -f "$dir/CMakeCache.txt" || cmake --preset "$preset" -B "$dir"
  cmake --build "$dir" --target perf_suite -j 2
  dir="$(cd "$dir" && pwd)"
  export WINEPREFIX="$dir/bench/wineprefix"
  # The loader itself, of the build's kind (32-bit for the shipped build):
  # the wine wrapper script would add a shell to every timed start. Shell
  # folders inside the prefix, not links to the host's home: the installs
  # below make desktop shortcuts.
  build="$dir"
  . cmake/wine-prefix.sh
  loader="$tavik_wine"
  tavik_prefix --unmanaged || return $?
  # One wineserver for the whole table: every start is a warm start. A
  # window stays open meanwhile, as the desktop does on Windows: otherwise
  # Wine ends its desktop process whenever the last program with a window
  # ends, and starts it again for the next one, inside that one's time.
  wineserver -p >/dev/null 2>&1 </dev/null || true  # already running is fine
  "$loader" "$dir/bench/empty_window.exe" >/dev/null 2>&1 </dev/null &
  keeper=$!
  results="$dir/bench/results.md"
  : >"$dir/bench/suite.log"
  echo "Load average at the start of the suite: $start_load; at the start of this table: $(cut -d' ' -f1-3 /proc/loadavg) ($(nproc) cores)." >"$results"
  table_status=0
  "$dir/bench/host/bench_suite" --build "$dir" --payload "$(cat "$dir/bench/payload-dir.txt")" \
    --wine "$loader" --title "$title" "$@" >>"$results" || table_status=$?
  kill "$keeper" 2>/dev/null || true
  keeper=""
  wineserver -k 2>/dev/null || true
  cat "$results"
  return $table_status
}

status=0
# shellcheck disable=SC2086
run_table "$build" windows "## The shipped executable ($build)" $suite_args || status=$?
if [ -n "$x64" ]; then
  echo
  # shellcheck disable=SC2086
  run_table "$x64" windows-x64 "## The 64-bit executable, for comparison ($x64)" $suite_args --no-pack || status=$?
fi
exit $status
