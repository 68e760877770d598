#!/usr/bin/env bash
# The Windows builds: the product Tavrin.dll (32-bit) with its export table
# checked against the module-definition file, and the 64-bit build whose test
# suite runs under Wine (this machine's Wine runs 64-bit programs only).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-$PWD/build}
jobs=$(nproc)

configure_and_build() {
  local arch=$1 tests=$2
  cmake -S . -B "$build/win-$arch" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchains/mingw-$arch.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DTAVRIN_BUILD_BENCH=OFF -DTAVRIN_BUILD_TOOLS=OFF -DTAVRIN_BUILD_TESTS="$tests" >/dev/null
  cmake --build "$build/win-$arch" -j"$jobs"
}

echo "--- 32-bit Tavrin.dll"
configure_and_build i686 OFF
bash scripts/check-exports.sh "$build/win-i686/Tavrin.dll"

echo "--- 64-bit build and its test suite under Wine"
configure_and_build x86_64 ON
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
wine=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)
# Wine's window-less graphics driver: the tests' own windows exist for the
# window look-ups without a display, and none is ever shown.
# The session that wrote it ends first, so that the runs below start with it.
"$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1 || true
"$(command -v wineserver || echo /usr/lib/wine/wineserver)" -w || true

# Wine's exit code cannot be trusted (a program that does not start still
# exits 0): the test program's own summary decides.
run_suite() {
  local exe=$1 focas=$2 log=$3
  (cd "$(dirname "$exe")" && TAVRIN_FOCAS="$focas" "$wine" "$(basename "$exe")" >"$log" 2>&1) || true
  grep -E '^\[ *(PASSED|FAILED) *\]|tests? ran' "$log" || true
  if ! grep -q '^\[  PASSED  \]' "$log" || grep -q '^\[  FAILED  \]' "$log"; then
    echo "Windows test run failed: $exe"
    tail -50 "$log"
    return 1
  fi
}
run_suite "$build/win-x86_64/tests/tavrin_tests.exe" libtavrin_simcnc.dll "$build/wine-tests.log"
run_suite "$build/win-x86_64/tests/tavrin_nodll_tests.exe" no-such-focas-library.dll "$build/wine-nodll.log"
run_suite "$build/win-x86_64/tests/tavrin_startup_tests.exe" libtavrin_startup_stand_in.dll "$build/wine-startup.log"
