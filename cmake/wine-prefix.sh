#!/bin/sh
# Makes the Wine prefix named by $WINEPREFIX for a build folder, once, or
# leaves a fitting one as it is:
#   wine-prefix.sh BUILD_DIR [--unmanaged]
# The prefix's architecture follows the build (BUILD_DIR/wine-arch): win32
# for the 32-bit build, so that Wine can also report the 9x and 3.x
# versions there; win64 for the 64-bit one. A prefix of the other kind, or
# a 64-bit one made before 32-bit Wine was installed (no syswow64 folder:
# every program then fails with "could not load kernel32.dll"), is made
# anew. Concurrent callers wait on a lock instead of racing wineboot.
# --unmanaged: windows are not managed. Under Xvfb there is no window
# manager, and Wine otherwise waits for one (about 2 s) each time a
# top-level window closes.
# The user's shell folders (Desktop, Documents, ...) are made real folders
# inside the prefix: Wine links them to the host's home, and shortcuts made
# by an install would land there.
# Exits 77 (a skip, for ctest) when this machine cannot run the build's
# Wine loader.
set -e
build="$1"
unmanaged="$2"
. "$(dirname "$0")/wine-env.sh"
arch="$tavik_arch"
if ! tavik_wine_runs; then
  echo "wine-prefix: this machine cannot run $tavik_wine ($arch programs); skipped" >&2
  exit "$tavik_skipped"
fi

fits() {
  [ -f "$WINEPREFIX/.tavik-ready" ] &&
    head -n 5 "$WINEPREFIX/system.reg" 2>/dev/null | grep -qx "#arch=$arch" &&
    { [ "$arch" = win32 ] || [ ! -d /usr/lib/i386-linux-gnu/wine ] ||
      [ -d "$WINEPREFIX/drive_c/windows/syswow64" ]; }
}

fits && exit 0
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
fits && exit 0
if [ -e "$WINEPREFIX" ]; then
  echo "wine-prefix: $WINEPREFIX is not a usable $arch prefix; making it anew" >&2
  wineserver -k 2>/dev/null || true
  rm -rf "$WINEPREFIX"
fi
WINEARCH="$arch" "$tavik_wine" wineboot -i >/dev/null 2>&1
if [ "$unmanaged" = --unmanaged ]; then
  "$tavik_wine" reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1
fi
# The registry files are written when the server ends; a program started
# before that can find no window station.
wineserver -w
find "$WINEPREFIX/drive_c/users" -type l | while read -r link; do
  rm -f "$link" && mkdir -p "$link"
done
touch "$WINEPREFIX/.tavik-ready"
