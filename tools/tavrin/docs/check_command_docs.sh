#!/usr/bin/env bash
# Checks the generated manual page and bash completion of tavrin (argument:
# the folder they were written to): the page has a section for every command
# of the reference and formats without warnings; the completion loads in
# bash and completes commands, options and option values.
set -euo pipefail
docs=$1
commands=$(grep -c '^### `tavrin ' "$docs/reference.md")
sections=$(grep -c '^\.SS tavrin ' "$docs/tavrin.1")
[[ $sections -eq $commands ]] || { echo "man page: $sections command sections for $commands commands"; exit 1; }
if command -v groff >/dev/null; then
  warnings=$(groff -man -Tutf8 -ww -z "$docs/tavrin.1" 2>&1)
  [[ -z $warnings ]] || { echo "man page: $warnings"; exit 1; }
fi
source "$docs/completions/tavrin"
complete_words() {
  COMP_WORDS=("$@")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  _tavrin
  echo "${COMPREPLY[*]}"
}
expect() {
  local want=$1 got
  shift
  got=$(complete_words "$@")
  [[ $got == "$want" ]] || { echo "completion of '$*': '$got', expected '$want'"; exit 1; }
}
expect "pmc" tavrin pm
expect "get set address" tavrin --path 2 pmc ''
expect "byte word two-word" tavrin pmc get --size ''
expect "chuck jaws work" tavrin sim set-z ''
expect "--json" tavrin machine status --js
echo "man page: $sections command sections; completion: as expected"
