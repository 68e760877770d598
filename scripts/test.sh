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

# The library of a headless build (no drawing, no logind): it must link neither
# cairo, pango, gdk-pixbuf nor libsystemd, and export what the whole one does.
headless() {
  cmake -S . -B "$build/headless" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVRIN_WITH_DRAWING=OFF \
    -DTAVRIN_WITH_LOGIND=OFF -DTAVRIN_BUILD_TESTS=OFF -DTAVRIN_BUILD_BENCH=OFF -DTAVRIN_BUILD_TOOLS=OFF >/dev/null
  cmake --build "$build/headless" -j"$jobs" --target tavrin
  local lib=$build/headless/libtavrin.so
  if ldd "$lib" | grep -E 'libcairo|libpango|libgdk_pixbuf|libsystemd'; then
    echo "the headless library links the above"
    return 1
  fi
  exports() { nm -D --defined-only "$1" | awk '{print $3}' | sort; }
  diff <(exports "$build/plain/libtavrin.so") <(exports "$lib")
  echo "libtavrin.so: $(ldd "$build/plain/libtavrin.so" | wc -l) shared libraries, headless $(ldd "$lib" | wc -l)"
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
stage "README recipes" bash scripts/readme-recipes.sh "$build"
stage "headless library" headless
stage "sanitizers (ASan + UBSan)" sanitized
stage "installed package" installed
if [[ -f scripts/fuzz.sh ]]; then
  stage "fuzzing (bounded)" bash scripts/fuzz.sh "$build"
fi
if [[ -f scripts/test-windows.sh ]]; then
  stage "windows" bash scripts/test-windows.sh "$build"
fi
echo "all stages passed"
