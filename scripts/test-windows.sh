#!/usr/bin/env bash
# The Windows builds, run under Wine:
#  - 32-bit, the product's home: Tavrin.dll with its export table checked
#    against the module-definition file, its test programs under a pure
#    32-bit Wine prefix (as close to a panel PC as Wine gets), and an
#    application built from the installed package alone, run against the
#    simulated CNC placed beside it as Fwlib32.dll;
#  - 64-bit: the same suites, which catch code that takes a pointer or a
#    handle for 32 bits.
# Wine's exit code cannot be trusted (a program that does not start still
# exits 0): each test program's own summary line decides.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${1:-$PWD/build}
jobs=$(nproc)

configure_and_build() {
  local arch=$1 tools=$2
  cmake -S . -B "$build/win-$arch" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/mingw-$arch.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DTAVRIN_BUILD_BENCH=OFF -DTAVRIN_BUILD_TOOLS="$tools" -DTAVRIN_BUILD_TESTS=ON >/dev/null
  cmake --build "$build/win-$arch" -j"$jobs"
}

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# `wine` starts 32-bit programs (wine32:i386), `wine64` 64-bit ones.
wine=$(command -v wine || echo /usr/lib/wine/wine)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)

# A fresh prefix with Wine's window-less graphics driver: the tests' own
# windows exist for the window look-ups without a display, and none is ever
# shown.  The session that wrote it ends first, so that the runs start with it.
make_prefix() {
  export WINEPREFIX=$1
  mkdir -p "$WINEPREFIX"
  "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1 || true
  "$wineserver" -w || true
}

run_suite() {
  local exe=$1 focas=$2 log=$3
  (cd "$(dirname "$exe")" && TAVRIN_FOCAS="$focas" "$wine" "$(basename "$exe")" >"$log" 2>&1) || true
  grep -E '^\[ *(PASSED|FAILED|SKIPPED) *\]|tests? ran' "$log" || true
  if ! grep -q '^\[  PASSED  \]' "$log" || grep -q '^\[  FAILED  \]' "$log"; then
    echo "Windows test run failed: $exe"
    tail -50 "$log"
    return 1
  fi
}

run_suites() {
  local arch=$1
  run_suite "$build/win-$arch/tests/tavrin_tests.exe" libtavrin_simcnc.dll "$build/wine-$arch-tests.log"
  run_suite "$build/win-$arch/tests/tavrin_nodll_tests.exe" no-such-focas-library.dll "$build/wine-$arch-nodll.log"
  run_suite "$build/win-$arch/tests/tavrin_startup_tests.exe" libtavrin_startup_stand_in.dll "$build/wine-$arch-startup.log"
}

echo "--- 32-bit build: Tavrin.dll, its exports and its tests under 32-bit Wine"
configure_and_build i686 ON
bash scripts/check-exports.sh "$build/win-i686/Tavrin.dll"
WINEARCH=win32 make_prefix "$build/wineprefix32"
export WINEARCH=win32
run_suites i686

echo "--- 32-bit installed package: an application built from it alone"
install=$build/win-i686-install
app=$build/win-i686-consumer
rm -rf "$install" "$app"
cmake --install "$build/win-i686" --prefix "$install" >/dev/null
cmake -S examples/consumer -B "$app" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DTavrin_DIR="$install/lib/cmake/Tavrin" >/dev/null
cmake --build "$app" -j"$jobs"
# As on a panel PC: the DLL beside the program, the CNC library by the maker's name.
cp "$install/bin/Tavrin.dll" "$app/"
cp "$build/win-i686/simcnc/libtavrin_simcnc.dll" "$app/Fwlib32.dll"
(cd "$app" && "$wine" tavrin_consumer.exe >"$build/wine-i686-consumer.log" 2>&1) || true
cat "$build/wine-i686-consumer.log"
grep -q '^single block request D9550.2: on (code 0)' "$build/wine-i686-consumer.log"
grep -q '^#500 and #501: 1.5 1.5 (code 0)' "$build/wine-i686-consumer.log"
grep -q -- '-lTavrin -lTavrin-stdcall' "$install/lib/pkgconfig/tavrin.pc"

echo "--- tavrin.exe for the panel PC, installed with the DLL, under 32-bit Wine"
# Runs the installed command against the simulated CNC beside it; prints what
# it wrote and fails unless it exited with `want` and printed `expect`.
tavrin_exe() {
  local want=$1 expect=$2
  shift 2
  local code=0
  (cd "$install/bin" && "$wine" tavrin.exe "$@") >"$build/wine-tavrin.log" 2>&1 || code=$?
  echo "tavrin.exe $* -> exit $code"
  if [[ $code != "$want" ]] || ! grep -q -- "$expect" "$build/wine-tavrin.log"; then
    echo "expected exit $want and \"$expect\":"
    cat "$build/wine-tavrin.log"
    return 1
  fi
}
tavrin_exe 0 "Usage: tavrin" --help
tavrin_exe 2 "publish is not built in" publish
tavrin_exe 0 '"memory_mode"' machine status --json
tavrin_exe 0 "D9550.2" pmc set D9550.2 on
tavrin_exe 0 "D9550.2 = 1" pmc get D9550.2
tavrin_exe 2 "is no PMC address letter" pmc get Q1
# The simulation's files on the prefix's own drive C:, in text mode, with a
# Western panel's text in the settings: a move is checked, locked and made,
# and the JSON stays valid.
sim_c="$WINEPREFIX/drive_c/QvApplication"
rm -rf "$sim_c" && cp -r "examples/sim/QvApplication" "$sim_c"
sed -i 's/Type-A/Typ-\xc4/' "$sim_c/Qv Crash Preview/CustomSetting.ini"
tavrin_exe 0 "chuck L: Z is now -140" chuck set L -140
tavrin_exe 0 "work R: Z is now -90" work set R -90
tavrin_exe 0 '"machine_type"' sim structure --json
rm -rf "$sim_c"
unset WINEARCH

echo "--- 64-bit build and its tests under Wine"
configure_and_build x86_64 OFF
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=/usr/lib/wine/wineserver64
[[ -x $wineserver ]] || wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
make_prefix "$build/wineprefix"
run_suites x86_64
