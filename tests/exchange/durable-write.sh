#!/usr/bin/env bash
# A value written is on disk before the program goes on: the new file is
# synced before it is renamed over the old one, and the directory after the
# rename, so that a power cut cannot bring the previous file back.
#   durable-write.sh PROBE
set -euo pipefail
probe=$1
if ! command -v strace >/dev/null; then
  echo "strace is missing"; exit 1
fi
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
printf 'old\r\n' > "$dir/Save.csv"
# LeakSanitizer cannot run under ptrace: a sanitized probe checks no leaks here.
ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" strace -f -qq -e trace=openat,fsync,fdatasync,rename,renameat,renameat2 -o "$dir/trace" \
  "$probe" "$dir/Save.csv" "new"
[ "$(cat "$dir/Save.csv")" = new ] || { echo "not written"; exit 1; }
awk -v dir="$dir" '
  # strace -f prefixes every line with the process id.
  { sub(/^[0-9]+ +/, "") }
  # The new file: named, or still unnamed until the rename (O_TMPFILE).
  /^openat\(/ && (/Save\.csv\.kalvor-/ || /O_TMPFILE/) { split($0, a, "= "); tmp = a[2] + 0 }
  /^f(data)?sync\(/ { fd = $0; sub(/^f(data)?sync\(/, "", fd); fd += 0
                      if (fd == tmp && !renamed) tmpSynced = 1
                      if (renamed && fd == dirfd) dirSynced = 1 }
  /^rename/ && /Save\.csv\.kalvor-/ { renamed = 1 }
  /^openat\(/ && renamed && index($0, "\"" dir "\"") && /O_DIRECTORY/ { split($0, a, "= "); dirfd = a[2] + 0 }
  END {
    if (!tmpSynced) { print "the new file is not synced before the rename"; exit 1 }
    if (!renamed)   { print "no rename"; exit 1 }
    if (!dirSynced) { print "the directory is not synced after the rename"; exit 1 }
    print "synced file, renamed, synced directory"
  }' "$dir/trace"
