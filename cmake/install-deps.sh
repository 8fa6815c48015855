#!/bin/sh
# Installs the Debian packages the build and the tests need, only when one
# is missing, so a warm machine pays one dpkg query.
#
# Required: everything the 64-bit lane needs (both builds compile on any
# machine; 64-bit Wine runs the 64-bit build's whole suite). Optional:
# Wine's 32-bit half (wine32:i386), which runs the shipped 32-bit program
# natively. It is wanted only where this machine executes 32-bit x86 code,
# which is found out by running a 32-bit program, and a failure to install
# it is a warning: many virtual machines refuse 32-bit code outright, and a
# mirror's i386 lists can lag behind its amd64 ones for hours.
#
# A failed `apt-get update` is tried again a few times; after that the
# install goes ahead with the lists there are, and only a required package
# that cannot be installed stops the set-up, naming it.
#   TAVIK_APT_TRIES   how many times to try `apt-get update` (3)
#   TAVIK_APT_PAUSE   seconds between tries (10)
set -e
required="cmake make g++ zlib1g-dev libdeflate-dev mingw-w64 libz-mingw-w64-dev wine wine64
          xvfb xauth unifont googletest imagemagick x11-utils fonts-wine wixl locales osslsigncode openssl"
optional_32="wine32:i386"

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

missing_of() {
  missing=""
  for p in "$@"; do
    installed "$p" || missing="$missing $p"
  done
  echo "$missing"
}

# A 96-byte static i386 ELF program that exits with 42 through the kernel's
# 32-bit system call: only a machine that executes 32-bit x86 code gives
# that status back.
executes_32bit() {
  probe="$(mktemp)"
  printf '\177\105\114\106\001\001\001\000\000\000\000\000\000\000\000\000' >"$probe"
  printf '\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000' >>"$probe"
  printf '\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000' >>"$probe"
  printf '\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010' >>"$probe"
  printf '\000\200\004\010\140\000\000\000\140\000\000\000\005\000\000\000' >>"$probe"
  printf '\000\020\000\000\270\001\000\000\000\273\052\000\000\000\315\200' >>"$probe"
  chmod +x "$probe"
  status=0
  "$probe" 2>/dev/null || status=$?
  rm -f "$probe"
  [ "$status" = 42 ]
}

apt_update() {
  tries="${TAVIK_APT_TRIES:-3}"
  try=1
  while ! apt-get update -q; do
    if [ "$try" -ge "$tries" ]; then
      echo "install-deps: apt-get update failed $tries times; going on with the package lists there are" >&2
      return 0
    fi
    echo "install-deps: apt-get update failed (try $try of $tries); trying again in ${TAVIK_APT_PAUSE:-10} s" >&2
    sleep "${TAVIK_APT_PAUSE:-10}"
    try=$((try + 1))
  done
}

# Where the optional half could not be installed, the attempt (an index
# update and a failed install, most of a minute) is not repeated on every
# run for a while: a mirror out of step stays so for hours.
wine32_stamp=/var/tmp/tavik-wine32-unavailable
tried_lately() {
  [ -n "$(find "$wine32_stamp" -mmin -360 2>/dev/null)" ]
}

want_32=""
if executes_32bit; then
  want_32=1
fi
# The emulated i386 guest lane (cmake/guest.sh) runs the 32-bit build where
# this machine cannot: its host tools are needed there only, that is where
# 32-bit code does not execute or 32-bit Wine is not (or cannot be) there.
guest_tools="qemu-system-x86 qemu-utils debootstrap qemu-user-static e2fsprogs"
missing_required="$(missing_of $required)"
missing_32=""
[ -z "$want_32" ] || missing_32="$(missing_of $optional_32)"
if [ -n "$missing_32" ] && tried_lately; then
  echo "install-deps: WARNING:$missing_32 could not be installed at $(date -r "$wine32_stamp" '+%F %R'); the 32-bit build runs in the emulated guest instead (delete $wine32_stamp to try again now)" >&2
  missing_32=""
fi
missing_guest=""
if [ -z "$want_32" ] || { [ -z "$missing_32" ] && ! installed wine32:i386; }; then
  missing_guest="$(missing_of $guest_tools)"
fi
[ -z "$missing_required$missing_32$missing_guest" ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: run as root (or install these packages):$missing_required$missing_32$missing_guest" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
if [ -n "$missing_32" ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
apt_update
if [ -n "$missing_required" ]; then
  echo "Installing:$missing_required"
  if ! apt-get install -y -q $missing_required; then
    echo "install-deps: these required packages could not be installed:$(missing_of $missing_required)" >&2
    echo "install-deps: the build needs them; check the machine's package sources and run again" >&2
    exit 1
  fi
fi
if [ -n "$missing_32" ]; then
  log=/var/tmp/tavik-wine32-install.log
  if apt-get install -y -q $missing_32 >"$log" 2>&1; then
    echo "Installed:$missing_32"
    rm -f "$wine32_stamp"
  else
    touch "$wine32_stamp"
    echo "install-deps: WARNING: could not install$missing_32 (see $log); the 32-bit build runs in the emulated guest instead" >&2
    missing_guest="$(missing_of $guest_tools)"
  fi
fi
# Optional too: without them the guest's cases are skipped, saying why.
if [ -n "$missing_guest" ]; then
  echo "Installing, for the emulated i386 guest:$missing_guest"
  apt-get install -y -q $missing_guest ||
    echo "install-deps: WARNING: could not install$(missing_of $missing_guest); the guest's cases are skipped" >&2
fi
