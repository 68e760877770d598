# Makes the tavrin command's manual page (mode=man) or its bash completion
# (mode=bash) from its Markdown reference, `tavrin help-all`: one section per
# command, "### `tavrin WORDS`", holding that command's --help text.  Both
# follow the command line's own definitions, so they never fall behind it.
#
#   awk -v mode=man -v version=X.Y.Z -f command_docs.awk reference.md > tavrin.1
#   awk -v mode=bash -f command_docs.awk reference.md > tavrin
#
# The completion offers subcommands, options, the values of options and
# positionals with a fixed set ({a,b,c} in the help), file names after the
# options that name a file and folder names after --drive-c.

BEGIN {
  count = 0
  split("--sim --focas --items --file --cafile --password-file", list, " ")
  for (i in list) file_option[list[i]] = 1
  folder_option["--drive-c"] = 1
}

# A new command: its words, "tavrin pmc get", are its path.
/^### `tavrin[^`]*`$/ {
  path = $0
  sub(/^### `/, "", path)
  sub(/`$/, "", path)
  count++
  paths[count] = path
  text[count] = ""
  section = ""
  in_text = 0
  next
}
/^```text$/ && count > 0 { in_text = 1; next }
/^```$/ { in_text = 0; next }
!in_text { next }

{
  text[count] = text[count] $0 "\n"
  if ($0 ~ /^[A-Z][a-z]+:$/) { section = $0; next }
  if ($0 !~ /^  [^ ]/) next
  if (section == "Subcommands:") {
    subcommands[path] = subcommands[path] (subcommands[path] == "" ? "" : " ") $1
  } else if (section == "Options:") {
    line = substr($0, 3)
    names = line
    sub(/ .*/, "", names)
    n = split(names, name, ",")
    for (i = 1; i <= n; i++) options[path] = options[path] (options[path] == "" ? "" : " ") name[i]
    rest = substr(line, length(names) + 2)
    # An option that takes a value shows its type: TEXT, INT, UINT or FLOAT.
    if (rest ~ /^(TEXT|INT|UINT|FLOAT)([ :=]|$)/) {
      for (i = 1; i <= n; i++) {
        takes_value[path "|" name[i]] = 1
        if (rest ~ /^[A-Z]+:\{[^}]*\}/) takes_choice[path "|" name[i]] = choices(rest)
      }
    }
  } else if (section == "Positionals:") {
    positional_count[path]++
    positional[path "|" positional_count[path]] = ($2 ~ /^[A-Z]+:\{/) ? choices($2) : ""
  }
}

# The values of "TYPE:{a,b,c}" as "a b c".
function choices(s) {
  sub(/^[A-Z]+:\{/, "", s)
  sub(/\}.*/, "", s)
  gsub(/,/, " ", s)
  return s
}

# Text as roff shows it verbatim: backslashes and minus signs escaped, a
# line that starts with a control character made plain text.
function roff(s,  lines, n, i, line, out) {
  n = split(s, lines, "\n")
  for (i = 1; i <= n; i++) {
    line = lines[i]
    gsub(/\\/, "\\e", line)
    gsub(/-/, "\\-", line)
    if (line ~ /^[.']/) line = "\\&" line
    out = out line (i < n ? "\n" : "")
  }
  return out
}

function quote(s) { gsub(/'/, "'\\''", s); return "'" s "'" }

function man(  i, top, lines, n, description, summary, top_options) {
  top = text[1]
  n = split(top, lines, "\n")
  summary = lines[1]
  sub(/^tavrin: /, "", summary)
  for (i = 2; i <= n && lines[i] !~ /^Usage:/; i++) description = description lines[i] "\n"
  print ".\\\" The tavrin command's manual, made by the build from `tavrin help-all`."
  print ".TH TAVRIN 1 \"\" \"Tavrin " version "\" \"User Commands\""
  print ".SH NAME"
  print "tavrin \\- " roff(summary)
  print ".SH SYNOPSIS"
  print ".B tavrin"
  print "[\\fIoptions\\fR] \\fIcommand\\fR [\\fIsubcommand\\fR] [\\fIarguments\\fR]"
  print ".SH DESCRIPTION"
  printf "%s", roff(description)
  print ".PP"
  print "Every command takes \\fB\\-\\-help\\fR. Below, each command's help as it prints it."
  # The top help from its option list on: the lines above it are already shown.
  top_options = ""
  for (; i <= n; i++) if (lines[i] == "Options:" || top_options != "") top_options = top_options lines[i] "\n"
  print ".SH OPTIONS"
  print ".nf"
  printf "%s", roff(top_options)
  print ".fi"
  print ".SH COMMANDS"
  for (i = 2; i <= count; i++) {
    print ".SS " roff(paths[i])
    print ".nf"
    printf "%s", roff(text[i])
    print ".fi"
  }
  print ".SH EXIT STATUS"
  print ".TP\n0\nsuccess"
  print ".TP\n1\nthe CNC or the simulation's files refused; the message names the FOCAS2 code"
  print ".TP\n2\nbad input: refused before anything was sent, so nothing changed"
  print ".TP\n3\nno CNC: state file, FOCAS2 library or handle"
  print ".SH FILES"
  print ".TP"
  print ".I $XDG_STATE_HOME/tavrin/machine.toml"
  print "the simulated CNC's state (\\fI~/.local/state/tavrin/machine.toml\\fR when XDG_STATE_HOME is not set), made from the example lathe on first use"
  print ".SH SEE ALSO"
  print "The reference in Markdown, \\fIshare/doc/Tavrin/tavrin\\-reference.md\\fR, and the README of Tavrin."
}

function bash_completion(  i, key, k) {
  print "# bash completion for tavrin, made by the build from `tavrin help-all`."
  print "declare -A _tavrin_subcommands=("
  for (i = 1; i <= count; i++) if (paths[i] in subcommands) print "  [" quote(paths[i]) "]=" quote(subcommands[paths[i]])
  print ")"
  print "declare -A _tavrin_options=("
  for (i = 1; i <= count; i++) print "  [" quote(paths[i]) "]=" quote(options[paths[i]])
  print ")"
  # Options that take a value: the value's choices, or "" for any value.
  print "declare -A _tavrin_values=("
  for (key in takes_value) print "  [" quote(key) "]=" quote((key in takes_choice) ? takes_choice[key] : "")
  print ")"
  print "declare -A _tavrin_positionals=("
  for (key in positional) if (positional[key] != "") print "  [" quote(key) "]=" quote(positional[key])
  print ")"
  printf "_tavrin_file_options=' "
  for (k in file_option) printf "%s ", k
  print "'"
  printf "_tavrin_folder_options=' "
  for (k in folder_option) printf "%s ", k
  print "'"
  print "_tavrin() {"
  print "  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}"
  print "  local path=tavrin word i position=0 global"
  print "  # The command path typed so far, and which positional the cursor is on."
  print "  for ((i = 1; i < COMP_CWORD; i++)); do"
  print "    word=${COMP_WORDS[i]}"
  print "    if [[ $word == -* ]]; then"
  print "      [[ -n ${_tavrin_values[$path|$word]+set} || -n ${_tavrin_values[tavrin|$word]+set} ]] && ((i++))"
  print "    elif [[ \" ${_tavrin_subcommands[$path]} \" == *\" $word \"* ]]; then"
  print "      path=\"$path $word\""
  print "      position=0"
  print "    else"
  print "      ((position++))"
  print "    fi"
  print "  done"
  print "  for global in \"$path|$prev\" \"tavrin|$prev\"; do"
  print "    if [[ $prev == -* && -n ${_tavrin_values[$global]+set} ]]; then"
  print "      if [[ $_tavrin_folder_options == *\" $prev \"* ]]; then"
  print "        COMPREPLY=($(compgen -d -- \"$cur\"))"
  print "      elif [[ $_tavrin_file_options == *\" $prev \"* ]]; then"
  print "        COMPREPLY=($(compgen -f -- \"$cur\"))"
  print "      else"
  print "        COMPREPLY=($(compgen -W \"${_tavrin_values[$global]}\" -- \"$cur\"))"
  print "      fi"
  print "      return"
  print "    fi"
  print "  done"
  print "  if [[ $cur == -* ]]; then"
  print "    COMPREPLY=($(compgen -W \"${_tavrin_options[$path]} ${_tavrin_options[tavrin]}\" -- \"$cur\"))"
  print "  elif [[ -n ${_tavrin_subcommands[$path]+set} ]]; then"
  print "    COMPREPLY=($(compgen -W \"${_tavrin_subcommands[$path]}\" -- \"$cur\"))"
  print "  else"
  print "    COMPREPLY=($(compgen -W \"${_tavrin_positionals[$path|$((position + 1))]}\" -- \"$cur\"))"
  print "  fi"
  print "}"
  print "complete -F _tavrin tavrin"
}

END {
  if (count == 0 || paths[1] != "tavrin") { print "command_docs.awk: no `tavrin` section in the reference" > "/dev/stderr"; exit 1 }
  if (mode == "man") man()
  else if (mode == "bash") bash_completion()
  else { print "command_docs.awk: mode must be man or bash" > "/dev/stderr"; exit 1 }
}
