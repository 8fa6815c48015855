#!/bin/sh
# Installs the Debian packages the build and the tests need, only when one
# is missing, so a warm machine pays one dpkg query. The shipped program is
# 32-bit: Wine's 32-bit half (wine32:i386) runs it and its tests. The
# 64-bit half (wine64) is named too: Debian's wine package is content with
# either, and the 64-bit build, and every end-to-end run on a machine that
# executes no 32-bit code, need the 64-bit one.
set -e
packages="cmake make g++ zlib1g-dev libdeflate-dev mingw-w64 libz-mingw-w64-dev wine wine64 wine32:i386
          xvfb xauth unifont googletest imagemagick x11-utils fonts-wine wixl locales osslsigncode openssl"
# The emulated i386 guest (cmake/guest.sh) runs the 32-bit build where this
# machine cannot: its host tools are needed there only.
if ! (build=/dev/null; . "$(dirname "$0")/wine-prefix.sh" && tavik_runs_32bit); then
  packages="$packages qemu-system-x86 qemu-utils debootstrap qemu-user-static e2fsprogs"
fi
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "Installing:$missing"
if [ "$(id -u)" -ne 0 ]; then
  echo "Run as root (or install these packages):$missing" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
apt-get update -q
apt-get install -y -q $missing
