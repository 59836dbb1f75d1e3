#!/usr/bin/env bash
# Writes crumlet's manual page with help2man: the synopsis and options from `crumlet --help`,
# a COMMANDS section with each command's own help, and where the installed files are.
#   man-page.sh TOOL HELP2MAN OUT.1
set -euo pipefail
tool=$1
help2man=$2
out=$3
extra=$(mktemp)
trap 'rm -f "$extra"' EXIT

# A command's help as roff: each option a tagged paragraph (the option bold), every other line
# a paragraph; backslashes escaped, no line read as a request.
as_roff() {
  sed -e 's/\\/\\e/g' -e "s/^\([.']\)/\\\\\&\1/" | awk '
    /^  -/ {
      line = substr($0, 3)
      if (match(line, /  +/)) { option = substr(line, 1, RSTART - 1); text = substr(line, RSTART + RLENGTH) }
      else { option = line; text = "" }
      gsub(/-/, "\\-", option)
      print ".TP"; print "\\fB" option "\\fR"; print text
      next
    }
    /^$/ { next }
    { print ".PP"; print }'
}

commands=$("$tool" --help | awk '/^Subcommands:/ { listing = 1; next } listing && NF { print $1 }')
{
  echo "[COMMANDS]"
  for command in $commands; do
    echo ".SS $command"
    # The usage line names the tool as it is installed, not by its path in the build.
    "$tool" "$command" --help | sed -e "s|^Usage: [^ ]*|Usage: crumlet|" | as_roff
  done
  cat <<'FILES'
[FILES]
.TP
.I /usr/lib/<multiarch>/crumlet/libOrvexCrumlet.so
The effect's module, loaded as the host loads it, with its description
.I OrvexCrumlet.json
and the stand-in host's library beside it (\-\-module loads another).
.TP
.I /usr/lib/lv2/crumlet.lv2, /usr/lib/vst3/Crumlet.vst3, /usr/lib/vst3/Crumlet Line.vst3
The LV2 and VST3 plugins.
.TP
.I /usr/lib/python3/dist-packages/crumlet
The Python package:
.B import crumlet
FILES
} >"$extra"

# help2man runs the tool by name, so that the synopsis reads `crumlet`.
PATH="$(dirname "$tool"):$PATH" "$help2man" --no-info --section 1 \
  --name "lo-fi device simulation, run as the host runs it" --include "$extra" --output "$out" crumlet
