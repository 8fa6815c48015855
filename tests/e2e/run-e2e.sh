#!/bin/sh
# Runs end-to-end scenarios of the setup program:
#   run-e2e.sh BUILD_DIR GTEST_FILTER
# The driver runs inside a Wine virtual desktop, so windows have frames and
# a close box as on Windows, and in a prefix of its own (build/wineprefix-e2e)
# that sees no Chinese font, like the machines the product is made for: only
# the bitmap glyphs can show Chinese there. The desktop's explorer does not
# hand back the driver's exit code, so the driver writes it to a file.
# Needs an X display of at least 1024x768 (run-tests.sh gives 1280x1024).
set -e
build="$(cd "$1" && pwd)"
filter="$2"
state="$build/e2e"
mkdir -p "$state"

export WINEPREFIX="$build/wineprefix-e2e"
. "$(dirname "$0")/../../cmake/wine-prefix.sh"
# Wine's own fonts and Latin ones; no font of the host with Chinese glyphs.
export FONTCONFIG_FILE="$state/fonts.conf"
if [ ! -f "$FONTCONFIG_FILE" ]; then
  cat >"$FONTCONFIG_FILE.tmp" <<CONF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <dir>/usr/share/wine/fonts</dir>
  <dir>/usr/share/fonts/truetype/dejavu</dir>
  <dir>/usr/share/fonts/truetype/liberation</dir>
  <cachedir>$state/fontconfig-cache</cachedir>
</fontconfig>
CONF
  mv "$FONTCONFIG_FILE.tmp" "$FONTCONFIG_FILE"
fi

# Wine names files on disk in the host locale's character set. A locale
# that the host has not generated leaves that ASCII, and a Chinese folder or
# shortcut name cannot be made at all; so the scenario's locale is built
# here when the host lacks it (the data comes with Debian's locales package).
locale_name="${LC_ALL:-${LANG:-}}"
if [ -n "$locale_name" ] && [ "$(LC_ALL="$locale_name" locale charmap 2>/dev/null)" != UTF-8 ]; then
  if [ ! -f "$state/locale/$locale_name/LC_CTYPE" ]; then
    mkdir -p "$state/locale"
    localedef -i "${locale_name%%.*}" -f UTF-8 "$state/locale/$locale_name" 2>/dev/null || true
  fi
  export LOCPATH="$state/locale"
  [ "$(locale charmap 2>/dev/null)" = UTF-8 ] ||
    echo "run-e2e: cannot build the locale $locale_name; non-ASCII file names will fail" >&2
fi

# A prefix that a Wine run without this font configuration has seen keeps
# the host's fonts in its registry and loads them from there: made anew.
saw_host_fonts() {
  grep -hiE '^"[^"]*"="Z:.*\.(ttf|otf|ttc|fon)"' "$WINEPREFIX/system.reg" "$WINEPREFIX/user.reg" 2>/dev/null |
    grep -qviE 'wine\\\\fonts|dejavu|liberation'
}
# The prefix is made once, of the build's kind; where this machine cannot
# run the build's programs, that is a skip (77).
status=0
tavik_prefix --stale-if saw_host_fonts || status=$?
[ "$status" = 0 ] || exit "$status"
# Kept warm between scenarios; its output must not hold the caller's pipe.
wineserver -p10 >/dev/null 2>&1 || true

result="$state/result.$$"
output="$state/output.$$"
rm -f "$result"
export TAVIK_E2E_RESULT="$result"
tavik_stream "$output" "$tavik_wine" explorer /desktop=TavikShots,1024x768 \
  "$build/tests/e2e_setup_test.exe" --gtest_filter="$filter" || true
status="$(cat "$result" 2>/dev/null || echo 1)"
[ "$status" = 0 ] || echo "run-e2e: $filter ended with $status"
status="$(tavik_skip_status "$status" "$output")"
rm -f "$result" "$output"
exit "$status"
