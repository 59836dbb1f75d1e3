#!/usr/bin/env bash
# Builds the wheel from the source tree as a Python user would (pip, nothing fetched),
# installs it into a fresh virtual environment and renders through it from another folder:
# the extension finds the effect's module and the host's library beside it, and no library
# in the wheel looks for anything in a build folder.
#
#   wheel-check.sh SOURCE_DIR PYTHON
set -euo pipefail
source_dir=$1
python=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
"$python" -m venv --system-site-packages "$scratch/venv"
(cd "$source_dir" && "$scratch/venv/bin/pip" wheel --no-build-isolation --no-deps -q -w "$scratch/dist" .) >"$scratch/log" 2>&1 ||
  { cat "$scratch/log" >&2; echo "wheel-check: the wheel did not build" >&2; exit 1; }
wheel=$(ls "$scratch"/dist/crumlet-*.whl)
"$scratch/venv/bin/pip" install --no-deps -q "$wheel"
site=$("$scratch/venv/bin/python" -c "import sysconfig; print(sysconfig.get_path('platlib'))")/crumlet
for library in "$site"/*.so; do
  if readelf -d "$library" | grep -E 'R(UN)?PATH' | grep -q "$source_dir"; then
    echo "wheel-check: $library looks for libraries in the source tree:" >&2
    readelf -d "$library" | grep -E 'R(UN)?PATH' >&2
    exit 1
  fi
done
cd "$scratch"
env -u PYTHONPATH "$scratch/venv/bin/python" - "$site" <<'PY'
import sys
import numpy as np
import crumlet
from crumlet import _crumlet

site = sys.argv[1]
assert crumlet.__file__.startswith(site) and _crumlet._module_path() == site + "/libOrvexCrumlet.so", crumlet.__file__
assert crumlet.__version__
look = crumlet.RandomLook(codecs=["gsm"], seed=1, loudness=-23)
y = look(np.random.default_rng(0).standard_normal(16000).astype(np.float32) * 0.1, 16000)
assert y.shape == (16000,) and np.all(np.isfinite(y))
print("wheel-check: the wheel installs and renders:", site)
PY
