#!/usr/bin/env bash
# Checks that the source tree keeps its layers (README, "How the code is laid
# out"): each folder of src/ includes only its own folder and the ones below
# it, the tools reach the library through its public headers only, the
# platform layer goes into the library alone, and nothing outside the tests
# configures the library through TAVRIN_ environment variables.
set -euo pipefail
cd "$(dirname "$0")/.."
failed=0
fail() {
  echo "structure: $*"
  failed=1
}

# The layers, bottom first; folders of one rank must not include each other.
declare -A rank=([platform]=0 [focas2]=1 [util]=2 [nc]=3 [simulation]=4 [machine]=5 [display]=5 [serial]=5)
while IFS= read -r line; do
  file=${line%%:*}
  target=$(sed -n 's/.*#include "\([a-z0-9_]*\)\/.*/\1/p' <<<"$line")
  [[ -z $target || $target == tavrin ]] && continue
  folder=$(cut -d/ -f2 <<<"$file")
  if [[ $file == src/*.cpp ]]; then continue; fi  # the start-up, at the top
  if [[ -z ${rank[$target]+x} ]]; then
    fail "$file includes $target/, which is no folder of the library"
  elif [[ $target != "$folder" ]] && ((rank[$target] >= rank[$folder])); then
    fail "$file (layer $folder) includes $target/, which is not below it"
  fi
done < <(grep -rn '#include "' src --include=*.cpp --include=*.h)

# The tools: public headers, their own files and tools/common only.
if grep -rn '#include "\(platform\|focas2\|nc\|util\|machine\|simulation\|display\|serial\)/' tools; then
  fail "a tool includes a private header of the library (above)"
fi
if grep -rln '#include "\(tools/\|output.h\|connection.h\|commands.h\)' src; then
  fail "the library includes a tools header (above)"
fi

# The platform layer is linked into the library alone.
users=$(grep -rn 'tavrin_platform' --include=CMakeLists.txt --include=*.cmake . |
  grep -v '^./build' | grep -v '^[^:]*:[0-9]*: *#' | grep -v '^./CMakeLists.txt:\|^./cmake/PlatformLibraries.cmake:' || true)
if [[ -n $users ]]; then
  echo "$users"
  fail "the platform layer is used outside the library (above)"
fi

# The library is configured through its calls, not by setting its variables.
if grep -rnE '(setenv|putenv|SetEnvironment[A-Za-z]*)\(\s*"TAVRIN_' --include=*.cpp --include=*.h . |
  grep -v '^./build\|^./tests/'; then
  fail "a TAVRIN_ variable is set outside the tests (above): use the library's configuration calls"
fi

if ((failed)); then exit 1; fi
echo "structure: layers, tool includes, platform linking and configuration as laid out"
