#!/bin/bash
# Builds everything and runs the whole test suite under Wine through CTest.
# Installs what is missing first (as root), or says what is needed. Where
# this processor cannot run 32-bit code, the Windows test programs run in a
# 32-bit test machine (tools/winevm), built on first use.
set -euo pipefail
cd "$(dirname "$0")"

./build.sh
tools/ensure-packages clang libclang-rt-14-dev
tools/ensure-wine-runner
ctest --test-dir build -j2 --output-on-failure
