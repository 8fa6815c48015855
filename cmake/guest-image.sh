#!/bin/sh
# Makes (once) the emulated i386 guest that runs the shipped 32-bit build on
# machines that execute no 32-bit x86 code: Debian 12 for i386 with 32-bit
# Wine and Xvfb, and a ready 32-bit Wine prefix inside the image.
#   guest-image.sh            prints the image folder, building it if needed
#   guest-image.sh --path     prints the image folder only (may not exist yet)
# The image is cached outside any build folder, under
# $TAVIK_GUEST_CACHE (default /var/cache/tavik-guest), in a folder named by
# the suite and this script's hash: whatever changes what goes into the
# image makes a new one; later runs on the same machine reuse it.
# Packages come from Debian's main suite only (its security index has been
# out of step with main on the mirror); nothing else is fetched.
# Exits 77 where the image cannot be made (no root, no qemu, no mirror).
set -eu
suite=bookworm
here="$(cd "$(dirname "$0")" && pwd)"
cache="${TAVIK_GUEST_CACHE:-/var/cache/tavik-guest}"
key="$suite-$(sha256sum "$here/guest-image.sh" | cut -c1-16)"
image="$cache/$key"
[ "${1:-}" = --path ] && { echo "$image"; exit 0; }
[ -f "$image/ready" ] && { echo "$image"; exit 0; }

say() { echo "guest-image: $*" >&2; }
for tool in qemu-system-i386 debootstrap mke2fs /usr/bin/qemu-i386-static; do
  command -v "$tool" >/dev/null 2>&1 ||
    { say "cannot build the guest: $tool is missing (cmake/install-deps.sh installs it)"; exit 77; }
done
[ "$(id -u)" = 0 ] || { say "cannot build the guest: debootstrap needs root"; exit 77; }

# The mirror the host's apt uses, so a machine behind its own mirror uses it.
mirror="${TAVIK_GUEST_MIRROR:-$(grep -hoE '^(URIs:|deb) +[^ ]+' /etc/apt/sources.list.d/*.sources \
  /etc/apt/sources.list 2>/dev/null | awk '{print $2}' | grep -v security | head -n 1)}"
mirror="${mirror:-http://deb.debian.org/debian}"

mkdir -p "$cache"
exec 9>"$cache/$key.lock"
flock 9
[ -f "$image/ready" ] && { echo "$image"; exit 0; }

work="$cache/$key.tmp"
binfmt=/proc/sys/fs/binfmt_misc
entry="tavik-i386-$$"
cleanup() {
  [ -e "$binfmt/$entry" ] && echo -1 >"$binfmt/$entry"
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP
rm -rf "$work"
mkdir -p "$work"
root="$work/root"
start=$(date +%s)

# ~260 MB: Wine, Xvfb, a kernel, the fonts the end-to-end scenarios use
# (Wine's own and Latin ones, no Chinese font) and locale tools.
say "first stage from $mirror ($suite, i386)"
debootstrap --arch=i386 --foreign --variant=minbase \
  --include=wine,wine32,xvfb,xauth,linux-image-686,initramfs-tools,kmod,procps,udev,fonts-wine,fonts-dejavu-core,fonts-liberation,locales \
  "$suite" "$root" "$mirror" >"$work/debootstrap.log" 2>&1 ||
  { tail -n 20 "$work/debootstrap.log" >&2; say "cannot build the guest: debootstrap failed"; exit 77; }

# Copying every module into the initramfs under qemu-user takes over six
# minutes; the guest needs only its disk, its file system and the share.
mkdir -p "$root/etc/initramfs-tools"
cat >"$root/etc/initramfs-tools/initramfs.conf" <<'EOF'
MODULES=list
BUSYBOX=auto
COMPRESS=gzip
EOF
printf '%s\n' virtio_pci virtio_blk ext4 9p 9pnet_virtio >"$root/etc/initramfs-tools/modules"

# The second stage runs i386 maintainer scripts. Where this machine
# executes i386 code they run as they are (three times faster); elsewhere
# qemu-user runs them, by a binfmt entry of our own that the trap removes
# on every exit.
if chroot "$root" /bin/true 2>/dev/null; then
  say "second stage (i386 maintainer scripts, which run on this machine as they are)"
else
  mountpoint -q "$binfmt" || mount -t binfmt_misc binfmt_misc "$binfmt"
  printf '%s' ":$entry:M::\\x7fELF\\x01\\x01\\x01\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x02\\x00\\x03\\x00:\\xff\\xff\\xff\\xff\\xff\\xfe\\xfe\\x00\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xfe\\xff\\xff\\xff:/usr/bin/qemu-i386-static:FP" \
    >"$binfmt/register"
  say "second stage (i386 maintainer scripts under qemu-user)"
fi
chroot "$root" /debootstrap/debootstrap --second-stage >"$work/second-stage.log" 2>&1 ||
  { tail -n 20 "$work/second-stage.log" >&2; say "cannot build the guest: second stage failed"; exit 77; }
[ ! -e "$binfmt/$entry" ] || echo -1 >"$binfmt/$entry"

# The guest's PID 1: mounts what Wine and Xvfb need and the share, runs the
# share's job.sh with the console as its output, records its exit status in
# the share and powers off. A job that hangs is ended by the host's time limit.
cat >"$root/sbin/tavik-init" <<'EOF'
#!/bin/sh
PATH=/usr/sbin:/usr/bin:/sbin:/bin
export PATH
mount -t proc proc /proc 2>/dev/null
mount -t sysfs sys /sys 2>/dev/null
mount -t devtmpfs dev /dev 2>/dev/null
mkdir -p /dev/pts /dev/shm
mount -t devpts devpts /dev/pts
mount -t tmpfs shm /dev/shm
mount -t tmpfs tmp /tmp
hostname tavik-guest
echo "tavik-guest: up after $(cut -d' ' -f1 /proc/uptime) s"
if mount -t 9p -o trans=virtio,version=9p2000.L,msize=262144 share /mnt; then
  status=0
  sh /mnt/job.sh </dev/null || status=$?
  echo "$status" >/mnt/job.status
  echo "tavik-guest: job ended with $status after $(cut -d' ' -f1 /proc/uptime) s"
  sync
  umount /mnt
else
  echo "tavik-guest: no share"
fi
sync
echo o >/proc/sysrq-trigger
sleep 60
EOF
chmod 755 "$root/sbin/tavik-init"
echo tavik-guest >"$root/etc/hostname"

kernel="$(ls "$root"/boot/vmlinuz-* | tail -n 1)"
initrd="$(ls "$root"/boot/initrd.img-* | tail -n 1)"
cp "$kernel" "$work/vmlinuz"
cp "$initrd" "$work/initrd.img"
mke2fs -q -t ext4 -L tavik-root -d "$root" "$work/root.img" 6G
rm -rf "$root"

# The Wine prefix is made by the guest itself, once, into the image: a
# wineboot there costs about a minute. The crash dialog is turned off, or a
# crashed program waits in the debugger until the guest is killed. The
# user's shell folders are real folders, however deep (Wine links them to
# the home), as wine-prefix.sh wants them.
mkdir -p "$work/share"
cat >"$work/share/job.sh" <<'EOF'
set -e
export HOME=/root WINEPREFIX=/root/.wine WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
localedef -i en_US -f UTF-8 en_US.UTF-8
xvfb-run -a -s "-screen 0 1024x768x24" sh -c '
  wineboot -i &&
  wine reg add "HKCU\\Software\\Wine\\WineDbg" /v ShowCrashDialog /t REG_DWORD /d 0 /f &&
  wineserver -w'
find /root/.wine/drive_c/users -type l | while read -r link; do
  rm -f "$link" && mkdir -p "$link"
done
grep -q ShowCrashDialog /root/.wine/user.reg
wine --version >/root/.wine/.wine-version
echo ready >/mnt/prefix.ok
EOF
say "first boot: making the Wine prefix inside the image"
"$here/guest.sh" boot --image "$work" --writable --share "$work/share" --log "$work/first-boot.log" \
  --timeout 900 || true
[ -f "$work/share/prefix.ok" ] ||
  { tail -n 30 "$work/first-boot.log" >&2; say "the guest could not make its Wine prefix"; exit 1; }

rm -rf "$work/share"
echo "$(($(date +%s) - start))" >"$work/build-seconds"
touch "$work/ready"
rm -rf "$image"
mv "$work" "$image"
say "guest image ready in $(cat "$image/build-seconds") s: $image"
echo "$image"
