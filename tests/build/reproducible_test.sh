#!/bin/sh
# Builds the setup program twice from clean, in two folders of different
# names, with the small sample payload, and compares the two executables'
# SHA-256 sums: the same sources must give the same bytes.
#
#   reproducible_test.sh SOURCE_DIR WORK_DIR
#
# The second build is left in WORK_DIR/a-second-build-folder for the
# signing test, which signs it.
set -e
source_dir="$(cd "$1" && pwd)"
work="$2"
rm -rf "$work"
mkdir -p "$work"
work="$(cd "$work" && pwd)"

build() {
  # Only the product: the native sanitizer tests are not part of it.
  (cd "$source_dir" && cmake --preset windows -B "$1" -DTAVIK_PAYLOAD_PROFILE=small -DTAVIK_NATIVE_TESTS=OFF) \
    >"$1.log" 2>&1 &&
  cmake --build "$1" --target TavikSetup -j 2 >>"$1.log" 2>&1 ||
    { tail -30 "$1.log"; echo "FAIL: the build in $1 failed" >&2; exit 1; }
}

build "$work/first"
build "$work/a-second-build-folder"
first=$(sha256sum <"$work/first/TavikSetup.exe" | cut -d' ' -f1)
second=$(sha256sum <"$work/a-second-build-folder/TavikSetup.exe" | cut -d' ' -f1)
echo "first:  $first"
echo "second: $second"
if [ "$first" != "$second" ]; then
  cmp -l "$work/first/TavikSetup.exe" "$work/a-second-build-folder/TavikSetup.exe" | head -20
  echo "FAIL: two clean builds gave different executables" >&2
  exit 1
fi
rm -rf "$work/first" "$work/first.log"
echo "PASS: two clean builds gave the same TavikSetup.exe"
