#!/usr/bin/env bash
# Installs the Debian package's component into a scratch DESTDIR (as `cpack -G DEB` stages it,
# without root) and checks the installed tree there: the tool finds the installed module from
# its own folder, every RUNPATH stays inside the tree, the plugins, the Python package, the
# manual page and the completion work from their installed places.
#   install-check.sh BUILD_DIR PYTHON
set -euo pipefail
build=$1
python=$2
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
DESTDIR=$root cmake --install "$build" --component deb --prefix /usr >/dev/null
"$(dirname "$0")/../../packaging/check-installed.sh" "$root" "$python"
