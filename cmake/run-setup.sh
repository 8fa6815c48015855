#!/bin/sh
# The main job: shows what the build packed into the setup program.
set -e
build="${1:-build}"
echo "== Payload packed into $build/TavikSetup.exe"
cat "$build/payload/product/summary.txt"
ls -l "$build/TavikSetup.exe"
