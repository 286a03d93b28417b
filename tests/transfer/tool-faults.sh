#!/bin/sh
# tarsin-scan reports a page the source could not deliver as an error (exit 1), never as a file.
# usage: tool-faults.sh TOOL
set -u
tool=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/tarsin-tool-faults-XXXXXX")
trap 'rm -rf "$work"' EXIT
failed=0
for case in "memory readFails TWCC_BUMMER" "native dataAtFails DIB"; do
    set -- $case
    echo "{\"base\": \"default\", \"faults\": {\"$2\": true}}" > "$work/$2.json"
    "$tool" --mode "$1" --pages 1 --profile "$work/$2.json" --out "$work/$1" > /dev/null 2> "$work/err"
    rc=$?
    if [ $rc -ne 1 ] || ! grep -q "$3" "$work/err"; then
        echo "$1 with $2: exit $rc, $(cat "$work/err")"
        failed=1
    fi
    if ls "$work/$1"/page-*.bmp > /dev/null 2>&1; then
        echo "$1 with $2: a page file was written"
        failed=1
    fi
done
exit $failed
