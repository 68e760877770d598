#!/usr/bin/env bash
# Installs what is missing, builds Tavrin and runs `tavrin demo`: the typical
# requests of an operator application against the simulated CNC with the
# example lathe and a temporary copy of the example simulation folder.
set -euo pipefail
cd "$(dirname "$0")/.."
TAVRIN_WINDOWS=0 bash scripts/install-deps.sh
build=${TAVRIN_BUILD_DIR:-$PWD/build}/plain
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target tavrin_cli tavrin-simview single_block_demo
"$build/tools/tavrin" demo
