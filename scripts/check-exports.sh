#!/bin/sh
# The data source must export DS_Entry and nothing else, and import only the system's libraries.
set -eu
library=$1
case "$library" in
*win32*)
    exports=$(i686-w64-mingw32-objdump -p "$library" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
        tail -n +2 | sed -n 's/^\s*\[ *[0-9]*\] //p')
    imports=$(i686-w64-mingw32-objdump -p "$library" | sed -n 's/^\s*DLL Name: //p' | tr 'a-z' 'A-Z' | sort -u | tr '\n' ' ')
    for dll in $imports; do
        case "$dll" in
        KERNEL32.DLL | ADVAPI32.DLL | MSVCRT.DLL | USER32.DLL) ;;
        *) echo "check-exports: $library imports $dll, which a plain Windows machine lacks" >&2; exit 1 ;;
        esac
    done
    ;;
*)
    exports=$(nm -D --defined-only "$library" | awk '{print $3}')
    ;;
esac
if [ "$exports" != "DS_Entry" ]; then
    echo "check-exports: $library exports: $exports (expected DS_Entry only)" >&2
    exit 1
fi
echo "check-exports: $library exports DS_Entry only"
