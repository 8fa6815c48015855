#!/bin/sh
# Runs a command with a small file system mounted for it: a tmpfs of SIZE at
# MOUNT_DIR, whose Windows path (through Wine's drive Z:) goes to the
# command in TAVIK_SMALL_DISK; it is unmounted again afterwards. Where no
# file system can be mounted (no privilege, say) the command still runs,
# with the reason in TAVIK_SMALL_DISK_SKIP, and the test skips.
#   with_small_disk.sh MOUNT_DIR SIZE COMMAND...
mount_dir=$1
size=$2
shift 2
mkdir -p "$mount_dir"
# One left behind by an interrupted run.
if mountpoint -q "$mount_dir" 2>/dev/null; then umount "$mount_dir" 2>/dev/null; fi
if reason=$(mount -t tmpfs -o "size=$size,mode=0777" tavik-small-disk "$mount_dir" 2>&1); then
  trap 'umount "$mount_dir" 2>/dev/null' EXIT
  TAVIK_SMALL_DISK="Z:$(printf '%s' "$mount_dir" | tr / '\\')"
  export TAVIK_SMALL_DISK
else
  TAVIK_SMALL_DISK_SKIP="no small file system could be mounted here: ${reason:-mount failed}"
  export TAVIK_SMALL_DISK_SKIP
fi
"$@"
exit $?
