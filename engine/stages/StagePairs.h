// Adjacent stages that share one loop over the frames when both run, so that their
// recursions overlap instead of following one another (each stage alone is bound by its
// own recursion). A pair is an overload of runTogether; the processor finds the pairs by
// their types and runs each stage of a pair exactly as it runs alone, frame for frame.
#pragma once

#include "engine/stages/DistortionStage.h"
#include "engine/stages/EqStage.h"
#include "engine/stages/GateStage.h"
#include "engine/stages/LoFiStage.h"

#include <type_traits>
#include <utility>

// The distortion, then the EQ band, over the block.
void runTogether(DistortionStage& distortion, EqStage& eq, const ChannelBlock& block);
// The gate, then lo-fi, over the block.
void runTogether(GateStage& gate, LoFiStage& lofi, const ChannelBlock& block);

// Whether First and the Second after it run together.
template <typename First, typename Second, typename = void>
struct RunsTogether : std::false_type
{
};

template <typename First, typename Second>
struct RunsTogether<First, Second,
                    std::void_t<decltype(runTogether(std::declval<First&>(), std::declval<Second&>(),
                                                     std::declval<const ChannelBlock&>()))>> : std::true_type
{
    // The processor meters a stage's input before the stage runs and hands out working
    // memory stage by stage: a pair takes neither for its second stage.
    static_assert(Second::kInputPeakMeter < 0, "the second stage of a pair meters no input");
    static_assert(First::scratchFloats(1) == 0 && Second::scratchFloats(1) == 0, "a pair takes no working memory");
};
