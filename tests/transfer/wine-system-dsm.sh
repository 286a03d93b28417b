#!/bin/sh
# tarsin-scan through Wine's own data source manager (twain_32.dll). Wine's manager loads only
# sources called sane.ds or gphoto2.ds from C:\windows\twain_32, so the source is installed there
# as sane.ds in a prefix of this test's own.
# usage: wine-system-dsm.sh BIN-DIR
set -eu
bin=$1
export WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/tarsin-wine-XXXXXX")
export WINEARCH=win32 WINEDEBUG=-all
trap 'wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT
wineboot -i > /dev/null 2>&1
twain="$WINEPREFIX/drive_c/windows/twain_32"
mkdir -p "$twain"
cp "$bin/tarsintwain.ds" "$twain/sane.ds"
# The source finds its backend through the registry, as on a customer's machine.
wine reg add 'HKLM\SOFTWARE\TarsinScan' /v AppDirectory /t REG_SZ /d "$(winepath -w "$bin")" /f > /dev/null
exec "$(dirname "$0")/tool-three-pages.sh" wine "$bin/tarsin-scan.exe" --dsm system
