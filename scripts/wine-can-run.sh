#!/bin/sh
# Exit 0 when Wine can run the cross-built tests here: it needs a kernel that executes 32-bit
# programs (IA-32 emulation), which some virtual machines and containers switch off. The probe runs a
# real test program of the build through the same wrapper ctest uses.
command -v wine >/dev/null 2>&1 || exit 1
probe=build/win32/bin/twpp_test.exe
[ -f "$probe" ] || exit 1
export TARSIN_WINEPREFIX="${TARSIN_WINEPREFIX:-$PWD/build/win32/wineprefix}"
timeout 600 cmake/wine-run.sh "$probe" --gtest_list_tests >/dev/null 2>&1
