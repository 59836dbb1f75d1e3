// The gate and the lo-fi stage in one loop, so that the gate's gain recursion and the
// lo-fi band-pass overlap; the samples are those of the two stages run one after the other.
#pragma once

#include "engine/stages/GateStage.h"
#include "engine/stages/LoFiStage.h"

// Every channel (data[c] is channel c) with up to four in parallel.
void runGateThenLoFi(GateStage& gate, LoFiStage& lofi, float* const* data, unsigned channels, unsigned frames);
