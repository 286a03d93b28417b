#!/bin/sh
# Exit 0 when Wine can start a 32-bit Windows program here.
command -v wine >/dev/null 2>&1 || exit 1
probe=$(ls build/win32/bin/*.exe 2>/dev/null | head -n 1)
[ -n "$probe" ] || exit 1
# The 32-bit loader itself must execute: on kernels without IA-32 emulation it fails at once.
loader=/usr/lib/wine/wine
[ -x "$loader" ] || loader=$(command -v wine)
"$loader" --version >/dev/null 2>&1
