#!/bin/sh
# The main job. First what the build packed into the setup program; then:
# - with a display ($DISPLAY set, not CI): the setup program's wizard for a
#   person to use, under Wine in the build's own prefix, inside a Wine
#   desktop window so that it has its frame and close box;
# - without one: the end-to-end demo under Xvfb. The driver walks the wizard
#   as a person would and installs the product into build/demo/Tavik, with a
#   screenshot of every page and message in build/demo/shots.
#   run-setup.sh BUILD [BUILD_X64]
# Where this machine cannot run the 32-bit build (tavik_runs_32bit), the
# same program built for 64-bit Windows in BUILD_X64 runs instead.
set -e
build="$(cd "${1:-build}" && pwd)"
demo="$build/demo"
source_dir="$(cd "$(dirname "$0")/.." && pwd)"
if ! "$source_dir/cmake/wine-prefix.sh" --runs-32bit; then
  if [ -z "$2" ]; then
    echo "== This machine cannot run the 32-bit setup program; give the 64-bit build as well:" \
         "cmake/run-setup.sh build build-x64" >&2
    exit 1
  fi
  echo "== This machine cannot run the 32-bit setup program: running its 64-bit twin, the same program, from $2"
  build="$(cd "$2" && pwd)"
fi

echo "== Payload packed into $build/TavikSetup.exe"
cat "$build/payload/product/summary.txt"
ls -l "$build/TavikSetup.exe"

. "$source_dir/cmake/wine-prefix.sh"

if [ -n "$DISPLAY" ] && [ -z "$CI" ]; then
  echo "== Opening the setup program on $DISPLAY (Wine prefix $build/wineprefix)"
  exec "$build/wine-run.sh" explorer /desktop=TavikSetup,1024x768 "$build/TavikSetup.exe"
fi

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
