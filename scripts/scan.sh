#!/usr/bin/env bash
# The main job: builds the data source, the simulated scanner and the scanning tool, then scans a few
# pages through the data source and writes them to disk. Extra arguments go to tarsin-scan
# (for example: --mode memory --pages 5 --pixel gray --dpi 150 --out /tmp/pages).
set -euo pipefail
cd "$(dirname "$0")/.."
sh scripts/setup.sh
cmake --preset native >/dev/null
cmake --build --preset native -j"$(nproc 2>/dev/null || echo 2)" --target tarsin-scan tarsintwain sane
if [ $# -eq 0 ]; then
    set -- --mode native --pages 3 --out scans
fi
exec build/native/bin/tarsin-scan "$@"
