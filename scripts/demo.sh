#!/usr/bin/env bash
# Installs what is missing, builds Tavrin and runs the single-block
# demonstration against the simulated CNC with the example lathe.
set -euo pipefail
cd "$(dirname "$0")/.."
TAVRIN_WINDOWS=0 bash scripts/install-deps.sh
build=${TAVRIN_BUILD_DIR:-$PWD/build}/plain
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target single_block_demo tavrin_simcnc
TAVRIN_FOCAS="$build/simcnc/libtavrin_simcnc.so" TAVRIN_SIMCNC_MACHINE="$PWD/examples/lathe.toml" \
  "$build/examples/single_block_demo"
