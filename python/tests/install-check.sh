#!/usr/bin/env bash
# Installs the Python package from a build (its install component, into a scratch DESTDIR)
# and renders through the installed copy: the effect's module, its description and the
# stand-in host's library travel inside the package.
#
#   install-check.sh BUILD_DIR PYTHON
set -euo pipefail
build=$1
python=$2
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
DESTDIR=$root cmake --install "$build" --component python >/dev/null
site=$(dirname "$(find "$root" -name __init__.py -path '*/crumlet/*' -print -quit)")
[ -n "$site" ] && [ -f "$site/libOrvexCrumlet.so" ] && [ -f "$site/OrvexCrumlet.json" ] ||
  { echo "install-check: the package was not installed whole under $root" >&2; exit 1; }
cd "$root"
PYTHONPATH=$(dirname "$site") "$python" - "$site" <<'PY'
import sys
import numpy as np
import crumlet
from crumlet import _crumlet

site = sys.argv[1]
assert crumlet.__file__.startswith(site) and _crumlet.__file__.startswith(site), crumlet.__file__
assert _crumlet._module_path() == site + "/libOrvexCrumlet.so", _crumlet._module_path()
y = crumlet.Effect(preset="Phone call")(np.zeros(4000, dtype=np.float32), sample_rate=16000)
assert y.shape[0] >= 4000 and np.all(np.isfinite(y))
print("install-check: the installed package renders:", site)
PY
