#!/bin/sh
# Runs one cross-built program under Wine in a 32-bit prefix kept in the build tree.
# A 32-bit process on a 64-bit prefix sees the WOW64 registry view, so values that a test
# writes under HKLM would not be found by the library: the prefix must be win32.
set -e
: "${TARSIN_WINEPREFIX:=${TMPDIR:-/tmp}/tarsin-wine32}"
export WINEPREFIX="$TARSIN_WINEPREFIX" WINEARCH=win32 WINEDEBUG="${WINEDEBUG:--all}"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot --init >/dev/null 2>&1 || true
    wineserver -w || true
fi
exec wine "$@"
