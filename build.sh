#!/bin/bash
# Builds every gauge module into dist/, with the stand-in panel host and the
# tests, then renders dist/panel.png, all five gauges on one panel, with the
# host. Installs what is missing first (as root), or says what is needed.
set -euo pipefail
cd "$(dirname "$0")"

tools/ensure-packages cmake make python3 g++-mingw-w64-i686 googletest libstb-dev
tools/ensure-wine-runner

cmake -S . -B build -DCMAKE_TOOLCHAIN_FILE=cmake/i686-w64-mingw32.cmake -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$(nproc)"

echo
echo "Gauge modules, ready for the simulator's Gauges folder:"
for module in dist/*.gau; do
    printf '  %s (%s bytes)\n' "$PWD/$module" "$(stat -c %s "$module")"
done

# The default panel, in a sensible state: 185 km/h, 100 degrees C, both
# radios tuned (ADF 0345.2, COM 122.70), the ADF lamp lit, the switch up.
./panelhost panel panels/default.cfg --gauges dist -o dist/panel.png \
    --set 0x3D=100 --set 0x92=600 --set 0x10=0x0345 --set 0x12=0x0012 --set 0x15=1 \
    --set 0x17=0x2270 --click 494,398
echo "The five gauges on one panel: $PWD/dist/panel.png"
