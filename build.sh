#!/bin/bash
# Builds every gauge module into dist/, with the stand-in panel host and the
# tests. Installs what is missing first (as root), or says what is needed.
set -euo pipefail
cd "$(dirname "$0")"

tools/ensure-packages cmake make python3 g++-mingw-w64-i686 googletest libstb-dev wine wine32:i386

cmake -S . -B build -DCMAKE_TOOLCHAIN_FILE=cmake/i686-w64-mingw32.cmake -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$(nproc)"

echo
echo "Gauge modules, ready for the simulator's Gauges folder:"
for module in dist/*.gau; do
    printf '  %s (%s bytes)\n' "$PWD/$module" "$(stat -c %s "$module")"
done
