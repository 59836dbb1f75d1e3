#!/usr/bin/env bash
# Writes the sheet's sources into sources/: each line spoken by espeak-ng (or a tone from sox
# where espeak-ng is missing), at the rates and layouts a production's recordings come in.
set -euo pipefail
cd "$(dirname "$0")"
mkdir -p sources
say() { # NAME RATE CHANNELS TEXT
    local out="sources/$1.wav"
    if command -v espeak-ng >/dev/null; then
        espeak-ng -w /tmp/crumlet-line-$$.wav "$4"
        sox /tmp/crumlet-line-$$.wav -r "$2" -c "$3" -b 16 "$out"
        rm -f /tmp/crumlet-line-$$.wav
    else
        sox -n -r "$2" -c "$3" -b 16 "$out" synth 1.5 sine 220 tremolo 4 60
    fi
}
say ana_001 48000 1 "I'm outside. Can you hear me?"
say bo_002 44100 2 "You're breaking up. Say that again."
say announcer_003 32000 1 "The train to the coast now leaves from platform nine."
say ana_004 22050 1 "Suspect heading north on Station Road."
say bo_005 16000 1 "I said, meet me at the station."
say announcer_006 48000 2 "Mind the gap."
