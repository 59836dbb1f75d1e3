#!/usr/bin/env bash
# Fails when a checked-in file that lists the parameters differs from what
# crumlet-parameter-files writes from the parameter table, and shows the difference and the
# command that rewrites the checked-in copies.
#
#   check-parameter-files.sh GENERATOR SOURCE_DIR BUILD_DIR
set -euo pipefail

if [ $# -ne 3 ]; then
  echo "usage: check-parameter-files.sh GENERATOR SOURCE_DIR BUILD_DIR" >&2
  exit 2
fi
generator=$1
source=$2
build=$3
written=$(mktemp -d)
trap 'rm -rf "$written"' EXIT

"$generator" description "$written/OrvexCrumlet.json"
"$generator" stubs "$source/python/crumlet/__init__.pyi" "$written/__init__.pyi"

status=0
compare() {
  diff -u --label "$1 (checked in)" --label "$1 (from the parameter table)" "$source/$1" "$2" || status=1
}
compare resources/OrvexCrumlet.json "$written/OrvexCrumlet.json"
compare python/crumlet/__init__.pyi "$written/__init__.pyi"

if [ "$status" -ne 0 ]; then
  echo "check-parameter-files: the checked-in copies above differ from the parameter table;"
  echo "rewrite them with:  cmake --build $build --target parameter-files"
fi
exit "$status"
