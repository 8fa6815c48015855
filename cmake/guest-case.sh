#!/bin/sh
# One case of the guest lane as a ctest result: shows what the case printed
# in the guest and exits with its outcome (0 passed, 1 failed, 77 skipped).
#   guest-case.sh GUEST_DIR CASE
# The lane's set-up (cmake/guest.sh batch) leaves CASE.status and CASE.log
# in GUEST_DIR, or lane.skip (CASE.skip) with the reason every case (this
# case) is skipped.
dir="$1"
name="$2"
for reason in "$dir/lane.skip" "$dir/$name.skip"; do
  if [ -f "$reason" ]; then
    echo "skipped: $(cat "$reason")"
    exit 77
  fi
done
[ -f "$dir/$name.log" ] && cat "$dir/$name.log"
if [ ! -f "$dir/$name.status" ]; then
  echo "guest: $name did not run in the guest (the guest's console: $dir/console.log)"
  [ -f "$dir/console.log" ] && tail -n 40 "$dir/console.log"
  exit 1
fi
status="$(cat "$dir/$name.status")"
echo "guest: $name ended with $status in $(cat "$dir/$name.seconds" 2>/dev/null || echo '?') s"
case "$status" in
  0) exit 0 ;;
  77) exit 77 ;;
  *) exit 1 ;;
esac
