#!/bin/sh
# Runs shell jobs in the emulated i386 guest (cmake/guest-image.sh makes it),
# where the shipped 32-bit build runs under 32-bit Wine on machines that
# execute no 32-bit x86 code.
#   guest.sh run DIR [--timeout S] -- COMMAND...
#       boots the guest once with the host folder DIR shared at /mnt and runs
#       COMMAND there (a shell command line), with the ready Wine prefix, an
#       X display and Wine's environment; its output is the guest's console.
#   guest.sh batch BUILD
#       the lane: runs every case of BUILD/guest/cases.txt in one boot,
#       leaving CASE.status and CASE.log in BUILD/guest (cmake/guest-case.sh).
#   guest.sh boot --image IMG --share DIR --log FILE [--timeout S] [--writable]
#       boots IMG and runs DIR/job.sh; the guest's disk is left unchanged
#       unless --writable. Exits with the job's status, 124 on the time limit.
# Exits 77 where the guest image cannot be made here.
set -eu
here="$(cd "$(dirname "$0")" && pwd)"
say() { echo "guest: $*" >&2; }

# TCG only: no /dev/kvm on these machines. -cpu max without -smap makes
# the guest kernel kill every Wine process (a supervisor-mode fault at an
# iret in Wine's code). -smp 1 is 2-3 times slower.
guest_boot() {
  image="" share="" log="" limit=1800 snapshot=-snapshot
  while [ $# -gt 0 ]; do
    case "$1" in
      --image) image="$2"; shift ;;
      --share) share="$2"; shift ;;
      --log) log="$2"; shift ;;
      --timeout) limit="$2"; shift ;;
      --writable) snapshot="" ;;
      *) say "unknown option $1"; return 2 ;;
    esac
    shift
  done
  rm -f "$share/job.status"
  status=0
  timeout -k 10 "$limit" qemu-system-i386 -M pc -accel tcg,thread=multi -smp 2 -cpu max,-smap -m 3072 \
    -kernel "$image/vmlinuz" -initrd "$image/initrd.img" \
    -append "root=/dev/vda rw console=ttyS0 init=/sbin/tavik-init quiet panic=1" \
    -drive "file=$image/root.img,if=virtio,format=raw,cache=unsafe" $snapshot \
    -virtfs "local,path=$share,mount_tag=share,security_model=none" \
    -nic none -display none -monitor none -serial "file:$log" -no-reboot </dev/null || status=$?
  if [ "$status" = 124 ] || [ "$status" = 137 ]; then
    say "the guest did not finish within $limit s"
    return 124
  fi
  [ -f "$share/job.status" ] || { say "the guest ended without running its job (console: $log)"; return 1; }
  return "$(cat "$share/job.status")"
}

# The job's environment: Wine of the image's prefix, one X display for the
# whole job, the crash dialog off (set in the image).
guest_env() {
  cat <<'EOF'
# Wine keeps the hidden and system attributes in a user.* extended
# attribute, which the guest kernel's tmpfs lacks: /tmp stays on the disk.
umount /tmp 2>/dev/null || true
export HOME=/root WINEPREFIX=/root/.wine WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LC_ALL=en_US.UTF-8 LANG=en_US.UTF-8 TAVIK_TEST_TIME_SCALE=10
Xvfb :7 -screen 0 1280x1024x24 -nolisten tcp >/tmp/xvfb.log 2>&1 &
export DISPLAY=:7
i=0; while [ ! -e /tmp/.X11-unix/X7 ] && [ $i -lt 300 ]; do sleep 0.1; i=$((i+1)); done
wineserver -p
EOF
}

# Sets image to the image folder, building the image if needed; what the
# build says goes to the file ERRORS (shown as well). Returns its status
# (77: cannot be made here).
guest_image() {
  status=0
  image="$("$here/guest-image.sh" 2>"$1")" || status=$?
  image="$(printf '%s\n' "$image" | tail -n 1)"
  cat "$1" >&2
  return "$status"
}

# Where 32-bit code runs natively the 32-bit suite runs directly, and the
# lane is not needed. (The decision is wine-prefix.sh's.)
guest_needed() {
  ! sh "$here/wine-prefix.sh" --runs-32bit
}

# The batch job: unpack the programs onto the guest's own disk at the paths
# they have on the host (the test programs name their data by those paths),
# give both build prefixes the image's ready prefix, then run every case of
# cases.txt under its time limit, leaving only CASE.status, CASE.log and
# CASE.seconds in the share.
guest_batch_job() {
  guest_env
  printf "build='%s'\nsrc='%s'\n" "$1" "$2"
  cat <<'EOF'
tar -C / -xf /mnt/files.tar
# The image's prefix for each of the build's two prefixes, under an overlay
# of its own (nothing copied), with the stamp wine-prefix.sh checks, so
# neither is made again (a minute each).
wineserver -k 2>/dev/null || true
echo "tavik-guest: programs unpacked after $(cut -d' ' -f1 /proc/uptime) s"
modprobe overlay
for prefix in wineprefix wineprefix-e2e; do
  mkdir -p "/var/tmp/$prefix/upper" "/var/tmp/$prefix/work" "$build/$prefix"
  mount -t overlay overlay -o "lowerdir=/root/.wine,upperdir=/var/tmp/$prefix/upper,workdir=/var/tmp/$prefix/work" \
    "$build/$prefix" || cp -a /root/.wine/. "$build/$prefix"
done
(
  . "$src/cmake/wine-prefix.sh"
  if command -v tavik_prefix_stamp >/dev/null; then
    WINEPREFIX="$build/wineprefix" wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    WINEPREFIX="$build/wineprefix" wineserver -w
    tavik_unmanaged=unmanaged; tavik_prefix_stamp >"$build/wineprefix/.tavik-ready"
    tavik_unmanaged=""; tavik_prefix_stamp >"$build/wineprefix-e2e/.tavik-ready"
  fi
)
WINEPREFIX="$build/wineprefix" wineserver -p
WINEPREFIX="$build/wineprefix-e2e" wineserver -p
echo "tavik-guest: batch starts after $(cut -d' ' -f1 /proc/uptime) s"
# What runs, every two minutes, for the console of a run that hangs.
( while sleep 120; do
    echo "tavik-guest: processes after $(cut -d' ' -f1 /proc/uptime) s:"
    ps -eo pid,pgid,stat,etime,args | grep -v ' \[' | cut -c1-160
  done ) &
watcher=$!
tab="$(printf '\t')"
while IFS="$tab" read -r name limit workdir envs command; do
  [ -n "$name" ] || continue
  t0="$(cut -d' ' -f1 /proc/uptime)"
  status=0
  (cd "$workdir" && env $envs timeout -k 10 "$limit" sh -c "$command") >/tmp/case.log 2>&1 </dev/null || status=$?
  [ "$status" = 124 ] && echo "guest: $name exceeded its $limit s limit and was ended" >>/tmp/case.log
  t1="$(cut -d' ' -f1 /proc/uptime)"
  # The share is slow (about 40 times the guest's disk): a case that printed
  # without end brings back only its last 4 MB.
  size="$(stat -c %s /tmp/case.log)"
  if [ "$size" -gt 4194304 ]; then
    echo "guest: $name printed $size bytes; its last 4 MB follow" >"/mnt/$name.log"
    tail -c 4194304 /tmp/case.log >>"/mnt/$name.log"
  else
    cp /tmp/case.log "/mnt/$name.log"
  fi
  # A failed scenario's screenshots come back with it.
  if [ -d "$build/e2e-shots" ]; then
    [ "$status" = 0 ] || { mkdir -p "/mnt/shots/$name" && cp -r "$build/e2e-shots/." "/mnt/shots/$name/"; }
    rm -rf "$build/e2e-shots"
  fi
  awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.0f\n", b - a }' >"/mnt/$name.seconds"
  echo "$status" >"/mnt/$name.status"
  echo "tavik-guest: $name: $status in $(cat "/mnt/$name.seconds") s"
done </mnt/selected.txt
kill "$watcher" 2>/dev/null || true
wineserver -k 2>/dev/null || true
echo "tavik-guest: batch ends after $(cut -d' ' -f1 /proc/uptime) s"
EOF
}

guest_batch() {
  build="$(cd "$1" && pwd)"
  dir="$build/guest"
  src="$(cd "$here/.." && pwd)"
  [ -f "$dir/cases.txt" ] || { say "no $dir/cases.txt: configure the 32-bit build"; return 1; }
  rm -rf "$dir"/*.status "$dir"/*.log "$dir"/*.seconds "$dir"/*.skip "$dir/files.tar" "$dir/shots"
  if ! guest_needed; then
    echo "this machine runs 32-bit programs natively; the 32-bit suite runs them directly" >"$dir/lane.skip"
    say "$(cat "$dir/lane.skip")"
    return 77
  fi
  t0=$(date +%s)
  status=0
  guest_image "$dir/image.err" || status=$?
  if [ "$status" = 77 ]; then
    tail -n 1 "$dir/image.err" | sed 's/^guest-image: //' >"$dir/lane.skip"
    return 77
  fi
  [ "$status" = 0 ] || { say "the guest image could not be made"; return 1; }
  t1=$(date +%s)
  sed 's|^/||' "$dir/files.txt" | grep -v '^$' | tar -C / -cf "$dir/files.tar" -T - ||
    { say "cannot pack the programs for the guest"; return 1; }
  # TAVIK_GUEST_CASES (a pattern of case names) runs only some, for a
  # developer chasing one fault; the others are skipped, saying so.
  : >"$dir/selected.txt"
  tab="$(printf '\t')"
  while IFS="$tab" read -r name rest; do
    if printf '%s\n' "$name" | grep -Eq "^(${TAVIK_GUEST_CASES:-.*})\$"; then
      printf '%s\t%s\n' "$name" "$rest" >>"$dir/selected.txt"
    else
      echo "not among TAVIK_GUEST_CASES ($TAVIK_GUEST_CASES)" >"$dir/$name.skip"
    fi
  done <"$dir/cases.txt"
  guest_batch_job "$build" "$src" >"$dir/job.sh"
  limit="${TAVIK_GUEST_TIMEOUT:-1200}"
  status=0
  guest_boot --image "$image" --share "$dir" --log "$dir/console.log" --timeout "$limit" || status=$?
  t2=$(date +%s)
  rm -f "$dir/files.tar" "$dir/job.sh" "$dir/job.status" "$dir/selected.txt"
  grep 'tavik-guest:' "$dir/console.log" | tr -d '\r'
  echo "guest: image $((t1 - t0)) s, boot and batch $((t2 - t1)) s; console: $dir/console.log"
  [ "$status" = 0 ] && return 0
  say "the guest's batch did not finish ($status)"
  # Once the batch has started, the cases that ran keep their results and
  # the others fail on their own, each saying so; before, nothing ran.
  grep -q 'tavik-guest: batch starts' "$dir/console.log" || return 1
}

# The whole file is read before anything runs (one line calls main and
# exits), so a run is not upset by an edit of this file while it boots.
guest_main() {
  case "${1:-}" in
    batch)
      [ $# = 2 ] || { say "usage: guest.sh batch BUILD"; exit 2; }
      guest_batch "$2"
      ;;
    boot)
      shift
      guest_boot "$@"
      ;;
    run)
      [ $# -ge 4 ] || { say "usage: guest.sh run DIR [--timeout S] -- COMMAND..."; exit 2; }
      dir="$(cd "$2" && pwd)"
      shift 2
      limit=1800
      [ "$1" = --timeout ] && { limit="$2"; shift 2; }
      [ "$1" = -- ] || { say "usage: guest.sh run DIR [--timeout S] -- COMMAND..."; exit 2; }
      shift
      guest_image "$dir/guest-image.err" || exit $?
      { guest_env; echo "cd /mnt"; echo "$*"; } >"$dir/job.sh"
      log="$dir/guest-console.log"
      status=0
      guest_boot --image "$image" --share "$dir" --log "$log" --timeout "$limit" || status=$?
      cat "$log"
      rm -f "$dir/job.sh" "$dir/job.status" "$dir/guest-image.err"
      exit "$status"
      ;;
    *)
      sed -n '2,16p' "$0" | sed 's/^# \{0,1\}//' >&2
      exit 2
      ;;
  esac
}

guest_main "$@"; exit $?
