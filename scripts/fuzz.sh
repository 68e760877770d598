#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang-14 and runs each for a
# bounded time from its seed corpus (fuzz/corpus/<target>/), under
# AddressSanitizer and UndefinedBehaviorSanitizer.
#
#   bash scripts/fuzz.sh [BUILD_DIR]        (FUZZ_SECONDS per target, default 45)
#
# New inputs found while running go to BUILD_DIR/fuzz-work, never into the
# repository.  A crash stops the script with the input's path: add that input
# to the target's seed corpus as a regression seed once it is fixed.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
seconds=${FUZZ_SECONDS:-45}
targets=(fuzz_xml_lines fuzz_profile_text fuzz_path_split fuzz_focas2_frames)

need=()
command -v clang++-14 >/dev/null || need+=(clang-14)
dpkg-query -W -f='${Status}' libclang-rt-14-dev 2>/dev/null | grep -q "install ok installed" || need+=(libclang-rt-14-dev)
if ((${#need[@]})); then
  SUDO=""
  [[ $(id -u) -ne 0 ]] && SUDO=sudo
  echo "installing: ${need[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

cmake -S fuzz -B "$build/fuzz" -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build/fuzz" -j"$(nproc)"

for target in "${targets[@]}"; do
  work="$build/fuzz-work/$target"
  artifacts="$build/fuzz-artifacts/$target/"
  mkdir -p "$work" "$artifacts"
  echo "--- $target: ${seconds} s"
  if ! ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$artifacts" "$work" "fuzz/corpus/$target" 2>"$build/fuzz-$target.log"; then
    tail -n 40 "$build/fuzz-$target.log"
    echo "$target found a crash; the input is in $artifacts (add it to fuzz/corpus/$target/ once fixed)"
    exit 1
  fi
  grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "$build/fuzz-$target.log" || true
done
echo "fuzzing: no crash in ${#targets[@]} targets"
