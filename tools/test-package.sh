#!/usr/bin/env bash
# Builds the Debian package from an existing build directory and checks it:
#
#   tools/test-package.sh [BUILD_DIR]      (default build/)
#
# 1. contents: both executables in /usr/bin, the menu entries, the icons,
#    the udev rule, the declared dependencies;
# 2. desktop-file-validate on both menu entries as shipped;
# 3. one start of the installed program, headless, with a scratch home: its
#    settings and run marker must land in ~/.local/share/Kalvor and nothing
#    beside the executable. As root the package is installed with apt-get
#    and removed again afterwards; as another user (or when a kalvor package
#    is installed already, which is left alone) it is unpacked with dpkg -x
#    into a scratch root whose usr/bin is read-only.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
started=$SECONDS

fail() {
  echo "test-package: FAIL: $*" >&2
  exit 1
}
ok() { echo "test-package: ok: $*"; }

scratch=$(mktemp -d)
installed_here=0
cleanup() {
  if [ "$installed_here" = 1 ]; then
    dpkg -P kalvor >/dev/null 2>&1 || echo "test-package: could not remove kalvor again" >&2
  fi
  chmod -R u+w "$scratch" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

# --- build -----------------------------------------------------------------
rm -f "$build"/kalvor_*.deb
cmake --build "$build" --target package >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log" >&2; fail "cmake --build $build --target package"; }
debs=("$build"/kalvor_*.deb)
if [ ${#debs[@]} != 1 ] || [ ! -f "${debs[0]}" ]; then fail "expected one kalvor_*.deb in $build"; fi
deb=$(realpath "${debs[0]}")
ok "built $(basename "$deb") ($(stat -c %s "$deb") bytes)"

# --- contents ----------------------------------------------------------------
dpkg-deb -c "$deb" | awk '{ print $1, $NF }' >"$scratch/contents"
expect_file() {  # MODE PATH
  grep -qxFe "$1 ./${2#/}" "$scratch/contents" || fail "package lacks $2 with mode $1"
}
for exe in Kalvor Kalvor080125; do expect_file -rwxr-xr-x "/usr/bin/$exe"; done
for f in /usr/share/applications/kalvor.desktop /usr/share/applications/kalvor080125.desktop \
  /usr/share/icons/hicolor/scalable/apps/kalvor.svg /usr/lib/udev/rules.d/70-kalvor-tablet.rules \
  /usr/share/doc/kalvor/copyright; do
  expect_file -rw-r--r-- "$f"
done
for s in 16 24 32 48 64 128 256; do
  expect_file -rw-r--r-- "/usr/share/icons/hicolor/${s}x${s}/apps/kalvor.png"
done
# The modules loaded on first use: the PDF reader and the capture sound.
modules=()
for m in kalvor-pdf kalvor-sound; do
  path=$(awk -v m="/kalvor/$m.so" 'substr($2, length($2) - length(m) + 1) == m { print substr($2, 2) }' \
    "$scratch/contents")
  [ -n "$path" ] || fail "package lacks the module $m.so"
  modules+=("$path")
done
# The drawing helper beside the PDF module, where Kalvor looks for it.
expect_file -rwxr-xr-x "$(dirname "${modules[0]}")/kalvor-drawing"
ok "contents: both editions, two menu entries, 7 icon sizes and the SVG, the udev rule, the copyright, the PDF and sound modules, the drawing helper"

depends=$(dpkg-deb -f "$deb" Depends)
# libc6 comes only from dpkg-shlibdeps: its presence shows the scan ran.
for p in libqt6widgets6 libqt6multimedia6 qt6-translations-l10n libevdev2 fonts-ipafont-gothic \
  qt6-image-formats-plugins libpoppler-qt6-3 libc6; do
  grep -Eq "(^|, )$p( |,|$)" <<<"$depends" || fail "Depends lacks $p: $depends"
done
ok "depends: $depends"

# --- menu entries --------------------------------------------------------------
dpkg-deb -x "$deb" "$scratch/root"
grep -q 'TAG+="uaccess"' "$scratch/root/usr/lib/udev/rules.d/70-kalvor-tablet.rules" ||
  fail "the udev rule grants no seat access"
# Each pair: menu entry, executable it starts.
for pair in kalvor:Kalvor kalvor080125:Kalvor080125; do
  file="$scratch/root/usr/share/applications/${pair%%:*}.desktop"
  desktop-file-validate "$file" || fail "desktop-file-validate ${pair%%:*}.desktop"
  grep -qx "Exec=${pair#*:}" "$file" || fail "${pair%%:*}.desktop does not start ${pair#*:}"
  grep -qx "Icon=kalvor" "$file" || fail "${pair%%:*}.desktop shows another icon"
  grep -qx "Categories=Graphics;Engineering;" "$file" || fail "${pair%%:*}.desktop categories"
done
ok "desktop-file-validate passes on kalvor.desktop and kalvor080125.desktop"

# --- one start of the installed program ---------------------------------------
# Starts EXE headless with a scratch home and waits for the settings file and
# the run marker in the per-user data directory; then ends it.
start_once() {  # EXE
  local exe="$1" home="$scratch/home" data pid
  data="$home/.local/share/Kalvor"
  mkdir -p "$home" "$scratch/run"
  chmod 700 "$scratch/run"
  ls -A "$(dirname "$exe")" >"$scratch/bin-before"
  # A replay of an empty file: no tablet, and no notice box that would wait
  # for an answer. A regular file: a device node such as /dev/null is refused
  # with a notice.
  : >"$scratch/empty.replay"
  env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$scratch/run" \
    QT_QPA_PLATFORM=offscreen KALVOR_PAD="replay:$scratch/empty.replay" LANG=C.UTF-8 \
    "$exe" >"$scratch/run.log" 2>&1 &
  pid=$!
  for _ in $(seq 1 150); do
    [ -f "$data/Kalvor.INI" ] && [ -f "$data/err.dat" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  local alive=0
  kill -0 "$pid" 2>/dev/null && alive=1
  kill -TERM "$pid" 2>/dev/null || true
  for _ in $(seq 1 30); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true

  [ "$alive" = 1 ] || { cat "$scratch/run.log" >&2; fail "$exe ended by itself at start-up"; }
  [ -f "$data/Kalvor.INI" ] || { cat "$scratch/run.log" >&2; fail "no $data/Kalvor.INI"; }
  [ -f "$data/err.dat" ] || fail "no run marker $data/err.dat"
  grep -q '^\[frmTab\]' "$data/Kalvor.INI" || fail "Kalvor.INI has no [frmTab] section"
  ls -A "$(dirname "$exe")" >"$scratch/bin-after"
  diff -q "$scratch/bin-before" "$scratch/bin-after" >/dev/null ||
    fail "files appeared beside $exe: $(comm -13 "$scratch/bin-before" "$scratch/bin-after")"
  ok "$exe started; Kalvor.INI and err.dat in ~/.local/share/Kalvor, nothing beside the executable"
}

# Installed means installed: a package removed without purging ("deinstall ok
# config-files") is not in the way.
installed_status=$(dpkg-query -W -f='${Status}' kalvor 2>/dev/null || true)
if [ "$(id -u)" -eq 0 ] && command -v apt-get >/dev/null && [ "$installed_status" != "install ok installed" ]; then
  # Two runs of this script at once would remove each other's installation.
  exec 9>/tmp/kalvor-test-package.lock
  flock -w 600 9 || fail "another package test holds /tmp/kalvor-test-package.lock"
  installed_here=1
  DEBIAN_FRONTEND=noninteractive apt-get install -y -o DPkg::Lock::Timeout=300 "$deb" \
    >"$scratch/apt.log" 2>&1 || { cat "$scratch/apt.log" >&2; fail "apt-get install $deb"; }
  ok "installed with apt-get"
  for m in "${modules[@]}"; do
    if ldd "$m" | grep -q "not found"; then fail "$m: $(ldd "$m" | grep "not found")"; fi
  done
  ok "the modules ${modules[*]} find every library they need"
  start_once /usr/bin/Kalvor
  dpkg -P kalvor >"$scratch/remove.log" 2>&1 || { cat "$scratch/remove.log" >&2; fail "dpkg -P kalvor"; }
  installed_here=0
  [ ! -e /usr/bin/Kalvor ] || fail "/usr/bin/Kalvor is still there after dpkg -P"
  ok "removed again with dpkg -P kalvor"
else
  if [ "$(id -u)" -eq 0 ]; then
    # Root writes into a read-only directory too, so the unpacked copy would
    # keep its files beside itself; only an installed copy in /usr shows the
    # rule for root.
    echo "test-package: skipped the start: a kalvor package is installed on this machine" \
      "already and is left alone"
  else
    chmod a-w "$scratch/root/usr/bin"
    start_once "$scratch/root/usr/bin/Kalvor"
  fi
fi

echo "test-package: all checks passed in $((SECONDS - started)) s"
