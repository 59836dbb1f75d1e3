#!/usr/bin/env bash
# Runs the C ABI probe under wine64 against settings that use every stage: crumlet.exe writes
# the demo input, the parameter block and the reference render; the probe plays the demo
# through the module by slot number and compares.
#   windows/tests/abi-probe.sh BIN_DIR MODULE_DLL OUT_DIR
set -euo pipefail
bin=$1 module=$2 out=$3
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
mkdir -p "$out"
settings=(--set SIMType=#12 SIMTuning=110 DistortionMode=#3 DistortionAmount=40 EQGain=6 EQFreq=2000
  FiltersHPFSlope=#1 FiltersHPFFreq=150 NoiseLevel=-50 GateThreshold=-50 LoFiBitDepthType=#5
  LoFiDownSampleIndex=#8 InputGain=-3 OutputGain=2 Balance=90)
block=333
"$wine" "$bin/crumlet.exe" --module "$module" demo --out "$out/demo.f32"
"$wine" "$bin/crumlet.exe" --module "$module" bank "${settings[@]}" --out "$out/probe.bank"
"$wine" "$bin/crumlet.exe" --module "$module" render "${settings[@]}" --block $block --out "$out/reference.f32"
"$wine" "$bin/crumlet_abi_probe.exe" "$module" "$out/probe.bank" "$out/demo.f32" "$out/reference.f32" $block
