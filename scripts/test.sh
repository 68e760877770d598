#!/usr/bin/env bash
# Installs what is missing, builds Tavrin and runs every test: the plain
# build, the same suite under AddressSanitizer and UndefinedBehaviorSanitizer,
# an installed-package check, and the Windows builds.  Prints each stage's time.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${TAVRIN_BUILD_DIR:-$root/build}
jobs=$(nproc)

stage() {
  local name=$1
  shift
  local start=$SECONDS
  echo "=== stage: $name"
  "$@"
  echo "=== stage: $name done in $((SECONDS - start)) s"
}

deps() { bash scripts/install-deps.sh; }

plain() {
  cmake -S . -B "$build/plain" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build/plain" -j"$jobs"
  ctest --test-dir "$build/plain" --output-on-failure -j"$jobs"
}

sanitized() {
  cmake -S . -B "$build/sanitize" -DCMAKE_BUILD_TYPE=Debug -DTAVRIN_SANITIZE=ON -DTAVRIN_BUILD_BENCH=OFF >/dev/null
  cmake --build "$build/sanitize" -j"$jobs"
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    LSAN_OPTIONS=suppressions="$root/tests/lsan.supp" \
    ctest --test-dir "$build/sanitize" --output-on-failure -j"$jobs"
}

installed() {
  local prefix="$build/install"
  rm -rf "$prefix" "$build/consumer"
  cmake --install "$build/plain" --prefix "$prefix" >/dev/null
  cmake -S examples/consumer -B "$build/consumer" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
  cmake --build "$build/consumer" -j"$jobs"
  TAVRIN_FOCAS="$prefix/lib/libtavrin_simcnc.so" LD_LIBRARY_PATH="$prefix/lib" "$build/consumer/tavrin_consumer"
  PKG_CONFIG_PATH="$prefix/lib/pkgconfig" pkg-config --exists tavrin
}

stage dependencies deps
stage "structure" bash scripts/check-structure.sh
stage "build and test" plain
stage "sanitizers (ASan + UBSan)" sanitized
stage "installed package" installed
if [[ -f scripts/fuzz.sh ]]; then
  stage "fuzzing (bounded)" bash scripts/fuzz.sh "$build"
fi
if [[ -f scripts/test-windows.sh ]]; then
  stage "windows" bash scripts/test-windows.sh "$build"
fi
echo "all stages passed"
