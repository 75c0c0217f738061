#!/usr/bin/env bash
# Runs a command inside a throw-away QEMU guest with real kernel input
# devices, for the end-to-end tests of the Linux tablet library:
#
#   tools/vm-input.sh [-w] [-t SECS] [-H HOOK] -- GUEST_COMMAND [ARGS...]
#
# The guest boots Debian's generic kernel (downloaded once, never installed)
# with this machine's root as a read-only 9p share under a tmpfs overlay, so
# it runs the same programs and libraries and may write anywhere without
# touching the host. Its kernel has uinput and evdev (a command makes tablets
# with evemu-device) and, with -w, QEMU's emulated USB Wacom PenPartner bound
# by the kernel's own hid-wacom driver, driven from the host through QMP by
# HOOK (run beside the VM with VMT_RUN and VMT_OUT set; $VMT_RUN/qmp.sock).
#
#   -t SECS   time limit of the whole VM run (default 300); the command gets
#             SECS - 30
#   -w        add the emulated Wacom tablet
#   -H HOOK   host script to drive it
#
# In the guest the command runs as root, with udevd running, in $VMT_OUT: a
# writable share at the same path as here, where files written come back.
# Exit status: the command's; 124 on time-out; 125 when the VM could not run
# (the reason on the last line). Must run as root (the 9p export of /, apt).
#
# Found on these machines: /dev/kvm here is PVM, which runs no stock kernel,
# so without a real KVM the guest runs under TCG (about 10 s to a shell).
# uinput ignores a written SYN_DROPPED: a real one comes from stopping the
# reader while events pile up. QEMU's PenPartner reports only its latest
# state when polled, and registers its absolute handler only once the guest
# polls it, that is once a reader opened its node.
set -euo pipefail

limit=300 wacom=0 hook=
while getopts t:wH: opt; do
  case $opt in
    t) limit=$OPTARG ;;
    w) wacom=1 ;;
    H) hook=$(realpath "$OPTARG") ;;
    *) sed -n '2,/^set -euo/p' "$0" | sed '$d' >&2; exit 125 ;;
  esac
done
shift $((OPTIND - 1))
fail() { echo "vm-input: $*" >&2; exit 125; }
[ $# -gt 0 ] || fail "no guest command"
[ "$(id -u)" = 0 ] || fail "must run as root (9p export of /)"

cache=${KALVOR_VM_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/kalvor-vm}
mkdir -p "$cache/runs"

# ---------------------------------------------------------------- packages
need=(qemu-system-x86 busybox-static evemu-tools udev)
[ "$wacom" = 1 ] && need+=(socat)
missing=()
for p in "${need[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "vm-input: installing ${missing[*]}"
  timeout 300 apt-get update -q >/dev/null
  DEBIAN_FRONTEND=noninteractive timeout 600 apt-get install -y -q --no-install-recommends \
    "${missing[@]}" >/dev/null || fail "could not install ${missing[*]}"
fi

# ---------------------------------------------------------------- kernel
# The generic kernel, not -cloud: that one has no uinput, 9p, USB or wacom.
if [ ! -f "$cache/kernel.ok" ]; then
  package() { apt-cache depends linux-image-amd64 2>/dev/null | awk '/Depends: linux-image-[0-9]/{print $2; exit}'; }
  kpkg=$(package)
  [ -n "$kpkg" ] || { timeout 300 apt-get update -q >/dev/null; kpkg=$(package); }
  [ -n "$kpkg" ] || fail "no linux-image-amd64 package known"
  echo "vm-input: downloading $kpkg"
  rm -rf "$cache/kernel" "$cache/debs" && mkdir -p "$cache/kernel" "$cache/debs"
  (cd "$cache/debs" && timeout 600 apt-get download -q "$kpkg" >/dev/null 2>&1) ||
    fail "apt-get download $kpkg failed"
  dpkg-deb -x "$cache"/debs/"$kpkg"_*.deb "$cache/kernel"
  rm -rf "$cache/debs"
  touch "$cache/kernel.ok"
fi
kver=$(ls "$cache/kernel/lib/modules" | head -n 1)
vmlinuz=$cache/kernel/boot/vmlinuz-$kver

# ---------------------------------------------------------------- initramfs
# busybox and the modules for 9p, overlayfs, evdev, uinput and a USB HID
# tablet; its /init mounts the host's root under an overlay and runs the
# command's script there.
modules="virtio_pci 9pnet_virtio 9p overlay evdev uinput xhci-pci usbhid hid-generic wacom"
init_script() {
  cat <<'INIT'
#!/bin/busybox sh
/bin/busybox --install -s /bin
export PATH=/bin
mount -t proc proc /proc; mount -t sysfs sysfs /sys; mount -t devtmpfs devtmpfs /dev
for a in $(cat /proc/cmdline); do case $a in vmt.out=*) OUT=${a#vmt.out=} ;; esac; done
for m in $(cat /modules.load); do modprobe "$m" || echo "VMT modprobe $m failed" > /dev/console; done
mount -t 9p -o trans=virtio,version=9p2000.L,ro,msize=512000,cache=loose hostroot /lower || echo "VMT mount hostroot failed" > /dev/console
mount -t tmpfs -o size=70% tmpfs /upper; mkdir -p /upper/u /upper/w
mount -t overlay overlay -o lowerdir=/lower,upperdir=/upper/u,workdir=/upper/w /newroot || echo "VMT overlay failed" > /dev/console
R=/newroot
mount -t proc proc $R/proc; mount -t sysfs sysfs $R/sys; mount -t devtmpfs devtmpfs $R/dev
mkdir -p $R/dev/pts $R/dev/shm; mount -t devpts devpts $R/dev/pts; mount -t tmpfs tmpfs $R/dev/shm
# /tmp stays the overlay's: a checkout or a build under the host's /tmp must
# be seen in the guest, and what the guest writes there goes to the tmpfs.
mount -t tmpfs tmpfs $R/run
mkdir -p "$R$OUT"; mount -t 9p -o trans=virtio,version=9p2000.L,msize=512000,cache=none vmtout "$R$OUT" || echo "VMT mount out failed" > /dev/console
chroot $R /bin/bash "$OUT/guest-main.sh" > /dev/console 2>&1
sync; umount "$R$OUT" 2>/dev/null
poweroff -f
INIT
}
initrd=$cache/initramfs-$kver.cpio.gz
stamp=$( (echo "$modules"; init_script) | md5sum | cut -c1-12)
if [ ! -f "$initrd" ] || [ "$(cat "$initrd.stamp" 2>/dev/null)" != "$stamp" ]; then
  echo "vm-input: building the initramfs for $kver"
  mroot=$cache/kernel/lib/modules/$kver
  [ -f "$mroot/modules.dep" ] || busybox depmod -b "$cache/kernel" "$kver"
  st=$(mktemp -d)
  mkdir -p "$st"/{bin,proc,sys,dev,lower,upper,newroot} "$st/lib/modules/$kver"
  cp /bin/busybox "$st/bin/busybox"
  for m in $modules; do
    line=$(awk -v m="/$m.ko:" 'index($0, m) {print; exit}' "$mroot/modules.dep")
    [ -n "$line" ] || fail "module $m not in the kernel"
    for f in $(echo "$line" | tr -d ':'); do
      mkdir -p "$st/lib/modules/$kver/$(dirname "$f")"
      cp "$mroot/$f" "$st/lib/modules/$kver/$f"
    done
  done
  cp "$mroot"/modules.builtin "$mroot"/modules.order "$st/lib/modules/$kver/"
  busybox depmod -b "$st" "$kver"
  echo "$modules" > "$st/modules.load"
  init_script > "$st/init"
  chmod 755 "$st/init"
  (cd "$st" && find . | busybox cpio -o -H newc 2>/dev/null | gzip -1) > "$initrd.tmp"
  mv "$initrd.tmp" "$initrd" && echo "$stamp" > "$initrd.stamp"
  rm -rf "$st"
fi

# ---------------------------------------------------------------- the run
run=$(mktemp -d "$cache/runs/run.XXXXXX")
out=$run/out
mkdir -p "$out"
{
  echo '#!/bin/bash'
  echo "export PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin"
  echo "export VMT_OUT=$(printf %q "$out") HOME=/root LANG=C.UTF-8 TMPDIR=/tmp"
  echo "export XDG_RUNTIME_DIR=/run/user/0 SYSTEMD_IGNORE_CHROOT=1"
  echo "limit=$((limit > 60 ? limit - 30 : limit / 2))"
  printf 'command=(%s)\n' "$(printf '%q ' "$@")"
  cat <<'GUEST'
mkdir -p -m 700 /run/user/0
date -s "@$(cat "$VMT_OUT/host-time")" >/dev/null 2>&1 || true
cd "$VMT_OUT"
# udev as on a desk: device properties, and add and remove events that a
# libudev monitor hears. systemd's tools refuse a chroot unless told.
if [ -x /lib/systemd/systemd-udevd ]; then
  /lib/systemd/systemd-udevd --daemon >/dev/null 2>&1 &&
    udevadm trigger --action=add >/dev/null 2>&1 && udevadm settle -t 20
fi
: > "$VMT_OUT/ready"
timeout -k 5 "$limit" "${command[@]}" > "$VMT_OUT/guest.log" 2>&1
echo $? > "$VMT_OUT/rc"
sync
GUEST
} > "$out/guest-main.sh"
date +%s > "$out/host-time"

accel=(-accel tcg,thread=multi -cpu max)
if [ -w /dev/kvm ] && [ ! -d /sys/module/kvm_pvm ]; then accel=(-enable-kvm -cpu host); fi
extra=(-monitor none)
if [ "$wacom" = 1 ]; then
  extra=(-device qemu-xhci,id=xhci -device usb-wacom-tablet,bus=xhci.0
         -monitor none -qmp "unix:$run/qmp.sock,server=on,wait=off")
fi

started=$(date +%s)
timeout -k 5 "$limit" qemu-system-x86_64 "${accel[@]}" -M pc -smp 2 -m 1536M \
  -nodefaults -no-user-config -display none -no-reboot \
  -serial "file:$run/serial.log" \
  -kernel "$vmlinuz" -initrd "$initrd" \
  -append "console=ttyS0 quiet loglevel=3 panic=-1 rdinit=/init vmt.out=$out" \
  -fsdev "local,id=hostroot,path=/,security_model=none,readonly=on,multidevs=remap" \
  -device virtio-9p-pci,fsdev=hostroot,mount_tag=hostroot \
  -fsdev "local,id=vmtout,path=$out,security_model=none" \
  -device virtio-9p-pci,fsdev=vmtout,mount_tag=vmtout \
  "${extra[@]}" > "$run/qemu.log" 2>&1 &
qemu=$!
if [ -n "$hook" ]; then
  VMT_RUN=$run VMT_OUT=$out bash "$hook" > "$run/hook.log" 2>&1 &
  hookpid=$!
fi
set +e
wait "$qemu"
qrc=$?
set -e
if [ -n "${hookpid:-}" ]; then
  kill "$hookpid" 2>/dev/null || true
  wait "$hookpid" 2>/dev/null || true
fi

[ -f "$out/guest.log" ] && cat "$out/guest.log"
if [ "$qrc" = 124 ] || [ "$qrc" = 137 ]; then
  echo "vm-input: time-out after $((limit))s"
  rc=124
elif [ -f "$out/rc" ]; then
  rc=$(cat "$out/rc")
else
  echo "vm-input: the guest never ran the command (qemu exit $qrc); its console:"
  sed 's/^/  | /' "$run/serial.log" "$run/qemu.log" | tail -n 30
  rc=125
fi
echo "vm-input: $(( $(date +%s) - started )) s in the VM"
[ "$rc" = 0 ] && rm -rf "$run" || echo "vm-input: kept $run"
exit "$rc"
