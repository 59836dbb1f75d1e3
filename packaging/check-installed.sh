#!/usr/bin/env bash
# Checks an installed Crumlet (the Debian package's layout under ROOT/usr; ROOT is / for the
# package itself, a DESTDIR for the test that installs the component): every file in its place,
# no RUNPATH outside the installed tree, the tool rendering the demo and a preset through the
# installed module, the plugins in the LV2 listing, the Python package importing from its
# installed folder and rendering, the manual page and the completion.
#   check-installed.sh ROOT [PYTHON]
set -euo pipefail
root=${1%/}
python=${2:-/usr/bin/python3}
prefix=$root/usr
multiarch=$(gcc -print-multiarch 2>/dev/null || dpkg-architecture -qDEB_HOST_MULTIARCH)
module_dir=$prefix/lib/$multiarch/crumlet
fail() { echo "check-installed: $*" >&2; exit 1; }

for file in bin/crumlet lib/$multiarch/crumlet/libOrvexCrumlet.so lib/$multiarch/crumlet/OrvexCrumlet.json \
    lib/$multiarch/crumlet/libQuarlSoundEngine.so lib/lv2/crumlet.lv2/crumlet.so lib/lv2/crumlet.lv2/manifest.ttl \
    lib/vst3/Crumlet.vst3/Contents/x86_64-linux/Crumlet.so "lib/vst3/Crumlet Line.vst3/Contents/x86_64-linux/Crumlet Line.so" \
    lib/python3/dist-packages/crumlet/__init__.py share/man/man1/crumlet.1.gz \
    share/bash-completion/completions/crumlet share/doc/crumlet/copyright; do
  [ -f "$prefix/$file" ] || fail "$prefix/$file is missing"
done

# Every ELF file of Crumlet's: a RUNPATH only relative to itself ($ORIGIN), and every library found.
while IFS= read -r -d '' file; do
  head -c 4 "$file" | grep -q 'ELF' || continue
  runpath=$(readelf -d "$file" | sed -n 's/.*R\(UN\)\?PATH.*\[\(.*\)\]/\2/p')
  [ -z "$runpath" ] || [[ $runpath == '$ORIGIN'* && $runpath != *:* ]] || fail "$file: RUNPATH $runpath"
  if missing=$(ldd "$file" 2>&1 | grep 'not found'); then fail "$file: $missing"; fi
done < <(find "$prefix/bin/crumlet" "$module_dir" "$prefix/lib/lv2/crumlet.lv2" "$prefix/lib/vst3/Crumlet.vst3" \
  "$prefix/lib/vst3/Crumlet Line.vst3" "$prefix/lib/python3/dist-packages/crumlet" -type f -print0)

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"   # away from any source tree or build

# The tool: the installed module (not one a build left elsewhere), the demo and a preset.
tool=$prefix/bin/crumlet
loaded=$("$tool" validate --seconds 1 | sed -n 's/^PASS  the module loads and registers its effect *(\(.*\))$/\1/p')
[ "$loaded" = "$module_dir/libOrvexCrumlet.so" ] || fail "the tool loaded \"$loaded\", not $module_dir/libOrvexCrumlet.so"
"$tool" render --out demo.wav --quiet
"$tool" render --preset "Phone call" --in demo.wav --out phone.wav --bits 16 --quiet
"$tool" info phone.wav | grep -q 'Phone call' || fail "crumlet info does not name the preset phone.wav was rendered with"
echo "check-installed: $tool renders through $loaded"

# The LV2 bundle, alone on the LV2 path.
plugins=$(LV2_PATH=$prefix/lib/lv2 lv2ls)
for uri in urn:orvex:crumlet:stereo urn:orvex:crumlet:mono; do
  grep -qx "$uri" <<<"$plugins" || fail "lv2ls does not list $uri: $plugins"
done
echo "check-installed: lv2ls lists" $plugins

# The Python package, from its installed folder, without PYTHONPATH.
site=$prefix/lib/python3/dist-packages
if [ "$root" = "" ]; then pythonpath=; else pythonpath=$site; fi
env -u PYTHONPATH ${pythonpath:+PYTHONPATH=$pythonpath} "$python" - "$site" <<'PY'
import sys
import numpy as np
import crumlet
from crumlet import _crumlet

site = sys.argv[1]
assert crumlet.__file__.startswith(site + "/crumlet/"), crumlet.__file__
assert _crumlet._module_path() == site + "/crumlet/libOrvexCrumlet.so", _crumlet._module_path()
t = np.arange(24000, dtype=np.float32) / 48000
y = crumlet.Effect(preset="Police radio")(0.3 * np.sin(2 * np.pi * 440 * t), sample_rate=48000)
assert y.shape[0] >= 24000 and np.all(np.isfinite(y)) and np.max(np.abs(y)) > 0.01
print("check-installed: python imports", crumlet.__file__, "and renders", y.shape[0], "frames")
PY

# The manual page has the commands' own help; the completion completes commands and options.
zcat "$prefix/share/man/man1/crumlet.1.gz" | grep -q '^\.SS render' || fail "the manual page lacks the render command"
completions=$(PATH=$prefix/bin:$PATH bash -c '
  source "$1"
  complete_words() { COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMPREPLY=(); _crumlet; echo "${COMPREPLY[*]}"; }
  complete_words crumlet ren
  complete_words crumlet render --pre
  complete_words crumlet render --preset "Police\\ r"
  complete_words crumlet render --space stat
  complete_words crumlet render --set SIMT' _ "$prefix/share/bash-completion/completions/crumlet")
expected=$'render\n--preset\nPolice\\ radio\nstation\nSIMType= SIMTuning='
[ "$completions" = "$expected" ] || fail "the completion gave: $completions"
echo "check-installed: the manual page and the completion are in place"
