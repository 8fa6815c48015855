#!/bin/sh
# The main job. First what the build packed into the setup program; then:
# - with a display ($DISPLAY set, not CI): the setup program's wizard for a
#   person to use, under Wine in the build's own prefix, inside a Wine
#   desktop window so that it has its frame and close box;
# - without one: the end-to-end demo under Xvfb. The driver walks the wizard
#   as a person would and installs the product into build/demo/Tavik, with a
#   screenshot of every page and message in build/demo/shots.
set -e
build="$(cd "${1:-build}" && pwd)"
source_dir="$(cd "$(dirname "$0")/.." && pwd)"

echo "== Payload packed into $build/TavikSetup.exe"
cat "$build/payload/product/summary.txt"
ls -l "$build/TavikSetup.exe"

. "$source_dir/cmake/wine-prefix.sh"
if ! tavik_wine_runs; then
  echo "== This machine cannot run $tavik_wine, so not the $tavik_arch setup program either." >&2
  echo "   The 64-bit build runs here: cmake --preset windows-x64 && cmake --build build-x64 &&" >&2
  echo "   cmake/run-setup.sh build-x64" >&2
  exit 1
fi

if [ -n "$DISPLAY" ] && [ -z "$CI" ]; then
  echo "== Opening the setup program on $DISPLAY (Wine prefix $build/wineprefix)"
  exec "$build/wine-run.sh" explorer /desktop=TavikSetup,1024x768 "$build/TavikSetup.exe"
fi

demo="$build/demo"
rm -rf "$demo"
mkdir -p "$demo/shots"
echo "== No display: the end-to-end demo under Xvfb (about half a minute)"
windows_target="Z:$(printf '%s' "$demo/Tavik" | tr / '\\')"
status=0
TAVIK_E2E_SHOTS="$demo/shots" TAVIK_E2E_INSTALL_DIR="$windows_target" \
  xvfb-run -a -s "-screen 0 1280x1024x24" \
  sh "$source_dir/tests/e2e/run-e2e.sh" "$build" Demo.InstallIntoTheBuildFolder || status=$?
echo "== Installed tree: $demo/Tavik ($(ls "$demo/Tavik" 2>/dev/null | wc -l) entries)"
echo "== Screenshots:    $demo/shots/Demo.InstallIntoTheBuildFolder"
ls "$demo/shots/Demo.InstallIntoTheBuildFolder" 2>/dev/null | sed 's/^/     /'
exit $status
