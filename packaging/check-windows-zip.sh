#!/usr/bin/env bash
# Lists the Windows zip and checks that it holds what ships, under one top folder: the module
# and its description, the tool and the stand-in host's library, the README, the licence and
# the notices; and nothing that does not ship (tests, import libraries).
#   check-windows-zip.sh crumlet-VERSION-windows-x64.zip
set -euo pipefail
zip=$1
listing=$(python3 -m zipfile -l "$zip")
echo "$listing"
names=$(python3 - "$zip" <<'PY'
import sys, zipfile
for name in zipfile.ZipFile(sys.argv[1]).namelist():
    print(name)
PY
)
top=$(basename "$zip" .zip)
failed=0
for file in module/OrvexCrumlet.dll module/OrvexCrumlet.json bin/crumlet.exe bin/QuarlSoundEngine.dll \
    README.txt LICENSE.txt THIRD_PARTY_NOTICES.md copyright/juce-modules-source.txt copyright/mingw-w64-common.txt; do
  grep -qx "$top/$file" <<<"$names" || { echo "check-windows-zip: $top/$file is missing" >&2; failed=1; }
done
if stray=$(grep -v "^$top/" <<<"$names"); then
  echo "check-windows-zip: outside $top/: $stray" >&2; failed=1
fi
if stray=$(grep -Ei '_tests?\.exe$|probe|\.dll\.a$|\.lib$|wine-prefix' <<<"$names"); then
  echo "check-windows-zip: does not ship: $stray" >&2; failed=1
fi
[ "$failed" = 0 ] && echo "check-windows-zip: $(wc -l <<<"$names") files, $(du -k "$zip" | cut -f1) KiB: $zip"
exit "$failed"
