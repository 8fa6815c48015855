#!/bin/sh
# Wine for a build folder: the loader of the build's kind and a prefix of
# its own, made once and checked on every use. Sourced, with $build set to
# the build folder, by every script that runs the build's Windows programs:
#   tavik_arch      win32 or win64 (BUILD/wine-arch)
#   tavik_wine      the loader; WINELOADER is set to it as well
#   tavik_skipped   77, the exit code that ctest reports as a skip
#   tavik_wine_runs                  whether this machine can run the loader
#   tavik_runs_32bit                 whether this machine can run the 32-bit
#                                    build (its loader, never the wrapper)
#   tavik_prefix [--unmanaged] [--stale-if FUNCTION]
#                                    makes $WINEPREFIX ready; 77 where the
#                                    loader cannot run here
#   tavik_stream LOG COMMAND...      runs COMMAND, its output through LOG
#   tavik_skip_status STATUS LOG     STATUS, or 77 when every test was skipped
# Run as a program, `wine-prefix.sh BUILD [--unmanaged]` makes the prefix
# named by $WINEPREFIX and exits with tavik_prefix's status, and
# `wine-prefix.sh --runs-32bit` exits with tavik_runs_32bit's.
#
# The loader is named directly, never through Debian's "wine" command: that
# takes the 32-bit loader once 32-bit Wine is installed, even for 64-bit
# programs, and falls back to 64-bit Wine when it is not. On a machine that
# executes no 32-bit code the 32-bit loader fails with "Exec format error",
# or is missing because wine32:i386 could not be installed.
tavik_as_program=""
if [ "$(basename -- "$0")" = wine-prefix.sh ]; then
  tavik_as_program=1
  build="$1"
fi
if [ "$tavik_as_program" = 1 ] && [ "$build" = --runs-32bit ]; then
  build=""
  tavik_as_program=runs-32bit
fi
tavik_arch="$(cat "$build/wine-arch" 2>/dev/null || echo win64)"
# The 32-bit loader; TAVIK_WINE32_LOADER names another, for the test of the
# decision below (a missing or failing loader).
tavik_wine32="${TAVIK_WINE32_LOADER:-/usr/lib/wine/wine}"
if [ "$tavik_arch" = win32 ]; then
  tavik_wine="$tavik_wine32"
else
  tavik_wine=/usr/lib/wine/wine64
fi
export WINELOADER="$tavik_wine"
tavik_skipped=77
# No Mono or Gecko prompt, no menu entries on the host's desktop.
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

tavik_wine_runs() {
  "$tavik_wine" --version >/dev/null 2>&1
}

# The one answer to "can the shipped 32-bit build run here": the 32-bit
# loader itself is there and executes. Never asked of the `wine` command,
# which falls back to 64-bit Wine when the 32-bit half is missing; 64-bit
# Wine then cannot make a 32-bit prefix.
tavik_runs_32bit() {
  "$tavik_wine32" --version >/dev/null 2>&1
}

# What a ready prefix records of how it was made; any difference makes it
# anew. Another Wine version would otherwise update the prefix in the
# middle of a test run, and put the links to the host's home back.
tavik_prefix_stamp() {
  echo "$tavik_arch $("$tavik_wine" --version 2>/dev/null) ${tavik_unmanaged:-managed}"
}

# A prefix of the other kind, or a 64-bit one made before 32-bit Wine was
# installed (no syswow64 folder: every program then fails with "could not
# load kernel32.dll"), is no use. The user's shell folders (Desktop,
# Documents, ...) must be real folders inside the prefix: Wine links them
# to the host's home, and shortcuts made by an install would land there.
tavik_prefix_fits() {
  [ "$(cat "$WINEPREFIX/.tavik-ready" 2>/dev/null)" = "$(tavik_prefix_stamp)" ] &&
    head -n 5 "$WINEPREFIX/system.reg" 2>/dev/null | grep -qx "#arch=$tavik_arch" &&
    { [ "$tavik_arch" = win32 ] || [ ! -d /usr/lib/i386-linux-gnu/wine ] ||
      [ -d "$WINEPREFIX/drive_c/windows/syswow64" ]; } &&
    [ -z "$(find "$WINEPREFIX/drive_c/users" -maxdepth 2 -type l 2>/dev/null)" ] &&
    { [ -z "$tavik_stale_if" ] || ! "$tavik_stale_if"; }
}

tavik_prefix_make() {
  if [ -e "$WINEPREFIX" ]; then
    echo "wine-prefix: $WINEPREFIX is not a ready $tavik_arch prefix of this Wine, or is stale; making it anew" >&2
    wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
  fi
  if ! WINEARCH="$tavik_arch" "$tavik_wine" wineboot -i >/dev/null 2>&1; then
    echo "wine-prefix: wineboot could not make $WINEPREFIX" >&2
    return 1
  fi
  # Under Xvfb there is no window manager, and Wine otherwise waits for one
  # (about 2 s) each time a top-level window closes.
  if [ -n "$tavik_unmanaged" ]; then
    "$tavik_wine" reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1 || return 1
  fi
  # The registry files are written when the server ends; a program started
  # before that can find no window station.
  wineserver -w
  find "$WINEPREFIX/drive_c/users" -maxdepth 2 -type l | while read -r link; do
    rm -f "$link" && mkdir -p "$link"
  done
  tavik_prefix_stamp >"$WINEPREFIX/.tavik-ready"
}

# --unmanaged: windows are not managed (see tavik_prefix_make).
# --stale-if FUNCTION: the prefix is also made anew when FUNCTION succeeds.
# Concurrent callers wait on a lock beside the prefix instead of racing
# wineboot; a fitting prefix is left as it is.
tavik_prefix() {
  tavik_unmanaged=""
  tavik_stale_if=""
  while [ $# -gt 0 ]; do
    case "$1" in
      --unmanaged) tavik_unmanaged=unmanaged ;;
      --stale-if) tavik_stale_if="$2"; shift ;;
      *) echo "wine-prefix: unknown option $1" >&2; return 2 ;;
    esac
    shift
  done
  if ! tavik_wine_runs; then
    echo "wine-prefix: skipped: this machine cannot run $tavik_wine ($tavik_arch programs;" \
         "missing, or it executes no such code)" >&2
    return "$tavik_skipped"
  fi
  tavik_prefix_fits && return 0
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9 || exit 1
    tavik_prefix_fits || tavik_prefix_make
  ) 9>"$WINEPREFIX.lock"
}

# The output goes to the file LOG, not to the caller's pipe: the
# explorer.exe that Wine starts for the first window inherits the pipe and
# would keep a reader (ctest) waiting long after the program has ended.
# The file is copied out as it grows, so a program that hangs and is killed
# by a timeout has still shown what it printed. Standard input is passed on.
tavik_stream() {
  tavik_log="$1"
  shift
  : >"$tavik_log"
  exec 3<&0
  "$@" <&3 3<&- >"$tavik_log" 2>&1 &
  tavik_program=$!
  exec 3<&-
  tail -c +1 -s 0.1 --pid="$tavik_program" -f "$tavik_log" &
  tavik_tail=$!
  tavik_status=0
  wait "$tavik_program" || tavik_status=$?
  wait "$tavik_tail" || true
  return "$tavik_status"
}

# A test program that passed without passing a single test because it
# skipped them (GoogleTest's summary lines) is reported as skipped, so that
# ctest does not count it as passed. One that ran some of its tests and
# skipped others still passes; its output lists what was skipped. A program
# that failed stays failed.
tavik_skip_status() {
  if [ "$1" = 0 ] && grep -q '^\[  SKIPPED \] [0-9]* tests\{0,1\}, listed below' "$2" &&
     grep -q '^\[  PASSED  \] 0 tests' "$2"; then
    echo "wine-prefix: every test was skipped; the run counts as skipped" >&2
    echo "$tavik_skipped"
  else
    echo "$1"
  fi
}

if [ "$tavik_as_program" = runs-32bit ]; then
  tavik_runs_32bit
  exit $?
fi
if [ -n "$tavik_as_program" ]; then
  [ -n "$build" ] || { echo "usage: wine-prefix.sh BUILD [--unmanaged]" >&2; exit 2; }
  shift
  tavik_prefix "$@"
  exit $?
fi
