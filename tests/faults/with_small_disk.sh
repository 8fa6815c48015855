#!/bin/sh
# Runs a command with a small file system mounted for it: a tmpfs of SIZE at
# MOUNT_DIR, whose Windows path (through Wine's drive Z:) goes to the
# command in TAVIK_SMALL_DISK.
#   with_small_disk.sh MOUNT_DIR SIZE COMMAND...
# The tmpfs is mounted only inside a mount namespace of the command's own
# (unshare -m as root, otherwise an unprivileged user and mount namespace,
# unshare -rm): the mount goes with the namespace when its last process
# ends, so a run that is killed leaves no full disk behind for later runs.
# Where neither works the command still runs, with the reason in
# TAVIK_SMALL_DISK_SKIP (its disk-full cases skip), and a run that passed
# counts as skipped (77). With CI set that fails instead: a CI machine is
# there to run the disk-full cases.
if [ "$1" = --in-namespace ]; then
  # Wine's server opens the files for its programs, and a server that runs
  # outside this namespace (the shared prefix's) would never see the mount:
  # a temporary folder of the namespace's own makes Wine start a server
  # here. Its mounts go with the namespace, when its last process ends.
  shift
  mount_dir=$1
  size=$2
  shift 2
  mkdir -p "$mount_dir.server" || exit 1
  mount -t tmpfs -o "size=$size,mode=0777" tavik-small-disk "$mount_dir" || exit 1
  mount -t tmpfs -o size=16m,mode=0700 tavik-small-disk-server "$mount_dir.server" || exit 1
  TMPDIR="$mount_dir.server"
  export TMPDIR
  exec "$@"
fi

mount_dir=$1
size=$2
shift 2
mkdir -p "$mount_dir"
TAVIK_SMALL_DISK="Z:$(printf '%s' "$mount_dir" | tr / '\\')"
export TAVIK_SMALL_DISK
# One left behind by a run of an earlier version, which mounted it here.
if mountpoint -q "$mount_dir" 2>/dev/null; then umount "$mount_dir" 2>/dev/null; fi
reasons=""
for flags in -m -rm; do
  if probe=$(unshare $flags sh -c 'mount -t tmpfs -o size=64k tavik-probe "$1"' probe "$mount_dir" 2>&1); then
    exec unshare $flags sh "$0" --in-namespace "$mount_dir" "$size" "$@"
  fi
  reasons="$reasons unshare $flags: ${probe:-failed};"
done

unset TAVIK_SMALL_DISK
TAVIK_SMALL_DISK_SKIP="no small file system could be mounted here:$reasons"
export TAVIK_SMALL_DISK_SKIP
status=0
"$@" || status=$?
if [ -n "$CI" ]; then
  echo "with_small_disk: CI is set, and the disk-full cases did not run: $TAVIK_SMALL_DISK_SKIP" >&2
  exit 1
fi
echo "with_small_disk: skipped: $TAVIK_SMALL_DISK_SKIP" >&2
case $status in
  0|77) exit 77 ;;
  *) exit "$status" ;;
esac
