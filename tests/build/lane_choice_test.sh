#!/bin/sh
# Which build runs what, as run-tests.sh chooses it, for each kind of
# 32-bit loader a machine can have: missing (wine32:i386 not installed),
# failing (a kernel that executes no 32-bit code), working. Where it cannot
# run, the 64-bit build must run the end-to-end scenarios and the 32-bit
# build's Windows programs must be skipped (77) with the reason, never
# handed to the `wine` wrapper's 64-bit fallback.
#   lane_choice_test.sh SOURCE_DIR BUILD WORK_DIR
set -e
source_dir="$1" build="$2" work="$3"
rm -rf "$work"
mkdir -p "$work/x64"
printf '#!/bin/sh\necho "$0: cannot execute binary file: Exec format error" >&2\nexit 126\n' >"$work/failing-loader"
printf '#!/bin/sh\nexit 0\n' >"$work/working-loader"
chmod +x "$work/failing-loader" "$work/working-loader"

failures=0
# check LOADER X64_PLAN RUN_STATUS: the 64-bit build's planned ctest
# options, and the status of one Windows program of the 32-bit build.
check() {
  plan="$(TAVIK_WINE32_LOADER="$1" sh "$source_dir/cmake/run-tests.sh" --plan "$build" "$work/x64" 2>"$work/plan.err")" ||
    echo "run-tests.sh --plan failed" >>"$work/plan.err"
  x64_plan="$(echo "$plan" | sed -n "s|^ctest $work/x64 *||p")"
  if [ "$(echo "$plan" | head -n 1)" != "ctest $build" ] || [ "$x64_plan" != "$2" ]; then
    echo "FAIL: loader $1: planned runs:"; echo "$plan"; cat "$work/plan.err"
    failures=$((failures + 1))
    return 0
  fi
  [ "$3" = run ] && return 0
  status=0
  TAVIK_WINE32_LOADER="$1" "$build/wine-run.sh" cmd /c exit 0 >"$work/run.out" 2>&1 || status=$?
  if [ "$status" != "$3" ] || ! grep -q "skipped: this machine cannot run $1" "$work/run.out"; then
    echo "FAIL: loader $1: wine-run.sh exited $status, wanted $3 with the reason:"; cat "$work/run.out"
    failures=$((failures + 1))
  fi
}

check "$work/missing-loader" "" 77
check "$work/failing-loader" "" 77
check "$work/working-loader" "-LE e2e" run
echo "$((3 - failures)) passed, $failures failed"
[ "$failures" = 0 ]
