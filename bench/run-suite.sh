#!/bin/sh
# The performance suite: builds what it needs, runs every measure side by
# side and prints one markdown table (also left in BUILD/bench/results.md).
#
#   bench/run-suite.sh [build] [--runs N] [--zopfli-runs N] [--no-pack]
#
# Runs in a Wine prefix of its own (BUILD/bench/wineprefix), so the installs,
# shortcuts and registry keys it makes never meet the tests' prefix. Needs a
# display; without one it runs itself again under Xvfb. Run it on a quiet
# machine: it warns when the load average is 0.5 or more.
set -e
cd "$(dirname "$0")/.."
build=build
case "$1" in -*|"") ;; *) build="$1"; shift ;; esac

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
  TAVIK_UNDER_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$build" "$@"
fi

make deps
preset=windows  # the shipped 32-bit build; build-x64 is the 64-bit one
[ "$(basename "$build")" = build-x64 ] && preset=windows-x64
test -f "$build/CMakeCache.txt" || cmake --preset "$preset" -B "$build"
cmake --build "$build" --target perf_suite -j 2
build="$(cd "$build" && pwd)"

export WINEPREFIX="$build/bench/wineprefix"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# The loader itself, of the build's kind (32-bit for the shipped build): the
# wine wrapper script would add a shell to every timed start.
loader=wine
if [ "$(cat "$build/wine-arch" 2>/dev/null)" = win32 ]; then
  [ -x /usr/lib/wine/wine ] && loader=/usr/lib/wine/wine
else
  [ -x /usr/lib/wine/wine64 ] && loader=/usr/lib/wine/wine64
fi
[ "$loader" = wine ] || export WINELOADER=$loader
# Shell folders inside the prefix, not links to the host's home: the
# installs below make desktop shortcuts (cmake/wine-prefix.sh does both).
cmake/wine-prefix.sh "$build" --unmanaged
# One wineserver for the whole suite: every start is a warm start. A window
# stays open meanwhile, as the desktop does on Windows: otherwise Wine ends
# its desktop process whenever the last program with a window ends, and
# starts it again for the next one, inside that one's time.
wineserver -p >/dev/null 2>&1 </dev/null || true  # already running is fine
"$loader" "$build/bench/empty_window.exe" >/dev/null 2>&1 </dev/null &
keeper=$!
trap 'kill "$keeper" 2>/dev/null; wineserver -k 2>/dev/null' EXIT

load=$(cut -d' ' -f1 /proc/loadavg)
if awk "BEGIN { exit !($load >= 0.5) }"; then
  echo "warning: load average $load; the figures will be noisy" >&2
fi

results="$build/bench/results.md"
status=0
: >"$build/bench/suite.log"
echo "Load average at the start: $(cut -d' ' -f1-3 /proc/loadavg) ($(nproc) cores)." >"$results"
"$build/bench/host/bench_suite" --build "$build" --payload "$(cat "$build/bench/payload-dir.txt")" \
  --wine "$loader" "$@" >>"$results" || status=$?
cat "$results"
exit $status
