#!/usr/bin/env bash
# Fails when the third-party notices leave out a library that a shipped binary links, loads
# or has compiled into it, naming each missing library and a binary that uses it.
#
#   check-notices.sh NOTICES SOURCE_DIR BUILD_DIR BINARY...
#
# For each binary of a Ninja build on Debian, what it takes from outside our own tree:
# - the shared libraries it links (its NEEDED entries) and those it loads by name at run
#   time (library names, libX.so.N, in its read-only data: JUCE loads X11 that way);
# - the font files it opens by name (.ttf and .otf names in its read-only data);
# - the sources and static archives the build compiles or links into it (`ninja -t inputs`)
#   and every header its objects include (ninja's dependency log): JUCE, the VST3 SDK and
#   the header-only libraries.
# Each file is traced to the Debian source package that ships it (dpkg -S, dpkg-query). The
# notices name that package in backticks on a "- Debian source package:" line. A folder
# that a package ships under a licence of its own (the VST3 SDK inside JUCE's modules) is
# named in backticks on a "- Bundled in `PACKAGE`:" line.
#
# The system's base is not listed: the C library (glibc), the compiler's runtime and
# headers (gcc-N: libstdc++, libgcc) and the kernel's headers (linux), the System Libraries
# of GPL-3 section 1. Libraries that a linked library pulls in itself come with it.
set -euo pipefail

if [ $# -lt 4 ]; then
  echo "usage: check-notices.sh NOTICES SOURCE_DIR BUILD_DIR BINARY..." >&2
  exit 2
fi
notices=$1
source_dir=$(realpath "$2")
build_dir=$(realpath "$3")
shift 3
notices_name=$(basename "$notices")

base_packages='^(glibc|gcc-[0-9]+|linux)$'

# Folders that a package ships under a licence of their own (the Files: stanzas of its
# Debian copyright file): source package, then the folder, as the notices name it.
bundled_folders=(
  "juce juce_audio_processors/format_types/VST3_SDK"
  "juce juce_audio_processors/format_types/LV2_SDK"
  "juce juce_audio_processors/format_types/pslextensions"
  "juce juce_box2d/box2d"
  "juce juce_audio_devices/native/oboe"
  "juce juce_opengl/opengl/juce_khrplatform.h"
)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
  echo "check-notices: $*" >&2
  exit 1
}

[ -f "$notices" ] || fail "no notices file at $notices"
[ -f "$build_dir/build.ninja" ] || fail "$build_dir is not a Ninja build folder"
# ldconfig lives in /sbin, outside a user's PATH.
PATH=$PATH:/usr/sbin:/sbin
for tool in ninja readelf objcopy strings ldd ldconfig dpkg dpkg-query; do
  command -v "$tool" >/dev/null || fail "needs $tool"
done

ldconfig -p | awk '$NF ~ /^\// { print $1 "\t" $NF }' >"$work/ldconfig"

# uses: binary, how it uses the file, the file; one line each.
uses=$work/uses
: >"$uses"
: >"$work/warnings"
record() { # files on stdin that $shown uses as $1, kept unless they are our own
  awk -v binary="$shown" -v how="$1" -v src="$source_dir/" -v bld="$build_dir/" \
    'index($0, src) != 1 && index($0, bld) != 1 { print binary "\t" how "\t" $0 }' >>"$uses"
}
resolve_libraries() { # library names on stdin -> their paths; unresolved names to $1
  awk -F'\t' -v unresolved="$1" 'FILENAME != "-" { if (!($1 in where)) where[$1] = $2; next }
    ($1 in where) { print where[$1]; next } { print $1 > unresolved }' "${@:2}" -
}
for binary in "$@"; do
  [ -f "$binary" ] || fail "$binary is not built: build it (cmake --build) before the check"
  binary=$(realpath "$binary")
  shown=${binary#"$build_dir"/}

  # Shared libraries it links, where the loader finds them.
  { ldd "$binary" || true; } | awk '$2 == "=>" && $3 ~ /^\// { print $1 "\t" $3 }' >"$work/ldd"
  { readelf -d "$binary" || fail "readelf cannot read $shown"; } | sed -n 's/.*(NEEDED).*\[\(.*\)\]$/\1/p' |
    resolve_libraries "$work/unresolved" "$work/ldd" "$work/ldconfig" | record links
  if [ -s "$work/unresolved" ]; then
    fail "$shown links $(tr '\n' ' ' <"$work/unresolved")which the loader does not find"
  fi

  # Libraries and fonts it opens by name.
  objcopy -O binary --only-section=.rodata "$binary" "$work/rodata" 2>/dev/null || : >"$work/rodata"
  strings -n 5 "$work/rodata" >"$work/strings"
  awk '/^lib[A-Za-z0-9_+-]+\.so(\.[0-9]+)*$/' "$work/strings" | sort -u |
    resolve_libraries "$work/unresolved" "$work/ldconfig" | record loads
  if [ -s "$work/unresolved" ]; then
    while read -r name; do
      [ -n "$(find "$build_dir" -name "$name" -print -quit)" ] ||
        echo "$shown loads $name by name, which is not installed here: not checked" >>"$work/warnings"
    done <"$work/unresolved"
    rm "$work/unresolved"
  fi
  awk '/\.(ttf|otf|ttc)$/ { sub(/.*\//, ""); print }' "$work/strings" | sort -u | while read -r name; do
    path=$(find /usr/share/fonts /usr/local/share/fonts -name "$name" -print -quit 2>/dev/null || true)
    if [ -n "$path" ]; then
      echo "$path"
    else
      echo "$shown opens the font $name, which is not installed here: not checked" >>"$work/warnings"
    fi
  done | record opens

  # Sources, archives and headers compiled or linked into it.
  target=$(realpath --relative-to="$build_dir" "$binary")
  ninja -C "$build_dir" -t inputs "$target" >"$work/inputs" 2>"$work/ninja-error" ||
    fail "ninja knows no target $target: $(cat "$work/ninja-error")"
  awk '/^\// && !/\.so(\.[0-9]+)*$/' "$work/inputs" | record "is built from"
  awk '/\.o$/' "$work/inputs" >"$work/objects"
  if [ -s "$work/objects" ]; then
    (cd "$build_dir" && xargs ninja -t deps <"$work/objects") | awk '/^    \// { print $1 }' | sort -u |
      record includes
  fi
done
mapfile -t warnings <"$work/warnings"

# Each file to the Debian package that ships it. Debian registers a file under one of its
# names: the path as found, its target, or the other side of the /lib -> /usr/lib merge.
cut -f3 "$uses" | sort -u >"$work/paths"
# shellcheck disable=SC2094 # both read the list
xargs -d '\n' realpath -m <"$work/paths" | paste "$work/paths" - |
  awk -F'\t' '{ for (i = 1; i <= 2; i++) { print $1 "\t" $i
                   if ($i ~ /^\/usr\/lib\//) print $1 "\t" substr($i, 5)
                   else if ($i ~ /^\/lib\//) print $1 "\t/usr" $i } }' | sort -u >"$work/candidates"
cut -f2 "$work/candidates" | sort -u | { xargs dpkg -S 2>/dev/null || true; } |
  awk '/^diversion by/ { next } { split_at = index($0, ": /"); packages = substr($0, 1, split_at - 1); path = substr($0, split_at + 2)
         sub(/,.*/, "", packages); sub(/:.*/, "", packages); print path "\t" packages }' | sort -u >"$work/owners"
# path -> binary package, first candidate that Debian knows
awk -F'\t' 'NR == FNR { owner[$1] = $2; next } ($2 in owner) && !($1 in found) { found[$1] = owner[$2]; print $1 "\t" owner[$2] }' \
  "$work/owners" "$work/candidates" >"$work/path-package"
cut -f2 "$work/path-package" | sort -u >"$work/packages"
[ -s "$work/packages" ] || fail "dpkg traced none of the files the binaries use to a package"
# shellcheck disable=SC2016 # dpkg-query's fields, not the shell's
xargs dpkg-query -W -f='${Package}\t${source:Package}\n' <"$work/packages" | sort -u >"$work/package-source"

# uses with their packages: binary, how, file, binary package, source package
awk -F'\t' 'FILENAME == ARGV[1] { source[$1] = $2; next }
            FILENAME == ARGV[2] { package[$1] = $2; next }
            { p = ($3 in package) ? package[$3] : "-"; s = (p in source) ? source[p] : "-"; print $0 "\t" p "\t" s }' \
  "$work/package-source" "$work/path-package" "$uses" >"$work/traced"

# Files no package ships: nobody can say whose they are.
awk -F'\t' '$4 == "-"' "$work/traced" >"$work/untraced"
if [ -s "$work/untraced" ]; then
  awk -F'\t' '{ print "  " $1 " " $2 " " $3 }' "$work/untraced" | sort -u | head -20 >&2
  fail "the binaries above use files that no Debian package ships: name their origin in $notices_name and teach this check where they come from"
fi

# What the notices must name, with one use each as the evidence: "package SOURCE" or
# "bundled SOURCE FOLDER".
awk -F'\t' -v base="$base_packages" '$5 !~ base { print "package " $5 "\t" $1 " " $2 " " $3 " (" $4 ")" }' \
  "$work/traced" >"$work/required"
for entry in "${bundled_folders[@]}"; do
  read -r package folder <<<"$entry"
  awk -F'\t' -v package="$package" -v folder="/$folder" \
    '$5 == package && index($3, folder) { print "bundled " package " " substr(folder, 2) "\t" $1 " " $2 " " $3 }' \
    "$work/traced" >>"$work/required"
done
sort -t$'\t' -k1,1 -u "$work/required" >"$work/required-once"

# The notices' list items, each with its wrapped lines joined.
awk '/^- / { if (item) print item; item = $0; next }
     /^  / && item { sub(/^ +/, " "); item = item $0; next }
     { if (item) print item; item = "" } END { if (item) print item }' "$notices" >"$work/items"
awk '/^- Debian source packages?:/' "$work/items" >"$work/package-lines"
awk '/^- Bundled in `/' "$work/items" >"$work/bundled-lines"
missing=0
checked=0
while IFS=$'\t' read -r key evidence; do
  read -r kind package folder <<<"$key"
  checked=$((checked + 1))
  if [ "$kind" = package ]; then
    grep -qF "\`$package\`" "$work/package-lines" && continue
    echo "$notices_name does not name the library of Debian source package \`$package\`" >&2
    echo "  used: $evidence" >&2
    echo "  add its entry, with the line: - Debian source package: \`$package\`" >&2
  else
    grep -F "\`$package\`" "$work/bundled-lines" | grep -qF "\`$folder\`" && continue
    echo "$notices_name does not name \`$folder\`, shipped inside \`$package\` under a licence of its own" >&2
    echo "  used: $evidence" >&2
    echo "  add its entry, with the line: - Bundled in \`$package\`: \`$folder\`" >&2
  fi
  missing=$((missing + 1))
done <"$work/required-once"

for warning in "${warnings[@]}"; do
  echo "check-notices: note: $warning"
done
if [ "$missing" -gt 0 ]; then
  fail "$missing of $checked libraries used by the binaries are missing from $notices_name"
fi
echo "check-notices: $notices_name names all $checked libraries that the $# binaries use:"
awk -F'\t' '{ split($2, use, " "); sub(/^(package|bundled) /, "", $1); print $1 "\t" use[1] }' "$work/required" |
  sort -u | awk -F'\t' '{ users[$1] = users[$1] (users[$1] ? ", " : "") $2 }
                         END { for (library in users) print "  " library ": " users[library] }' | sort
