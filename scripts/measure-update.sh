#!/usr/bin/env bash
# Measures `crumlet render --lines --update` over a line list whose outputs are all up to date:
# a list of ROWS one-second rows (default 100000) under --out-dir, every output there made
# with its row's recipe (one rendered output copied to every name: the rows differ only in
# their output, and the recipe's row is not compared), timed against the same list planned
# with --skip-existing (the plan alone, no output opened). Best of three each: wall seconds and
# the CPU seconds (user and system) they took.
#   scripts/measure-update.sh [rows]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh crumlet >/dev/null
rows=${1:-100000}
crumlet=$PWD/build/cli/crumlet
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
options=(--out-dir "$work/out" --seed 1 --rate 8000 --bits 16 --jobs 2)

python3 - "$work" "$rows" <<'PY'
import math, struct, sys, wave
work, rows = sys.argv[1], int(sys.argv[2])
with wave.open(f"{work}/voice.wav", "wb") as w:
    w.setnchannels(1); w.setsampwidth(2); w.setframerate(8000)
    w.writeframes(b"".join(struct.pack("<h", int(8000 * math.sin(i * 0.3))) for i in range(8000)))
with open(f"{work}/one.csv", "w") as f:
    f.write("input,name\nvoice.wav,000000.wav\n")
with open(f"{work}/lines.csv", "w") as f:
    f.write("input,name\n")
    f.writelines(f"voice.wav,{i:06d}.wav\n" for i in range(rows))
PY
"$crumlet" render --lines "$work/one.csv" "${options[@]}" --quiet
python3 - "$work" "$rows" <<'PY'
import shutil, sys
work, rows = sys.argv[1], int(sys.argv[2])
for i in range(1, rows):
    shutil.copyfile(f"{work}/out/000000.wav", f"{work}/out/{i:06d}.wav")
PY
echo "$rows outputs of $(stat -c %s "$work/out/000000.wav") bytes each"

best() { # the best of three runs of the command: wall and CPU seconds; then its summary
  local best=""
  for _ in 1 2 3; do
    /usr/bin/time -f "%e %U %S" -o "$work/time" "$@" --json >"$work/run.json" 2>"$work/run.err"
    best=$(python3 -c "
w, u, s = map(float, open('$work/time').read().split())
b = '${best}'.split()
print(f'{w:.2f} {u + s:.2f}' if not b or w < float(b[0]) else '${best}')")
  done
  read -r wall cpu <<<"$best"
  echo "$wall s wall, $cpu s CPU; $(tail -1 "$work/run.json")"
}
echo "--update (every output's recipe read and compared): $(best "$crumlet" render --lines "$work/lines.csv" "${options[@]}" --update)"
echo "--skip-existing (the plan alone): $(best "$crumlet" render --lines "$work/lines.csv" "${options[@]}" --skip-existing)"
