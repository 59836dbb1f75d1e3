#!/usr/bin/env bash
# Fails when the layout table (docs/development.md) and the tree disagree, or when a file includes from
# a folder that stands below its own in that table (the table lists the floors from the
# ground up: a folder includes only from its own row and the rows above it).
#
#   check-floors.sh SOURCE_DIR
#
# - every folder in the table exists, and every top-level folder that holds C or C++ sources
#   is in the table;
# - every `#include "FOLDER/..."` in a .h, .cpp or .c file names a folder of the table's at
#   or above the including file's own row. Rows that name several folders (`tests/`,
#   `bench/`) are one floor.
set -euo pipefail

if [ $# -ne 1 ]; then
  echo "usage: check-floors.sh SOURCE_DIR" >&2
  exit 2
fi
cd "$1"

# The table's rows in order: row number, then each folder named in its first cell.
declare -A floor
row=0
while IFS= read -r line; do
  row=$((row + 1))
  first=${line#|}
  first=${first%%|*}
  for folder in $(grep -o '`[a-z0-9_-]*/`' <<<"$first" | tr -d '`/'); do
    floor[$folder]=$row
  done
done < <(awk '/^## Layout/ { on = 1; next } on && /^## / { exit } on && /^\| `/' docs/development.md)
if [ "${#floor[@]}" -eq 0 ]; then
  echo "check-floors: no layout table under '## Layout' in docs/development.md"
  exit 1
fi

failures=0
fail() {
  echo "check-floors: $*"
  failures=$((failures + 1))
}

for folder in "${!floor[@]}"; do
  [ -d "$folder" ] || fail "the layout table names $folder/, which the tree does not have"
done
for folder in $(git ls-files '*.h' '*.cpp' '*.c' | grep / | cut -d/ -f1 | sort -u); do
  [ -n "${floor[$folder]:-}" ] || fail "$folder/ holds sources but is not in the layout table"
done

# Every quoted include of a folder in the table, against the including file's row.
while IFS=: read -r file line text; do
  own=${file%%/*}
  target=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^/"]+)\/.*/\1/' <<<"$text")
  [ -n "${floor[$own]:-}" ] && [ -n "${floor[$target]:-}" ] || continue
  if [ "${floor[$target]}" -gt "${floor[$own]}" ]; then
    fail "$file:$line includes from $target/, a floor above $own/: $text"
  fi
done < <(git ls-files '*.h' '*.cpp' '*.c' | grep / | xargs grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^/"]+/' || true)

if [ "$failures" -gt 0 ]; then
  echo "check-floors: $failures problem(s)"
  exit 1
fi
echo "check-floors: ${#floor[@]} folders, every include points down the table"
