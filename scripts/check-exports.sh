#!/usr/bin/env bash
# Checks the export table of the 32-bit Tavrin.dll: every name of the
# module-definition file must be there, and no lib_ name besides them.
set -euo pipefail
cd "$(dirname "$0")/.."
dll=$1
expected=$(sed -n 's/^ *\([A-Za-z_@0-9]*\) = .*/\1/p' cmake/Tavrin.def | sort)
actual=$(i686-w64-mingw32-objdump -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
  sed -n 's/^\s*\[ *[0-9]*\] //p' | sort)
actual_lib=$(grep -E '^_?lib_' <<<"$actual" || true)
if ! diff <(echo "$expected") <(echo "$actual_lib"); then
  echo "export table of $dll differs from cmake/Tavrin.def (< expected, > found)"
  exit 1
fi
others=$(grep -vE '^_?lib_' <<<"$actual" || true)
echo "exports: $(wc -l <<<"$expected") lib_ functions as listed; also $(grep -c . <<<"$others" || true) class and seam names"
if grep -E '^_?lib_.*@' <<<"$actual" | grep -vE '^_lib_(ReadPluralPCode@16|WritePluralPCode@20)$'; then
  echo "unexpected decorated lib_ export"
  exit 1
fi
