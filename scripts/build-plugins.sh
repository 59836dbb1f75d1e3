#!/usr/bin/env bash
# Sets up and builds the DAW plugins: the LV2 bundle (the effect and Crumlet Line, mono and
# stereo), the VST3 plugins (Crumlet, Crumlet Line) and the standalone application. Where they land and how to install them: docs/daw.md.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh crumlet_lv2 CrumletDaw_VST3 CrumletDaw_Standalone CrumletLine_VST3
artefacts=build/plugins/juce/CrumletDaw_artefacts/Release
echo "LV2:        build/lv2/crumlet.lv2            -> cp -r it to ~/.lv2/"
echo "VST3:       $artefacts/VST3/Crumlet.vst3     -> cp -r it to ~/.vst3/"
echo "Standalone: $artefacts/Standalone/Crumlet"
echo "VST3:       build/plugins/juce/CrumletLine_artefacts/Release/VST3/Crumlet Line.vst3 -> cp -r it to ~/.vst3/"
