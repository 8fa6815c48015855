# Sourced by the scripts that run a build's Windows programs, with $build
# set to the build folder: picks the Wine loader of the build's kind.
# The loader is named directly: Debian's "wine" command always takes the
# 32-bit loader once 32-bit Wine is installed, even for 64-bit programs,
# and on a machine that cannot execute 32-bit code at all (some virtual
# machines) that loader fails with "Exec format error".
#   tavik_arch   win32 or win64 (build/wine-arch)
#   tavik_wine   the loader; WINELOADER is set to it as well
# tavik_wine_runs tells whether that loader can run on this machine.
tavik_arch="$(cat "$build/wine-arch" 2>/dev/null || echo win64)"
if [ "$tavik_arch" = win32 ]; then
  tavik_wine=/usr/lib/wine/wine
else
  tavik_wine=/usr/lib/wine/wine64
fi
if [ -x "$tavik_wine" ]; then
  export WINELOADER="$tavik_wine"
else
  tavik_wine=wine
fi
tavik_wine_runs() {
  "$tavik_wine" --version >/dev/null 2>&1
}
# The exit code with which a test says it was skipped (SKIP_RETURN_CODE).
tavik_skipped=77
