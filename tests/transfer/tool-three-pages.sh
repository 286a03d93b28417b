#!/bin/sh
# tarsin-scan end to end: three pages in each mode, all three modes writing the same BMP bytes.
# usage: tool-three-pages.sh TOOL [TOOL-ARGS...]   (TOOL may be "wine tarsin-scan.exe")
set -eu
out=$(mktemp -d "${TMPDIR:-/tmp}/tarsin-tool-XXXXXX")
trap 'rm -rf "$out"' EXIT
for mode in native memory file; do
    mkdir -p "$out/$mode"
    "$@" --mode "$mode" --pages 3 --dpi 100 --out "$out/$mode" > "$out/$mode.log"
    grep -q "^done: 3 pages" "$out/$mode.log" || { cat "$out/$mode.log"; exit 1; }
    [ ! -e "$out/$mode/page-0004.bmp" ] || { echo "$mode: a fourth page"; exit 1; }
done
for page in 1 2 3; do
    name=page-000$page.bmp
    head -c 2 "$out/native/$name" | grep -q BM || { echo "$name is no BMP"; exit 1; }
    cmp "$out/native/$name" "$out/memory/$name"
    cmp "$out/native/$name" "$out/file/$name"
done
# Pages differ from each other (page number and side are drawn on the chart).
! cmp -s "$out/native/page-0001.bmp" "$out/native/page-0002.bmp"
# A bad option is refused with exit code 2.
set +e
"$@" --mode bogus > /dev/null 2>&1
[ $? -eq 2 ] || { echo "bad option not refused"; exit 1; }
