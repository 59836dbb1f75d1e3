// Biquad cascades of up to four channels at once, on the widest vectors the processor
// offers: eight lanes where it has AVX2, four (SSE2, every x86-64) otherwise. Both give
// the same samples as the scalar direct-form-I recursion.
#pragma once

#include "engine/BiquadSection.h"
#include "engine/simd/SkewedCascade.h"

// Sections [0, sections) of channels' cascades (first[c] is channel c's first section) on
// data[c][0 .. frames), 1 to 4 channels and 1, 2, 4 or 7 sections.
void runCascade(int sections, int channels, BiquadSection* const* first, float* const* data, unsigned frames,
                const CascadeOutput& output);

// Whether the processor runs eight-lane vectors.
bool wideLanesAvailable();
// Eight lanes (and the stages' AVX-512 copies, engine/simd/WideRegisters.h) are used when
// available and allowed (the default); tests turn them off to run the SSE2 four-lane path
// on the same processor.
void allowWideLanes(bool allowed);
bool wideLanesInUse();

// The eight-lane cascade (built for AVX2; call only when wideLanesAvailable()).
void runCascadeWide(int sections, int channels, BiquadSection* const* first, float* const* data, unsigned frames,
                    const CascadeOutput& output);
