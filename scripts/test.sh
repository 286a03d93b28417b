#!/usr/bin/env bash
# Builds everything on both presets and runs every test: natively, and under Wine for the 32-bit
# Windows build where this machine can run 32-bit programs.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)

sh scripts/setup.sh

echo "== format"
git ls-files '*.cpp' '*.h' '*.inl' | xargs clang-format --dry-run -Werror

echo "== native: configure, build, test"
cmake --preset native
cmake --build --preset native -j"$jobs"
scripts/check-exports.sh build/native/bin/tarsintwain.ds
ctest --preset native -j"$jobs"

echo "== win32: configure, build"
cmake --preset win32
cmake --build --preset win32 -j"$jobs"
scripts/check-exports.sh build/win32/bin/tarsintwain.ds

# Wine runs a 32-bit Windows program only where the kernel executes 32-bit code (IA-32 emulation);
# some virtual machines and containers have it switched off, and then wine32 cannot start at all.
if scripts/wine-can-run.sh; then
    echo "== win32: test under Wine"
    ctest --preset win32
else
    echo "== win32: NOT TESTED: this machine cannot execute 32-bit programs, so Wine cannot run the"
    echo "   cross-built tests (the build and its export check passed)."
fi
