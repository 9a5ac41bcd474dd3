#!/bin/sh
# `velmar convert --output` when the disk is full or a file-size limit is
# reached: the old text of the file survives whole, the run fails with a
# message (it is not killed), and no temporary file stays.
# usage: full_disk.sh VELMAR
# The full disk is a small tmpfs in a mount namespace of the test's own,
# which needs root; without it that part is skipped (exit 77).
set -u
velmar=$1
fail() { echo "FAIL: $*"; exit 1; }

# Text of 6,000 lines of 100 bytes: 606,000 bytes once converted (CR LF).
make_input() {
  awk 'BEGIN { for (i = 0; i < 6000; i++) printf "%099d\n", i }' > "$1"
}

check_kept() {  # dir file... : each file still reads "old text", no temporary file
  dir=$1
  shift
  for f in "$@"; do
    [ "$(cat "$dir/$f")" = "old text" ] || fail "$f lost its old text ($(wc -c < "$dir/$f") bytes now)"
  done
  ls "$dir" | grep -q velmar-tmp && fail "a temporary file stayed: $(ls "$dir")"
  return 0
}

if [ "${2:-}" = inside ]; then
  # In the namespace: a disk of 1 MiB with a file of two names.
  disk=$3
  mount -t tmpfs -o size=1m tmpfs "$disk" || exit 77
  make_input "$disk/../input.txt"
  printf 'old text' > "$disk/target.txt"
  head -c 100000 /dev/zero >> "$disk/padding"
  ln "$disk/target.txt" "$disk/other-name.txt"
  "$velmar" convert --output "$disk/target.txt" "$disk/../input.txt" 2> "$disk/../err.txt"
  status=$?
  [ $status -eq 1 ] || fail "status $status on a full disk, expected 1"
  grep -q "cannot write" "$disk/../err.txt" || fail "no message: $(cat "$disk/../err.txt")"
  check_kept "$disk" target.txt other-name.txt
  # With room enough both names get the new text.
  rm "$disk/padding"
  mount -o remount,size=4m "$disk"
  "$velmar" convert --output "$disk/target.txt" "$disk/../input.txt" || fail "no room with 4 MiB"
  [ "$(wc -c < "$disk/other-name.txt")" -eq 606000 ] || fail "the other name did not get the new text"
  cmp -s "$disk/target.txt" "$disk/other-name.txt" || fail "the two names differ"
  exit 0
fi

work=$(mktemp -d)
trap 'umount "$work/disk" 2> /dev/null; rm -rf "$work"' EXIT

# A file-size limit of 200,000 bytes: the temporary file reaches it.
make_input "$work/input.txt"
printf 'old text' > "$work/target.txt"
prlimit --fsize=200000 "$velmar" convert --output "$work/target.txt" "$work/input.txt" 2> "$work/err.txt"
status=$?
[ $status -eq 1 ] || fail "status $status past a file-size limit, expected 1 ($(cat "$work/err.txt"))"
rm "$work/input.txt" "$work/err.txt"
check_kept "$work" target.txt

mkdir "$work/disk"
unshare -m sh "$0" "$velmar" inside "$work/disk"
status=$?
[ $status -eq 77 ] && echo "no tmpfs could be mounted (root needed): the full disk was not tried"
exit $status
