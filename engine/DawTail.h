// The tail a DAW wrapper tells its host. The effect reports the sum of its filter stages' times to
// fall by 60 dB, each as if alone; resonances that coincide across stages (a high- and a low-pass
// at one frequency and a high Q, with the EQ there too) fall more slowly together, and the output
// rings 60 dB down only some time after that sum. `crumlet validate` measures, for random and for
// coinciding settings, how long the output really rings until it stays 60 dB below its peak: at
// most about 1.5 times the effect's tail, and it checks every time that the tail told here covers
// it.
#pragma once

#include <cstdint>

constexpr std::int64_t kDawTailStretch = 2;

constexpr std::int64_t dawTailFrames(std::int64_t effectTailFrames)
{
    return effectTailFrames > 0 ? effectTailFrames * kDawTailStretch : 0;
}
