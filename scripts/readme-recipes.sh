#!/usr/bin/env bash
# Runs the shell recipes of README.md against a build, as a reader types them,
# so that a recipe that stops working fails CI.
#
# Every command block of the README (an indented block, or a fenced block
# without a language or marked text, sh, bash or console) follows an HTML
# comment, on the line before it or with one blank line between, that says
# what to do with it:
#   <!-- recipe: run -->                  run its lines with bash -e
#   <!-- recipe: run on a display -->     the same under a private X server
#                                         (xvfb-run)
#   <!-- recipe: transcript -->           a session: run each "$ command" line
#                                         and compare what it prints with the
#                                         lines below it
#   <!-- recipe: not run: REASON -->      left out, for the reason given
#   <!-- recipe: not a command -->        output or a file, nothing to run
# A block without a comment fails the check, so a new recipe is not left out
# by mistake.
#
# The recipes run from the repository's root, in a sandbox: the simulated
# CNC's state file (XDG_STATE_HOME) and every /tmp/ path lie in a fresh
# temporary folder, `tavrin` is the build's command, build/plain/ is the
# build tested, no TAVRIN_ variable of the caller's environment and no
# DISPLAY reach them.  In a transcript the notices that say which state file
# and which CNC a run uses are left out of the comparison (they name the
# reader's home), and --json output is compared without its whitespace (the
# README folds it).
#
# Usage: scripts/readme-recipes.sh [BUILD]
#   BUILD is the folder that holds the build "plain", as in scripts/test.sh
#   (default: $TAVRIN_BUILD_DIR, else build).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build_root=$(realpath -m "${1:-${TAVRIN_BUILD_DIR:-$root/build}}")
build=$build_root/plain
readme=$root/README.md
[[ -x $build/tools/tavrin ]] || { echo "no tavrin command in $build/tools: build it first"; exit 1; }

sandbox=$(mktemp -d)
trap 'rm -rf "$sandbox"' EXIT
mkdir -p "$sandbox/tmp" "$sandbox/state" "$sandbox/blocks"

# The environment of every recipe.
clean_env=(env)
for name in $(compgen -e); do
  [[ $name == TAVRIN_* || $name == DISPLAY || $name == WAYLAND_DISPLAY ]] && clean_env+=(-u "$name")
done
clean_env+=(XDG_STATE_HOME="$sandbox/state" TAVRIN_BUILD_DIR="$build_root"
  PATH="$build/tools:$build/tools/simview:$PATH")

# A recipe's text as it runs in the sandbox.
localise() { sed -e "s|/tmp/|$sandbox/tmp/|g" -e "s|build/plain/|$build/|g"; }

# Splits the README into its blocks: blocks/N.sh holds block N's lines,
# blocks/list one line per block: "N<TAB>README line<TAB>marker".
awk -v out="$sandbox/blocks" '
  function flush() {
    if (n > 0) { printf "%d\t%d\t%s\n", n, start, mark > (out "/list"); close(file) }
  }
  function begin(line) { n++; start = line; file = out "/" n ".sh"; mark = pending; pending = "" }
  BEGIN { n = 0; fence = 0; indented = 0; pending = ""; blank_after_mark = 0 }
  {
    if (fence) {
      if ($0 ~ /^```[ \t]*$/) { fence = 0; previous_blank = 0; if (keep) flush(); keep = 0 }
      else if (keep) print > file
      next
    }
    if (indented) {
      if ($0 ~ /^    /) { print substr($0, 5) > file; next }
      if ($0 ~ /^[ \t]*$/) { next }
      indented = 0; flush()
    }
    if (match($0, /^<!-- recipe: .* -->[ \t]*$/)) {
      pending = $0; sub(/^<!-- recipe: /, "", pending); sub(/ -->[ \t]*$/, "", pending)
      blank_after_mark = 0; next
    }
    if ($0 ~ /^```/) {
      lang = $0; sub(/^```[ \t]*/, "", lang); sub(/[ \t].*$/, "", lang)
      fence = 1; keep = (lang == "" || lang == "text" || lang == "sh" || lang == "bash" || lang == "console")
      if (keep) begin(NR); else pending = ""
      next
    }
    if ($0 ~ /^    / && previous_blank) {
      indented = 1; begin(NR); print substr($0, 5) > file; next
    }
    if ($0 ~ /^[ \t]*$/) { if (pending != "" && ++blank_after_mark > 1) pending = "" }
    else pending = ""
    previous_blank = ($0 ~ /^[ \t]*$/)
  }
  END { if (indented) flush() }
' previous_blank=1 "$readme"

failures=0
ran=0
fail() { echo "FAILED: README.md:$1: $2"; failures=$((failures + 1)); }

run_block() {  # number, line, how: plain or display
  local n=$1 line=$2 how=$3 script=$sandbox/blocks/$n.run start=$SECONDS
  { echo "set -e"; localise <"$sandbox/blocks/$n.sh"; } >"$script"
  local cmd=("${clean_env[@]}" timeout 300 bash "$script")
  if [[ $how == display ]]; then
    command -v xvfb-run >/dev/null || { fail "$line" "xvfb-run is missing (scripts/install-deps.sh installs xvfb)"; return; }
    cmd=("${clean_env[@]}" timeout 300 xvfb-run -a -s "-screen 0 1024x768x24" bash "$script")
  fi
  if ! "${cmd[@]}" >"$sandbox/out" 2>&1; then
    fail "$line" "the recipe failed:"
    sed 's/^/  | /' "$script"
    sed 's/^/  > /' "$sandbox/out" | tail -40
  else
    echo "README.md:$line: ran ($((SECONDS - start)) s)"
  fi
}

# Leaves out the notices that name the state file and the CNC of a run.
without_notices() { grep -vE '^tavrin: (made the state file|talking to the SIMULATED CNC)' || true; }

run_transcript() {  # number, line
  local n=$1 line=$2 i=0 status=0 start=$SECONDS failed=$failures
  local -a commands=() expected=()
  while IFS= read -r text; do
    if [[ $text == '$ '* ]]; then
      commands+=("${text#\$ }")
      expected+=("")
    elif ((${#commands[@]})); then
      expected[-1]+="$text"$'\n'
    fi
  done < <(localise <"$sandbox/blocks/$n.sh")
  for ((i = 0; i < ${#commands[@]}; i++)); do
    local actual want
    # Each command sees the previous one's exit status, for "echo $?".
    actual=$("${clean_env[@]}" timeout 60 bash -c "(exit $status); ${commands[i]}" 2>&1) && status=0 || status=$?
    actual=$(without_notices <<<"$actual")
    want=$(printf '%s' "${expected[i]}" | without_notices)
    if [[ $actual != "$want" ]]; then
      if [[ ${commands[i]} == *--json* && $(tr -d ' \n' <<<"$actual") == "$(tr -d ' \n' <<<"$want")" ]]; then
        continue
      fi
      fail "$line" "\$ ${commands[i]} printed other than the README shows (- README, + now):"
      diff <(echo "$want") <(echo "$actual") | grep '^[<>]' | sed 's/^</  -/; s/^>/  +/' | head -30 || true
    fi
  done
  ((failures > failed)) || echo "README.md:$line: ran ${#commands[@]} commands as shown ($((SECONDS - start)) s)"
}

while IFS=$'\t' read -r n line mark; do
  case $mark in
    run) run_block "$n" "$line" plain; ran=$((ran + 1)) ;;
    "run on a display") run_block "$n" "$line" display; ran=$((ran + 1)) ;;
    transcript) run_transcript "$n" "$line"; ran=$((ran + 1)) ;;
    "not run: "?*) echo "README.md:$line: not run: ${mark#not run: }" ;;
    "not a command") ;;
    "") fail "$line" "a command block without a <!-- recipe: ... --> comment (see scripts/readme-recipes.sh)" ;;
    *) fail "$line" "unknown recipe comment \"$mark\"" ;;
  esac
done <"$sandbox/blocks/list"

if ((failures)); then
  echo "README recipes: $failures failed"
  exit 1
fi
echo "README recipes: $ran run, all as the README says"
