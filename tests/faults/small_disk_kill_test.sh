#!/bin/sh
# with_small_disk.sh killed while its command runs leaves no file system
# mounted behind it: later runs must not find a full disk.
#   small_disk_kill_test.sh WITH_SMALL_DISK SCRATCH_DIR
helper=$1
scratch=$2
disk="$scratch/disk"
ready="$scratch/ready"
mkdir -p "$scratch"
rm -f "$ready"
# A process group of its own, so that whatever the helper left running can
# be ended by the group's id.
setsid sh "$helper" "$disk" 1m sh -c 'echo "$TAVIK_SMALL_DISK" >"$0.tmp" && mv "$0.tmp" "$0" && exec sleep 60' "$ready" \
  >/dev/null 2>&1 &
group=$!
deadline=$(($(date +%s) + 30))
until [ -s "$ready" ] || [ "$(date +%s)" -ge "$deadline" ]; do sleep 0.1; done
status=0
if [ ! -s "$ready" ] || [ "$(cat "$ready")" = "" ]; then
  echo "the helper mounted nothing here; nothing to check" >&2
  status=77
else
  kill -KILL "$group"
  wait "$group"
  if grep -q " $disk " /proc/self/mountinfo; then
    echo "FAIL: $disk is still mounted after the helper was killed" >&2
    status=1
  fi
fi
kill -KILL "-$group" 2>/dev/null
while grep -q " $disk " /proc/self/mountinfo && umount "$disk" 2>/dev/null; do :; done
exit $status
